#include "cuDeviceContextManager.h"

#include "cuClasses.h"

#include <QColor>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>

int MulDiv(int a, int b, int c) {
  if (c == 0)
    return 0;
  const long long product = (long long)a * b;
  const bool negative = (product < 0) != (c < 0);
  const long long magnitude = (std::llabs(product) + std::llabs((long long)c) / 2) / std::llabs((long long)c);
  return int(negative ? -magnitude : magnitude);
}

int PointsToPixels(int points) { return MulDiv(points, kLogicalPixelsPerInch, 72); }

size_t qHash(const TFontKey &key, size_t seed) noexcept {
  return qHashMulti(seed, key.Face, key.Size, key.Style, key.Pitch);
}

// ---------------------------------------------------------------------------------------------------------

namespace {

constexpr char32_t kReplacement = 0xFFFD;
// DrawnCodePoint's answer for the second unit of a surrogate pair.
constexpr char32_t kSecondUnit = 0xFFFFFFFF;

QFont MakeFont(const TFontKey &key) {
  QFont font;
  if (!key.Face.isEmpty())
    font.setFamily(key.Face);
  font.setPixelSize(std::max(1, PointsToPixels(key.Size)));
  font.setWeight(key.Style & fsBold ? QFont::Bold : QFont::Normal);
  font.setItalic(key.Style & fsItalic);
  font.setUnderline(key.Style & fsUnderline);
  font.setStrikeOut(key.Style & fsStrikeOut);
  if (key.Pitch == fpFixed) {
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
  }
  // Context-free whole-pixel advances: see the top of the header.
  font.setKerning(false);
  font.setStyleStrategy(QFont::PreferNoShaping);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

} // namespace

TLogicalFont::TLogicalFont(const TFontKey &key) : FKey(key), FFont(MakeFont(key)) {
  const QFontMetrics metrics(FFont);
  FAscent = metrics.ascent();
  FDescent = metrics.descent();
  FExternalLeading = metrics.leading();
  FAveCharWidth = metrics.averageCharWidth();
  FMaxCharWidth = metrics.maxWidth();
  FLineWidth = std::max(1, metrics.lineWidth());
  // The underline keeps a pixel of room below the glyphs and stays inside the cell.
  FUnderlinePos = std::clamp(metrics.underlinePos(), 1, std::max(1, FDescent - FLineWidth));
  FStrikeOutPos = metrics.strikeOutPos();
  FSources.push_back(QRawFont::fromFont(FFont));
}

char32_t TLogicalFont::DrawnCodePoint(QStringView text, qsizetype index) {
  const QChar c = text[index];
  if (c.unicode() < 0x20)
    return kReplacement;
  if (c.isHighSurrogate()) {
    if (index + 1 < text.size() && text[index + 1].isLowSurrogate())
      return QChar::surrogateToUcs4(c, text[index + 1]);
    return kReplacement;
  }
  if (c.isLowSurrogate())
    return index > 0 && text[index - 1].isHighSurrogate() ? kSecondUnit : kReplacement;
  return c.unicode();
}

int TLogicalFont::SourceIndex(const QRawFont &font) const {
  for (std::size_t i = 0; i < FSources.size(); ++i)
    if (FSources[i] == font)
      return int(i);
  FSources.push_back(font);
  return int(FSources.size() - 1);
}

TLogicalFont::TGlyph TLogicalFont::Resolve(char32_t codePoint) const {
  const QString text = QString::fromUcs4(&codePoint, 1);
  auto make = [&](int source) {
    const QRawFont &font = FSources[std::size_t(source)];
    TGlyph glyph;
    glyph.Source = std::uint16_t(source);
    glyph.Index = font.glyphIndexesForString(text).value(0);
    glyph.Advance = std::max(0, int(std::lround(font.advancesForGlyphIndexes({glyph.Index}).value(0).x())));
    glyph.Resolved = true;
    return glyph;
  };
  if (FSources[0].supportsCharacter(uint(codePoint)))
    return make(0);
  // The font the font system falls back to for this character: lay it out alone and take the font of
  // the glyph run that has it. Only the font is taken; glyph and advance come from its own tables.
  QTextLayout layout(text, FFont);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  for (const QGlyphRun &run : layout.glyphRuns()) {
    const QRawFont font = run.rawFont();
    if (font.isValid() && font.supportsCharacter(uint(codePoint)))
      return make(SourceIndex(font));
  }
  return make(0);  // no installed font has it: the font's missing-glyph box
}

TLogicalFont::TGlyph TLogicalFont::GlyphOf(char32_t codePoint) const {
  if (codePoint < 0x10000) {
    std::unique_ptr<TPage> &page = FPages[codePoint >> 8];
    if (!page)
      page = std::make_unique<TPage>();
    TGlyph &glyph = (*page)[codePoint & 0xFF];
    if (!glyph.Resolved)
      glyph = Resolve(codePoint);
    return glyph;
  }
  auto it = FAstral.constFind(codePoint);
  if (it == FAstral.constEnd())
    it = FAstral.insert(codePoint, Resolve(codePoint));
  return *it;
}

int TLogicalFont::Advance(QStringView text, qsizetype index) const {
  const char32_t codePoint = DrawnCodePoint(text, index);
  return codePoint == kSecondUnit ? 0 : GlyphOf(codePoint).Advance;
}

int TLogicalFont::TextWidth(QStringView text, qsizetype index, qsizetype count) const {
  index = std::clamp<qsizetype>(index, 0, text.size());
  const qsizetype end = count <= 0 ? index : std::min(text.size(), index + count);
  int width = 0;
  for (qsizetype i = index; i < end; ++i)
    width += Advance(text, i);
  return width;
}

int TLogicalFont::DrawText(QPainter &painter, int x, int baseline, QStringView text, qsizetype index,
                           qsizetype count, const QColor &color) const {
  index = std::clamp<qsizetype>(index, 0, text.size());
  const qsizetype end = count <= 0 ? index : std::min(text.size(), index + count);
  if (end <= index)
    return 0;
  const QPen oldPen = painter.pen();
  painter.setPen(color);
  // Consecutive glyphs of one font go out as one run, each at its summed position.
  QList<quint32> indexes;
  QList<QPointF> positions;
  int source = -1;
  auto flush = [&] {
    if (indexes.isEmpty())
      return;
    QGlyphRun run;
    run.setRawFont(SourceFont(source));
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    painter.drawGlyphRun(QPointF(x, baseline), run);
    indexes.clear();
    positions.clear();
  };
  int pen = 0;
  for (qsizetype i = index; i < end; ++i) {
    const char32_t codePoint = DrawnCodePoint(text, i);
    if (codePoint == kSecondUnit)
      continue;
    const TGlyph glyph = GlyphOf(codePoint);
    if (glyph.Source != source) {
      flush();
      source = glyph.Source;
    }
    indexes.append(glyph.Index);
    positions.append(QPointF(pen, 0));
    pen += glyph.Advance;
  }
  flush();
  if (FKey.Style & fsUnderline)
    painter.fillRect(QRect(x, baseline + FUnderlinePos, pen, FLineWidth), color);
  if (FKey.Style & fsStrikeOut)
    painter.fillRect(QRect(x, baseline - FStrikeOutPos, pen, FLineWidth), color);
  painter.setPen(oldPen);
  return pen;
}

// ---------------------------------------------------------------------------------------------------------

namespace {
TDeviceContextManager *GManager = nullptr;
}

TDeviceContextManager &TDeviceContextManager::Instance() {
  if (!GManager) {
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
      throw EException(QStringLiteral("Fonts need the application object"));
    GManager = new TDeviceContextManager;
    // Fonts hold font-system objects, so they go while the application object still exists.
    qAddPostRoutine(&TDeviceContextManager::Finalize);
  }
  return *GManager;
}

void TDeviceContextManager::Finalize() {
  delete GManager;
  GManager = nullptr;
}

const TLogicalFont &TDeviceContextManager::GetFont(const TFontKey &key) {
  auto it = FFonts.find(key);
  if (it == FFonts.end())
    it = FFonts.emplace(key, std::make_unique<TLogicalFont>(key)).first;
  return *it->second;
}

const TLogicalFont &LogicalFont(const QString &face, int sizePoints, int style, int pitch) {
  return TDeviceContextManager::Instance().GetFont(face, sizePoints, style, pitch);
}

#include "cuDeviceContextManager.h"
#include "diBitmap32.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Latin, accented, Cyrillic, Greek, CJK, emoji (two of them only in the colour emoji font), combining marks,
// a TAB and a no-break space.
const QString kSample = QString::fromUtf8("Ab\u00e9\u00c5 \u0416\u03a9 \u4e2d\u6587 \U0001F600\U0001F98A\U0001F9E1 "
                                          "e\u0301o\u0308\tfj\u00a0W");

struct TFontCase {
  const char *Face;
  int Size;
  int Style;
};
// The theme fonts' Linux stand-ins at the theme sizes, and the default text font, in the styles the
// themes use.
const TFontCase kFonts[] = {
    {"Liberation Sans", 10, 0},  {"Liberation Sans", 10, fsBold}, {"Liberation Sans", 9, fsItalic},
    {"Liberation Serif", 13, 0}, {"Liberation Serif", 13, fsBold | fsItalic}, {"Liberation Mono", 10, 0},
    {"DejaVu Sans", 8, 0},       {"DejaVu Sans", 14, fsUnderline},
};

std::string Name(const TFontCase &c) { return std::string(c.Face) + " " + std::to_string(c.Size) + "/" + std::to_string(c.Style); }

constexpr TColor32 White = 0xFFFFFFFF;

struct TInk {
  int Left = 1 << 20, Top = 1 << 20, Right = -1, Bottom = -1;  // inclusive; Right < 0 when there is none
  bool Empty() const { return Right < 0; }
};
TInk InkOf(const TBitmap32 &b) {
  TInk ink;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != White) {
        ink.Left = std::min(ink.Left, x), ink.Right = std::max(ink.Right, x);
        ink.Top = std::min(ink.Top, y), ink.Bottom = std::max(ink.Bottom, y);
      }
  return ink;
}

void Blank(TBitmap32 &b, int width, int height) {
  b.SetSize(width, height);
  b.Clear(White);
}

} // namespace

TEST(DeviceContextManager, LogicalResolutionAndRounding) {
  EXPECT_EQ(TDeviceContextManager::Instance().PixelsPerInch(), 96);
  struct {
    int Points, Pixels;
  } cases[] = {{8, 11}, {9, 12}, {10, 13}, {12, 16}, {13, 17}, {14, 19}, {0, 0}};
  for (auto c : cases)
    EXPECT_EQ(PointsToPixels(c.Points), c.Pixels) << c.Points;
  EXPECT_EQ(MulDiv(7, 1, 2), 4);    // half away from zero
  EXPECT_EQ(MulDiv(-7, 1, 2), -4);
  EXPECT_EQ(MulDiv(7, -1, 2), -4);
  EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);  // no overflow in between
  EXPECT_EQ(MulDiv(5, 5, 0), 0);
  EXPECT_EQ(LogicalFont(QStringLiteral("Liberation Sans"), 10).PixelSize(), 13);
}

TEST(DeviceContextManager, FontsAreCachedByFaceSizeStyleAndPitch) {
  const TLogicalFont &a = LogicalFont(QStringLiteral("Liberation Sans"), 10);
  EXPECT_EQ(&a, &LogicalFont(QStringLiteral("Liberation Sans"), 10));
  EXPECT_EQ(&a, &TDeviceContextManager::Instance().GetFont(TFontKey{QStringLiteral("Liberation Sans"), 10, 0, 0}));
  EXPECT_NE(&a, &LogicalFont(QStringLiteral("Liberation Sans"), 11));
  EXPECT_NE(&a, &LogicalFont(QStringLiteral("Liberation Sans"), 10, fsBold));
  EXPECT_NE(&a, &LogicalFont(QStringLiteral("Liberation Sans"), 10, 0, fpFixed));
  EXPECT_NE(&a, &LogicalFont(QStringLiteral("Liberation Serif"), 10));
  const QFont &f = LogicalFont(QStringLiteral("Liberation Sans"), 10, fsBold | fsItalic).Font();
  EXPECT_EQ(f.pixelSize(), 13);
  EXPECT_TRUE(f.bold());
  EXPECT_TRUE(f.italic());
  EXPECT_FALSE(f.kerning());
  EXPECT_TRUE(f.styleStrategy() & QFont::PreferNoShaping);
  EXPECT_EQ(f.hintingPreference(), QFont::PreferFullHinting);
}

TEST(DeviceContextManager, MetricsOfTheThemeFonts) {
  for (const TFontCase &c : kFonts) {
    const TLogicalFont &font = LogicalFont(QString::fromLatin1(c.Face), c.Size, c.Style);
    SCOPED_TRACE(Name(c));
    EXPECT_GT(font.Ascent(), font.Descent());
    EXPECT_GT(font.Descent(), 0);
    EXPECT_EQ(font.Height(), font.Ascent() + font.Descent());
    EXPECT_GE(font.Height(), font.PixelSize());
    EXPECT_GT(font.AveCharWidth(), 0);
    EXPECT_GE(font.MaxCharWidth(), font.AveCharWidth());
  }
  // The faces are metric-compatible stand-ins: a 13-pixel sans font has a 12 + 3 cell.
  const TLogicalFont &sans = LogicalFont(QStringLiteral("Liberation Sans"), 10);
  EXPECT_EQ(sans.Ascent(), 12);
  EXPECT_EQ(sans.Descent(), 3);
}

TEST(DeviceContextManager, MeasurementAddsUpAtEverySplit) {
  for (const TFontCase &c : kFonts) {
    const TLogicalFont &font = LogicalFont(QString::fromLatin1(c.Face), c.Size, c.Style);
    SCOPED_TRACE(Name(c));
    const int whole = font.TextWidth(kSample);
    int sum = 0;
    for (qsizetype i = 0; i < kSample.size(); ++i)
      sum += font.Advance(kSample, i);
    EXPECT_EQ(whole, sum);
    for (qsizetype k = 0; k <= kSample.size(); ++k)
      ASSERT_EQ(font.TextWidth(kSample, 0, k) + font.TextWidth(kSample, k, kSample.size() - k), whole) << k;
    // Three pieces too, as runs of a row are measured.
    for (qsizetype k = 0; k <= kSample.size(); k += 3)
      for (qsizetype m = k; m <= kSample.size(); m += 5)
        ASSERT_EQ(font.TextWidth(kSample, 0, k) + font.TextWidth(kSample, k, m - k) +
                      font.TextWidth(kSample, m, kSample.size() - m),
                  whole);
  }
}

TEST(DeviceContextManager, PerCodeUnitRules) {
  const TLogicalFont &font = LogicalFont(QStringLiteral("Liberation Sans"), 10);
  const int replacement = font.GlyphOf(0xFFFD).Advance;
  ASSERT_GT(replacement, 0);
  // Control characters and lone surrogates are U+FFFD.
  const QString controls = QString::fromUtf16(u"\t\n\r\x01") + QChar(0xDC00) + QChar(0xD800);
  for (qsizetype i = 0; i < controls.size(); ++i) {
    EXPECT_EQ(TLogicalFont::DrawnCodePoint(controls, i), U'\uFFFD') << i;
    EXPECT_EQ(font.Advance(controls, i), replacement) << i;
  }
  // A pair: its advance on the first unit, 0 on the second, also when a range splits it.
  const QString pair = QString::fromUtf8("\U0001F98A");
  ASSERT_EQ(pair.size(), 2);
  const int fox = font.GlyphOf(0x1F98A).Advance;
  EXPECT_GT(fox, 0);
  EXPECT_EQ(font.Advance(pair, 0), fox);
  EXPECT_EQ(font.Advance(pair, 1), 0);
  EXPECT_EQ(font.TextWidth(pair, 0, 1), fox);
  EXPECT_EQ(font.TextWidth(pair, 1, 1), 0);
  EXPECT_EQ(font.TextWidth(pair), fox);
  // Empty and negative counts measure nothing.
  EXPECT_EQ(font.TextWidth(kSample, 3, 0), 0);
  EXPECT_EQ(font.TextWidth(kSample, 3, -2), 0);
  EXPECT_EQ(font.TextWidth(QString()), 0);
}

TEST(DeviceContextManager, EveryCharacterComesFromAFontThatHasIt) {
  for (const TFontCase &c : kFonts) {
    const TLogicalFont &font = LogicalFont(QString::fromLatin1(c.Face), c.Size, c.Style);
    SCOPED_TRACE(Name(c));
    for (qsizetype i = 0; i < kSample.size(); ++i) {
      const char32_t cp = TLogicalFont::DrawnCodePoint(kSample, i);
      if (cp == 0xFFFFFFFF)
        continue;
      const TLogicalFont::TGlyph glyph = font.GlyphOf(cp);
      const QRawFont &source = font.SourceFont(glyph.Source);
      EXPECT_TRUE(source.supportsCharacter(uint(cp))) << std::hex << unsigned(cp) << " " << source.familyName().toStdString();
      EXPECT_NE(glyph.Index, 0u) << std::hex << unsigned(cp);
    }
  }
  // CJK and the colour-only emoji need fallback fonts.
  const TLogicalFont &sans = LogicalFont(QStringLiteral("Liberation Sans"), 10);
  EXPECT_NE(sans.GlyphOf(0x4E2D).Source, 0);
  EXPECT_NE(sans.GlyphOf(0x1F98A).Source, 0);
  EXPECT_EQ(sans.GlyphOf(U'A').Source, 0);
}

// Text is drawn where it is measured: the whole text gives the same pixels as its pieces drawn one after
// the other at their measured places, and every character's ink lies in its measured cell.
TEST(DeviceContextManager, DrawingFollowsTheMeasurement) {
  constexpr int x0 = 20, baseline = 30;
  for (const TFontCase &c : kFonts) {
    const TLogicalFont &font = LogicalFont(QString::fromLatin1(c.Face), c.Size, c.Style);
    SCOPED_TRACE(Name(c));
    const int whole = font.TextWidth(kSample);
    const int width = x0 + whole + 40;
    TBitmap32 reference;
    Blank(reference, width, 50);
    EXPECT_EQ(font.DrawText(reference.Painter(), x0, baseline, kSample, Qt::black), whole);
    for (qsizetype k = 1; k < kSample.size(); ++k) {
      TBitmap32 pieces;
      Blank(pieces, width, 50);
      const int w = font.DrawText(pieces.Painter(), x0, baseline, kSample, 0, k, Qt::black);
      ASSERT_EQ(w, font.TextWidth(kSample, 0, k));
      font.DrawText(pieces.Painter(), x0 + w, baseline, kSample, k, kSample.size() - k, Qt::black);
      ASSERT_EQ(pieces.ToImage(), reference.ToImage()) << "split at " << k;
    }
    // Each character, with the combining marks that follow it, inside its cell. Italics may lean out by a
    // pixel or two. Glyphs of fallback fonts keep their own proportions: they may reach a little above or
    // below the font's cell, and a mark from another font than its base's is placed by that font's design.
    for (qsizetype i = 0; i < kSample.size();) {
      qsizetype n = 1;
      while (i + n < kSample.size() && font.Advance(kSample, i + n) == 0)
        ++n;
      const int base = font.GlyphOf(TLogicalFont::DrawnCodePoint(kSample, i)).Source;
      bool foreignMark = false;
      for (qsizetype j = i + 1; j < i + n; ++j)
        foreignMark |= TLogicalFont::DrawnCodePoint(kSample, j) != 0xFFFFFFFF &&
                       font.GlyphOf(TLogicalFont::DrawnCodePoint(kSample, j)).Source != base;
      const int lean = (c.Style & fsItalic ? 3 : 1) + (foreignMark ? 2 : 0);
      const int overshoot = base == 0 ? 0 : 2;
      const int left = x0 + font.TextWidth(kSample, 0, i), advance = font.TextWidth(kSample, i, n);
      TBitmap32 one;
      Blank(one, width, 50);
      font.DrawText(one.Painter(), left, baseline, kSample, i, n, Qt::black);
      const TInk ink = InkOf(one);
      const QChar ch = kSample[i];
      if (ch == u' ' || ch == QChar(0xA0)) {
        EXPECT_TRUE(ink.Empty() || (c.Style & fsUnderline)) << i;
      } else {
        ASSERT_FALSE(ink.Empty()) << i;
        EXPECT_GE(ink.Left, left - lean) << i;
        EXPECT_LE(ink.Right, left + advance - 1 + lean) << i;
        EXPECT_GE(ink.Top, baseline - font.Ascent() - overshoot) << i;
        EXPECT_LT(ink.Bottom, baseline + font.Descent() + overshoot) << i;
      }
      i += n;
    }
  }
}

TEST(DeviceContextManager, BaselineAndDecorations) {
  const TLogicalFont &font = LogicalFont(QStringLiteral("Liberation Sans"), 10);
  TBitmap32 b;
  Blank(b, 60, 40);
  font.DrawText(b.Painter(), 10, 20, QStringLiteral("HH"), Qt::black);
  TInk ink = InkOf(b);
  EXPECT_EQ(ink.Bottom, 19);  // flat-bottomed capitals stand on the baseline
  EXPECT_LE(20 - ink.Top, font.Ascent());
  EXPECT_GT(20 - ink.Top, font.Ascent() / 2);

  // The bitmap's text operation puts the top of the cell at y.
  Blank(b, 60, 40);
  b.Font() = TBitmapFont{QStringLiteral("Liberation Sans"), 10, 0, 0xFF000000};
  b.TextOut(10, 5, QStringLiteral("H"));
  EXPECT_EQ(InkOf(b).Bottom, 5 + font.Ascent() - 1);
  EXPECT_EQ(b.TextWidth(QStringLiteral("HH")), font.TextWidth(QStringLiteral("HH")));
  EXPECT_EQ(b.TextHeight(QStringLiteral("H")), font.Height());

  // Underline and strike-out span the measured width exactly, inside the cell.
  const TLogicalFont &underlined = LogicalFont(QStringLiteral("Liberation Sans"), 10, fsUnderline);
  const TLogicalFont &struck = LogicalFont(QStringLiteral("Liberation Sans"), 10, fsStrikeOut);
  for (const TLogicalFont *f : {&underlined, &struck}) {
    Blank(b, 60, 40);
    const int w = f->DrawText(b.Painter(), 10, 20, QStringLiteral("   "), Qt::black);  // spaces: only the line
    ink = InkOf(b);
    ASSERT_FALSE(ink.Empty());
    EXPECT_EQ(ink.Left, 10);
    EXPECT_EQ(ink.Right, 10 + w - 1);
    EXPECT_GE(ink.Top, 20 - f->Ascent());
    EXPECT_LT(ink.Bottom, 20 + f->Descent());
    if (f == &underlined)
      EXPECT_GE(ink.Top, 20);  // below the baseline
    else
      EXPECT_LT(ink.Bottom, 20 - 1);  // through the letters
  }
}

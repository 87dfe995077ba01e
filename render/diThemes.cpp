#include "diThemes.h"

#include "cuKnot.h"
#include "cuUtils.h"
#include "diResources.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHashFunctions>

#include <algorithm>
#include <cmath>
#include <list>
#include <unordered_map>

namespace {

struct TElementInfo {
  const char *Tag;
  TSheetThemeElement Fallback;
  bool NineSlice;
};

const TElementInfo kElementInfo[kSheetThemeElementCount] = {
    {"Sheet", steSheet, true},
    {"Line", steLine, true},
    {"Unaccepted", steElement, true},
    {"Element", steElement, true},
    {"ElementCommand", steElement, true},
    {"ElementTechnical", steElement, true},
    {"ElementExpression", steElement, true},
    {"Description", steDescription, true},
    {"Collapsed", steCollapsed, false},
    {"CollapsedData", steCollapsed, false},
    {"Expanded", steExpanded, false},
    {"ExpandedData", steExpanded, false},
    {"Field", steField, true},
    {"Name", steField, true},
    {"NamePrivate", steName, true},
    {"NamePublic", steName, true},
    {"CheckBox", steCheckBox, true},
    {"CheckBoxChecked", steCheckBoxChecked, false},
    {"CheckBoxUnchecked", steCheckBoxUnchecked, false},
    {"Container", steField, true},
    {"ImageContainer", steContainer, true},
    {"Substitution", steSubstitution, true},
    {"SubstitutionBegin", steSubstitution, true},
    {"SubstitutionContinue", steSubstitution, true},
    {"SubstitutionEnd", steSubstitution, true},
    {"Comment", steComment, true},
    {"Error", steErrorSign, false},
    {"NeedValue", steErrorSign, false},
    {"Referenced", steReferenceSign, false},
    {"FrameDot", steFrameDot, true},
    {"FrameSingle", steFrameSingle, true},
    {"Mark", steMark, true},
    {"ExternalEditingMode", steExternalEditingMode, true},
    {"LogicFrame", steElement, true},
    {"ImageChess", steImageChess, true},
};

const char *const kFontTags[kSheetThemeFontCount] = {"ElementFont", "CodeFont", "FixedFont", "ArtFont",
                                                      "CommentFont"};

// Up to four comma-separated decimal integers; missing or unreadable items are 0, the others clamped.
std::array<int, 4> ReadIntList(const QString &text, int min, int max) {
  std::array<int, 4> values{};
  const QStringList items = text.split(QLatin1Char(','));
  for (int i = 0; i < 4 && i < items.size(); ++i) {
    bool ok = false;
    const qlonglong v = items[i].trimmed().toLongLong(&ok, 10);
    values[i] = ok ? int(std::clamp<qlonglong>(v, min, max)) : 0;
  }
  return values;
}

QMargins ReadMargins(TKnot &knot, QStringView name, int min = 0, int max = 10000) {
  const auto v = ReadIntList(knot.ReadStr(name), min, max);
  return QMargins(v[0], v[1], v[2], v[3]);
}

// "x,y": the pixel of the theme image there, each coordinate clamped into the image; `fallback` when the
// attribute is missing.
TColor32 ReadColor(TKnot &knot, QStringView name, const TBitmap32 &image, TColor32 fallback) {
  if (!knot.HasParam(name))
    return fallback;
  const auto v = ReadIntList(knot.ReadStr(name), INT_MIN, INT_MAX);
  return image.Pixel(std::clamp(v[0], 0, std::max(0, image.Width() - 1)),
                     std::clamp(v[1], 0, std::max(0, image.Height() - 1)));
}

QByteArray ReadWholeFile(const QString &fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    throw EException(QStringLiteral("Cannot read \"%1\": %2").arg(fileName, file.errorString()));
  return file.readAll();
}

// Everything the pixels of a nine-slice composition depend on. The skin's fields are part of it, so that a
// skin changed through Elements() never reuses a composition of its former look.
struct TNineSliceKey {
  int Skin = 0;
  TColor32 Tint = 0;
  int Width = 0, Height = 0;
  const TBitmap32 *Image = nullptr;
  QRect Cut;
  QMargins Zone;
  std::array<quint8, 5> Modes{};
  bool operator==(const TNineSliceKey &) const = default;
};

struct TNineSliceKeyHash {
  std::size_t operator()(const TNineSliceKey &key) const noexcept {
    return qHashMulti(0, key.Skin, key.Tint, key.Width, key.Height);
  }
};

// A skin's slices drawn onto a transparent bitmap of the target's size. Blending it onto a target gives
// the pixels of drawing the slices there: every target pixel gets at most one slice pixel, and a slice
// pixel blended onto transparency stays itself (or transparent, which blends to no change). An opaque
// source is copied, which is why the drawn rectangles are kept: only they are copied back.
struct TNineSliceComposition {
  TNineSliceKey Key;
  TBitmap32 Image;
  std::vector<QRect> Drawn;  // in Image's coordinates, neighbours merged
};

// Joins each rectangle to the one before it when the two are side by side in one row, then when they
// are stacked in one column.
void MergeNeighbours(std::vector<QRect> &rects) {
  const auto merge = [&rects](auto adjacent) {
    std::vector<QRect> merged;
    for (const QRect &r : rects)
      if (!merged.empty() && adjacent(merged.back(), r))
        merged.back() |= r;
      else
        merged.push_back(r);
    rects.swap(merged);
  };
  merge([](const QRect &a, const QRect &b) {
    return a.top() == b.top() && a.height() == b.height() && a.right() + 1 == b.left();
  });
  merge([](const QRect &a, const QRect &b) {
    return a.left() == b.left() && a.width() == b.width() && a.bottom() + 1 == b.top();
  });
}

} // namespace

// The compositions, most recently used first, with their total pixels kept within the limit.
class TSheetTheme::TNineSliceCache {
public:
  std::size_t Limit() const { return FLimit; }
  std::size_t Pixels() const { return FPixels; }
  void SetLimit(std::size_t pixels) {
    FLimit = pixels;
    Trim(0);
  }
  // Whether a composition of width x height pixels may be kept.
  bool Admits(int width, int height) const { return qint64(width) * height <= qint64(FLimit / 8); }

  // The composition of `key`, now the most recently used; null when there is none.
  const TNineSliceComposition *Find(const TNineSliceKey &key) {
    const auto found = FIndex.find(key);
    if (found == FIndex.end())
      return nullptr;
    FEntries.splice(FEntries.begin(), FEntries, found->second);
    return &*found->second;
  }
  // Takes the one composition of `fresh` (whose key is not held), dropping the least recently used ones
  // until it fits.
  const TNineSliceComposition &Insert(std::list<TNineSliceComposition> &&fresh) {
    const std::size_t pixels = Size(fresh.front());
    Trim(pixels);
    FIndex.reserve(FIndex.size() + 1);
    FEntries.splice(FEntries.begin(), fresh);
    FIndex.emplace(FEntries.front().Key, FEntries.begin());
    FPixels += pixels;
    return FEntries.front();
  }
  void Clear() {
    FIndex.clear();
    FEntries.clear();
    FPixels = 0;
  }

private:
  static std::size_t Size(const TNineSliceComposition &c) {
    return std::size_t(c.Image.Width()) * std::size_t(c.Image.Height());
  }
  // Drops the least recently used compositions until `room` more pixels fit.
  void Trim(std::size_t room) {
    while (!FEntries.empty() && FPixels + room > FLimit) {
      FPixels -= Size(FEntries.back());
      FIndex.erase(FEntries.back().Key);
      FEntries.pop_back();
    }
  }

  std::size_t FLimit = kDefaultNineSliceCacheLimit, FPixels = 0;
  std::list<TNineSliceComposition> FEntries;
  std::unordered_map<TNineSliceKey, std::list<TNineSliceComposition>::iterator, TNineSliceKeyHash> FIndex;
};

QString SheetThemeFontTag(TSheetThemeFont font) { return QString::fromLatin1(kFontTags[font]); }
QString SheetThemeElementTag(TSheetThemeElement element) { return QString::fromLatin1(kElementInfo[element].Tag); }
TSheetThemeElement SheetThemeElementFallback(TSheetThemeElement element) { return kElementInfo[element].Fallback; }
bool SheetThemeElementIsNineSlice(TSheetThemeElement element) { return kElementInfo[element].NineSlice; }

QString ResolveFontFace(const QString &faceList) {
  static const std::pair<const char *, const char *> standIns[] = {{"Arial", "Liberation Sans"},
                                                                     {"Times New Roman", "Liberation Serif"},
                                                                     {"Courier New", "Liberation Mono"},
                                                                     {"Tahoma", "DejaVu Sans"}};
  const QStringList installed = QFontDatabase::families();
  auto find = [&](const QString &face) {
    for (const QString &family : installed)
      if (family.compare(face, Qt::CaseInsensitive) == 0)
        return family;
    return QString();
  };
  for (const QString &item : faceList.split(QLatin1Char(','))) {
    const QString face = item.trimmed();
    if (face.isEmpty())
      continue;
    if (QString found = find(face); !found.isEmpty())
      return found;
    for (const auto &[name, standIn] : standIns)
      if (face.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
        if (QString found = find(QLatin1String(standIn)); !found.isEmpty())
          return found;
  }
  return QString();
}

// ---------------------------------------------------------------------------------------------------------

TSheetTheme::TSheetTheme() : FNineSlices(std::make_unique<TNineSliceCache>()) { ResetDefaults(); }
TSheetTheme::~TSheetTheme() = default;

void TSheetTheme::ResetDefaults() {
  FNineSlices->Clear();
  FImage.Clear();
  FFonts.fill(TSheetThemeFontData());
  for (TSheetThemeElementData &e : FElements)
    e = TSheetThemeElementData();
  FImages.fill(TSheetThemeImageData());
  DisableColor = MakeColor32(220, 220, 220, 190);
  SelectColor = MakeColor32(95, 143, 216, 130);
  SelectInactiveColor = MakeColor32(237, 237, 230, 185);
  for (TSheetThemeElementData &e : FElements)
    e.Image = &Image();
  ApplyScale();
}

const TBitmap32 &TSheetTheme::Image() const { return FImage.IsEmpty() ? FNoImage : FImage.Images(0); }

void TSheetTheme::LoadFromFile(const QString &infoFileName) {
  const QFileInfo info(infoFileName);
  const QString imageFileName = info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".png");
  LoadFromData(ReadWholeFile(infoFileName), ReadWholeFile(imageFileName));
}

void TSheetTheme::LoadFromResource(const QString &name) {
  LoadFromData(ReadWholeFile(RenderResourcePath(name + QStringLiteral("Info"))),
               ReadWholeFile(RenderResourcePath(name + QStringLiteral("Image"))));
}

void TSheetTheme::LoadFromData(const QByteArray &info, const QByteArray &image) {
  ResetDefaults();
  QBuffer imageStream;
  imageStream.setData(image);
  imageStream.open(QIODevice::ReadOnly);
  FImage.LoadFromStream(imageStream);
  for (TSheetThemeElementData &e : FElements)
    e.Image = &Image();
  TNodePtr<TKnot> root = MakeNode<TKnot>();
  root->LoadFromBytes(info);
  ReadInfo(*root);
  ApplyScale();
}

void TSheetTheme::LoadByName(const QString &name, const QString &themesFolder) {
  if (name.compare(QLatin1String("Default"), Qt::CaseInsensitive) != 0) {
    try {
      LoadFromFile(QDir(themesFolder).filePath(name + QStringLiteral(".txt")));
      return;
    } catch (const EException &) {
      // Any failure of a named theme falls back to the built-in one, without a message.
    }
  }
  LoadFromResource(BuiltInName());
}

void TSheetTheme::ReadInfo(TKnot &root) {
  const TBitmap32 &image = Image();
  DisableColor = ReadColor(root, u"DisableColor", image, DisableColor);
  SelectColor = ReadColor(root, u"SelectColor", image, SelectColor);
  SelectInactiveColor = ReadColor(root, u"SelectInactiveColor", image, SelectInactiveColor);

  for (int f = 0; f < kSheetThemeFontCount; ++f) {
    TKnot *found = root.FindChild(QString::fromLatin1(kFontTags[f]));
    TNodePtr<TKnot> empty = MakeNode<TKnot>();
    TKnot &knot = found ? *found : *empty;
    TSheetThemeFontData &font = FFonts[f];
    font.Name = ResolveFontFace(knot.ReadStr(u"Name"));
    // Sizes beyond 1000 points are no use on a sheet and only strain the rasteriser.
    font.BaseSize = std::clamp(knot.ReadInt(u"Size", 0), 0, 1000);
    font.Style = (knot.ReadBool(u"Bold", false) ? fsBold : 0) | (knot.ReadBool(u"Italic", false) ? fsItalic : 0) |
                 (knot.ReadBool(u"Underline", false) ? fsUnderline : 0);
    font.Color = PlatformColorOf(ReadColor(knot, u"Color", image, 0xFF000000));
    const TColor32 second = ReadColor(knot, u"SecondColor", image, 0);
    font.SecondColor = second == 0 ? clNone : PlatformColorOf(second);
  }

  for (int i = 0; i < kSheetThemeElementCount; ++i) {
    // The skin's own tag, else along its fallback chain.
    TKnot *found = nullptr;
    for (int s = i;;) {
      found = root.FindChild(QString::fromLatin1(kElementInfo[s].Tag));
      if (found || kElementInfo[s].Fallback == s)
        break;
      s = kElementInfo[s].Fallback;
    }
    TNodePtr<TKnot> empty = MakeNode<TKnot>();
    TKnot &knot = found ? *found : *empty;
    TSheetThemeElementData &e = FElements[i];
    const auto cut = ReadIntList(knot.ReadStr(u"Cut"), 0, 10000);
    if (cut == std::array<int, 4>{})
      e.Cut = image.BoundsRect();
    else if (cut[2] < cut[0] || cut[3] < cut[1])  // reversed: nothing to draw
      e.Cut = QRect();
    else  // right and bottom are inclusive in the text
      e.Cut = QRect(QPoint(cut[0], cut[1]), QPoint(cut[2], cut[3])) & image.BoundsRect();
    e.ColorOver = ReadColor(knot, u"ColorOver", image, 0);
    e.MouseTransparent = ReadMargins(knot, u"MouseTransparent");
    e.BaseMargins = ReadMargins(knot, u"Margins", -10000, 10000);
    e.BasePadding = ReadMargins(knot, u"Padding");
    if (kElementInfo[i].NineSlice) {
      e.FillModeLeft = quint8(knot.ReadInt(u"FillModeLeft", 0, 0, 2));
      e.FillModeTop = quint8(knot.ReadInt(u"FillModeTop", 0, 0, 2));
      e.FillModeRight = quint8(knot.ReadInt(u"FillModeRight", 0, 0, 2));
      e.FillModeBottom = quint8(knot.ReadInt(u"FillModeBottom", 0, 0, 2));
      e.FillModeClient = quint8(knot.ReadInt(u"FillModeClient", 0, 0, 2));
      e.Zone = ReadMargins(knot, u"Zone");
    }
  }

  const TSheetThemeElementData &field = FElements[steField];
  for (int i = 0; i < kSheetThemeImageCount; ++i) {
    const int n = 3 + i;
    FImages[i].BaseMargins = QMargins(n, field.BaseMargins.top(), n, field.BaseMargins.bottom());
    FImages[i].BaseSpacing = std::max(2, field.BasePadding.left() * 2 / 5);
  }
}

void TSheetTheme::SetScale(int fontStep, int percent) {
  FFontStep = fontStep;
  FPercent = percent;
  ApplyScale();
}

void TSheetTheme::ApplyScale() {
  const auto scale = [this](int v) { return int(qint64(v) * FPercent / 100); };
  const auto scaleMargins = [&](const QMargins &m) {
    return QMargins(scale(m.left()), scale(m.top()), scale(m.right()), scale(m.bottom()));
  };
  for (TSheetThemeFontData &font : FFonts)
    font.Size = font.BaseSize + FFontStep;
  for (TSheetThemeElementData &e : FElements) {
    e.Margins = scaleMargins(e.BaseMargins);
    e.Padding = scaleMargins(e.BasePadding);
  }
  for (TSheetThemeImageData &image : FImages) {
    image.Margins = scaleMargins(image.BaseMargins);
    image.Spacing = scale(image.BaseSpacing);
  }
  FHorizontalSpacing = FVerticalSpacing = scale(3);
  FTitleInsets = scaleMargins(QMargins(3, 0, 3, 0));
}

// ---------------------------------------------------------------------------------------------------------
// Drawing.

const TBitmap32 &TSheetTheme::TintedCopy(TSheetThemeElementData &element, TColor32 color) {
  for (const TColorOverImage &cached : element.TintCache)
    if (cached.Color == color)
      return *cached.Image;
  auto tinted = std::make_unique<TBitmap32>();
  const QRect cut = element.Cut & element.Image->BoundsRect();
  tinted->SetSize(cut.width(), cut.height());
  tinted->SetDrawMode(dmBlend);
  tinted->SetCombineMode(cmBlend);
  const double a = AlphaOf(color) / 255.0;
  const auto mix = [a](int tint, int pixel) {
    return std::clamp(int(std::lround(a * tint + (1 - a) * pixel)), 0, 255);
  };
  for (int y = 0; y < cut.height(); ++y)
    for (int x = 0; x < cut.width(); ++x) {
      const TColor32 p = element.Image->Pixel(cut.left() + x, cut.top() + y);
      tinted->SetPixel(x, y, AlphaOf(p) == 0 ? p
                                             : MakeColor32(mix(RedOf(color), RedOf(p)), mix(GreenOf(color), GreenOf(p)),
                                                           mix(BlueOf(color), BlueOf(p)), AlphaOf(p)));
    }
  element.TintCache.push_back({color, std::move(tinted)});
  return *element.TintCache.back().Image;
}

void TSheetTheme::DrawImage(TSheetThemeElement skin, TBitmap32 &bitmap, const QPoint &at, TColor32 tint) {
  TSheetThemeElementData &e = FElements[skin];
  if (!tint)
    tint = e.ColorOver;
  if (tint)
    TintedCopy(e, tint).DrawTo(bitmap, at.x(), at.y());
  else
    e.Image->DrawTo(bitmap, at.x(), at.y(), e.Cut);
}

std::pair<int, int> TSheetTheme::SplitBorders(int size, int first, int second) {
  size = std::max(0, size);
  if (qint64(first) + second <= size)
    return {first, second};
  int left = 0;
  if (first > 0)
    left = int(std::min<qint64>(first, std::llround(double(size) * (double(first) + second) / first)));
  left = std::clamp(left, 0, size);
  return {left, size - left};
}

std::size_t TSheetTheme::NineSliceCacheLimit() const { return FNineSlices->Limit(); }
void TSheetTheme::SetNineSliceCacheLimit(std::size_t pixels) { FNineSlices->SetLimit(pixels); }
std::size_t TSheetTheme::NineSliceCachePixels() const { return FNineSlices->Pixels(); }

void TSheetTheme::DrawNineSlice(TSheetThemeElement skin, TBitmap32 &bitmap, const QRect &rect, TColor32 tint) {
  TSheetThemeElementData &e = FElements[skin];
  const QRect target = rect.normalized();
  if (target.isEmpty())
    return;
  if (!tint)
    tint = e.ColorOver;
  const TBitmap32 *source = e.Image;
  QRect from = e.Cut & e.Image->BoundsRect();
  if (tint) {
    source = &TintedCopy(e, tint);
    from = source->BoundsRect();
  }
  // Nothing of this draw may leave the target rectangle.
  const QRect visible = bitmap.ClipRect() & target;
  if (from.isEmpty() || visible.isEmpty())
    return;

  if (&bitmap == source || !FNineSlices->Admits(target.width(), target.height())) {
    const QRect savedClip = bitmap.ClipRect();
    bitmap.SetClipRect(visible);
    DrawSlices(e, *source, from, bitmap, target, nullptr);
    bitmap.SetClipRect(savedClip);
    return;
  }
  const TNineSliceKey key{skin,    tint,  target.width(), target.height(), e.Image, e.Cut, e.Zone,
                          {e.FillModeLeft, e.FillModeTop, e.FillModeRight, e.FillModeBottom, e.FillModeClient}};
  const TNineSliceComposition *composition = FNineSlices->Find(key);
  if (!composition) {
    // Made aside and handed over whole, so that a failure leaves the cache as it was.
    std::list<TNineSliceComposition> fresh(1);
    TNineSliceComposition &made = fresh.front();
    made.Key = key;
    made.Image.SetSize(target.width(), target.height());
    made.Image.Clear(0);
    DrawSlices(e, *source, from, made.Image, made.Image.BoundsRect(), &made.Drawn);
    made.Image.SetDrawMode(source->DrawMode());
    MergeNeighbours(made.Drawn);
    composition = &FNineSlices->Insert(std::move(fresh));
  }
  for (const QRect &part : composition->Drawn) {
    const QRect to = part.translated(target.topLeft()) & visible;
    if (!to.isEmpty())
      composition->Image.DrawTo(bitmap, to.left(), to.top(), to.translated(-target.topLeft()));
  }
}

void TSheetTheme::DrawSlices(const TSheetThemeElementData &e, const TBitmap32 &source, const QRect &from,
                             TBitmap32 &bitmap, const QRect &target, std::vector<QRect> *drawn) {
  const auto [left, right] = SplitBorders(target.width(), e.Zone.left(), e.Zone.right());
  const auto [top, bottom] = SplitBorders(target.height(), e.Zone.top(), e.Zone.bottom());

  // Column and row k of the target and of the source: [start, start + length).
  const auto spans = [](int start, int length, int first, int last) {
    first = std::min(first, length);
    last = std::min(last, length - first);
    return std::array<std::pair<int, int>, 3>{
        {{start, first}, {start + first, length - first - last}, {start + length - last, last}}};
  };
  const auto targetColumns = spans(target.left(), target.width(), left, right);
  const auto targetRows = spans(target.top(), target.height(), top, bottom);
  const auto sourceColumns = spans(from.left(), from.width(), left, right);
  const auto sourceRows = spans(from.top(), from.height(), top, bottom);
  const quint8 modes[3][3] = {{fmStretch, e.FillModeTop, fmStretch},
                              {e.FillModeLeft, e.FillModeClient, e.FillModeRight},
                              {fmStretch, e.FillModeBottom, fmStretch}};

  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column) {
      const QRect to(targetColumns[column].first, targetRows[row].first, targetColumns[column].second,
                     targetRows[row].second);
      const QRect slice(sourceColumns[column].first, sourceRows[row].first, sourceColumns[column].second,
                        sourceRows[row].second);
      if (to.isEmpty() || slice.isEmpty())
        continue;
      const quint8 mode = modes[row][column];
      if (mode == fmStretch)
        source.DrawTo(bitmap, to, slice);
      else if (mode == fmTile) {
        const QRect visible = to & bitmap.ClipRect();
        if (visible.isEmpty())
          continue;
        // Tiles start at the slice's top-left corner; only those meeting the visible part are drawn.
        const int firstColumn = (visible.left() - to.left()) / slice.width();
        const int firstRow = (visible.top() - to.top()) / slice.height();
        for (int y = to.top() + firstRow * slice.height(); y <= visible.bottom(); y += slice.height())
          for (int x = to.left() + firstColumn * slice.width(); x <= visible.right(); x += slice.width()) {
            const QRect tile(slice.left(), slice.top(), std::min(slice.width(), to.right() + 1 - x),
                             std::min(slice.height(), to.bottom() + 1 - y));
            source.DrawTo(bitmap, x, y, tile);
          }
      } else
        continue;
      if (drawn)
        drawn->push_back(to);
    }
}

// ---------------------------------------------------------------------------------------------------------

QString TSheetTheme::ThemesFolder() { return ProgramFolder() + QStringLiteral("Themes/"); }

QStringList TSheetTheme::ThemeNames(const QString &themesFolder) {
  QStringList names;
  const QDir folder(themesFolder);
  // Without QDir::CaseSensitive the name filter ignores case.
  for (const QString &file : folder.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Readable)) {
    const QString name = file.chopped(4);
    // A file named "Default" could never be chosen: that name selects the built-in theme.
    if (name.compare(QLatin1String("Default"), Qt::CaseInsensitive) != 0)
      names << name;
  }
  std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
  });
  names.prepend(QStringLiteral("Default"));
  return names;
}

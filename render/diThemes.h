// Appearance themes: five fonts, thirty-five element skins cut out of one theme image, the colours of
// disabled and selected areas and a few spacing values, read from a theme info text and a PNG image.
#pragma once

#include "diBitmap32.h"
#include "umUniversalImage.h"

#include <QMargins>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

class TKnot;

enum TSheetThemeFont { stfStone, stfValue, stfFixed, stfArt, stfComment };
constexpr int kSheetThemeFontCount = 5;

enum TSheetThemeImage { stiChar, stiSmall, stiLarge };
constexpr int kSheetThemeImageCount = 3;

enum TSheetThemeElement {
  steSheet, steLine, steUnaccepted, steElement, steElementCommand, steElementTechnical, steElementExpression,
  steDescription, steCollapsed, steCollapsedData, steExpanded, steExpandedData, steField, steName,
  steNamePrivate, steNamePublic, steCheckBox, steCheckBoxChecked, steCheckBoxUnchecked, steContainer,
  steImageContainer, steSubstitution, steSubstitutionBegin, steSubstitutionContinue, steSubstitutionEnd,
  steComment, steErrorSign, steNeedValueSign, steReferenceSign, steFrameDot, steFrameSingle, steMark,
  steExternalEditingMode, steLogicFrame, steImageChess
};
constexpr int kSheetThemeElementCount = 35;

// The tag of a font ("ElementFont", ...) and of a skin ("Sheet", ..., "Error" for steErrorSign) in the
// theme info; the skin a missing tag falls back to (the skin itself at the end of a chain); whether a
// skin is drawn in nine slices (the others ignore fill modes and zones).
QString SheetThemeFontTag(TSheetThemeFont font);
QString SheetThemeElementTag(TSheetThemeElement element);
TSheetThemeElement SheetThemeElementFallback(TSheetThemeElement element);
bool SheetThemeElementIsNineSlice(TSheetThemeElement element);

// How an edge or the centre of a nine-slice skin is filled.
enum TSheetThemeFillMode : quint8 { fmStretch = 0, fmTile = 1, fmLeaveOut = 2 };

struct TSheetThemeFontData {
  QString Name;  // the face found installed; empty when none of the listed faces is
  int BaseSize = 0, Size = 0;  // points; Size = BaseSize + the font-size step
  int Style = 0;               // fsBold, fsItalic, fsUnderline
  TColor Color = 0;            // opaque
  TColor SecondColor = clNone; // shadow colour
};

// A tinted copy of a skin's cut.
struct TColorOverImage {
  TColor32 Color = 0;
  std::unique_ptr<TBitmap32> Image;
};

struct TSheetThemeElementData {
  const TBitmap32 *Image = nullptr;  // the theme's image; not owned
  std::vector<TColorOverImage> TintCache;
  QRect Cut;               // area of the theme image, inside it
  TColor32 ColorOver = 0;  // default tint; 0 for none
  QMargins MouseTransparent;
  QMargins BaseMargins, Margins;  // Margins and Padding are the scaled copies
  QMargins BasePadding, Padding;
  quint8 FillModeLeft = fmStretch, FillModeTop = fmStretch, FillModeRight = fmStretch, FillModeBottom = fmStretch,
         FillModeClient = fmStretch;
  QMargins Zone;  // nine-slice border widths in image pixels (never scaled)
};

struct TSheetThemeImageData {
  QMargins BaseMargins, Margins;
  int BaseSpacing = 0, Spacing = 0;
};

class TSheetTheme {
public:
  // The built-in theme's resource name; its info and image are the resources with "Info" and "Image"
  // appended.
  static QString BuiltInName() { return QStringLiteral("LoomDefaultTheme"); }

  // Every font, skin and colour at its default; an empty image.
  TSheetTheme();
  ~TSheetTheme();
  TSheetTheme(const TSheetTheme &) = delete;
  TSheetTheme &operator=(const TSheetTheme &) = delete;

  // The info text from the file, the image from the file of the same name with the extension ".png".
  // Raises when either cannot be read or the image does not decode; missing tags and attributes take
  // their defaults and numbers out of range are clamped.
  void LoadFromFile(const QString &infoFileName);
  // The render resources name + "Info" and name + "Image".
  void LoadFromResource(const QString &name);
  // The info text and the image as bytes (what both loaders come down to).
  void LoadFromData(const QByteArray &info, const QByteArray &image);
  // "Default" (without regard to case) selects the built-in theme; any other name N loads
  // themesFolder/N.txt and N.png, and falls back to the built-in theme when that raises.
  void LoadByName(const QString &name, const QString &themesFolder = ThemesFolder());

  // Fonts grow by fontStep points, margins, paddings and spacings are scaled by percent (truncating).
  // Kept across loads.
  void SetScale(int fontStep, int percent);

  const TBitmap32 &Image() const;
  const TSheetThemeFontData &Fonts(TSheetThemeFont font) const { return FFonts[font]; }
  const TSheetThemeElementData &Elements(TSheetThemeElement element) const { return FElements[element]; }
  TSheetThemeElementData &Elements(TSheetThemeElement element) { return FElements[element]; }
  const TSheetThemeImageData &Images(TSheetThemeImage image) const { return FImages[image]; }

  TColor32 DisableColor = MakeColor32(220, 220, 220, 190);
  TColor32 SelectColor = MakeColor32(95, 143, 216, 130);
  TColor32 SelectInactiveColor = MakeColor32(237, 237, 230, 185);
  // Between table cells (3 at 100 %), and around the caption of titled elements ((3, 0, 3, 0) at 100 %).
  int HorizontalSpacing() const { return FHorizontalSpacing; }
  int VerticalSpacing() const { return FVerticalSpacing; }
  QMargins TitleInsets() const { return FTitleInsets; }

  // The skin's cut at `at`, at its own size; tinted with `tint`, or with the skin's ColorOver when tint
  // is 0, or not at all when both are 0. Blended onto the bitmap.
  void DrawImage(TSheetThemeElement skin, TBitmap32 &bitmap, const QPoint &at, TColor32 tint = 0);
  // The skin in nine slices onto `rect`: corners at their size, edges and centre stretched or tiled by
  // their fill modes. Nothing is drawn outside `rect`.
  // The slices of a skin, tint and size are composed once and kept in a cache of at most
  // NineSliceCacheLimit() pixels, least recently used dropped first; a later draw of the same skin, tint
  // and size blends that composition, with the same pixels as composing it again. Draws larger than an
  // eighth of the limit are composed every time.
  void DrawNineSlice(TSheetThemeElement skin, TBitmap32 &bitmap, const QRect &rect, TColor32 tint = 0);
  // The cache's limit (4 bytes a pixel) and the pixels it holds now. A limit of 0 turns the cache off;
  // lowering it drops compositions until the rest fit.
  static constexpr std::size_t kDefaultNineSliceCacheLimit = std::size_t(2) << 20;
  std::size_t NineSliceCacheLimit() const;
  void SetNineSliceCacheLimit(std::size_t pixels);
  std::size_t NineSliceCachePixels() const;

  // The widths of the left and right (or top and bottom) borders of a nine-slice skin drawn `size`
  // pixels wide (high): the zones when they fit; otherwise the first border is
  // min(first, round(size * (first + second) / first)) and the second what remains. A zone of 0 gives a
  // border of 0 and neither border leaves the target.
  static std::pair<int, int> SplitBorders(int size, int first, int second);

  // The "Themes" folder next to the program, with a trailing separator.
  static QString ThemesFolder();
  // "Default", then the names without extension of the files "*.txt" (any case) in the folder, sorted
  // without regard to case.
  static QStringList ThemeNames(const QString &themesFolder = ThemesFolder());

private:
  class TNineSliceCache;

  void ResetDefaults();
  void ReadInfo(TKnot &root);
  const TBitmap32 &TintedCopy(TSheetThemeElementData &element, TColor32 color);
  // The slices of `element` from `from` of `source` onto `target` of `bitmap`, inside the bitmap's clip
  // rectangle; appends to `drawn` (when given) the target rectangle of every slice drawn.
  static void DrawSlices(const TSheetThemeElementData &element, const TBitmap32 &source, const QRect &from,
                         TBitmap32 &bitmap, const QRect &target, std::vector<QRect> *drawn);
  void ApplyScale();

  TUniversalImage FImage;
  TBitmap32 FNoImage;
  std::array<TSheetThemeFontData, kSheetThemeFontCount> FFonts;
  std::array<TSheetThemeElementData, kSheetThemeElementCount> FElements;
  std::array<TSheetThemeImageData, kSheetThemeImageCount> FImages;
  int FHorizontalSpacing = 3, FVerticalSpacing = 3;
  QMargins FTitleInsets{3, 0, 3, 0};
  int FFontStep = 0, FPercent = 100;
  std::unique_ptr<TNineSliceCache> FNineSlices;
};

// The first face of a comma-separated list that is installed, as the font database spells it. A face
// also counts as installed through its metric-compatible stand-in, which is then the face used: Arial ->
// Liberation Sans, Times New Roman -> Liberation Serif, Courier New -> Liberation Mono, Tahoma -> DejaVu
// Sans. Empty when none is installed.
QString ResolveFontFace(const QString &faceList);

#include "diThemes.h"

#include "cuClasses.h"
#include "testSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFontDatabase>

#include <gtest/gtest.h>

namespace {

constexpr TColor32 Red = 0xFFFF0000, Black = 0xFF000000;

QByteArray Png(const QImage &image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

// A 12 x 12 theme image, solid red except for the 6 x 6 square at (3, 3), whose pixels are opaque
// (0, 10 x, 10 y) apart from the translucent (0, 150, 200, 128) at (6, 6); pixel (0, 11) holds a tint colour.
QImage FixtureImage() {
  QImage image(12, 12, QImage::Format_ARGB32);
  image.fill(Red);
  for (int y = 3; y < 9; ++y)
    for (int x = 3; x < 9; ++x)
      image.setPixel(x, y, qRgb(0, 10 * x, 10 * y));
  image.setPixel(6, 6, qRgba(0, 150, 200, 128));
  image.setPixel(0, 11, qRgba(255, 0, 0, 128));
  image.setPixel(1, 11, 0);
  return image;
}

void Load(TSheetTheme &theme, const char *info, const QImage &image = FixtureImage()) {
  theme.LoadFromData(QByteArray(info), Png(image));
}

TEST(SheetTheme, SkinsFallBackAlongTheirChain) {
  TSheetTheme theme;
  Load(theme, "<ThemeInfo><Element Cut=3,3,8,8 Zone=2,2,2,2 Padding=1,2,3,4/></ThemeInfo>");
  for (TSheetThemeElement skin : {steElement, steLogicFrame, steUnaccepted, steElementCommand}) {
    EXPECT_EQ(theme.Elements(skin).Cut, QRect(3, 3, 6, 6)) << skin;
    EXPECT_EQ(theme.Elements(skin).Zone, QMargins(2, 2, 2, 2)) << skin;
    EXPECT_EQ(theme.Elements(skin).BasePadding, QMargins(1, 2, 3, 4)) << skin;
  }
  // No tag and no fallback: all defaults, the whole image.
  EXPECT_EQ(theme.Elements(steSheet).Cut, QRect(0, 0, 12, 12));
  EXPECT_EQ(theme.Elements(steSheet).Zone, QMargins());
  // Two steps: NamePrivate -> Name -> Field.
  Load(theme, "<T><Field Cut=0,0,1,1/></T>");
  EXPECT_EQ(theme.Elements(steNamePrivate).Cut, QRect(0, 0, 2, 2));
  EXPECT_EQ(theme.Elements(steImageContainer).Cut, QRect(0, 0, 2, 2));
  EXPECT_EQ(theme.Elements(steDescription).Cut, QRect(0, 0, 12, 12));
}

TEST(SheetTheme, ValueGrammar) {
  TSheetTheme theme;
  Load(theme, R"(<ThemeInfo DisableColor=0,11 SelectColor=999,-5>
      <Sheet Cut=0,0,0,0 Margins=-20000,5 Padding=-5,x,20000,7,99 Zone=1,1,1,1 FillModeTop=3 FillModeClient=2/>
      <Line Cut="1, 2, 3, 4" MouseTransparent=1,,3 FillModeLeft=1/>
      <Collapsed Cut=3,3,8,8 Zone=1,1,1,1 FillModeClient=1 ColorOver=0,11/>
      <Mark Cut=20,20,30,30/>
      <FrameDot Cut=8,8,3,3/>
      <ElementFont Name="NoSuchFace,Liberation Sans" Size=11 Bold=1 Italic=0 Underline=1 Color=4,5 SecondColor=1,11/>
      <CodeFont Name=NoSuchFace,AlsoMissing SecondColor=5,5/>
    </ThemeInfo>)");
  const TSheetThemeElementData &sheet = theme.Elements(steSheet);
  EXPECT_EQ(sheet.Cut, QRect(0, 0, 12, 12));  // four zeros: the whole image
  EXPECT_EQ(sheet.BaseMargins, QMargins(-10000, 5, 0, 0));
  EXPECT_EQ(sheet.BasePadding, QMargins(0, 0, 10000, 7));
  EXPECT_EQ(sheet.Zone, QMargins(1, 1, 1, 1));
  EXPECT_EQ(sheet.FillModeTop, fmStretch);  // out of range reads as 0
  EXPECT_EQ(sheet.FillModeClient, fmLeaveOut);
  const TSheetThemeElementData &line = theme.Elements(steLine);
  EXPECT_EQ(line.Cut, QRect(QPoint(1, 2), QPoint(3, 4)));  // right and bottom inclusive
  EXPECT_EQ(line.MouseTransparent, QMargins(1, 0, 3, 0));
  EXPECT_EQ(line.FillModeLeft, fmTile);
  // Not a nine-slice skin: fill modes and zone are ignored.
  const TSheetThemeElementData &collapsed = theme.Elements(steCollapsed);
  EXPECT_EQ(collapsed.Zone, QMargins());
  EXPECT_EQ(collapsed.FillModeClient, fmStretch);
  EXPECT_EQ(collapsed.ColorOver, 0x80FF0000u);
  EXPECT_TRUE(theme.Elements(steMark).Cut.isEmpty());      // entirely outside the image
  EXPECT_TRUE(theme.Elements(steFrameDot).Cut.isEmpty());  // reversed

  EXPECT_EQ(theme.DisableColor, 0x80FF0000u);
  EXPECT_EQ(theme.SelectColor, Red);  // (11, 0), coordinates clamped into the image
  EXPECT_EQ(theme.SelectInactiveColor, MakeColor32(237, 237, 230, 185));

  const TSheetThemeFontData &element = theme.Fonts(stfStone);
  EXPECT_EQ(element.Name, "Liberation Sans");
  EXPECT_EQ(element.BaseSize, 11);
  EXPECT_EQ(element.Style, fsBold | fsUnderline);
  EXPECT_EQ(element.Color, PlatformColorOf(0xFF002832));  // the pixel at (4, 5), opaque
  EXPECT_EQ(element.SecondColor, clNone);                  // a pixel of value 0 means none
  const TSheetThemeFontData &code = theme.Fonts(stfValue);
  EXPECT_EQ(code.Name, "");  // no listed face is installed
  EXPECT_EQ(code.Color, 0);  // opaque black by default
  EXPECT_EQ(code.SecondColor, PlatformColorOf(0xFF003232));
  EXPECT_EQ(theme.Fonts(stfComment).BaseSize, 0);  // a missing tag counts as an empty one

  // The images' margins and spacing follow the Field skin (here all defaults).
  EXPECT_EQ(theme.Images(stiLarge).BaseMargins, QMargins(5, 0, 5, 0));
  EXPECT_EQ(theme.Images(stiChar).BaseSpacing, 2);
}

TEST(SheetTheme, FaceListsFindStandInsForTheUsualFaces) {
  if (!QFontDatabase::families().contains(QStringLiteral("Liberation Mono")))
    GTEST_SKIP() << "fonts-liberation is not installed";
  const bool hasCourierNew = QFontDatabase::families().contains(QStringLiteral("Courier New"));
  EXPECT_EQ(ResolveFontFace(QStringLiteral("Courier New")), hasCourierNew ? "Courier New" : "Liberation Mono");
  EXPECT_EQ(ResolveFontFace(QStringLiteral("Seqoe, liberation serif")), "Liberation Serif");  // as installed
  EXPECT_EQ(ResolveFontFace(QStringLiteral("NoSuchFace,Tahoma")).isEmpty(), false);
  EXPECT_EQ(ResolveFontFace(QStringLiteral("NoSuchFace,Verdana Pro Black")), "");
  EXPECT_EQ(ResolveFontFace(QString()), "");
}

TEST(SheetTheme, ScaleGrowsFontsByPointsAndSpacingsByPercent) {
  TSheetTheme theme;
  Load(theme, "<T><ElementFont Size=10/><Field Padding=7,1,7,1 Margins=-3,4,3,4/></T>");
  theme.SetScale(4, 180);  // "Great"
  EXPECT_EQ(theme.Fonts(stfStone).Size, 14);
  EXPECT_EQ(theme.Fonts(stfStone).BaseSize, 10);
  EXPECT_EQ(theme.Elements(steField).Padding, QMargins(12, 1, 12, 1));
  EXPECT_EQ(theme.Elements(steField).Margins, QMargins(-5, 7, 5, 7));  // truncated toward zero
  EXPECT_EQ(theme.Elements(steName).Padding, QMargins(12, 1, 12, 1));
  EXPECT_EQ(theme.Images(stiSmall).Margins, QMargins(7, 7, 7, 7));  // (4, Field top, 4, Field bottom) x 1.8
  EXPECT_EQ(theme.Images(stiSmall).Spacing, 3);                    // max(2, 7 x 2 / 5) x 1.8
  EXPECT_EQ(theme.HorizontalSpacing(), 5);
  EXPECT_EQ(theme.TitleInsets(), QMargins(5, 0, 5, 0));
  // The scale stays for the next load; cut and zone are never scaled.
  Load(theme, "<T><ElementFont Size=10/><Element Cut=3,3,8,8 Zone=2,2,2,2/></T>");
  EXPECT_EQ(theme.Fonts(stfStone).Size, 14);
  EXPECT_EQ(theme.Elements(steElement).Zone, QMargins(2, 2, 2, 2));
  theme.SetScale(0, 100);
  EXPECT_EQ(theme.Fonts(stfStone).Size, 10);
}

TEST(SheetTheme, NineSliceBorders) {
  using TSplit = std::pair<int, int>;
  EXPECT_EQ(TSheetTheme::SplitBorders(30, 11, 11), TSplit(11, 11));
  EXPECT_EQ(TSheetTheme::SplitBorders(22, 11, 11), TSplit(11, 11));
  EXPECT_EQ(TSheetTheme::SplitBorders(15, 11, 11), TSplit(11, 4));
  EXPECT_EQ(TSheetTheme::SplitBorders(5, 11, 11), TSplit(5, 0));   // clamped to the target
  EXPECT_EQ(TSheetTheme::SplitBorders(10, 0, 11), TSplit(0, 10));  // a zero zone gives a zero border
  EXPECT_EQ(TSheetTheme::SplitBorders(0, 4, 4), TSplit(0, 0));
  EXPECT_EQ(TSheetTheme::SplitBorders(3, 0, 0), TSplit(0, 0));
}

// A nine-slice draw of a cut whose neighbours are solid red shows no red, at any size and fill mode, and
// leaves every pixel outside its rectangle alone.
TEST(SheetTheme, NineSliceDrawsOnlyTheCutAndOnlyInsideItsRectangle) {
  const char *infos[] = {
      "<T><Element Cut=3,3,8,8 Zone=2,2,2,2/></T>",
      ("<T><Element Cut=3,3,8,8 Zone=2,2,2,2 FillModeLeft=1 FillModeTop=1 FillModeRight=1 FillModeBottom=1 "
       "FillModeClient=1/></T>"),
      "<T><Element Cut=3,3,8,8 Zone=0,5,0,9 FillModeClient=1/></T>",
      "<T><Element Cut=3,3,8,8 Zone=11,11,11,11/></T>",
  };
  for (const char *info : infos)
    for (QSize size : {QSize(20, 15), QSize(6, 6), QSize(5, 3), QSize(1, 1), QSize(3, 40)}) {
      SCOPED_TRACE(std::string(info) + " " + std::to_string(size.width()) + "x" + std::to_string(size.height()));
      TSheetTheme theme;
      Load(theme, info);
      TBitmap32 target;
      target.SetSize(50, 50);
      target.Clear(Black);
      const QRect rect(QPoint(7, 9), size);
      theme.DrawNineSlice(steElement, target, rect);
      for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
          ASSERT_EQ(RedOf(target.Pixel(x, y)), 0) << x << "," << y;
          if (!rect.contains(x, y))
            ASSERT_EQ(target.Pixel(x, y), Black) << x << "," << y;
        }
    }
}

TEST(SheetTheme, NineSliceKeepsCornersAndTilesEdges) {
  TSheetTheme theme;
  Load(theme, "<T><Element Cut=3,3,8,8 Zone=2,2,2,2 FillModeTop=1 FillModeClient=2/></T>");
  TBitmap32 target;
  target.SetSize(20, 10);
  target.Clear(Black);
  theme.DrawNineSlice(steElement, target, target.BoundsRect());
  EXPECT_EQ(target.Pixel(0, 0), MakeColor32(0, 30, 30));    // the cut's top-left corner at its size
  EXPECT_EQ(target.Pixel(19, 9), MakeColor32(0, 80, 80));   // its bottom-right corner
  EXPECT_EQ(target.Pixel(10, 5), Black);                    // the centre is left out
  // The top edge (source columns 5 and 6, two wide) tiles from the edge's left end: 5, 6, 5, 6, ...
  for (int x = 2; x < 18; ++x)
    EXPECT_EQ(target.Pixel(x, 0), MakeColor32(0, x % 2 ? 60 : 50, 30)) << x;
  // The left edge (stretched) covers the rows between the corners.
  EXPECT_EQ(GreenOf(target.Pixel(0, 5)), 30);

  // The clip rectangle of the target is kept and respected.
  target.Clear(Black);
  target.SetClipRect(QRect(0, 0, 5, 5));
  theme.DrawNineSlice(steElement, target, target.BoundsRect());
  EXPECT_EQ(target.ClipRect(), QRect(0, 0, 5, 5));
  EXPECT_EQ(target.Pixel(19, 9), Black);
}

TEST(SheetTheme, TintsAreCachedPerColour) {
  TSheetTheme theme;
  Load(theme, "<T><Collapsed Cut=6,6,7,6 ColorOver=0,11/><Expanded Cut=3,3,4,3/></T>");
  TBitmap32 target;
  target.SetSize(4, 2);
  target.Clear(0);
  theme.DrawImage(steCollapsed, target, QPoint(0, 0));  // tinted by ColorOver (255, 0, 0, 128)
  EXPECT_EQ(target.Pixel(0, 0), MakeColor32(128, 75, 100, 128));  // the pixel's own alpha stays
  EXPECT_EQ(target.Pixel(1, 0), MakeColor32(128, 35, 30));         // (0, 70, 60) half way to red
  EXPECT_EQ(theme.Elements(steCollapsed).TintCache.size(), 1u);
  theme.DrawImage(steCollapsed, target, QPoint(2, 0));
  EXPECT_EQ(theme.Elements(steCollapsed).TintCache.size(), 1u);
  theme.DrawImage(steCollapsed, target, QPoint(0, 1), 0xFF0000FF);  // the argument wins
  EXPECT_EQ(target.Pixel(1, 1), 0xFF0000FFu);
  EXPECT_EQ(theme.Elements(steCollapsed).TintCache.size(), 2u);
  // No tint: the cut at its own size.
  target.Clear(0);
  theme.DrawImage(steExpanded, target, QPoint(1, 1));
  EXPECT_EQ(target.Pixel(1, 1), MakeColor32(0, 30, 30));
  EXPECT_EQ(target.Pixel(2, 1), MakeColor32(0, 40, 30));
  EXPECT_EQ(target.Pixel(3, 1), 0u);
}

TEST(SheetTheme, FullyTransparentPixelsAreNotTinted) {
  TSheetTheme theme;
  Load(theme, "<T><Error Cut=1,11,1,11 ColorOver=0,11/></T>");
  TBitmap32 target;
  target.SetSize(1, 1);
  target.Clear(0xFF00FF00);
  theme.DrawImage(steErrorSign, target, QPoint(0, 0));
  EXPECT_EQ(target.Pixel(0, 0), 0xFF00FF00u);
}

// A background of every kind of destination pixel: mostly opaque, some translucent, some transparent.
void FillBackground(TBitmap32 &bitmap, int width, int height) {
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int alpha = (x * y) % 3 == 0 ? 255 : (x * 13 + y * 7) % 3 == 0 ? 0 : (x * 13 + y) & 0xFF;
      bitmap.SetPixel(x, y, MakeColor32(x * 7, y * 5, (x + y) * 3, alpha));
    }
}

// The first pixel where two bitmaps differ, or an empty text.
std::string FirstDifference(const TBitmap32 &a, const TBitmap32 &b) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    return "different sizes";
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y))
        return std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(a.Pixel(x, y)) + " vs " +
               std::to_string(b.Pixel(x, y));
  return {};
}

// Draws the skin on a fresh background with `theme` and with a theme that composes every draw anew, and
// answers where the two differ.
struct TNineSliceComparison {
  TSheetTheme &Cached, &Uncached;
  std::string operator()(TSheetThemeElement skin, const QRect &rect, TColor32 tint, const QRect &clip) {
    TBitmap32 expected, actual;
    FillBackground(expected, 90, 60);
    FillBackground(actual, 90, 60);
    if (!clip.isNull()) {
      expected.SetClipRect(clip);
      actual.SetClipRect(clip);
    }
    Uncached.DrawNineSlice(skin, expected, rect, tint);
    Cached.DrawNineSlice(skin, actual, rect, tint);
    if (actual.ClipRect() != expected.ClipRect())
      return "clip rectangle changed";
    return FirstDifference(actual, expected);
  }
};

TEST(SheetTheme, CachedNineSliceDrawsThePixelsOfComposingAnew) {
  TSheetTheme builtIn, builtInUncached, fixture, fixtureUncached;
  builtIn.LoadFromResource(TSheetTheme::BuiltInName());
  builtInUncached.LoadFromResource(TSheetTheme::BuiltInName());
  builtInUncached.SetNineSliceCacheLimit(0);
  // Tiled edges and centre, a left-out centre, zones wider than the cut.
  const char *info = "<T><Element Cut=3,3,8,8 Zone=2,2,2,2 FillModeLeft=1 FillModeTop=1 FillModeRight=1 "
                     "FillModeBottom=1 FillModeClient=1/><Mark Cut=3,3,8,8 Zone=2,3,1,2 FillModeTop=1 "
                     "FillModeClient=2/><Line Cut=3,3,8,8 Zone=11,11,11,11/></T>";
  Load(fixture, info);
  Load(fixtureUncached, info);
  fixtureUncached.SetNineSliceCacheLimit(0);
  // An opaque (copying) image as a skin's source: only the drawn slices may be copied back.
  TBitmap32 opaque;
  opaque.Assign(builtIn.Image());
  opaque.SetDrawMode(dmOpaque);
  builtIn.Elements(steMark).Image = builtInUncached.Elements(steMark).Image = &opaque;

  struct TTheme {
    TSheetTheme &Cached, &Uncached;
    std::vector<TSheetThemeElement> Skins;
  };
  const TTheme themes[] = {
      {builtIn, builtInUncached, {steElement, steField, steLogicFrame, steFrameDot, steMark, steComment,
                                  steSubstitutionBegin, steDescription, steSheet}},
      {fixture, fixtureUncached, {steElement, steMark, steLine}}};
  const QSize sizes[] = {{40, 20}, {1, 1}, {5, 30}, {23, 23}, {100, 7}, {64, 48}, {11, 11}, {300, 5}};
  const TColor32 tints[] = {0, MakeColor32(90, 140, 220), 0x80FF00FF};
  for (const TTheme &theme : themes) {
    TNineSliceComparison compare{theme.Cached, theme.Uncached};
    for (TSheetThemeElement skin : theme.Skins)
      for (QSize size : sizes)
        for (TColor32 tint : tints) {
          // Inside the bitmap, across its top-left and its bottom-right corners, and cut by a clip rectangle.
          const QPoint farCorner(90 - size.width() / 2, 60 - size.height() / 2);
          const std::pair<QPoint, QRect> placements[] = {{QPoint(10, 8), QRect()},
                                                         {QPoint(-7, -5), QRect()},
                                                         {farCorner, QRect()},
                                                         {QPoint(10, 8), QRect(15, 12, 17, 9)}};
          for (const auto &[at, clip] : placements) {
            SCOPED_TRACE(::testing::Message() << "skin " << skin << " " << size.width() << "x" << size.height()
                                              << " tint " << tint << " at " << at.x() << "," << at.y());
            // The first draw composes and keeps, the second reuses.
            ASSERT_EQ(compare(skin, QRect(at, size), tint, clip), "");
            ASSERT_EQ(compare(skin, QRect(at, size), tint, clip), "");
          }
        }
    EXPECT_GT(theme.Cached.NineSliceCachePixels(), 0u);
    EXPECT_EQ(theme.Uncached.NineSliceCachePixels(), 0u);
  }

  // A skin changed after a draw is drawn with its new look.
  TNineSliceComparison compare{builtIn, builtInUncached};
  for (TSheetTheme *theme : {&builtIn, &builtInUncached})
    theme->Elements(steElement).Zone = QMargins(3, 4, 5, 6);
  EXPECT_EQ(compare(steElement, QRect(10, 8, 40, 20), 0, QRect()), "");
  for (TSheetTheme *theme : {&builtIn, &builtInUncached})
    theme->Elements(steElement).FillModeClient = fmTile;
  EXPECT_EQ(compare(steElement, QRect(10, 8, 40, 20), 0, QRect()), "");
}

TEST(SheetTheme, NineSliceCacheStaysWithinItsLimit) {
  TSheetTheme theme, uncached;
  theme.LoadFromResource(TSheetTheme::BuiltInName());
  uncached.LoadFromResource(TSheetTheme::BuiltInName());
  uncached.SetNineSliceCacheLimit(0);
  theme.SetNineSliceCacheLimit(4000);  // compositions of up to 500 pixels
  EXPECT_EQ(theme.NineSliceCacheLimit(), 4000u);
  TNineSliceComparison compare{theme, uncached};
  ASSERT_EQ(compare(steElement, QRect(0, 0, 25, 20), 0, QRect()), "");
  EXPECT_EQ(theme.NineSliceCachePixels(), 500u);
  ASSERT_EQ(compare(steElement, QRect(0, 0, 30, 20), 0, QRect()), "");  // too large to keep
  EXPECT_EQ(theme.NineSliceCachePixels(), 500u);
  // Many sizes, each kept and dropped again: every draw still right, the cache never over its limit.
  for (int round = 0; round < 2; ++round)
    for (int width = 1; width <= 40; ++width) {
      SCOPED_TRACE(width);
      ASSERT_EQ(compare(steElement, QRect(3, 2, width, 12), 0, QRect()), "");
      ASSERT_EQ(compare(steField, QRect(3, 2, 12, width), 0, QRect()), "");
      ASSERT_LE(theme.NineSliceCachePixels(), 4000u);
    }
  EXPECT_GT(theme.NineSliceCachePixels(), 3000u);
  theme.SetNineSliceCacheLimit(1000);
  EXPECT_LE(theme.NineSliceCachePixels(), 1000u);
  theme.LoadFromResource(TSheetTheme::BuiltInName());  // a new look drops everything
  EXPECT_EQ(theme.NineSliceCachePixels(), 0u);
  theme.SetNineSliceCacheLimit(0);
  ASSERT_EQ(compare(steElement, QRect(0, 0, 2, 2), 0, QRect()), "");
  EXPECT_EQ(theme.NineSliceCachePixels(), 0u);
}

TEST(SheetTheme, BuiltInThemeAndSelectionByName) {
  TSheetTheme builtIn;
  builtIn.LoadFromResource(TSheetTheme::BuiltInName());
  EXPECT_GE(builtIn.Image().Width(), 150);
  EXPECT_GE(builtIn.Image().Height(), 129);
  EXPECT_EQ(builtIn.Elements(steElement).Cut, QRect(0, 0, 23, 23));
  EXPECT_EQ(builtIn.Elements(steDescription).BaseMargins, QMargins(-3, -5, 0, 0));
  EXPECT_EQ(builtIn.Fonts(stfArt).BaseSize, 13);
  EXPECT_EQ(builtIn.Fonts(stfComment).Style, fsItalic);
  if (QFontDatabase::families().contains(QStringLiteral("Liberation Sans")))
    EXPECT_FALSE(builtIn.Fonts(stfStone).Name.isEmpty());

  QTemporaryDir dir;
  WriteFileBytes(dir.filePath("Mine.txt"), "<ThemeInfo><Element Cut=3,3,8,8/></ThemeInfo>");
  WriteFileBytes(dir.filePath("Mine.png"), Png(FixtureImage()));
  WriteFileBytes(dir.filePath("NoImage.txt"), "<ThemeInfo><Element Cut=3,3,8,8/></ThemeInfo>");
  WriteFileBytes(dir.filePath("BadImage.txt"), "<ThemeInfo/>");
  WriteFileBytes(dir.filePath("BadImage.png"), "not a picture");
  struct TCase {
    const char *Name;
    QRect ElementCut;
  };
  const TCase cases[] = {{"Mine", QRect(3, 3, 6, 6)},       {"Default", QRect(0, 0, 23, 23)},
                         {"dEFAULT", QRect(0, 0, 23, 23)},  {"Missing", QRect(0, 0, 23, 23)},
                         {"NoImage", QRect(0, 0, 23, 23)},  {"BadImage", QRect(0, 0, 23, 23)}};
  for (const TCase &c : cases) {
    TSheetTheme theme;
    theme.LoadByName(QString::fromLatin1(c.Name), dir.path());
    EXPECT_EQ(theme.Elements(steElement).Cut, c.ElementCut) << c.Name;
  }
  EXPECT_THROW(TSheetTheme().LoadFromFile(dir.filePath("NoImage.txt")), EException);
}

TEST(SheetTheme, ThemeListStartsWithDefaultAndSortsWithoutRegardToCase) {
  QTemporaryDir dir;
  for (const char *name : {"beta.txt", "Alpha.TXT", "gamma.Txt", "picture.png", "default.txt", "noext"})
    WriteFileBytes(dir.filePath(name), "<T/>");
  QDir(dir.path()).mkdir(QStringLiteral("folder.txt"));
  EXPECT_EQ(TSheetTheme::ThemeNames(dir.path()), QStringList({"Default", "Alpha", "beta", "gamma"}));
  EXPECT_EQ(TSheetTheme::ThemeNames(dir.filePath("absent")), QStringList({"Default"}));
}

TEST(SheetTheme, DamagedInfoTextKeepsWhatWasRead) {
  TSheetTheme theme;
  Load(theme, "<ThemeInfo><Element Cut=3,3,8,8/><Line Cut=1,1,2,2");
  EXPECT_EQ(theme.Elements(steElement).Cut, QRect(3, 3, 6, 6));
  TSheetTheme noImage;
  EXPECT_THROW(noImage.LoadFromData("<T/>", QByteArray()), EException);
}

} // namespace

#include "diCanvas.h"

#include "cuClasses.h"
#include "diSchemeImages.h"
#include "diSheetSettings.h"
#include "diTextorAttributes.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

struct TInk {
  int Left = 1 << 20, Top = 1 << 20, Right = -1, Bottom = -1;  // inclusive; Right < 0 when none
  bool Empty() const { return Right < 0; }
};
// The pixels of `b` that differ from `background`; `match` narrows them further.
template <class F> TInk InkOf(const TBitmap32 &b, TColor32 background, F match) {
  TInk ink;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != background && match(b.Pixel(x, y))) {
        ink.Left = std::min(ink.Left, x), ink.Right = std::max(ink.Right, x);
        ink.Top = std::min(ink.Top, y), ink.Bottom = std::max(ink.Bottom, y);
      }
  return ink;
}
TInk InkOf(const TBitmap32 &b, TColor32 background) {
  return InkOf(b, background, [](TColor32) { return true; });
}

class SheetCanvas : public ::testing::Test {
protected:
  TNodePtr<TSheetSettings> Settings = MakeNode<TSheetSettings>(nullptr, QString());
  TSheetCanvas Canvas{*Settings};
  const TColor32 Window = Color32FromPlatform(clWindow);
};

} // namespace

TEST_F(SheetCanvas, PaintCoordinatesAndTheCopyToTheTarget) {
  EXPECT_FALSE(Canvas.Painting());
  EXPECT_FALSE(Canvas.IsVisible(QRect(0, 0, 10, 10)));
  EXPECT_THROW(Canvas.FillRect(QRect(0, 0, 1, 1), clBlue), EException);
  EXPECT_THROW(Canvas.BeginPaint(QRect()), EException);

  Canvas.BeginPaint(QRect(100, 50, 40, 30));
  EXPECT_THROW(Canvas.BeginPaint(QRect(0, 0, 1, 1)), EException);
  ASSERT_NE(Canvas.Buffer(), nullptr);
  EXPECT_EQ(Canvas.Buffer()->BoundsRect(), QRect(0, 0, 40, 30));
  EXPECT_EQ(Canvas.Buffer()->Pixel(20, 20), Window);  // the page colour, the palette's Base
  EXPECT_EQ(Canvas.Origin(), QPoint(100, 50));
  EXPECT_EQ(Canvas.ClipRect(), QRect(100, 50, 40, 30));

  // An element at (90, 45) of the sheet: its (10, 5) is the buffer's (0, 0).
  Canvas.Translate(90, 45);
  EXPECT_EQ(Canvas.Offset(), QPoint(90, 45));
  EXPECT_EQ(Canvas.ClipRect(), QRect(10, 5, 40, 30));
  EXPECT_EQ(Canvas.ToBuffer(QPoint(10, 5)), QPoint(0, 0));
  EXPECT_TRUE(Canvas.IsVisible(QRect(0, 0, 11, 6)));
  EXPECT_FALSE(Canvas.IsVisible(QRect(0, 0, 10, 5)));
  EXPECT_FALSE(Canvas.IsVisible(QRect(50, 5, 5, 5)));
  Canvas.FillRect(QRect(10, 5, 2, 1), clBlue);  // bitmap operation
  Canvas.DeviceContext().fillRect(QRect(12, 5, 1, 1), Qt::red);  // device-context operation, same place
  Canvas.Translate(-90, -45);
  EXPECT_EQ(Canvas.Offset(), QPoint(0, 0));
  EXPECT_EQ(Canvas.Buffer()->Pixel(0, 0), 0xFF0000FFu);  // a blue explicit colour draws blue
  EXPECT_EQ(Canvas.Buffer()->Pixel(1, 0), 0xFF0000FFu);
  EXPECT_EQ(Canvas.Buffer()->Pixel(2, 0), 0xFFFF0000u);
  EXPECT_EQ(Canvas.Buffer()->Pixel(3, 0), Window);

  QImage window(200, 100, QImage::Format_ARGB32);
  window.fill(Qt::black);
  {
    QPainter painter(&window);
    Canvas.EndPaint(&painter);
  }
  EXPECT_FALSE(Canvas.Painting());
  EXPECT_EQ(window.pixel(100, 50), 0xFF0000FFu);
  EXPECT_EQ(window.pixel(102, 50), 0xFFFF0000u);
  EXPECT_EQ(window.pixel(139, 79), Window);
  EXPECT_EQ(window.pixel(140, 80), 0xFF000000u);
  EXPECT_EQ(window.pixel(99, 49), 0xFF000000u);
  EXPECT_THROW(Canvas.EndPaint(nullptr), EException);

  // The next paint starts from a clean buffer.
  Canvas.BeginPaint(QRect(100, 50, 40, 30));
  EXPECT_EQ(Canvas.Buffer()->Pixel(0, 0), Window);
  Canvas.EndPaint(nullptr);
}

TEST_F(SheetCanvas, Rectangles) {
  constexpr TColor32 Red = 0xFFFF0000, Blue = 0xFF0000FF;
  Canvas.BeginPaint(QRect(0, 0, 40, 40));
  TBitmap32 &b = *Canvas.Buffer();
  // Radius 0, pen only: the outline, nothing inside.
  Canvas.DrawRect(QRect(2, 2, 10, 8), 0, clNone, clRed);
  EXPECT_EQ(b.Pixel(2, 2), Red);
  EXPECT_EQ(b.Pixel(11, 9), Red);
  EXPECT_EQ(b.Pixel(6, 2), Red);
  EXPECT_EQ(b.Pixel(6, 5), Window);
  EXPECT_EQ(b.Pixel(12, 10), Window);
  // Pen and brush: frame and inside; brush only leaves the frame's pixels alone.
  Canvas.DrawRect(QRect(20, 2, 10, 8), 0, clBlue, clRed);
  EXPECT_EQ(b.Pixel(20, 2), Red);
  EXPECT_EQ(b.Pixel(21, 3), Blue);
  EXPECT_EQ(b.Pixel(28, 8), Blue);
  EXPECT_EQ(b.Pixel(29, 9), Red);
  Canvas.DrawRect(QRect(2, 12, 10, 8), 0, clBlue, clNone);
  EXPECT_EQ(b.Pixel(2, 12), Window);
  EXPECT_EQ(b.Pixel(3, 13), Blue);
  // Rounded: within the rectangle exactly, corners cut.
  for (TColor pen : {clNone, clRed}) {
    Canvas.FillRect(QRect(0, 0, 40, 40), clWindow);
    Canvas.DrawRect(QRect(10, 24, 20, 12), 6, clBlue, pen);
    const TInk ink = InkOf(b, Window);
    EXPECT_EQ(ink.Left, 10) << pen;
    EXPECT_EQ(ink.Right, 29) << pen;
    EXPECT_EQ(ink.Top, 24) << pen;
    EXPECT_EQ(ink.Bottom, 35) << pen;
    EXPECT_EQ(b.Pixel(10, 24), Window) << pen;
    EXPECT_EQ(b.Pixel(20, 30), Blue) << pen;
    EXPECT_EQ(b.Pixel(10, 30), pen == clNone ? Blue : Red) << pen;
    EXPECT_EQ(b.Pixel(29, 30), pen == clNone ? Blue : Red) << pen;
  }
  Canvas.EndPaint(nullptr);
}

TEST_F(SheetCanvas, OverlaysAndCaretFrames) {
  Canvas.BeginPaint(QRect(0, 0, 30, 30));
  TBitmap32 &b = *Canvas.Buffer();
  const TSheetTheme &theme = Canvas.Theme();
  Canvas.DrawDisabledOverlay(QRect(0, 0, 5, 5));
  EXPECT_EQ(b.Pixel(4, 4), BlendColor32(theme.DisableColor, Window));
  EXPECT_EQ(b.Pixel(5, 5), Window);
  Canvas.DrawSelection(QRect(10, 0, 5, 5), true);
  EXPECT_EQ(b.Pixel(10, 0), BlendColor32(theme.SelectColor, Window));
  Canvas.DrawSelection(QRect(20, 0, 5, 5), false);
  EXPECT_EQ(b.Pixel(20, 0), BlendColor32(theme.SelectInactiveColor, Window));

  // A dotted, inverting frame on the edge pixels; drawn twice it is gone.
  Canvas.FillRect(QRect(0, 0, 30, 30), clWhite);
  const QImage clean = b.ToImage();
  Canvas.DrawCaretFrame(QRect(4, 10, 9, 7));
  int changed = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x)
      if (b.Pixel(x, y) != 0xFFFFFFFF) {
        ++changed;
        EXPECT_EQ(b.Pixel(x, y), 0xFF000000u);
        EXPECT_TRUE(x == 4 || x == 12 || y == 10 || y == 16) << x << "," << y;
      }
  EXPECT_GE(changed, 12);
  EXPECT_LE(changed, 16);
  EXPECT_NE(b.Pixel(4, 10), b.Pixel(5, 10));  // every other pixel
  Canvas.DrawCaretFrame(QRect(4, 10, 9, 7));
  EXPECT_EQ(b.ToImage(), clean);
  // The double frame adds the frame one pixel inside.
  Canvas.DrawCaretDoubleFrame(QRect(4, 10, 9, 7));
  EXPECT_NE(b.Pixel(5, 11), b.Pixel(6, 11));
  EXPECT_EQ(b.Pixel(7, 13), 0xFFFFFFFFu);
  Canvas.DrawCaretDoubleFrame(QRect(4, 10, 9, 7));
  EXPECT_EQ(b.ToImage(), clean);
  Canvas.DrawCaretDoubleFrame(QRect(4, 10, 2, 2));  // nothing left for the second frame
  Canvas.DrawCaretFrame(QRect(4, 10, 2, 2));
  EXPECT_EQ(b.ToImage(), clean);
  Canvas.EndPaint(nullptr);
}

TEST_F(SheetCanvas, SkinsAndImageCells) {
  const TSheetTheme &theme = Canvas.Theme();
  EXPECT_EQ(Canvas.SkinSize(steElement), theme.Elements(steElement).Cut.size());
  EXPECT_EQ(Canvas.SkinHeight(steErrorSign), theme.Elements(steErrorSign).Cut.height());
  const QMargins zone = theme.Elements(steField).Zone;
  EXPECT_EQ(Canvas.SkinZoneWidth(steField), zone.left() + zone.right());
  EXPECT_EQ(Canvas.SkinZoneHeight(steField), zone.top() + zone.bottom());
  EXPECT_EQ(Canvas.SkinPadding(steField), QMargins(7, 1, 7, 1));
  EXPECT_EQ(Canvas.SkinMargins(steField), QMargins(3, 4, 3, 4));
  EXPECT_EQ(Canvas.SkinMouseTransparent(steDescription), QMargins(8, 0, 2, 2));

  Canvas.BeginPaint(QRect(0, 0, 100, 60));
  TBitmap32 &b = *Canvas.Buffer();
  Canvas.Translate(10, 10);
  Canvas.DrawSkin(steElement, QRect(5, 5, 40, 20));
  TInk ink = InkOf(b, Window);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.Left, 15);
  EXPECT_GE(ink.Top, 15);
  EXPECT_LE(ink.Right, 54);
  EXPECT_LE(ink.Bottom, 34);
  EXPECT_NE(b.Pixel(35, 25), Window);  // the middle is filled

  Canvas.FillRect(QRect(-10, -10, 100, 60), clWindow);
  Canvas.DrawSkinImage(steErrorSign, QPoint(0, 0));
  ink = InkOf(b, Window);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 10 + Canvas.SkinSize(steErrorSign).width() - 1);

  // A cell of the 16-pixel list, opaque red but for a transparent top-left pixel.
  TBitmap32 strip;
  strip.SetSize(16, 16);
  strip.Clear(0xFFFF0000);
  strip.SetPixel(0, 0, 0);
  const int index = SchemeSmallImages().AddStrip(strip);
  Canvas.FillRect(QRect(-10, -10, 100, 60), clWindow);
  Canvas.DrawSmallImage(20, 0, index);
  EXPECT_EQ(b.Pixel(30, 10), Window);
  EXPECT_EQ(b.Pixel(31, 10), 0xFFFF0000u);
  ink = InkOf(b, Window);
  ASSERT_FALSE(ink.Empty());
  EXPECT_EQ(ink.Left, 30);
  EXPECT_EQ(ink.Right, 30 + 15);
  EXPECT_EQ(ink.Top, 10);
  EXPECT_EQ(ink.Bottom, 10 + 15);
  Canvas.Translate(-10, -10);
  Canvas.EndPaint(nullptr);
}

// Text is checked against the measuring service, not against pictures of text.
TEST_F(SheetCanvas, TextInTheThemeFonts) {
  const TLogicalFont &fixed = Canvas.ThemeFont(stfFixed);
  const TSheetThemeFontData &data = Canvas.Theme().Fonts(stfFixed);
  EXPECT_EQ(&fixed, &LogicalFont(data.Name, data.Size, data.Style));
  EXPECT_EQ(Canvas.FixedLineHeight(), fixed.Height());
  EXPECT_EQ(Canvas.StoneLineHeight(), Canvas.ThemeFont(stfStone).Height());
  EXPECT_EQ(Canvas.ValueLineHeight(), Canvas.ThemeFont(stfValue).Height());
  const QString text = QStringLiteral("Hello, 0123");
  EXPECT_EQ(Canvas.FixedTextWidth(text), fixed.TextWidth(text));
  EXPECT_EQ(Canvas.ValueTextWidth(text), Canvas.ThemeFont(stfValue).TextWidth(text));
  EXPECT_EQ(Canvas.StoneTextWidth(text), Canvas.ThemeFont(stfStone).TextWidth(text));

  Canvas.BeginPaint(QRect(0, 0, 200, 40));
  TBitmap32 &b = *Canvas.Buffer();
  Canvas.Translate(3, 2);
  Canvas.TextOutFixed(10, 5, clBlue, QStringLiteral("HHHH"));
  const auto blue = [](TColor32 c) { return BlueOf(c) > RedOf(c) + 40 && BlueOf(c) > GreenOf(c) + 40; };
  const TInk ink = InkOf(b, Window);
  const TInk blueInk = InkOf(b, Window, blue);
  ASSERT_FALSE(blueInk.Empty());
  EXPECT_EQ(ink.Left, blueInk.Left);
  EXPECT_GE(ink.Left, 13);
  EXPECT_LE(ink.Right, 13 + fixed.TextWidth(QStringLiteral("HHHH")) - 1);
  EXPECT_EQ(ink.Bottom, 7 + fixed.Ascent() - 1);  // capitals stand on the baseline
  EXPECT_GE(ink.Top, 7);

  Canvas.FillRect(QRect(-3, -2, 200, 40), clWindow);
  Canvas.DrawStoneText(0, 0, QStringLiteral("HH"));
  const TSheetThemeFontData &stone = Canvas.Theme().Fonts(stfStone);
  const TInk stoneInk = InkOf(b, Window);
  ASSERT_FALSE(stoneInk.Empty());
  EXPECT_EQ(stoneInk.Bottom, 2 + Canvas.ThemeFont(stfStone).Ascent() - 1 + (stone.SecondColor != clNone ? 1 : 0));
  Canvas.Translate(-3, -2);
  Canvas.EndPaint(nullptr);
}

TEST_F(SheetCanvas, FontSizeChangeRescalesAndEmptiesTheWidthCache) {
  const QString text = QStringLiteral("Element");
  const int height = Canvas.StoneLineHeight();
  const int width = Canvas.StoneTextWidth(text);
  TSheetTheme *theme = &Settings->GetTheme();
  EXPECT_EQ(Settings->ScaleValue(10), 10);
  Settings->FontSize().SetValue(2);  // "Great"
  EXPECT_EQ(Settings->ScaleValue(10), 18);
  EXPECT_EQ(&Settings->GetTheme(), theme);  // rescaled, not reloaded
  EXPECT_EQ(Settings->GetTheme().Elements(steField).Padding, QMargins(12, 1, 12, 1));
  Canvas.ReloadFonts();
  EXPECT_GT(Canvas.StoneLineHeight(), height);
  EXPECT_GT(Canvas.StoneTextWidth(text), width);
  Settings->FontSize().SetValue(1);  // "Large"
  EXPECT_EQ(Settings->ScaleValue(10), 14);
  Settings->FontSize().SetValue(0);
  Canvas.ReloadFonts();
  EXPECT_EQ(Canvas.StoneLineHeight(), height);
  EXPECT_EQ(Canvas.StoneTextWidth(text), width);
}

TEST_F(SheetCanvas, SettingsKeepThemeAndAttributesInStepWithTheProperties) {
  TSheetTheme &theme = Settings->GetTheme();
  const TSheetThemeFontData &value = theme.Fonts(stfValue);
  TRichTextAttributes &attributes = Settings->ValueAttributes();
  EXPECT_TRUE(attributes.Registered());
  EXPECT_GE(attributes.RefCount(), 1);
  EXPECT_EQ(attributes.FontName(), value.Name);
  EXPECT_EQ(attributes.Size(), value.Size);
  EXPECT_EQ(attributes.Color(), value.Color);
  EXPECT_EQ(attributes.Style(), value.Style);
  EXPECT_EQ(&Settings->ValueAttributes(), &attributes);
  EXPECT_EQ(Settings->CommentAttributes().Style() & fsItalic, fsItalic);
  EXPECT_EQ(Settings->FixedAttributes().Size(), theme.Fonts(stfFixed).Size);
  EXPECT_EQ(Settings->ArtAttributes().Size(), theme.Fonts(stfArt).Size);

  // Subscribers hear of a change after the node has followed it.
  struct TListener {
    TSheetSettings *Settings;
    int StoneSize = 0, AttributesSize = 0;
    void Changed(TItfObject *, int code, TNotifyArg, TNotifyArg) {
      if (code != TProperty::ncChanged)
        return;
      StoneSize = Settings->GetTheme().Fonts(stfStone).Size;
      AttributesSize = Settings->ValueAttributes().Size();
    }
  } listener{Settings.get()};
  Settings->Subscribe(NotifyMethod<&TListener::Changed>, &listener);
  const int base = theme.Fonts(stfStone).BaseSize;
  Settings->FontSize().SetValue(1);
  EXPECT_EQ(listener.StoneSize, base + 2);
  EXPECT_EQ(listener.AttributesSize, value.BaseSize + 2);

  // A theme change drops the theme: the marker set on the old one is gone.
  Settings->GetTheme().DisableColor = 0x01020304;
  Settings->Theme().SetValue(QStringLiteral("NoSuchTheme"));  // falls back to the built-in theme
  EXPECT_NE(Settings->GetTheme().DisableColor, 0x01020304u);
  EXPECT_EQ(Settings->GetTheme().Fonts(stfStone).Size, base + 2);  // still scaled
  // A load of the node is followed as well.
  Settings->GetTheme().DisableColor = 0x01020304;
  TNodePtr<TSheetSettings> other = MakeNode<TSheetSettings>(nullptr, QString());
  Settings->Assign(*other);
  EXPECT_NE(Settings->GetTheme().DisableColor, 0x01020304u);
  EXPECT_EQ(listener.StoneSize, base);
  Settings->Unsubscribe(NotifyMethod<&TListener::Changed>, &listener);
}

// Rich text attributes draw through the canvas: background, text at the measured place, selection.
TEST_F(SheetCanvas, RichTextAttributesDrawWhereTheyMeasure) {
  TRichTextAttributes temporary;
  temporary.SetFontName(QStringLiteral("Liberation Sans"));
  temporary.SetSize(10);
  temporary.SetColor(clBlue);
  TAttributesRef<TRichTextAttributes> blue(SharedOf(temporary));
  temporary.SetBackgroundColor(clLime);
  TAttributesRef<TRichTextAttributes> onGreen(SharedOf(temporary));

  const QString text = QStringLiteral("xHHx");
  const QRect row(0, 10, 200, blue->Height());
  const int baseline = row.top() + blue->Ascent();
  Canvas.BeginPaint(QRect(0, 0, 200, 40));
  TBitmap32 &b = *Canvas.Buffer();
  // Only "HH" (units 1 and 2) at x = 20.
  const int width = blue->DrawText(Canvas, 0, 0, text, 1, 2, 20, baseline, row);
  EXPECT_EQ(width, blue->TextWidth(text, 1, 2));
  TInk ink = InkOf(b, Window);
  ASSERT_FALSE(ink.Empty());
  EXPECT_EQ(ink.Bottom, baseline - 1);
  EXPECT_GE(ink.Left, 20);
  EXPECT_LE(ink.Right, 20 + width - 1);
  EXPECT_FALSE(InkOf(b, Window, [](TColor32 c) { return BlueOf(c) > RedOf(c) + 40; }).Empty());
  EXPECT_EQ(blue->DrawText(Canvas, 0, 0, text, 1, 0, 20, baseline, row), 0);

  // The background covers the row's height over the drawn width.
  Canvas.FillRect(QRect(0, 0, 200, 40), clWindow);
  onGreen->DrawText(Canvas, 0, 0, text, 0, 4, 30, baseline, row);
  const TColor32 Green = 0xFF00FF00;
  ink = InkOf(b, Window, [&](TColor32 c) { return c == Green; });
  EXPECT_EQ(ink.Left, 30);
  EXPECT_EQ(ink.Right, 30 + onGreen->TextWidth(text) - 1);
  EXPECT_EQ(ink.Top, row.top());
  EXPECT_EQ(ink.Bottom, row.bottom());

  // Selected: blended with the first selection colour, or with the second under flag 2.
  const TSheetTheme &theme = Canvas.Theme();
  Canvas.FillRect(QRect(0, 0, 200, 40), clWindow);
  blue->DrawText(Canvas, 0, tdfSelected, QStringLiteral("  "), 0, 2, 0, baseline, row);
  EXPECT_EQ(b.Pixel(1, row.top()), BlendColor32(theme.SelectColor, Window));
  blue->DrawBlank(Canvas, 0, tdfSelected | tdfSecondSelectColor, 10, row, 50);
  EXPECT_EQ(b.Pixel(50, row.top()), BlendColor32(theme.SelectInactiveColor, Window));
  EXPECT_EQ(b.Pixel(60, row.top()), Window);
  onGreen->DrawBlank(Canvas, 0, 0, 10, row, 80);
  EXPECT_EQ(b.Pixel(80, row.bottom()), Green);

  // A bullet stands half a tab width left of the first row, on its baseline; the background is
  // narrowed by the indents.
  Canvas.FillRect(QRect(0, 0, 200, 40), clWindow);
  TRichParagraphAttributes paragraph;
  paragraph.SetBullet(true);
  paragraph.SetLeftIndent(4);
  paragraph.SetRightIndent(6);
  paragraph.SetBackgroundColor(clLime);
  const QRect paragraphRect(0, 5, 200, 30);
  const int left = paragraph.LeftIndent(*blue);
  paragraph.DrawDecoration(Canvas, 0, blue->Height(), left, *blue, paragraphRect);
  ink = InkOf(b, Window, [&](TColor32 c) { return c == Green; });
  EXPECT_EQ(ink.Left, 4);
  EXPECT_EQ(ink.Right, 200 - 6 - 1);
  ink = InkOf(b, Green, [&](TColor32 c) { return c != Window; });
  ASSERT_FALSE(ink.Empty());
  const int bulletX = left - blue->TabWidth() / 2;
  EXPECT_GE(ink.Left, bulletX);
  EXPECT_LE(ink.Right, bulletX + blue->TextWidth(QString(QChar(0x2022))) - 1);
  EXPECT_LT(ink.Bottom, 5 + blue->Height() - blue->Descent());
  Canvas.EndPaint(nullptr);
}

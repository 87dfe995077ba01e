// Colours as documents, themes and settings store them, and their conversion to what Qt draws with.
//
// A platform colour (`TColor`) is a 32-bit value in the other desktop's encoding:
//   0x00BBGGRR        an explicit colour (blue is 0x00FF0000);
//   0xFF0000nn        system colour number nn (the value is negative), resolved from the application palette
//                     at the moment of drawing, so that a palette change shows at the next repaint;
//   0x1FFFFFFF        `clNone`, no colour: whoever draws with it skips the drawing.
// An ARGB colour (`TColor32`) has alpha in the top byte, then red, green and blue, and is what bitmaps hold.
#pragma once

#include <QColor>
#include <QPalette>

#include <cstdint>

using TColor32 = std::uint32_t;
using TColor = std::int32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);

// The system colour numbers the program uses, in the other desktop's numbering.
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

// Explicit colours.
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;

// The explicit platform colour of red, green and blue (each 0..255).
constexpr TColor PlatformRgb(int red, int green, int blue) {
  return TColor((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr bool IsSystemColor(TColor color) { return color < 0; }

constexpr TColor32 MakeColor32(int red, int green, int blue, int alpha = 255) {
  return (TColor32(alpha & 0xFF) << 24) | (TColor32(red & 0xFF) << 16) | (TColor32(green & 0xFF) << 8) |
         TColor32(blue & 0xFF);
}
constexpr int AlphaOf(TColor32 c) { return int(c >> 24); }
constexpr int RedOf(TColor32 c) { return int((c >> 16) & 0xFF); }
constexpr int GreenOf(TColor32 c) { return int((c >> 8) & 0xFF); }
constexpr int BlueOf(TColor32 c) { return int(c & 0xFF); }
void SplitColor32(TColor32 c, int &red, int &green, int &blue, int &alpha);

// Where a system colour comes from in the application palette: window -> Base (the white page, not the
// grey Window), window text -> Text, highlight -> Highlight, highlighted text -> HighlightedText, button
// face -> Button, grey text -> the disabled Text, and so on. Numbers the program never uses map to Window.
struct TPaletteSource {
  QPalette::ColorGroup Group = QPalette::Active;
  QPalette::ColorRole Role = QPalette::Window;
};
TPaletteSource PaletteSourceOf(int systemColorNumber);

// The opaque colour a platform colour stands for; a system colour is read from the application palette.
// `clNone` has no colour: QColorFromPlatform gives Qt::transparent and Color32FromPlatform 0 (transparent
// black); callers test for it first.
QColor QColorFromPlatform(TColor color);
TColor32 Color32FromPlatform(TColor color);
// The explicit platform colour of the red, green and blue of `c` (alpha dropped).
TColor PlatformColorOf(TColor32 c);
TColor PlatformColorOf(const QColor &c);

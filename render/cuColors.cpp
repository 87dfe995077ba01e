#include "cuColors.h"

#include <QGuiApplication>

void SplitColor32(TColor32 c, int &red, int &green, int &blue, int &alpha) {
  red = RedOf(c);
  green = GreenOf(c);
  blue = BlueOf(c);
  alpha = AlphaOf(c);
}

TPaletteSource PaletteSourceOf(int number) {
  switch (number) {
  case 5: return {QPalette::Active, QPalette::Base};                 // window: the page
  case 8: case 7: return {QPalette::Active, QPalette::Text};         // window text, menu text
  case 13: case 29: return {QPalette::Active, QPalette::Highlight};  // highlight, menu highlight
  case 14: return {QPalette::Active, QPalette::HighlightedText};
  case 2: case 27: return {QPalette::Active, QPalette::Highlight};   // active caption and its gradient
  case 9: return {QPalette::Active, QPalette::HighlightedText};      // caption text
  case 3: case 28: return {QPalette::Inactive, QPalette::Highlight}; // inactive caption and its gradient
  case 19: return {QPalette::Inactive, QPalette::HighlightedText};   // inactive caption text
  case 15: case 0: case 10: case 11: return {QPalette::Active, QPalette::Button};  // button face, scroll bar, borders
  case 18: return {QPalette::Active, QPalette::ButtonText};
  case 16: return {QPalette::Active, QPalette::Dark};                // button shadow
  case 20: return {QPalette::Active, QPalette::Light};               // button highlight
  case 21: case 6: return {QPalette::Active, QPalette::Shadow};      // dark 3D shadow, window frame
  case 22: return {QPalette::Active, QPalette::Midlight};            // 3D light
  case 12: return {QPalette::Active, QPalette::Mid};                 // application workspace
  case 17: return {QPalette::Disabled, QPalette::Text};              // grey text
  case 23: return {QPalette::Active, QPalette::ToolTipText};         // info text
  case 24: return {QPalette::Active, QPalette::ToolTipBase};         // info background
  case 26: return {QPalette::Active, QPalette::Link};                // hot light
  default: return {QPalette::Active, QPalette::Window};              // desktop, menu, menu bar, the rest
  }
}

QColor QColorFromPlatform(TColor color) {
  if (color == clNone)
    return QColor(Qt::transparent);
  if (IsSystemColor(color)) {
    const TPaletteSource source = PaletteSourceOf(color & 0xFF);
    QColor c = QGuiApplication::palette().color(source.Group, source.Role);
    c.setAlpha(255);
    return c;
  }
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor32 Color32FromPlatform(TColor color) {
  if (color == clNone)
    return 0;
  if (IsSystemColor(color))
    return QColorFromPlatform(color).rgb() | 0xFF000000u;
  return MakeColor32(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor PlatformColorOf(TColor32 c) { return PlatformRgb(RedOf(c), GreenOf(c), BlueOf(c)); }

TColor PlatformColorOf(const QColor &c) {
  const QColor rgb = c.toRgb();
  return PlatformRgb(rgb.red(), rgb.green(), rgb.blue());
}

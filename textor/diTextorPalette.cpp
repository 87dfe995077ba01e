#include "diTextorPalette.h"

#include "cuStrings.h"

const TTextorFormatPalette &TextorFormatPalette() {
  static const TTextorFormatPalette palette = [] {
    FrameworkPalette();  // the framework's groups come first in the tree
    constexpr std::uint16_t options = piToggle | piChangesDocument;
    TTextorFormatPalette p{};
    p.Format = CreatePaletteGroup(Palette(), sidGroupFormat, 2000);
    p.Bold = CreatePaletteItem(*p.Format, options, -1, sidItemBoldHint, sidItemBold, 40);
    p.Italic = CreatePaletteItem(*p.Format, options, -1, sidItemItalicHint, sidItemItalic, 30);
    p.Underline = CreatePaletteItem(*p.Format, options, -1, sidItemUnderlineHint, sidItemUnderline, 20);
    return p;
  }();
  return palette;
}

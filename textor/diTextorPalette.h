// The text formats' part of the palette: the "Format" group with the Bold, Italic and Underline commands.
// They are offered only by textor elements that declare the rich-format commands; no element kind of this
// program declares them, so running them changes nothing.
#pragma once

#include "diPalette.h"

struct TTextorFormatPalette {
  TPaletteGroup *Format;          // "Format" (2404), weight 2000
  TSchemePaletteItem *Bold;       // "Bold" (2405), hint 2406, weight 40
  TSchemePaletteItem *Italic;     // "Italic" (2407), hint 2408, weight 30
  TSchemePaletteItem *Underline;  // "Underline" (2409), hint 2410, weight 20
};

// Registered in the process-wide palette on first use, after the framework's groups and items. The three
// commands are toggle buttons (0x0240) with the framework's default small image.
const TTextorFormatPalette &TextorFormatPalette();

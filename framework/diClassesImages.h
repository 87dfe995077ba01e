// The framework's own image strips in the process-wide image lists.
#pragma once

// Base indexes of the three strips, registered together on first use.
struct TClassesImages {
  int Char;   // "diClassesCharImages", 12 px: collapsed and expanded tree-item glyphs
  int Small;  // "diClassesSmallImages", 16 px: the default command image, a spare
  int Large;  // "diClassesLargeImages", 32 px: the default command image, Disabled, a spare
};

const TClassesImages &ClassesImages();

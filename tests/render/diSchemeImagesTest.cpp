#include "diSchemeImages.h"

#include "cuClasses.h"

#include <gtest/gtest.h>

namespace {

// A strip whose cell (column c, row r) is filled with the colour 0xFF0000xx, xx = 10 r + c.
TBitmap32 &Strip(TBitmap32 &b, int width, int height, int cell) {
  b.SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      b.SetPixel(x, y, 0xFF000000u | TColor32(10 * (y / cell) + x / cell));
  return b;
}

TEST(SchemeImages, StripsAppendWholeCellsRowByRowAndReturnTheirFirstIndex) {
  TSchemeImages list(16, 16);
  TBitmap32 strip;
  EXPECT_EQ(list.AddStrip(Strip(strip, 32, 16, 16)), 0);
  EXPECT_EQ(list.AddStrip(Strip(strip, 144, 16, 16)), 2);  // nine cells after the previous two
  EXPECT_EQ(list.Count(), 11);
  EXPECT_EQ(list.Cell(2 + 8).Pixel(15, 15), 0xFF000008u);

  // A partial column and a partial row are dropped; a two-row strip goes row by row.
  EXPECT_EQ(list.AddStrip(Strip(strip, 40, 40, 16)), 11);
  ASSERT_EQ(list.Count(), 15);
  const TColor32 order[] = {0xFF000000, 0xFF000001, 0xFF00000A, 0xFF00000B};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(list.Cell(11 + i).Pixel(0, 0), order[i]) << i;
  EXPECT_EQ(list.AddStrip(Strip(strip, 15, 100, 16)), 15);  // narrower than a cell: nothing
  EXPECT_EQ(list.Count(), 15);
}

TEST(SchemeImages, GreyedCopy) {
  TSchemeImages list(2, 1);
  TBitmap32 strip;
  strip.SetSize(4, 1);
  strip.SetPixel(0, 0, 0xFFFF0000);  // opaque pure red
  strip.SetPixel(1, 0, 0x00FFFFFF);  // transparent
  strip.SetPixel(2, 0, 0x80FFFFFF);
  strip.SetPixel(3, 0, 0xFF00FF00);
  list.AddStrip(strip);
  const auto greyed = TSchemeImages::CreateGreyed(list);
  ASSERT_EQ(greyed->Count(), 2);
  EXPECT_EQ(greyed->CellWidth(), 2);
  EXPECT_EQ(greyed->Cell(0).Pixel(0, 0), MakeColor32(60, 60, 60, 56));
  EXPECT_EQ(AlphaOf(greyed->Cell(0).Pixel(1, 0)), 0);
  EXPECT_EQ(greyed->Cell(1).Pixel(0, 0), MakeColor32(255, 255, 255, 28));  // 0.22 x 128 = 28.16
  EXPECT_EQ(greyed->Cell(1).Pixel(1, 0), MakeColor32(173, 173, 173, 56));
  EXPECT_EQ(list.Cell(0).Pixel(0, 0), 0xFFFF0000u);  // the source is untouched
}

TEST(SchemeImages, DrawBlendsTheCellAndAMissingStripRaises) {
  TSchemeImages list(2, 2);
  TBitmap32 strip, target;
  strip.SetSize(2, 2);
  strip.Clear(0x80FF0000);
  strip.SetPixel(1, 1, 0);
  list.AddStrip(strip);
  target.SetSize(3, 3);
  target.Clear(0xFF0000FF);
  list.Draw(target, 1, 1, 0);
  EXPECT_EQ(target.Pixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(target.Pixel(1, 1), 0xFF80007Fu);
  EXPECT_EQ(target.Pixel(2, 2), 0xFF0000FFu);
  EXPECT_EQ(list.CellImage(0).pixel(0, 0), 0x80FF0000u);
  EXPECT_THROW(list.AddStrip(QStringLiteral("noSuchStrip")), EException);
  EXPECT_EQ(list.Count(), 1);
}

// The program's strips registered in the order the units start give the base indexes the units expect.
TEST(SchemeImages, ProgramStripsRegisterInStartOrder) {
  TSchemeImages charImages(12, 12), small(16, 16), large(32, 32), log(9, 9);
  struct TStrip {
    TSchemeImages *List;
    const char *Name;
    int First, Cells;
  };
  const TStrip strips[] = {
      {&charImages, "diClassesCharImages", 0, 2},       {&small, "diClassesSmallImages", 0, 2},
      {&large, "diClassesLargeImages", 0, 3},           {&small, "diDataElementSmallImages", 2, 2},
      {&large, "diDataElementLargeImages", 3, 8},       {&large, "diSimpleElementsLargeImages", 11, 1},
      {&large, "diTitledLargeImages", 12, 2},           {&small, "diTableElementSmallImages", 4, 1},
      {&large, "diTableElementLargeImages", 14, 3},     {&log, "diLogImages", 0, 3},
      {&small, "diCommonElementsSmallImages", 5, 9},
  };
  for (const TStrip &strip : strips) {
    EXPECT_EQ(strip.List->AddStrip(QString::fromLatin1(strip.Name)), strip.First) << strip.Name;
    EXPECT_EQ(strip.List->Count(), strip.First + strip.Cells) << strip.Name;
  }
}

} // namespace

// Image lists of one fixed cell size: palette command icons, sign icons, log icons and the little marks
// drawn inside elements. Units register their PNG strips at start-up and keep the returned base index.
#pragma once

#include "diBitmap32.h"

#include <QImage>
#include <QString>

#include <memory>
#include <vector>

class TSchemeImages {
public:
  TSchemeImages(int cellWidth, int cellHeight);
  // A new list of the source's cell size holding every cell of `source` greyed: red, green and blue
  // become (61 red + 174 green + 21 blue) / 256 and alpha 0.22 alpha, rounded.
  static std::unique_ptr<TSchemeImages> CreateGreyed(const TSchemeImages &source);

  int CellWidth() const { return FCellWidth; }
  int CellHeight() const { return FCellHeight; }
  int Count() const { return int(FCells.size()); }

  // Appends the cells of the PNG strip of that resource name (the render resources, ":/render/<name>")
  // and returns the index of its first cell. Raises when the resource is missing or does not decode.
  int AddStrip(const QString &resourceName);
  // Appends the whole cells of `strip`, row by row from the top and left to right within a row (a
  // partial column or row is dropped), and returns the index of the first.
  int AddStrip(const TBitmap32 &strip);

  const TBitmap32 &Cell(int index) const { return *FCells.at(std::size_t(index)); }
  // Blends cell `index` onto `target` with its top-left at (x, y), clipped by the target.
  void Draw(TBitmap32 &target, int x, int y, int index) const;
  // The cell as an image for widgets.
  QImage CellImage(int index) const { return Cell(index).ToImage(); }

private:
  int FCellWidth, FCellHeight;
  std::vector<std::unique_ptr<TBitmap32>> FCells;
};

// The process-wide lists, made on first use: 12-pixel "char" images, 16-pixel small, 32-pixel large
// images and the 9-pixel log images.
TSchemeImages &SchemeCharImages();
TSchemeImages &SchemeSmallImages();
TSchemeImages &SchemeLargeImages();
TSchemeImages &SchemeLogImages();

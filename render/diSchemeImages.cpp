#include "diSchemeImages.h"

#include "cuClasses.h"
#include "diResources.h"
#include "umUniversalImage.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <cmath>

TSchemeImages::TSchemeImages(int cellWidth, int cellHeight) : FCellWidth(cellWidth), FCellHeight(cellHeight) {}

std::unique_ptr<TSchemeImages> TSchemeImages::CreateGreyed(const TSchemeImages &source) {
  auto greyed = std::make_unique<TSchemeImages>(source.FCellWidth, source.FCellHeight);
  for (const auto &cell : source.FCells) {
    auto copy = std::make_unique<TBitmap32>();
    copy->Assign(*cell);
    for (int y = 0; y < copy->Height(); ++y)
      for (TColor32 *p = copy->ScanLine(y), *end = p + copy->Width(); p != end; ++p) {
        const int grey = (61 * RedOf(*p) + 174 * GreenOf(*p) + 21 * BlueOf(*p)) / 256;
        const int alpha = std::clamp(int(std::lround(0.22 * AlphaOf(*p))), 0, 255);
        *p = MakeColor32(grey, grey, grey, alpha);
      }
    greyed->FCells.push_back(std::move(copy));
  }
  return greyed;
}

int TSchemeImages::AddStrip(const QString &resourceName) {
  QFile file(RenderResourcePath(resourceName));
  if (!file.open(QIODevice::ReadOnly))
    throw EException(QStringLiteral("The image strip \"%1\" is missing from the resources").arg(resourceName));
  TUniversalImage image;
  image.LoadFromStream(file);
  return AddStrip(image.Images(0));
}

int TSchemeImages::AddStrip(const TBitmap32 &strip) {
  const int first = Count();
  for (int row = 0; row + FCellHeight <= strip.Height(); row += FCellHeight)
    for (int column = 0; column + FCellWidth <= strip.Width(); column += FCellWidth) {
      auto cell = std::make_unique<TBitmap32>();
      cell->SetSize(FCellWidth, FCellHeight);
      for (int y = 0; y < FCellHeight; ++y)
        std::copy_n(strip.PixelPtr(column, row + y), FCellWidth, cell->ScanLine(y));
      cell->SetDrawMode(dmBlend);
      FCells.push_back(std::move(cell));
    }
  return first;
}

void TSchemeImages::Draw(TBitmap32 &target, int x, int y, int index) const { Cell(index).DrawTo(target, x, y); }

TSchemeImages &SchemeCharImages() {
  static TSchemeImages list(12, 12);
  return list;
}
TSchemeImages &SchemeSmallImages() {
  static TSchemeImages list(16, 16);
  return list;
}
TSchemeImages &SchemeLargeImages() {
  static TSchemeImages list(32, 32);
  return list;
}
TSchemeImages &SchemeLogImages() {
  static TSchemeImages list(9, 9);
  return list;
}

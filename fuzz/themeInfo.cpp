// Theme info parser: any info text over a fixed theme image loads without a crash, and every skin then
// draws inside its rectangle at a few sizes and scales.
#include "diThemes.h"

#include <QBuffer>
#include <QImage>

#include <cstdint>
#include <cstdlib>

static QByteArray ThemeImage() {
  QImage image(40, 30, QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixel(x, y, qRgba(x * 6, y * 8, (x ^ y) * 4, (x * y) % 256));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const QByteArray image = ThemeImage();
  TSheetTheme theme;
  theme.LoadFromData(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), image);
  TBitmap32 target;
  target.SetSize(48, 40);
  for (int step : {0, 4}) {
    theme.SetScale(step, 100 + 20 * step);
    for (int i = 0; i < kSheetThemeElementCount; ++i) {
      const auto skin = TSheetThemeElement(i);
      target.Clear(0xFF000000);
      theme.DrawNineSlice(skin, target, QRect(4, 4, 3 + 6 * step, 2 + 3 * step));
      theme.DrawImage(skin, target, QPoint(-3, 30), step ? 0x80FF00FF : 0);
      for (int x = 0; x < target.Width(); ++x)  // the nine-slice draw stays inside its rectangle
        if (target.Pixel(x, 2) != 0xFF000000u)
          std::abort();
    }
  }
  return 0;
}

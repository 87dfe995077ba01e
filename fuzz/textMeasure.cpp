// Text measurement: for any UTF-16 text (unpaired surrogates and control characters included) in any of
// the theme fonts, the widths of the two sides of every split add up to the width of the whole, and
// drawing reports the width it measured.
#include "cuDeviceContextManager.h"
#include "diBitmap32.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1)
    return 0;
  static const char *const faces[] = {"Liberation Sans", "Liberation Serif", "Liberation Mono", "DejaVu Sans"};
  const TLogicalFont &font = LogicalFont(QString::fromLatin1(faces[data[0] & 3]), 8 + (data[0] >> 2 & 7),
                                         data[0] >> 5 & (fsBold | fsItalic | fsUnderline), 0);
  QString text;
  for (size_t i = 1; i + 1 < size; i += 2)
    text.append(QChar(char16_t(data[i] | data[i + 1] << 8)));
  const int whole = font.TextWidth(text);
  for (qsizetype k = 0; k <= text.size(); ++k)
    if (font.TextWidth(text, 0, k) + font.TextWidth(text, k, text.size() - k) != whole)
      std::abort();
  if (text.size() <= 64) {
    TBitmap32 target;
    target.SetSize(whole + 40, 40);
    target.Clear(0xFFFFFFFF);
    if (font.DrawText(target.Painter(), 20, 30, text, Qt::black) != whole)
      std::abort();
  }
  return 0;
}

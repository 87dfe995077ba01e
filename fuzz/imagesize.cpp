// ImageSizeOf on arbitrary bytes: the first byte picks the format (its value modulo 15, so that 0 and
// the indices beyond the table are tried too), the rest is the stream. The reader must never loop,
// read past the stream or raise, and must put the position back.
#include "cuUtils.h"

#include <QBuffer>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0)
    return 0;
  const int format = data[0] % 15;
  QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  const TImageSize result = ImageSizeOf(buffer, format);
  if (buffer.pos() != 0 || (result.Found && (result.Width == 0 || result.Height == 0)))
    std::abort();
  return 0;
}

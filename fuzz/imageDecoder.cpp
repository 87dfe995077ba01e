// The picture loader as image elements use it: icons by their signature, everything else through the
// platform decoder. Any bytes either fail with an error or give bitmaps.
#include "umUniversalImage.h"

#include "cuClasses.h"

#include <QBuffer>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  TUniversalImage image;
  try {
    image.LoadFromStream(buffer);
  } catch (const EException &) {
  }
  return 0;
}

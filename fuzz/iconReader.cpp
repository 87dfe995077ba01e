// Icon and cursor reader: any bytes either fail with an error or give bitmaps of the sizes the directory
// was validated to.
#include "umIcon.h"

#include "cuClasses.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  TIconImage icon;
  try {
    icon.LoadFromStream(buffer);
  } catch (const EException &) {
    return 0;
  }
  for (const TIconEntry &entry : icon.Entries()) {
    if (entry.IsEmbedded())
      continue;
    TBitmap32 bitmap;
    entry.CopyTo(bitmap);
    if (bitmap.Width() != entry.Width || bitmap.Height() != entry.Height)
      std::abort();
  }
  return 0;
}

// DecompressStream on arbitrary bytes: a damaged stream raises EException and leaves the target empty;
// whatever it accepts compresses and decompresses back to the same bytes. The output cap is lowered so
// that small inputs that expand a lot reach it.
#include "cuClasses.h"
#include "cuUtils.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray source(reinterpret_cast<const char *>(data), qsizetype(size));
  QByteArray target = "not yet";
  try {
    DecompressStream(source, target, 4 * 1024 * 1024);
  } catch (const EException &) {
    if (!target.isEmpty())
      std::abort();
    return 0;
  }
  QByteArray packed, again;
  CompressStream(target, packed);
  DecompressStream(packed, again);
  if (again != target)
    std::abort();
  return 0;
}

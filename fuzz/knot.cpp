// Arbitrary bytes through the knot reader exactly as files arrive (encoding detection, decoding, parsing),
// in both value styles; the tree is then written as text and as bytes (which must agree), read back and
// written again.
#include "cuKnot.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
  for (uint16_t options : {uint16_t(0), koSettingsFileOptions}) {
    auto knot = MakeNode<TKnot>();
    knot->SetInheritedOptions(options);
    knot->LoadFromBytes(bytes);
    const QByteArray written = knot->ToBytes(teUtf8);
    // The two writers (UTF-16 text and UTF-8 bytes) must agree.
    if (written.sliced(3) != knot->GetText().toUtf8())
      __builtin_trap();
    auto again = MakeNode<TKnot>();
    again->SetInheritedOptions(options);
    again->LoadFromBytes(written);
    again->GetText();
  }
  return 0;
}

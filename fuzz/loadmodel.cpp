// Loads arbitrary text as a document of the test kinds, saves it as a document and as a snapshot, loads that
// snapshot into a second scheme and the text itself as a snapshot into a third: nothing may crash, leak or
// recurse without bound.
#include "testKinds.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  TNodePtr<TKnot> knot = MakeNode<TKnot>();
  knot->ParseString(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
  TElementMessages sink;
  auto scheme = NewTestScheme();
  scheme->SetMessages(&sink);
  scheme->LoadFromKnot(*scheme->Root(), fmDocument, *knot);

  TNodePtr<TKnot> saved = MakeNode<TKnot>();
  scheme->SaveToKnot(*scheme->Root(), fmDocument, *saved, foDocumentSave);
  (void)saved->GetText();

  TNodePtr<TKnot> snapshot = MakeNode<TKnot>();
  scheme->SaveToKnot(*scheme->Root(), fmSnapshot, *snapshot, 0);
  auto copy = NewTestScheme();
  copy->SetMessages(&sink);
  copy->LoadFromKnot(*copy->Root(), fmSnapshot, *snapshot);

  auto asSnapshot = NewTestScheme();
  asSnapshot->SetMessages(&sink);
  asSnapshot->LoadFromKnot(*asSnapshot->Root(), fmSnapshot, *knot);
  return 0;
}

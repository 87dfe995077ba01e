// Textor editing: any sequence of insertions, deletions, splits, attribute changes and re-readings keeps
// every portion non-empty, keeps positions converting to coordinates and back, and leaves rows (after every
// edit or batch of edits, laid out incrementally) equal to those of a full layout of the same content.
#include "diTextor.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

class TFuzzTextor : public TTextor {
public:
  bool Breaks = true, Tabs = true;
  int Width = 80;
  bool ParagraphBreaksAllowed() const override { return Breaks; }
  bool TabsAllowed() const override { return Tabs; }
  int LayoutWidth() const override { return Width; }
};

void Check(bool condition) {
  if (!condition)
    std::abort();
}

// The rows as laid out so far equal those of laying out every paragraph afresh.
void CheckLayout(TTextor &t) {
  std::vector<std::vector<TRow>> rows;
  for (TParagraph *p = t.FirstParagraph(); p; p = p->Next())
    rows.push_back(p->Rows());
  t.InvalidateAllLayouts();
  size_t k = 0;
  for (TParagraph *p = t.FirstParagraph(); p; p = p->Next(), ++k)
    Check(k < rows.size() && rows[k] == p->Rows());
  Check(k == rows.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const char16_t *const pieces[] = {u"ab", u" ", u"\t", u"\r\n", u"\r\r", u"\n", u"word ", u"W"};
  // Referenced here: a registered instance is freed when the textor drops its last reference.
  const TAttributesRef<TTextAttributes> fonts[] = {
      TAttributesRef<TTextAttributes>(), TAttributesRef<TTextAttributes>(FontAttributes("DejaVu Sans", 10, clWindowText, 0)),
      TAttributesRef<TTextAttributes>(FontAttributes("DejaVu Sans", 16, clWindowText, fsBold))};
  TFuzzTextor t;
  t.Width = 20 + (size > 0 ? data[0] : 0);
  // Picks a position from two bytes as coordinates clamped into the content.
  auto position = [&](size_t &i) {
    const int count = t.ParagraphCount();
    const int index = i < size ? data[i++] % count : 0;
    const int length = t.ParagraphAt(index)->TotalLength();
    const int offset = i < size ? data[i++] % (length + 1) : 0;
    return *t.CoordinatesToPosition({index, offset});
  };
  bool batching = false;
  for (size_t i = 1; i < size;) {
    const int op = data[i++] % 7;
    TTextPosition a = position(i), b = position(i);
    if (t.IsBefore(b, a))
      std::swap(a, b);
    TTextAttributes *font = fonts[i < size ? data[i++] % 3 : 0].Get();
    switch (op) {
    case 0:
    case 1:
      t.InsertText(a, pieces[i < size ? data[i++] % 8 : 0], font);
      break;
    case 2:
      t.DeleteRange({a, b});
      break;
    case 3:
      t.ApplyAttributes({a, b}, op & 1, font);
      break;
    case 4:
      t.SplitParagraph(a, font);
      break;
    case 5:
      t.Breaks = !t.Breaks || (i < size && data[i] & 1);
      t.Tabs = !t.Tabs;
      t.ReinterpretText();
      break;
    default:
      // Starts or ends a batch: the edits in between are laid out once.
      if (batching)
        t.EndUpdate();
      else
        t.BeginUpdate();
      batching = !batching;
      break;
    }
    if (!batching)
      CheckLayout(t);
    for (TParagraph *p = t.FirstParagraph(); p; p = p->Next())
      for (TPortion *q = p->FirstPortion(); q; q = q->Next())
        Check(q->Length() > 0);
  }
  if (batching)
    t.EndUpdate();
  CheckLayout(t);
  return 0;
}

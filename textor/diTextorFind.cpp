// The text search of a textor: FindInStretches.

#include "diTextor.h"

#include "diFind.h"
#include "diVisualElements.h"

namespace {
// The position `count` positions after `from` within from's paragraph (count no further than the
// paragraph end), in normal form.
TTextPosition Advance(TTextPosition from, std::int32_t count) {
  while (from.Portion && count > 0) {
    const std::int32_t room = from.Portion->Length() - from.Offset;
    if (count < room) {
      from.Offset += count;
      return from;
    }
    count -= room;
    from = {from.Paragraph, from.Portion->Next(), 0};
  }
  return from;
}

// The inline element portion next to the position in the direction: the portion at it forward, the one
// before it backward; null when that is no element portion.
TElementPortion *ElementNext(const TTextPosition &position, bool forward) {
  if (position.Offset > 0)
    return nullptr;  // inside a text or tab run
  TPortion *portion = forward ? position.Portion
                              : position.Portion ? position.Portion->Previous()
                                                 : position.Paragraph->LastPortion();
  return portion && portion->Kind() == TPortionKind::Element ? static_cast<TElementPortion *>(portion) : nullptr;
}
}  // namespace

TTextFindResult TTextor::FindInStretches(const TTextPosition &start, bool forward, const TFindData &findData) const {
  const qsizetype findLength = findData.FindText.size();
  TTextPosition at = start;
  while (!AtTextEdge(at, forward)) {
    if (TElementPortion *portion = ElementNext(at, forward)) {
      TVisualElement *target = nullptr;
      if (TVisualElement *element = portion->Element())
        if (element->FindFocusable(true, forward, target, findData.SkipDisabled, findData.VisibleOnly))
          return {std::nullopt, target};
      at = forward ? TTextPosition{at.Paragraph, portion->Next(), 0} : TTextPosition{at.Paragraph, portion, 0};
    } else {
      const TTextRange stretch = TextStretch(at, forward, false);
      if (!stretch.IsEmpty()) {
        const QString text = RangeText(stretch);
        const qsizetype candidates = findLength > 0 ? text.size() - findLength + 1 : 0;
        for (qsizetype n = 0; n < candidates; ++n) {
          const qsizetype index = forward ? n : candidates - 1 - n;
          if (!findData.Matches(QStringView(text).sliced(index, findLength)))
            continue;
          // The stretch lies in one paragraph and maps one position to one code unit of its text.
          const TTextPosition matchStart = Advance(stretch.Start, std::int32_t(index));
          return {TTextRange{matchStart, Advance(matchStart, std::int32_t(findLength))}, nullptr};
        }
        at = forward ? stretch.End : stretch.Start;
      }
    }
    if (AtParagraphEdge(at, forward)) {
      if (forward && at.Paragraph->Next())
        at = at.Paragraph->Next()->Start();
      else if (!forward && at.Paragraph->Previous())
        at = at.Paragraph->Previous()->End();
    }
  }
  return {};
}

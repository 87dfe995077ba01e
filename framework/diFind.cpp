#include "diFind.h"

#include "cuLocalization.h"
#include "cuStrings.h"
#include "cuUtils.h"
#include "diElementOperations.h"
#include "diSheet.h"
#include "diVisualElements.h"

// ---------------------------------------------------------------------------------------------------------
// TFindData

bool TFindData::Matches(QStringView text) const {
  return text.compare(FindText, MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

void TFindData::NotFound() const {
  ShowMessageBox(FormatString(sidCouldNotFind, {FindText}), QString(), mbOk | mbIconInformation);
}

// ---------------------------------------------------------------------------------------------------------
// The base search step

namespace {
bool IsInScope(const TVisualElement *element, const TVisualElement *scope) {
  if (!scope)
    return true;
  for (; element; element = element->VisualParent())
    if (element == scope)
      return true;
  return false;
}
}  // namespace

bool TVisualElement::FindFocusTarget(TFindMode, const TFindData &findData, TVisualElement *&fromChild,
                                     TVisualElement *&next, bool forward) {
  next = FindNextFocusable(true, forward, fromChild, findData.SkipDisabled, findData.VisibleOnly);
  if (next && !IsInScope(next, findData.Scope)) {
    next = nullptr;
    fromChild = nullptr;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------------------
// The walks

namespace {
// Switches RevealOnFocus off for a walk: an element that only passes the walk on must not be revealed
// (a collapsed frame would open for every element inside it). The end puts the setting back and, when it
// was on, reveals where the walk stopped and asks the window to show it; a failure leaving the walk only
// puts the setting back.
class TWalkReveal {
public:
  explicit TWalkReveal(TSheet &sheet) : FSheet(sheet), FReveal(sheet.RevealOnFocus()) {
    FSheet.SetRevealOnFocus(false);
  }
  ~TWalkReveal() {
    if (!FFinished)
      FSheet.SetRevealOnFocus(FReveal);
  }
  TWalkReveal(const TWalkReveal &) = delete;
  TWalkReveal &operator=(const TWalkReveal &) = delete;

  void Finish() {
    FFinished = true;
    FSheet.SetRevealOnFocus(FReveal);
    if (FReveal && FSheet.Focused())
      FSheet.Focused()->Reveal();
    FSheet.BringIntoView();
  }

private:
  TSheet &FSheet;
  bool FReveal;
  bool FFinished = false;
};
}  // namespace

bool TSheet::Find(TFindMode mode, const TFindData &findData, bool forward) {
  TVisualElement *current = FFocused;
  if (!current)
    return false;
  TWaitCursor wait;
  TSchemeGroup group(current->Scheme(), QString());
  TSheetUpdate update(this);
  TWalkReveal reveal(*this);
  bool found = false;
  for (;;) {
    TVisualElement *fromChild = nullptr;
    TVisualElement *next = nullptr;
    if (current->FindFocusTarget(mode, findData, fromChild, next, forward)) {
      found = true;
      break;
    }
    if (!next)
      break;
    next->SetFocus(true, forward, QString(), fromChild, nullptr);
    current = next;
  }
  reveal.Finish();
  return found;
}

void TSheet::Replace(const TFindData &findData, const QString &replaceText, bool replaceAll, bool forward) {
  if (FReadOnly) {
    ::Beep();
    return;
  }
  int count = 0;
  bool notFound = false;
  {
    TWaitCursor wait;
    TSchemeGroup group(FFocused ? FFocused->Scheme() : nullptr, QString());
    TSheetUpdate update(this);
    TWalkReveal reveal(*this);
    // The element that found the match holds it selected and has the focus.
    auto replaceSelection = [&] {
      if (auto *text = dynamic_cast<ITextElement *>(FFocused)) {
        text->ReplaceSelection(replaceText);
        ++count;
      }
    };
    if (!Find(fmReplace, findData, forward)) {
      notFound = true;
    } else {
      replaceSelection();
      if (replaceAll) {
        while (Find(fmAfterReplace, findData, forward))
          replaceSelection();
      } else if (!Find(fmAfterReplace, findData, forward)) {
        notFound = true;
      }
    }
    reveal.Finish();
  }
  if (notFound)
    findData.NotFound();
  else if (replaceAll && count > 0)
    ShowMessageBox(FormatString(sidReplacementsMade, {QString::number(count)}), QString(),
                   mbOk | mbIconInformation);
}

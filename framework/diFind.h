// Find and replace over elements. A search is a walk from element to element in focus order: starting at
// the sheet's focused element, each element is asked (TVisualElement::FindFocusTarget) whether it holds
// the next match; an element that does selects it and the walk ends, any other names the next element to
// visit, which receives the focus, and the walk goes on. Only elements that hold text find anything; they
// also offer ITextElement, through which Replace puts the replacement in.
//
// TFindData carries one request. The walks themselves are TSheet::Find and TSheet::Replace, defined in
// this unit's source together with the base TVisualElement::FindFocusTarget.
#pragma once

#include <QString>
#include <QStringView>

class TVisualElement;

// How a text element treats its current selection when it is asked for the next match.
enum TFindMode : int {
  // Find and Find Next: a selection that is itself a match is passed over (the next one is wanted); any
  // other selection is searched too.
  fmFind = 0,
  // After a replacement: the selection is the text just put in and is passed over.
  fmAfterReplace = 1,
  // The first step of Replace: the selection is searched too, so that a selected match is found again and
  // replaced.
  fmReplace = 2,
};

class TFindData {
public:
  TFindData() = default;
  virtual ~TFindData() = default;
  TFindData(const TFindData &) = default;
  TFindData &operator=(const TFindData &) = default;

  // The element under which the search stays: elements that are neither it nor inside it (in the visual
  // tree) are not visited. Null puts no limit on the walk. Not owned.
  TVisualElement *Scope = nullptr;
  QString FindText;
  bool MatchCase = false;
  // Leave out effectively disabled elements, and elements that are not visible. Both stay off for the
  // program's own dialogs: hidden and disabled elements are searched too.
  bool SkipDisabled = false;
  bool VisibleOnly = false;

  // The text equals FindText exactly: code unit for code unit with MatchCase, else ignoring letter case
  // (Unicode case folding of each character, so a text of another length never matches).
  virtual bool Matches(QStringView text) const;
  // Tells the user that FindText was not found (string sidCouldNotFind in an information box).
  virtual void NotFound() const;
};

// Offered by elements that hold editable text; the walk reaches it with dynamic_cast from the element
// that found a match.
class ITextElement {
public:
  // Replaces the element's current selection with `text` as one undoable change and leaves the text just
  // put in selected, so that a following fmAfterReplace search passes over it and never finds the
  // replacement itself again.
  virtual void ReplaceSelection(const QString &text) = 0;

protected:
  ~ITextElement() = default;
};

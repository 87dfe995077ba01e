// The log: a read-only rich text that lists the messages reported to a document's scheme (the problems
// its loaders meet). Each message becomes one paragraph: a small sign for its kind, a space and its parts,
// the parts that refer to elements made into links whose target is "E" followed by the element IDs.
//
// The log is a scheme of its own whose root is a TLogRoot; the document scheme's message sink is the log
// root's Messages list. Which kinds are written follows the "Log" settings (diLogSettings.h).
#pragma once

#include "diMessages.h"
#include "diTextorElement.h"

#include <functional>
#include <vector>

// The sign in front of a log line: one 9-pixel cell of the strip "diLogImages" chosen by the message
// kind (hint cell 0; warning, required and error cell 1; highest cell 2; information and any other kind
// nothing). Left out of a text's clipboard copy; files "Kind".
class TElement_Sign : public TVisualElement, public TInlineElementLink {
  QN_ELEMENT_CLASS(TElement_Sign)
public:
  TElement_Sign();

  int Kind() const { return FKind; }
  void SetKind(int kind);

  void Paint(TCustomSheetCanvas &canvas, int flags) override;
  void Load(TSchemeLoader &filer, TKnot &knot) override;
  void Save(TSchemeSaver &filer, TKnot &knot) override;

protected:
  void Freeing() override;

private:
  int FKind = 0;
};

// The cell of "diLogImages" for a message kind, or -1 for none.
int LogSignCell(int kind);

class TLogRoot : public TTextorElement {
  QN_ELEMENT_CLASS(TLogRoot)
public:
  TLogRoot();
  ~TLogRoot() override;

  // The list the document scheme reports into; its events write and clear the text.
  TElementMessages &Messages() { return FMessages; }
  // After the log changed: a message was added or the log was cleared.
  std::function<void()> OnChanged;
  // A link to elements was activated; the IDs as written in the link (IDs that no longer exist included).
  std::function<void(const std::vector<std::int32_t> &ids)> OnElementsLink;

  // The text's own classes and the log's signs.
  void GetAcceptedClasses(TElementClassList &list) override;
  // The padding of the theme skin "Sheet".
  void GetPadding(QMargins &padding) override;
  // The system's message font, face and size.
  TTextAttributes *DefaultTextAttributes() override;
  // A "Chars" with "Elements" reads as a link to "E" and the attribute's value.
  TTextAttributes *AttributesFromKnot(TKnot &knot) override;
  // An element link passes its IDs to OnElementsLink and is then shown visited (colour 128).
  void LinkActivated(TPortion *portion) override;

private:
  void AppendMessage(TElementMessage &message);
  void ClearText();
  void FireChanged();

  TElementMessages FMessages;
};

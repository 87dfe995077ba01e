#include "testTextKinds.h"

#include "diCanvas.h"
#include "diSheet.h"

namespace testkinds {

QN_DEFINE_ELEMENT_CLASS(TElement_Star, TVisualElement)

int TElement_Star::Alive = 0;

TElement_Star::TElement_Star() {
  ++Alive;
  SetBounds(0, 0, 0, 16, 16);
}

TElement_Star::~TElement_Star() { --Alive; }

void TElement_Star::Paint(TCustomSheetCanvas &canvas, int flags) {
  ++Paints;
  if (Fill != clNone)
    canvas.DrawRect(ClientRect(), 0, Fill, Fill);
}

void TElement_Star::Freeing() {
  PortionElementFreeing();
  TVisualElement::Freeing();
}

}  // namespace testkinds

QN_DEFINE_ELEMENT_CLASS(TElement_TestTextRoot, TTextorElement)

TElement_TestTextRoot::TElement_TestTextRoot() {
  SetTextorOptions(RootOptions);
  SetContentSet(csAll);
}

void TElement_TestTextRoot::GetAcceptedClasses(TElementClassList &list) {
  AddAcceptedClass(list, &testkinds::TElement_Star::Class());
  TTextorElement::GetAcceptedClasses(list);
}

void TElement_TestTextRoot::GetPadding(QMargins &padding) {
  padding = Sheet() ? Sheet()->Canvas().SkinPadding(steSheet) : QMargins();
}

std::unique_ptr<TScheme> NewTestTextScheme() {
  return std::make_unique<TScheme>(&TElement_TestTextRoot::Class(), QStringLiteral("Quillnote"));
}

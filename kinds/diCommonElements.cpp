#include "diCommonElements.h"

#include "cuStrings.h"
#include "diCanvas.h"
#include "diClassesImages.h"
#include "diSchemeImages.h"
#include "diTextorPalette.h"

// ---------------------------------------------------------------------------------------------------------
// TCustomSmallImageElement

QN_DEFINE_ABSTRACT_ELEMENT_CLASS(TCustomSmallImageElement, TVisualElement)

TCustomSmallImageElement::TCustomSmallImageElement() {
  InitVisualOptions(VisualOptions() | voCanDisable);
  const TSchemeImages &images = SchemeSmallImages();
  SetBounds(Left(), Top(), Descent(), images.CellHeight(), images.CellWidth());
}

void TCustomSmallImageElement::Paint(TCustomSheetCanvas &canvas, int) { canvas.DrawSmallImage(0, 0, ImageIndex()); }

int TCustomSmallImageElement::GetCursor(const QPoint &point) {
  if (TVisualElement *parent = VisualParent())
    return parent->GetCursor(ToParent(point));
  return TVisualElement::GetCursor(point);
}

void TCustomSmallImageElement::Freeing() {
  PortionElementFreeing();
  TVisualElement::Freeing();
}

// ---------------------------------------------------------------------------------------------------------
// Signs

QN_DEFINE_ABSTRACT_ELEMENT_CLASS(TCustomSignElement, TCustomSmallImageElement)

TCustomSignElement::TCustomSignElement() { InitVisualOptions(VisualOptions() & ~voCanDisable); }

QN_DEFINE_ELEMENT_CLASS(TElement_Information, TCustomSignElement)
QN_DEFINE_ELEMENT_CLASS(TElement_Question, TCustomSignElement)
QN_DEFINE_ELEMENT_CLASS(TElement_Star, TCustomSignElement)
QN_DEFINE_ELEMENT_CLASS(TElement_Important, TCustomSignElement)
QN_DEFINE_ELEMENT_CLASS(TElement_Stop, TCustomSignElement)
QN_DEFINE_ELEMENT_CLASS(TElement_Ready, TCustomSignElement)

int TElement_Information::ImageIndex() { return CommonElements().SmallImages + ciInformation; }
int TElement_Question::ImageIndex() { return CommonElements().SmallImages + ciQuestion; }
int TElement_Star::ImageIndex() { return CommonElements().SmallImages + ciStar; }
int TElement_Important::ImageIndex() { return CommonElements().SmallImages + ciImportant; }
int TElement_Stop::ImageIndex() { return CommonElements().SmallImages + ciStop; }
int TElement_Ready::ImageIndex() { return CommonElements().SmallImages + ciReady; }

// ---------------------------------------------------------------------------------------------------------
// Registration

namespace {

TCommonElements RegisterCommonElements() {
  // The units below this one start first: the framework (its strips, groups and items), then the text
  // formats.
  ClassesImages();
  FrameworkPalette();
  TextorFormatPalette();

  TCommonElements r{};
  r.SmallImages = SchemeSmallImages().AddStrip(QStringLiteral("diCommonElementsSmallImages"));
  TClassesGroups &groups = TClassesGroups::Instance();
  r.SignsGroup = groups.AddGroup();
  const TElementClass *signs[] = {&TElement_Star::Class(),      &TElement_Information::Class(),
                                  &TElement_Question::Class(),  &TElement_Important::Class(),
                                  &TElement_Stop::Class(),      &TElement_Ready::Class()};
  for (const TElementClass *sign : signs)
    groups.Register(cgInlineElements, *sign);
  for (const TElementClass *sign : signs)
    groups.Register(r.SignsGroup, *sign);

  r.Signs = CreatePaletteGroup(Palette(), sidGroupSigns, 1500);
  auto item = [&r](int image, int hint, int caption, const TElementClass &sign, std::int32_t weight) {
    return CreatePaletteItem<TElementPaletteItem>(*r.Signs, piNoCaption, r.SmallImages + image, hint, caption,
                                                  sign, weight);
  };
  r.Information = item(ciInformation, sidItemInformationHint, sidItemInformation, TElement_Information::Class(), 40);
  r.Question = item(ciQuestion, sidItemQuestionHint, sidItemQuestion, TElement_Question::Class(), 35);
  r.Star = item(ciStar, sidItemStarHint, sidItemStar, TElement_Star::Class(), 32);
  r.Important = item(ciImportant, sidItemImportantHint, sidItemImportant, TElement_Important::Class(), 30);
  r.Stop = item(ciStop, sidItemStopHint, sidItemStop, TElement_Stop::Class(), 20);
  r.Ready = item(ciReady, sidItemReadyHint, sidItemReady, TElement_Ready::Class(), 10);
  return r;
}

}  // namespace

const TCommonElements &CommonElements() {
  static const TCommonElements registered = RegisterCommonElements();
  return registered;
}

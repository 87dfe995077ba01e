// Test-only kinds for textor elements: a document root of rich text and a small inline element that
// files like a sign ("Star": an empty knot at its place in the text).
#pragma once

#include "cuColors.h"
#include "diTextorElement.h"

#include <memory>

namespace testkinds {

// A 16 x 16 inline element with baseline offset 0. Its text (GetText) is Label; it paints its client area
// with Fill unless that is clNone.
class TElement_Star : public TVisualElement, public TInlineElementLink {
  QN_ELEMENT_CLASS(TElement_Star)
public:
  TElement_Star();
  QString Label;
  TColor Fill = clNone;
  int Paints = 0;  // how often Paint ran
  static int Alive;
  ~TElement_Star() override;
  void GetText(QString &builder) override { builder += Label; }
  void Paint(TCustomSheetCanvas &canvas, int flags) override;

protected:
  void Freeing() override;
};

}  // namespace testkinds

// The root of a rich-text test document, set up as the program's document root: inline elements, links,
// the fixed font, extra workspace height, the sheet's width and height as minimums, everything allowed;
// padding of the skin steSheet. It accepts the test star besides the textor's own classes.
class TElement_TestTextRoot : public TTextorElement {
  QN_ELEMENT_CLASS(TElement_TestTextRoot)
public:
  static constexpr std::uint32_t RootOptions = 0x22012005;
  TElement_TestTextRoot();
  void GetAcceptedClasses(TElementClassList &list) override;
  void GetPadding(QMargins &padding) override;
};

// A scheme with that root, named "Quillnote".
std::unique_ptr<TScheme> NewTestTextScheme();

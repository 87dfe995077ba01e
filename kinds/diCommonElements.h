// Small-image elements and the signs. A sign is one 16-pixel picture that stands in a text like a
// character and marks a line of notes: star, information, question, important, stop, ready. Signs have
// no data and no behaviour of their own: they are filed as empty knots named by their type name, are
// neither focusable nor pressable (a press goes to the text that holds them), and are selected, deleted,
// copied and moved as one position of that text.
#pragma once

#include "diPalette.h"
#include "diRichTextor.h"
#include "diVisualElements.h"

// An element that shows one cell of the scheme's 16-pixel image list, sized to one cell. It can stand in a
// text: freeing it frees its portion there.
class TCustomSmallImageElement : public TVisualElement, public TInlineElementLink {
  QN_ELEMENT_CLASS(TCustomSmallImageElement)
public:
  // Adds voCanDisable; the size becomes one cell of the 16-pixel list, position and descent are kept.
  TCustomSmallImageElement();

  // The cell of the 16-pixel list the element shows.
  virtual int ImageIndex() = 0;

  // Draws the cell at (0, 0).
  void Paint(TCustomSheetCanvas &canvas, int flags) override;
  // Over an element inside another one, the cursor of the parent at that point (the text beam of the
  // surrounding text); without a visual parent the default.
  int GetCursor(const QPoint &point) override;

protected:
  // The portion goes first, while the element is still whole, then the visual element's own freeing.
  void Freeing() override;
};

// A sign: a small-image element without a disabled state, so it never files "Disabled".
class TCustomSignElement : public TCustomSmallImageElement {
  QN_ELEMENT_CLASS(TCustomSignElement)
public:
  TCustomSignElement();
};

class TElement_Information : public TCustomSignElement {
  QN_ELEMENT_CLASS(TElement_Information)
public:
  int ImageIndex() override;  // blue arrow
};

class TElement_Question : public TCustomSignElement {
  QN_ELEMENT_CLASS(TElement_Question)
public:
  int ImageIndex() override;  // blue question mark
};

class TElement_Star : public TCustomSignElement {
  QN_ELEMENT_CLASS(TElement_Star)
public:
  int ImageIndex() override;
};

class TElement_Important : public TCustomSignElement {
  QN_ELEMENT_CLASS(TElement_Important)
public:
  int ImageIndex() override;  // warning triangle
};

class TElement_Stop : public TCustomSignElement {
  QN_ELEMENT_CLASS(TElement_Stop)
public:
  int ImageIndex() override;  // red cross
};

class TElement_Ready : public TCustomSignElement {
  QN_ELEMENT_CLASS(TElement_Ready)
public:
  int ImageIndex() override;  // green tick
};

// Cells of the strip "diCommonElementsSmallImages", offsets from its base index.
enum TCommonElementsImage {
  ciComment = 0,
  ciLogicFrame = 1,
  ciStar = 2,
  ciInformation = 3,
  ciQuestion = 4,
  ciImportant = 5,
  ciReady = 6,
  ciStop = 7,
  ciGreyBox = 8,  // not used by this program
};

// What the unit registers at start-up, in this order: the strip "diCommonElementsSmallImages" in the
// 16-pixel list (its base index); the signs class group; the six signs (Star, Information, Question,
// Important, Stop, Ready) appended to the inline elements group and then to the signs group; the palette
// group "Signs" (2825, weight 1500); and its six commands (option 0x1000, inserting the sign), created in
// the order Information, Question, Star, Important, Stop, Ready. The units below this one register first.
struct TCommonElements {
  int SmallImages;   // base index of "diCommonElementsSmallImages" in the 16-pixel list
  int SignsGroup;    // class group of the six signs
  TPaletteGroup *Signs;
  TElementPaletteItem *Information, *Question, *Star, *Important, *Stop, *Ready;
};

// Registers on first use; a container accepts the signs through
// TClassesGroups::Instance().AddGroupClasses(CommonElements().SignsGroup, list).
const TCommonElements &CommonElements();

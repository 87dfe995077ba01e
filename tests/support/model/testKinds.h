// Test-only element kinds. A document is a TElement_TestRoot (root knot "Quillnote") holding boxes and
// notes:
//   <Quillnote FormatVersion="1.1" Title="...">
//     <Box Title="..." Flag="1" Disabled="1"><Caption Text="..."/><Note Text="..." Left="1" Top="2"/>...</Box>
//   </Quillnote>
// A box has a named part (its caption, knot "Caption"), an inline part (its flag, attribute "Flag" in the
// box's own knot) and a transient part (attribute "Cache", filed only in snapshots); its other children are
// free children: boxes and notes. Notes float ("Left"/"Top") and can be disabled; both are checked.
#pragma once

#include "diFiling.h"
#include "cuColors.h"
#include "diVisualElements.h"

#include <QString>
#include <QStringList>

#include <memory>

// The group of the kinds a box or the root accepts; created on first use.
int TestBlocksGroup();
// How many times a test kind's CheckValue ran since the last reset.
extern int GTestKindChecks;

// The root of a test document. Free children: boxes and notes; attribute "Title".
class TElement_TestRoot : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_TestRoot)
public:
  QString Title;
  void GetAcceptedClasses(TElementClassList &list) override;
  void Load(TSchemeLoader &filer, TKnot &knot) override;
  void Save(TSchemeSaver &filer, TKnot &knot) override;

protected:
  // Loads the free children from every child knot not named in `skip` (the knots of parts); saves them.
  void LoadFreeChildren(TSchemeLoader &filer, TKnot &knot, const QStringList &skip);
  void SaveFreeChildren(TSchemeSaver &filer, TKnot &knot);
};

// The caption part of a box: attribute "Text".
class TElement_TestCaption : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_TestCaption)
public:
  QString Text;
  bool IsFilled() override { return !Text.isEmpty(); }
  void Load(TSchemeLoader &filer, TKnot &knot) override;
  void Save(TSchemeSaver &filer, TKnot &knot) override;
};

// The inline flag part of a box: attribute "Flag" in the box's knot, written only when set.
class TElement_TestFlag : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_TestFlag)
public:
  TElement_TestFlag() { InitOptions(efInlinePart); }
  bool Flag = false;
  void Load(TSchemeLoader &filer, TKnot &knot) override;
  void Save(TSchemeSaver &filer, TKnot &knot) override;
};

// The transient part of a box: attribute "Cache", kept only by snapshots.
class TElement_TestCache : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_TestCache)
public:
  TElement_TestCache() { InitOptions(efTransient); }
  int Cache = 0;
  void Load(TSchemeLoader &filer, TKnot &knot) override;
  void Save(TSchemeSaver &filer, TKnot &knot) override;
};

// A container: caption, flag and cache parts, "Title", free children; can be disabled; checked.
class TElement_Box : public TElement_TestRoot {
  QN_ELEMENT_CLASS(TElement_Box)
public:
  TElement_Box();
  TElement_TestCaption *Caption = nullptr;
  TElement_TestFlag *Flag = nullptr;
  TElement_TestCache *Cache = nullptr;
  void Create() override;
  bool IsFilled() override { return true; }
  void CheckValue() override { ++GTestKindChecks; }
  void GetPartKnotName(TElement *part, TFilerMode mode, QString &name) override;
  void Load(TSchemeLoader &filer, TKnot &knot) override;
  void Save(TSchemeSaver &filer, TKnot &knot) override;
};

// A floating leaf with "Text"; can be disabled; checked: a note whose text is "bad" reports an error.
class TElement_Note : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_Note)
public:
  TElement_Note();
  QString Text;
  bool IsFilled() override { return !Text.isEmpty(); }
  void CheckValue() override;
  void Load(TSchemeLoader &filer, TKnot &knot) override;
  void Save(TSchemeSaver &filer, TKnot &knot) override;
};

// A panel for the sheet tests and the paint benchmark: it fills its client area with Fill (a platform
// colour) and/or draws the "Element" skin tinted with Tint, keeps the padding it is given, counts its
// paints and clicks and records the keys and characters it receives. Its visual options are set by the
// test (SetVisualOptions).
class TElement_TestPanel : public TPanelElement {
  QN_ELEMENT_CLASS(TElement_TestPanel)
public:
  TColor Fill = clNone;
  bool Skin = false;
  TColor32 Tint = 0;
  QMargins Padding;
  QString FocusData;  // answered by GetFocusData; SetFocus stores what it is given in ReceivedFocusData
  QString ReceivedFocusData;
  int Paints = 0;
  int Clicks = 0;
  QStringList Input;

  void GetPadding(QMargins &padding) override { padding = Padding; }
  void Paint(TCustomSheetCanvas &canvas, int flags) override;
  void Click() override { ++Clicks; }
  void KeyDown(int &key, Qt::KeyboardModifiers shift) override;
  void KeyPress(char16_t &ch) override;
  void GetFocusData(QString &text) override { text = FocusData; }
  void SetFocus(bool horizontal, bool forward, const QString &focusData, TVisualElement *fromChild,
                const QPoint *point) override;
};

// Creates a test panel in `owner` (owner and visual parent) at (left, top) with that size.
TElement_TestPanel *AddTestPanel(TScheme *scheme, TVisualElement *owner, int left, int top, int width, int height,
                                 TColor fill = clNone);

// A document scheme of the test kinds (root knot "Quillnote").
std::unique_ptr<TScheme> NewTestScheme();
// Fills the scheme's root with a deterministic document of at least `elementCount` elements: boxes of
// ten elements each (the box, its three parts, six notes), every box but the first of a run of 20 inside
// the one before, with titles, captions, flags, positions and some disabled notes.
void BuildTestDocument(TScheme &scheme, int elementCount);
// The text a document saver writes for that document, built directly (much faster than building and
// saving it).
QString TestDocumentText(int elementCount);

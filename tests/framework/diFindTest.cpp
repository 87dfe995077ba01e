#include "diFind.h"

#include "cuUndoRedo.h"
#include "diElementOperations.h"
#include "diSheet.h"
#include "diSheetSettings.h"
#include "testFakes.h"
#include "testKinds.h"

#include <gtest/gtest.h>

namespace {

// The names of the elements the walk gave the focus, in order.
QStringList GFocusLog;

// A focusable element whose whole text is its only searchable content: it finds a match when its text
// as a whole Matches, and then holds it selected. A selection that is itself a match is passed over by
// fmFind, any selection by fmAfterReplace, none by fmReplace. Replacing goes through an undoable
// operation and leaves the new text selected.
class TElement_TestText : public TVisualElement, public ITextElement {
  QN_ELEMENT_CLASS(TElement_TestText)
public:
  TElement_TestText() { InitVisualOptions(voFocusable); }
  QString Name;
  QString Text;
  bool Selected = false;

  bool FindFocusTarget(TFindMode mode, const TFindData &findData, TVisualElement *&fromChild, TVisualElement *&next,
                       bool forward) override {
    const bool passOver = Selected && (mode == fmAfterReplace || (mode == fmFind && findData.Matches(Text)));
    if (!passOver && findData.Matches(Text)) {
      FocusIfNotFocused();
      Selected = true;
      return true;
    }
    return TVisualElement::FindFocusTarget(mode, findData, fromChild, next, forward);
  }
  void SetFocus(bool horizontal, bool forward, const QString &focusData, TVisualElement *fromChild,
                const QPoint *point) override {
    GFocusLog << Name;
    TVisualElement::SetFocus(horizontal, forward, focusData, fromChild, point);
  }
  void FocusChanged() override {
    if (!IsFocused())
      Selected = false;
    TVisualElement::FocusChanged();
  }
  void ReplaceSelection(const QString &text) override;
};
QN_DEFINE_ELEMENT_CLASS(TElement_TestText, TVisualElement)

class TTestTextChange : public TElementOperation {
public:
  TTestTextChange(TElement *element, QString text) : TElementOperation(element, false), FNew(std::move(text)) {}

protected:
  void DoOnElement(TElement *element) override {
    auto *e = static_cast<TElement_TestText *>(element);
    FOld = e->Text;
    e->Text = FNew;
    e->Selected = true;
  }
  void UndoOnElement(TElement *element) override { static_cast<TElement_TestText *>(element)->Text = FOld; }

private:
  QString FNew, FOld;
};

void TElement_TestText::ReplaceSelection(const QString &text) {
  TSchemeOperation::Execute(TNodePtr<TSchemeOperation>(new TTestTextChange(this, text)));
}

// A container whose children are hidden while it is collapsed; showing a child expands it.
class TElement_TestFrame : public TPanelElement {
  QN_ELEMENT_CLASS(TElement_TestFrame)
public:
  bool Collapsed = false;
  int Expansions = 0;
  bool IsChildShown(TVisualElement *) override { return !Collapsed; }
  void SetCollapsed(bool collapsed) {
    Collapsed = collapsed;
    for (TVisualElement *c = FirstVisualChild(); c; c = c->NextVisualSibling())
      c->UpdateVisible();
  }
  void ShowChild(TVisualElement *) override {
    ++Expansions;
    SetCollapsed(false);
  }
};
QN_DEFINE_ELEMENT_CLASS(TElement_TestFrame, TPanelElement)

class FindTest : public ::testing::Test {
protected:
  FindTest() {
    Scheme.SetUndoRedo(&Engine);
    Doc()->SetVisualParent(Sheet->RootElement());
    Data.Scope = Doc();
    GFocusLog.clear();
  }
  ~FindTest() override { Doc()->SetVisualParent(nullptr); }

  TElement_TestPanel *Doc() { return static_cast<TElement_TestPanel *>(Scheme.Root()); }
  TElement_TestText *AddText(TVisualElement *owner, const QString &name, const QString &text) {
    auto *e = CreateElement<TElement_TestText>(&Scheme, owner);
    e->Name = name;
    e->Text = text;
    e->SetVisualParent(owner);
    return e;
  }
  template <class T> T *AddContainer(TVisualElement *owner) {
    auto *e = CreateElement<T>(&Scheme, owner);
    e->SetVisualParent(owner);
    return e;
  }
  QString FocusedName() const {
    auto *e = dynamic_cast<TElement_TestText *>(Sheet->Focused());
    return e ? e->Name : QString();
  }

  TFakeDesktop Desktop;
  TUndoRedo Engine;
  TNodePtr<TSheetSettings> Settings{new TSheetSettings(nullptr, QStringLiteral("Sheet"))};
  TScheme Scheme{&TElement_TestPanel::Class(), QStringLiteral("Quillnote")};
  std::unique_ptr<TSheet> Sheet = std::make_unique<TSheet>(*Settings);
  TFindData Data;
};

}  // namespace

TEST(FindDataTest, MatchesWholeTextWithOrWithoutCase) {
  struct Case {
    QString find, text;
    bool matchCase, matches;
  } cases[] = {
      {"Word", "Word", true, true},
      {"Word", "word", true, false},
      {"Word", "wORD", false, true},
      {"Word", "Words", false, false},      // equality, not containment
      {"Word", "Wor", false, false},
      {"straße", "STRASSE", false, false},  // a different length never matches
      {"ΣΟΦΟΣ", "σοφος", false, true},      // final sigma folds like sigma
      {"Äpfel", "äPFEL", false, true},
      {"Äpfel", "äPFEL", true, false},
      {"𐐀", "𐐨", false, true},              // letters outside the basic plane
      {"", "", false, true},
  };
  for (const Case &c : cases) {
    TFindData data;
    data.FindText = c.find;
    data.MatchCase = c.matchCase;
    EXPECT_EQ(data.Matches(c.text), c.matches) << c.find.toStdString() << " / " << c.text.toStdString();
  }
}

TEST(FindDataTest, NotFoundShowsInformationBoxWithFullStop) {
  TFakeDesktop desktop;
  TFindData data;
  data.FindText = QStringLiteral("needle");
  data.NotFound();
  ASSERT_EQ(desktop.Ui.Boxes.size(), 1);
  EXPECT_EQ(desktop.Ui.Boxes[0].Text, QStringLiteral("Could not find \"needle\"."));
  EXPECT_EQ(desktop.Ui.Boxes[0].Flags & mbIconMask, mbIconInformation);
}

TEST_F(FindTest, DocumentWithoutTextElementsWalksToTheEndAndReportsNotFound) {
  std::vector<TElement_TestPanel *> panels;
  for (int i = 0; i < 4; ++i) {
    panels.push_back(AddTestPanel(&Scheme, Doc(), 0, i * 20, 40, 20));
    panels.back()->SetVisualOptions(voFocusable);
  }
  Sheet->SetFocus(panels[0]);
  Data.FindText = QStringLiteral("x");

  EXPECT_FALSE(Sheet->Find(fmFind, Data, true));
  EXPECT_EQ(Sheet->Focused(), panels[3]);
  EXPECT_TRUE(Sheet->RevealOnFocus());
  EXPECT_EQ(Desktop.Ui.CursorChanges, (QList<bool>{true, false}));
  Data.NotFound();
  ASSERT_EQ(Desktop.Ui.Boxes.size(), 1);
  EXPECT_EQ(Desktop.Ui.Boxes[0].Text, QStringLiteral("Could not find \"x\"."));
}

TEST_F(FindTest, WithoutFocusNothingIsSearched) {
  AddText(Doc(), "a", "x");
  Data.FindText = QStringLiteral("x");
  EXPECT_FALSE(Sheet->Find(fmFind, Data, true));
  EXPECT_EQ(Sheet->Focused(), nullptr);
  EXPECT_TRUE(Desktop.Ui.CursorChanges.isEmpty());
}

TEST_F(FindTest, WalksInFocusOrderInEitherDirection) {
  TElement_TestText *a = AddText(Doc(), "a", "one");
  auto *box = AddContainer<TElement_TestPanel>(Doc());
  AddText(box, "b", "two");
  AddText(box, "c", "three");
  AddText(Doc(), "d", "four");
  struct Case {
    QString start, find;
    bool forward, found;
    QString focused, log;
  } cases[] = {
      {"a", "three", true, true, "c", "b c"},
      {"a", "FOUR", true, true, "d", "b c d"},
      {"a", "one", true, false, "d", "b c d"},  // the start is asked first but "one" is already selected
      {"d", "two", false, true, "b", "c b"},
      {"d", "one", false, true, "a", "c b a"},
      {"c", "four", false, false, "a", "b a"},
  };
  for (const Case &c : cases) {
    for (TVisualElement *e : {static_cast<TVisualElement *>(a), box->FirstVisualChild(), box->LastVisualChild(),
                              Doc()->LastVisualChild()})
      if (static_cast<TElement_TestText *>(e)->Name == c.start) {
        Sheet->SetFocus(e);
        static_cast<TElement_TestText *>(e)->Selected = c.start == "a";
      }
    GFocusLog.clear();
    Data.FindText = c.find;
    EXPECT_EQ(Sheet->Find(fmFind, Data, c.forward), c.found) << c.find.toStdString();
    EXPECT_EQ(FocusedName(), c.focused) << c.find.toStdString();
    EXPECT_EQ(GFocusLog.join(' '), c.log) << c.find.toStdString();
  }
}

TEST_F(FindTest, ModesTreatTheSelectedMatch) {
  TElement_TestText *a = AddText(Doc(), "a", "x");
  AddText(Doc(), "b", "x");
  Data.FindText = QStringLiteral("x");
  Sheet->SetFocus(a);

  EXPECT_TRUE(Sheet->Find(fmReplace, Data, true));  // the unselected start itself matches
  EXPECT_EQ(FocusedName(), "a");
  EXPECT_TRUE(Sheet->Find(fmReplace, Data, true));  // a selected match is found again
  EXPECT_EQ(FocusedName(), "a");
  EXPECT_TRUE(Sheet->Find(fmFind, Data, true));  // Find Next passes it over
  EXPECT_EQ(FocusedName(), "b");
  EXPECT_FALSE(Sheet->Find(fmAfterReplace, Data, true));
}

TEST_F(FindTest, ScopeLimitsTheWalk) {
  auto *first = AddContainer<TElement_TestPanel>(Doc());
  auto *second = AddContainer<TElement_TestPanel>(Doc());
  TElement_TestText *start = AddText(first, "a", "");
  AddText(first, "b", "");
  AddText(second, "c", "needle");
  Data.FindText = QStringLiteral("needle");

  Data.Scope = first;
  Sheet->SetFocus(start);
  EXPECT_FALSE(Sheet->Find(fmFind, Data, true));
  EXPECT_EQ(FocusedName(), "b");
  EXPECT_EQ(GFocusLog.join(' '), "b");

  Data.Scope = Doc();
  EXPECT_TRUE(Sheet->Find(fmFind, Data, true));
  EXPECT_EQ(FocusedName(), "c");
}

TEST_F(FindTest, BaseStepNamesNoneOutsideTheScope) {
  auto *first = AddContainer<TElement_TestPanel>(Doc());
  TElement_TestText *a = AddText(first, "a", "");
  TElement_TestText *b = AddText(Doc(), "b", "");
  TVisualElement *fromChild = a, *next = nullptr;
  Data.Scope = first;
  EXPECT_FALSE(a->TVisualElement::FindFocusTarget(fmFind, Data, fromChild, next, true));
  EXPECT_EQ(next, nullptr);
  EXPECT_EQ(fromChild, nullptr);
  Data.Scope = nullptr;  // no limit
  EXPECT_FALSE(a->TVisualElement::FindFocusTarget(fmFind, Data, fromChild, next, true));
  EXPECT_EQ(next, b);
}

TEST_F(FindTest, SkipDisabledAndVisibleOnly) {
  TElement_TestText *start = AddText(Doc(), "start", "");
  auto *frame = AddContainer<TElement_TestFrame>(Doc());
  AddText(frame, "hidden", "needle");
  TElement_TestText *disabled = AddText(Doc(), "disabled", "needle");
  disabled->SetDisabled(true);
  frame->SetCollapsed(true);
  Data.FindText = QStringLiteral("needle");
  struct Case {
    bool skipDisabled, visibleOnly, found;
    QString focused;
  } cases[] = {
      {false, false, true, "hidden"},
      {false, true, true, "disabled"},
      {true, false, true, "hidden"},
      {true, true, false, "start"},
  };
  for (const Case &c : cases) {
    frame->SetCollapsed(true);
    Sheet->SetFocus(start);
    Data.SkipDisabled = c.skipDisabled;
    Data.VisibleOnly = c.visibleOnly;
    EXPECT_EQ(Sheet->Find(fmFind, Data, true), c.found) << c.skipDisabled << c.visibleOnly;
    EXPECT_EQ(FocusedName(), c.focused) << c.skipDisabled << c.visibleOnly;
  }
}

TEST_F(FindTest, MatchInCollapsedFrameIsFoundAndRevealedOnlyAtTheEnd) {
  TElement_TestText *start = AddText(Doc(), "start", "");
  auto *passed = AddContainer<TElement_TestFrame>(Doc());
  AddText(passed, "p", "hay");
  auto *target = AddContainer<TElement_TestFrame>(Doc());
  TElement_TestText *needle = AddText(target, "n", "needle");
  passed->SetCollapsed(true);
  target->SetCollapsed(true);
  Sheet->SetFocus(start);
  Data.FindText = QStringLiteral("needle");

  EXPECT_TRUE(Sheet->Find(fmFind, Data, true));
  EXPECT_EQ(Sheet->Focused(), needle);
  EXPECT_FALSE(target->Collapsed);
  EXPECT_TRUE(needle->IsVisible());
  EXPECT_TRUE(passed->Collapsed);  // the walk went through it without revealing it
  EXPECT_EQ(passed->Expansions, 0);
  EXPECT_TRUE(Sheet->RevealOnFocus());
}

TEST_F(FindTest, WithRevealOnFocusOffTheEndRevealsNothing) {
  TElement_TestText *start = AddText(Doc(), "start", "");
  auto *target = AddContainer<TElement_TestFrame>(Doc());
  AddText(target, "n", "needle");
  target->SetCollapsed(true);
  Sheet->SetFocus(start);
  Sheet->SetRevealOnFocus(false);
  Data.FindText = QStringLiteral("needle");
  EXPECT_TRUE(Sheet->Find(fmFind, Data, true));
  EXPECT_TRUE(target->Collapsed);
  EXPECT_FALSE(Sheet->RevealOnFocus());
}

TEST_F(FindTest, ReplaceAllReportsTheCountAndUndoesInOneStep) {
  TElement_TestText *a = AddText(Doc(), "a", "cat");
  AddText(Doc(), "b", "dog");
  AddText(Doc(), "c", "CAT");
  AddText(Doc(), "d", "cat");
  Sheet->SetFocus(a);
  Data.FindText = QStringLiteral("cat");

  Sheet->Replace(Data, QStringLiteral("cat"), true, true);  // the replacement itself matches again
  ASSERT_EQ(Desktop.Ui.Boxes.size(), 1);
  EXPECT_EQ(Desktop.Ui.Boxes[0].Text, QStringLiteral("The program has made 3\u00A0replacements."));
  EXPECT_EQ(Desktop.Ui.Boxes[0].Flags & mbIconMask, mbIconInformation);
  EXPECT_EQ(Engine.UndoCount(), 1);

  Desktop.Ui.Boxes.clear();
  Sheet->SetFocus(a);
  a->Selected = false;
  Sheet->Replace(Data, QStringLiteral("mouse"), true, true);
  EXPECT_EQ(Desktop.Ui.Boxes[0].Text, QStringLiteral("The program has made 3\u00A0replacements."));
  QStringList texts;
  for (TVisualElement *e = Doc()->FirstVisualChild(); e; e = e->NextVisualSibling())
    texts << static_cast<TElement_TestText *>(e)->Text;
  EXPECT_EQ(texts.join(' '), "mouse dog mouse mouse");
  ASSERT_EQ(Engine.UndoCount(), 2);
  Engine.Undo();
  texts.clear();
  for (TVisualElement *e = Doc()->FirstVisualChild(); e; e = e->NextVisualSibling())
    texts << static_cast<TElement_TestText *>(e)->Text;
  EXPECT_EQ(texts.join(' '), "cat dog cat cat");
}

TEST_F(FindTest, ReplaceOnceSelectsTheNextMatchOrReportsNotFound) {
  TElement_TestText *a = AddText(Doc(), "a", "x");
  AddText(Doc(), "b", "y");
  AddText(Doc(), "c", "x");
  Sheet->SetFocus(a);
  Data.FindText = QStringLiteral("x");

  Sheet->Replace(Data, QStringLiteral("z"), false, true);
  EXPECT_EQ(a->Text, "z");
  EXPECT_EQ(FocusedName(), "c");  // selected, not yet replaced
  EXPECT_TRUE(Desktop.Ui.Boxes.isEmpty());

  Sheet->Replace(Data, QStringLiteral("z"), false, true);
  EXPECT_EQ(static_cast<TElement_TestText *>(Doc()->LastVisualChild())->Text, "z");
  ASSERT_EQ(Desktop.Ui.Boxes.size(), 1);
  EXPECT_EQ(Desktop.Ui.Boxes[0].Text, QStringLiteral("Could not find \"x\"."));

  Desktop.Ui.Boxes.clear();
  Sheet->Replace(Data, QStringLiteral("z"), true, true);  // nothing left: not found, no count
  ASSERT_EQ(Desktop.Ui.Boxes.size(), 1);
  EXPECT_EQ(Desktop.Ui.Boxes[0].Text, QStringLiteral("Could not find \"x\"."));
}

TEST_F(FindTest, ReplaceInReadOnlySheetOnlyBeeps) {
  TElement_TestText *a = AddText(Doc(), "a", "x");
  Sheet->SetFocus(a);
  Sheet->SetReadOnly(true);
  Data.FindText = QStringLiteral("x");
  Sheet->Replace(Data, QStringLiteral("z"), true, true);
  EXPECT_EQ(Desktop.Ui.Beeps, 1);
  EXPECT_EQ(a->Text, "x");
  EXPECT_FALSE(a->Selected);
  EXPECT_TRUE(Desktop.Ui.Boxes.isEmpty());
  EXPECT_EQ(Engine.UndoCount(), 0);
}

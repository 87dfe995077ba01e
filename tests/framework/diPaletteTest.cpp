#include "diPalette.h"

#include "cuLocalization.h"
#include "diClassesImages.h"
#include "diSchemeImages.h"
#include "diVisualElements.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class TElement_PaletteA : public TElement {
  QN_ELEMENT_CLASS(TElement_PaletteA)
};
QN_DEFINE_ELEMENT_CLASS(TElement_PaletteA, TElement)
class TElement_PaletteB : public TElement {
  QN_ELEMENT_CLASS(TElement_PaletteB)
};
QN_DEFINE_ELEMENT_CLASS(TElement_PaletteB, TElement)

TEST(Palette, FrameworkGroupsAndItems) {
  const TFrameworkPalette &f = FrameworkPalette();
  // The framework's groups come first in the process-wide palette, in this order.
  const struct {
    TPaletteGroup *Group;
    int Caption, Weight;
  } groups[] = {{f.Actions, sidGroupActions, 1000}, {f.Options, sidGroupOptions, 800},
                {f.Insert, sidGroupInsert, 700},    {f.State, sidGroupState, 150},
                {f.Additional, sidGroupAdditional, 100}};
  TNode *n = Palette().FirstChild();
  for (const auto &g : groups) {
    ASSERT_EQ(n, g.Group);
    EXPECT_EQ(g.Group->CaptionId(), g.Caption);
    EXPECT_EQ(g.Group->Weight(), g.Weight);
    n = n->Next();
  }
  EXPECT_EQ(f.State->Caption(), QStringLiteral("State"));

  const TDisablePaletteItem &d = *f.Disable;
  EXPECT_EQ(d.Owner(), f.State);
  EXPECT_EQ(d.Group(), f.State);
  EXPECT_EQ(d.Caption(), QStringLiteral("Disabled"));
  EXPECT_EQ(d.Description(),
            QString::fromUtf8("Disabling selected elements. Disabled elements are regarded as\u00A0absent. For example, "
                              "they are not checked. You can enable these elements at\u00A0any moment."));
  EXPECT_EQ(d.Tune(), 0x0341);
  EXPECT_EQ(d.Weight(), 10);
  EXPECT_EQ(d.Shortcut(), QStringLiteral("D"));
  EXPECT_EQ(d.LargeImage(), ClassesImages().Large + 1);
  EXPECT_EQ(d.SmallImage(), -1);
  EXPECT_EQ(d.RadioGroup(), 0);
  EXPECT_EQ(d.GetSoundName(true), QStringLiteral("diClassesDisableSound"));

  for (TPaletteItem *other : {f.InsertOther, f.AdditionalOther}) {
    EXPECT_EQ(other->Caption(), QStringLiteral("Other"));
    EXPECT_EQ(other->Description(), QStringLiteral("Other commands."));
    EXPECT_EQ(other->Tune(), 0x3100);
    EXPECT_EQ(other->Weight(), 10);
    EXPECT_EQ(other->LargeImage(), -1);
    EXPECT_EQ(other->SmallImage(), -1);
    EXPECT_EQ(dynamic_cast<TSchemePaletteItem *>(other), nullptr);
  }
  EXPECT_EQ(f.InsertOther->Owner(), f.Insert);
  EXPECT_EQ(f.AdditionalOther->Owner(), f.Additional);
}

TEST(Palette, ItemImagesOptionsAndSounds) {
  TNodePtr<TPalette> palette = MakeNode<TPalette>();
  TPaletteGroup *group = CreatePaletteGroup(*palette, 0, 5);
  EXPECT_TRUE(group->Caption().isEmpty());

  // A scheme item without image shows the framework's default of its size; a given one is kept.
  auto *small = CreatePaletteItem(*group, std::uint16_t(0x0240), -1, 0, sidItemBold, 40);
  auto *large = CreatePaletteItem(*group, std::uint16_t(0x0540), -1, 0, sidItemPng, 90);
  auto *given = CreatePaletteItem(*group, std::uint16_t(0x0100), 7, 0, 0, 1);
  EXPECT_EQ(small->SmallImage(), ClassesImages().Small);
  EXPECT_EQ(small->LargeImage(), -1);
  EXPECT_EQ(large->LargeImage(), ClassesImages().Large);
  EXPECT_EQ(large->SmallImage(), -1);
  EXPECT_EQ(given->LargeImage(), 7);
  EXPECT_EQ(SchemeLargeImages().Count() > ClassesImages().Large + 1, true);
  EXPECT_EQ(small->RadioGroup(), 0);
  EXPECT_EQ(large->RadioGroup(), 1);
  EXPECT_TRUE(given->Description().isEmpty());
  EXPECT_EQ(small->GetSoundName(false), QStringLiteral("diClassesItemSound"));

  // An element item always changes the document and is offered for one element only.
  auto *element = CreatePaletteItem<TElementPaletteItem>(*group, std::uint16_t(0x1000), 3, sidItemStarHint,
                                                         sidItemStar, TElement_PaletteA::Class(), 32);
  EXPECT_EQ(element->Tune(), 0x1042);
  EXPECT_EQ(&element->ElementClass(), &TElement_PaletteA::Class());
  EXPECT_EQ(element->SmallImage(), 3);
  EXPECT_EQ(element->GetSoundName(true), QStringLiteral("diClassesElementSound"));
  EXPECT_EQ(group->ChildCount(), 4);
}

TEST(Palette, ElementItemsOfAcceptedClasses) {
  TNodePtr<TPalette> palette = MakeNode<TPalette>();
  TPaletteGroup *first = CreatePaletteGroup(*palette, 0, 1);
  TPaletteGroup *second = CreatePaletteGroup(*palette, 0, 2);
  auto *plain = CreatePaletteItem(*first, std::uint16_t(0), 0, 0, 0, 1);
  auto *menu = CreatePaletteItem<TPaletteItem>(*first, std::uint16_t(0x2000), -1, 0, 0, 1);
  auto *a = CreatePaletteItem<TElementPaletteItem>(*menu, std::uint16_t(0), 0, 0, 0, TElement_PaletteA::Class(), 1);
  auto *b = CreatePaletteItem<TElementPaletteItem>(*second, std::uint16_t(0), 0, 0, 0, TElement_PaletteB::Class(), 1);
  auto *b2 = CreatePaletteItem<TElementPaletteItem>(*second, std::uint16_t(0), 0, 0, 0, TElement_PaletteB::Class(), 1);
  EXPECT_EQ(a->Group(), first);

  EXPECT_EQ(palette->FindElementItem(TElement_PaletteA::Class()), a);
  EXPECT_EQ(palette->FindElementItem(TElement_PaletteB::Class()), b);
  EXPECT_EQ(palette->FindElementItem(TElement::Class()), nullptr);

  // Tree order, a parent before the sub-items that made it count, nothing twice.
  TPaletteItemList list{plain};
  palette->AddElementItems({&TElement_PaletteB::Class(), &TElement_PaletteA::Class()}, list);
  EXPECT_EQ(list, TPaletteItemList({plain, menu, a, b, b2}));
  palette->AddElementItems({&TElement_PaletteA::Class()}, list);
  EXPECT_EQ(list.size(), 5u);

  TPaletteItemList none;
  palette->AddElementItems({&TElement::Class()}, none);
  EXPECT_TRUE(none.empty());
}

// ---------------------------------------------------------------------------------------------------------
// Offered items, display and execution, with small kinds shaped like the program's: a document root whose
// children are selected as a group, comments that hold signs but no comments, signs, a comment caption
// part, and labels that offer whatever a test gives them.

struct TExecution {
  TVisualElement *Element, *Target;
  TPaletteItem *Item;
  bool State;
};
std::vector<TExecution> GExecuted;

// A kind that records what it is asked to execute and answers every item it offers.
class TElement_PaletteKind : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_PaletteKind)
public:
  TPaletteItemList Refused;  // reported disabled by GetPaletteItemState
  bool ExecutePaletteItem(TVisualElement &target, TSchemePaletteItem &item, bool state) override {
    GExecuted.push_back({this, &target, &item, state});
    return true;
  }
  void GetPaletteItemState(TPaletteItem &item, TPaletteItemState &state) override {
    TVisualElement::GetPaletteItemState(item, state);
    if (ContainsPaletteItem(Refused, &item))
      state.Enabled = false;
  }
};
QN_DEFINE_ABSTRACT_ELEMENT_CLASS(TElement_PaletteKind, TVisualElement)

class TElement_PaletteRoot : public TElement_PaletteKind {
  QN_ELEMENT_CLASS(TElement_PaletteRoot)
public:
  TElement_PaletteRoot() { InitVisualOptions(voSelectsChildren); }
  std::function<void(TPaletteItemList &)> OnAdjust;
  void GetAcceptedClasses(TElementClassList &list) override;
  void AdjustGroupPaletteItems(TPaletteItemList &list) override {
    if (OnAdjust)
      OnAdjust(list);
  }
};
QN_DEFINE_ELEMENT_CLASS(TElement_PaletteRoot, TElement_PaletteKind)

class TElement_PaletteCaption : public TElement_PaletteKind {
  QN_ELEMENT_CLASS(TElement_PaletteCaption)
};
QN_DEFINE_ELEMENT_CLASS(TElement_PaletteCaption, TElement_PaletteKind)

class TElement_PaletteComment : public TElement_PaletteKind {
  QN_ELEMENT_CLASS(TElement_PaletteComment)
public:
  TElement_PaletteComment() { InitVisualOptions(voCanDisable); }
  static bool AcceptsOwner(const TElement &owner) { return !owner.GetClass().InheritsFrom(Class()); }
  TElement_PaletteCaption *Caption = nullptr;
  void Create() override { Caption = CreatePart<TElement_PaletteCaption>(this); }
  void GetAcceptedClasses(TElementClassList &list) override;
  void GetPaletteItems(TPaletteItemList &list) override;
  void GetPartPaletteItems(TElement *part, TPaletteItemList &list) override;
  void TunePartPaletteItem(TElement *part, TPaletteItem &item, TPaletteItemTune &tune) override {
    tune.Caption = QStringLiteral("Caption command");
  }
};
QN_DEFINE_ELEMENT_CLASS(TElement_PaletteComment, TElement_PaletteKind)

class TElement_PaletteStar : public TElement_PaletteKind {
  QN_ELEMENT_CLASS(TElement_PaletteStar)
public:
  TElement_PaletteStar() { InitVisualOptions(voCanDisable); }
  void GetPaletteItems(TPaletteItemList &list) override;
};
QN_DEFINE_ELEMENT_CLASS(TElement_PaletteStar, TElement_PaletteKind)

class TElement_PaletteLabel : public TElement_PaletteKind {
  QN_ELEMENT_CLASS(TElement_PaletteLabel)
public:
  TPaletteItemList Offers;
  void GetPaletteItems(TPaletteItemList &list) override {
    for (TPaletteItem *item : Offers)
      AddPaletteItem(list, item);
  }
};
QN_DEFINE_ELEMENT_CLASS(TElement_PaletteLabel, TElement_PaletteKind)

// A sub-executable item that lists two sub-commands and records the ones it runs.
class TTestSubItem : public TSubExecutablePaletteItem {
public:
  using TSubExecutablePaletteItem::TSubExecutablePaletteItem;
  QStringList Ran;
  void ExecuteSubCommand(TVisualElement &element, const QString &text) override {
    Ran.append(element.GetClass().TypeName() + QLatin1Char(' ') + text);
  }
  void GetSubCommands(TVisualElement &, QStringList &captions, QStringList &values) override {
    captions = {QStringLiteral("First"), QStringLiteral("Second")};
    values = {QStringLiteral("1"), QStringLiteral("2")};
  }
};

// The test kinds' items, registered once in the process-wide palette as their units would.
struct TTestItems {
  TElementPaletteItem *Comment, *Star;
  TSchemePaletteItem *Description, *Caption, *Always;
  TPaletteItem *Menu, *Nested;
  TSchemePaletteItem *Sub1, *Sub2, *Deep;
  TTestSubItem *SubExecutable;
  TPaletteItem *Plain;
  int Blocks;
};

const TTestItems &TestItems() {
  static const TTestItems items = [] {
    const TFrameworkPalette &f = FrameworkPalette();
    TTestItems t{};
    t.Blocks = TClassesGroups::Instance().AddGroup();
    TClassesGroups::Instance().Register(t.Blocks, TElement_PaletteComment::Class());
    TClassesGroups::Instance().Register(t.Blocks, TElement_PaletteStar::Class());
    TPaletteGroup *signs = CreatePaletteGroup(Palette(), sidGroupSigns, 1500);
    t.Star = CreatePaletteItem<TElementPaletteItem>(*signs, std::uint16_t(0x1000), -1, sidItemStarHint,
                                                    sidItemStar, TElement_PaletteStar::Class(), 32);
    t.Comment = CreatePaletteItem<TElementPaletteItem>(*f.Additional, std::uint16_t(0), -1, sidItemCommentHint,
                                                       sidItemComment, TElement_PaletteComment::Class(), 1000);
    t.Description = CreatePaletteItem(*f.Actions, std::uint16_t(0x0144), -1, sidItemDescriptionHint,
                                      sidItemDescription, 30);
    t.Description->SetShortcut(QStringLiteral("M"));
    t.Caption = CreatePaletteItem(*f.Actions, std::uint16_t(0x0040), -1, 0, 0, 20);
    t.Always = CreatePaletteItem(*f.Actions, std::uint16_t(0x0008), -1, 0, 0, 10);
    t.Menu = CreatePaletteItem<TPaletteItem>(*f.Options, std::uint16_t(0x2000), -1, 0, 0, 5);
    t.Sub1 = CreatePaletteItem(*t.Menu, std::uint16_t(0), -1, 0, 0, 2);
    t.Sub2 = CreatePaletteItem(*t.Menu, std::uint16_t(0), -1, 0, 0, 1);
    t.Nested = CreatePaletteItem<TPaletteItem>(*t.Menu, std::uint16_t(0x2000), -1, 0, 0, 0);
    t.Deep = CreatePaletteItem(*t.Nested, std::uint16_t(0), -1, 0, 0, 0);
    t.SubExecutable = CreatePaletteItem<TTestSubItem>(*f.Actions, std::uint16_t(0x2040), -1, 0, 0, 1);
    t.Plain = CreatePaletteItem(*f.Options, std::uint16_t(0), -1, 0, 0, 1);
    return t;
  }();
  return items;
}

void TElement_PaletteRoot::GetAcceptedClasses(TElementClassList &list) {
  TClassesGroups::Instance().AddGroupClasses(TestItems().Blocks, list);
}
void TElement_PaletteComment::GetAcceptedClasses(TElementClassList &list) {
  TClassesGroups::Instance().AddGroupClasses(TestItems().Blocks, list);
}
void TElement_PaletteComment::GetPaletteItems(TPaletteItemList &list) {
  AddPaletteItem(list, TestItems().Description);
  TVisualElement::GetPaletteItems(list);
}
void TElement_PaletteComment::GetPartPaletteItems(TElement *part, TPaletteItemList &list) {
  if (part == Caption)
    AddPaletteItem(list, TestItems().Caption);
}
void TElement_PaletteStar::GetPaletteItems(TPaletteItemList &list) {
  AddPaletteItem(list, TestItems().Description);
  TVisualElement::GetPaletteItems(list);
}

class PaletteOffers : public ::testing::Test {
protected:
  void SetUp() override { GExecuted.clear(); }
  const TTestItems &T = TestItems();
  TDisablePaletteItem *Disable = FrameworkPalette().Disable;
  std::unique_ptr<TScheme> Scheme =
      std::make_unique<TScheme>(&TElement_PaletteRoot::Class(), QStringLiteral("Quillnote"));
  TElement_PaletteRoot &Root = *static_cast<TElement_PaletteRoot *>(Scheme->Root());
  template <class K> K *Add(TElement *owner = nullptr) {
    return CreateElement<K>(Scheme.get(), owner ? owner : &Root);
  }
  static TPaletteItemList Offered(TVisualElement &e) {
    TPaletteItemList list;
    GetOfferedItems(e, list);
    return list;
  }
};

TEST_F(PaletteOffers, OneElementOffersItsItemsAndTheInsertionItemsOfItsAcceptedClasses) {
  auto *comment = Add<TElement_PaletteComment>();
  auto *star = Add<TElement_PaletteStar>(comment);
  // A star is offered in the root and inside a comment, a comment only in the root.
  EXPECT_EQ(Offered(Root), TPaletteItemList({T.Comment, T.Star}));
  EXPECT_EQ(Offered(*comment), TPaletteItemList({T.Description, Disable, T.Star}));
  EXPECT_EQ(Offered(*star), TPaletteItemList({T.Description, Disable}));
  // A part adds what its owner offers for it.
  EXPECT_EQ(Offered(*comment->Caption), TPaletteItemList({T.Caption}));
  EXPECT_EQ(Palette().FindElementItem(TElement_PaletteStar::Class()), T.Star);
}

TEST_F(PaletteOffers, WithoutSelectionTheFocusedElementsOwnItemsLessTheGroupOnlyOnes) {
  auto *star = Add<TElement_PaletteStar>();
  TPaletteItemList list;
  EXPECT_FALSE(GetPaletteFor(*star, {}, list));
  EXPECT_EQ(list, TPaletteItemList({T.Description}));  // Disabled is offered only for a group selection
  EXPECT_FALSE(GetPaletteFor(Root, {}, list));
  EXPECT_EQ(list, TPaletteItemList({T.Comment, T.Star}));
  // A selection counts only for an element that selects its children as a group.
  auto *comment = Add<TElement_PaletteComment>();
  auto *inner = Add<TElement_PaletteStar>(comment);
  EXPECT_FALSE(GetPaletteFor(*comment, {inner}, list));
  EXPECT_EQ(list, TPaletteItemList({T.Description, T.Star}));
}

TEST_F(PaletteOffers, GroupSelections) {
  auto *star1 = Add<TElement_PaletteStar>();
  auto *star2 = Add<TElement_PaletteStar>();
  auto *comment = Add<TElement_PaletteComment>();
  auto *label = Add<TElement_PaletteLabel>();
  label->Offers = {T.Plain};
  auto *blank = Add<TElement_PaletteLabel>();
  auto *insertsOnly = Add<TElement_PaletteLabel>();
  insertsOnly->Offers = {T.Star};

  const struct {
    const char *Name;
    TVisualElementList Selected;
    bool GroupMode;
    TPaletteItemList Expected;
  } cases[] = {
      {"one selected keeps the items dropped for several", {star1}, true, {T.Description, Disable}},
      {"two selected drop them", {star1, star2}, true, {Disable}},
      {"insertion items are dropped and the rest intersected", {comment, star1}, true, {Disable}},
      {"nothing in common shows nothing, not the root's items", {label, star1}, true, {}},
      {"children that offer nothing leave the root's own items", {blank}, false, {T.Comment, T.Star}},
      {"so do children that offer only single-element items", {insertsOnly, blank}, false, {T.Comment, T.Star}},
      {"a child that offers nothing empties the group", {star1, blank}, true, {}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Name);
    TPaletteItemList list{T.Always};  // replaced, not appended to
    EXPECT_EQ(GetPaletteFor(Root, c.Selected, list), c.GroupMode);
    EXPECT_EQ(list, c.Expected);
  }
}

TEST_F(PaletteOffers, TheSelectionIsTheChildrenSelectedByTheirOwnState) {
  auto *star1 = Add<TElement_PaletteStar>();
  auto *star2 = Add<TElement_PaletteStar>();
  auto *comment = Add<TElement_PaletteComment>();
  auto *inner = Add<TElement_PaletteStar>(comment);
  for (TVisualElement *e : TVisualElementList{star1, star2, comment})
    e->SetVisualParent(&Root);
  inner->SetVisualParent(comment);
  TPaletteItemList list;
  EXPECT_TRUE(SelectedVisualChildren(Root).empty());
  EXPECT_FALSE(GetPaletteFor(Root, list));
  EXPECT_EQ(list, TPaletteItemList({T.Comment, T.Star}));

  star2->SetSelected(true);
  star1->SetSelected(true);
  EXPECT_EQ(SelectedVisualChildren(Root), TVisualElementList({star1, star2}));  // visual order
  EXPECT_TRUE(GetPaletteFor(Root, list));
  EXPECT_EQ(list, TPaletteItemList({Disable}));

  // A child selected only through its parent is not part of a selection.
  star1->SetSelected(false);
  star2->SetSelected(false);
  comment->SetSelected(true);
  EXPECT_TRUE(inner->IsSelected());
  EXPECT_TRUE(SelectedVisualChildren(*comment).empty());
  // An element that does not select its children as a group keeps its own items.
  comment->SetSelected(false);
  inner->SetSelected(true);
  EXPECT_EQ(SelectedVisualChildren(*comment), TVisualElementList({inner}));
  EXPECT_FALSE(GetPaletteFor(*comment, list));
  EXPECT_EQ(list, TPaletteItemList({T.Description, T.Star}));
}

TEST_F(PaletteOffers, AnItemWithSubItemsStaysOnlyWithOneOfThem) {
  auto *a = Add<TElement_PaletteLabel>();
  auto *b = Add<TElement_PaletteLabel>();
  const struct {
    const char *Name;
    TPaletteItemList A, B;
    TPaletteItemList Expected;
  } cases[] = {
      {"a common sub-item keeps its menu", {T.Menu, T.Sub1, T.Sub2}, {T.Menu, T.Sub2}, {T.Menu, T.Sub2}},
      {"no common sub-item drops the menu", {T.Menu, T.Sub1}, {T.Menu, T.Sub2, T.Plain}, {}},
      {"an empty nested menu empties its parent", {T.Menu, T.Nested}, {T.Menu, T.Nested}, {}},
      // The result keeps the order of the last child, which is visited first.
      {"a nested menu with its item stays", {T.Menu, T.Nested, T.Deep}, {T.Nested, T.Deep, T.Menu},
       {T.Nested, T.Deep, T.Menu}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Name);
    a->Offers = c.A;
    b->Offers = c.B;
    TPaletteItemList list;
    EXPECT_TRUE(GetPaletteFor(Root, {a, b}, list));
    EXPECT_EQ(list, c.Expected);
  }
  // Already a single child's menu without sub-items goes.
  a->Offers = {T.Menu, T.Plain};
  TPaletteItemList list;
  EXPECT_TRUE(GetPaletteFor(Root, {a}, list));
  EXPECT_EQ(list, TPaletteItemList({T.Plain}));
}

TEST_F(PaletteOffers, TheFocusedElementAdjustsOnlyAGroupSelection) {
  auto *star = Add<TElement_PaletteStar>();
  auto *blank = Add<TElement_PaletteLabel>();
  int calls = 0;
  Root.OnAdjust = [&](TPaletteItemList &list) {
    ++calls;
    AddPaletteItem(list, T.Plain);
  };
  TPaletteItemList list;
  EXPECT_TRUE(GetPaletteFor(Root, {star}, list));
  EXPECT_EQ(list, TPaletteItemList({T.Description, Disable, T.Plain}));
  EXPECT_FALSE(GetPaletteFor(Root, {blank}, list));
  EXPECT_FALSE(GetPaletteFor(Root, {}, list));
  EXPECT_EQ(calls, 1);
}

TEST_F(PaletteOffers, EnabledAndCheckedStates) {
  auto *star = Add<TElement_PaletteStar>();
  auto *label = Add<TElement_PaletteLabel>();
  auto state = [](TVisualElement &e, TPaletteItem *item) {
    const TPaletteItemState s = GetPaletteItemDisplayState(e, *item);
    return std::make_pair(s.Enabled, s.Checked);
  };
  using P = std::pair<bool, bool>;
  EXPECT_EQ(state(*star, Disable), P(true, false));
  star->SetDisabled(true);
  EXPECT_EQ(state(*star, Disable), P(true, true));
  EXPECT_EQ(state(*label, Disable), P(true, false));  // only an element's own disabled state checks it
  EXPECT_EQ(state(*star, T.Always), P(false, false));
  star->Refused = {T.Description};
  EXPECT_EQ(state(*star, T.Description), P(false, false));
  EXPECT_EQ(state(*label, T.Description), P(true, false));

  // Items that change the document are disabled on a read-only element or scheme; the others are not.
  Scheme->SetReadOnly(true);
  EXPECT_EQ(state(*star, Disable), P(false, true));
  EXPECT_EQ(state(*label, T.Caption), P(false, false));
  EXPECT_EQ(state(*label, T.Plain), P(true, false));
  Scheme->SetReadOnly(false);
  EXPECT_EQ(state(*label, T.Caption), P(true, false));
  label->SetVisualOptions(voReadOnly);
  EXPECT_EQ(state(*label, T.Caption), P(false, false));
  EXPECT_EQ(state(*label, T.Plain), P(true, false));
}

TEST_F(PaletteOffers, HowAnItemIsShown) {
  auto *comment = Add<TElement_PaletteComment>();
  const TPaletteItemTune tune = GetPaletteItemTune(*comment, *T.Description);
  EXPECT_EQ(tune.Group, FrameworkPalette().Actions);
  EXPECT_EQ(tune.Caption, QStringLiteral("Description"));
  EXPECT_EQ(tune.LargeImage, T.Description->LargeImage());
  EXPECT_EQ(tune.SmallImage, -1);
  EXPECT_EQ(tune.Options, 0x0144);
  EXPECT_EQ(tune.RadioGroup, 0);
  EXPECT_EQ(tune.Shortcut, QStringLiteral("M"));
  // A sub-item's group is the item it belongs to; a part lets its owner change how an item looks.
  EXPECT_EQ(GetPaletteItemTune(*comment, *T.Sub1).Group, T.Menu);
  EXPECT_EQ(GetPaletteItemTune(*comment->Caption, *T.Caption).Caption, QStringLiteral("Caption command"));
  EXPECT_TRUE(GetPaletteItemTune(*comment, *T.Caption).Caption.isEmpty());
}

TEST_F(PaletteOffers, Execution) {
  auto *star1 = Add<TElement_PaletteStar>();
  auto *star2 = Add<TElement_PaletteStar>();
  auto *star3 = Add<TElement_PaletteStar>();
  ExecutePaletteItemOn(*star1, *T.Description, true);
  ASSERT_EQ(GExecuted.size(), 1u);
  EXPECT_EQ(GExecuted[0].Element, star1);
  EXPECT_EQ(GExecuted[0].Target, star1);
  EXPECT_EQ(GExecuted[0].Item, T.Description);
  EXPECT_TRUE(GExecuted[0].State);
  EXPECT_TRUE(T.Description->ExecuteOn(*star1, false));

  // A group selection runs the item on each child that reports it enabled, in order.
  GExecuted.clear();
  star2->Refused = {T.Description, T.SubExecutable};
  ExecutePaletteItemOnGroup({star1, star2, star3}, *T.Description, false);
  ASSERT_EQ(GExecuted.size(), 2u);
  EXPECT_EQ(GExecuted[0].Element, star1);
  EXPECT_EQ(GExecuted[1].Element, star3);
  EXPECT_FALSE(GExecuted[1].State);

  // Only where the item is enabled as shown: a command that changes the document skips a read-only
  // element, an always-disabled one runs nowhere.
  GExecuted.clear();
  star2->Refused.clear();
  star2->SetVisualOptions(star2->VisualOptions() | voReadOnly);
  ExecutePaletteItemOnGroup({star1, star2, star3}, *T.Caption, true);
  ASSERT_EQ(GExecuted.size(), 2u);
  EXPECT_EQ(GExecuted[0].Element, star1);
  EXPECT_EQ(GExecuted[1].Element, star3);
  GExecuted.clear();
  ExecutePaletteItemOnGroup({star1, star2, star3}, *T.Sub1, true);  // changes nothing of the document
  EXPECT_EQ(GExecuted.size(), 3u);
  GExecuted.clear();
  ExecutePaletteItemOnGroup({star1, star3}, *T.Always, true);
  EXPECT_TRUE(GExecuted.empty());
  star2->SetVisualOptions(star2->VisualOptions() & ~voReadOnly);
  star2->Refused = {T.Description, T.SubExecutable};

  QStringList captions, values;
  T.SubExecutable->GetSubCommands(*star1, captions, values);
  EXPECT_EQ(values, QStringList({QStringLiteral("1"), QStringLiteral("2")}));
  ExecutePaletteSubCommandOnGroup({star1, star2, star3}, *T.SubExecutable, QStringLiteral("2"));
  ExecutePaletteSubCommandOn(*star2, *T.SubExecutable, QStringLiteral("1"));
  EXPECT_EQ(T.SubExecutable->Ran, QStringList({QStringLiteral("PaletteStar 2"), QStringLiteral("PaletteStar 2"),
                                               QStringLiteral("PaletteStar 1")}));
}

}  // namespace

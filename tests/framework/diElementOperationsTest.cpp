#include "diElementOperations.h"

#include "cuUndoRedo.h"
#include "diPalette.h"
#include "diSheet.h"
#include "diSheetSettings.h"
#include "testFakes.h"
#include "testKinds.h"

#include <gtest/gtest.h>

namespace {

class ElementOperationsTest : public ::testing::Test {
protected:
  ElementOperationsTest() {
    Scheme.SetUndoRedo(&Engine);
    Doc()->SetVisualParent(Sheet.RootElement());
    Panel = AddTestPanel(&Scheme, Doc(), 0, 0, 40, 40);
    Panel->SetVisualOptions(voCanDisable | voFocusable);
    Child = AddTestPanel(&Scheme, Panel, 5, 5, 10, 10);
  }
  ~ElementOperationsTest() override { Doc()->SetVisualParent(nullptr); }
  TElement_TestPanel *Doc() { return static_cast<TElement_TestPanel *>(Scheme.Root()); }

  TUndoRedo Engine;
  TNodePtr<TSheetSettings> Settings{new TSheetSettings(nullptr, QStringLiteral("Sheet"))};
  TSheet Sheet{*Settings};
  TScheme Scheme{&TElement_TestPanel::Class(), QStringLiteral("Quillnote")};
  TElement_TestPanel *Panel = nullptr;
  TElement_TestPanel *Child = nullptr;
};

TEST_F(ElementOperationsTest, DisableUndoAndRedoAPanel) {
  Panel->ChangeDisabled(true);
  ASSERT_EQ(Engine.UndoCount(), 1);
  EXPECT_TRUE(Panel->IsDisabledOwn());
  EXPECT_TRUE(Child->IsDisabled());
  EXPECT_FALSE(Child->IsDisabledOwn());
  Engine.Undo();
  EXPECT_FALSE(Panel->IsDisabledOwn());
  EXPECT_FALSE(Child->IsDisabled());
  Engine.Redo();
  EXPECT_TRUE(Panel->IsDisabledOwn());
  EXPECT_TRUE(Child->IsDisabled());
  // Only the panel's own state is filed.
  auto knot = MakeNode<TKnot>();
  Panel->SaveToKnot(*knot, fmDocument, 0);
  EXPECT_TRUE(knot->ReadBool(QStringLiteral("Disabled"), false));
  auto childKnot = MakeNode<TKnot>();
  Child->SaveToKnot(*childKnot, fmDocument, 0);
  EXPECT_FALSE(childKnot->ReadBool(QStringLiteral("Disabled"), false));
}

TEST_F(ElementOperationsTest, TheOperationFindsItsElementByIdentity) {
  Panel->ChangeDisabled(true);
  const std::int32_t id = Panel->ID();
  // The element goes and comes back with the same identity, disabled (as a snapshot would restore it).
  Panel->Free();
  Engine.Undo();  // nothing to find: a no-op
  Engine.Redo();
  auto *restored = AddTestPanel(&Scheme, Doc(), 0, 0, 40, 40);
  restored->SetVisualOptions(voCanDisable);
  restored->SetID(id);
  restored->SetDisabled(true);
  Engine.Undo();
  EXPECT_FALSE(restored->IsDisabledOwn());
  Engine.Redo();
  EXPECT_TRUE(restored->IsDisabledOwn());
}

TEST_F(ElementOperationsTest, AnOperationOnTheFocusedElementRefocusesIt) {
  auto *other = AddTestPanel(&Scheme, Doc(), 50, 0, 10, 10);
  other->SetVisualOptions(voFocusable);
  Panel->FocusIfNotFocused();
  Panel->ChangeDisabled(true);
  other->FocusIfNotFocused();
  Engine.Undo();
  EXPECT_EQ(Sheet.Focused(), Panel);
  other->FocusIfNotFocused();
  Engine.Redo();
  EXPECT_EQ(Sheet.Focused(), Panel);
}

TEST_F(ElementOperationsTest, WithoutAnEngineTheOperationRunsOnce) {
  Scheme.SetUndoRedo(nullptr);
  Panel->ChangeDisabled(true);
  EXPECT_TRUE(Panel->IsDisabledOwn());
  EXPECT_EQ(Engine.UndoCount(), 0);
}

TEST_F(ElementOperationsTest, SchemeGroupsMakeOneStep) {
  {
    TSchemeGroup outer(&Scheme, QStringLiteral("Both"));
    TSchemeGroup inner(&Scheme, QString());
    Panel->ChangeDisabled(true);
    Child->SetVisualOptions(voCanDisable);
    Child->ChangeDisabled(true);
  }
  ASSERT_EQ(Engine.UndoCount(), 1);
  EXPECT_EQ(Engine.NextUndo()->GetCaption(), QStringLiteral("Both"));
  Engine.Undo();
  EXPECT_FALSE(Panel->IsDisabledOwn());
  EXPECT_FALSE(Child->IsDisabledOwn());
  // A group in which nothing ran is not recorded.
  { TSchemeGroup empty(&Scheme, QStringLiteral("Nothing")); }
  EXPECT_EQ(Engine.UndoCount(), 0);
}

TEST_F(ElementOperationsTest, TheDisabledPaletteItem) {
  TFakeDesktop desktop;
  TDisablePaletteItem &item = *FrameworkPalette().Disable;
  ExecutePaletteItemOn(*Panel, item, true);
  EXPECT_TRUE(Panel->IsDisabledOwn());
  EXPECT_EQ(Engine.UndoCount(), 1);
  ASSERT_EQ(desktop.Sound.Started.size(), 1);  // "diClassesDisableSound"
  TPaletteItemState state;
  Panel->GetPaletteItemState(item, state);
  EXPECT_TRUE(state.Checked);
  // The state it already has: handled, nothing recorded.
  EXPECT_TRUE(item.ExecuteOn(*Panel, true));
  EXPECT_EQ(Engine.UndoCount(), 1);
  // An element that cannot be disabled does not handle it.
  EXPECT_FALSE(item.ExecuteOn(*Child, true));
  EXPECT_FALSE(Child->IsDisabledOwn());
  Engine.Undo();
  EXPECT_FALSE(Panel->IsDisabledOwn());
}

TEST(ElementOperationDependents, MergeMovesTheEntriesInOrder) {
  TScheme scheme(&TElement_TestPanel::Class(), QStringLiteral("Quillnote"));
  TVisualElementDisableOperation a(scheme.Root(), false), b(scheme.Root(), false);
  a.RedoDependents().Add(7, MakeNode<TKnot>(QStringLiteral("r7")));
  a.UndoDependents().Add(8, MakeNode<TKnot>(QStringLiteral("u8")));
  b.RedoDependents().Add(5, MakeNode<TKnot>(QStringLiteral("r5")));
  a.MergeDependentsInto(b);
  ASSERT_EQ(b.RedoDependents().Count(), 2);
  EXPECT_EQ(b.RedoDependents().ElementIdentifiers(1), 7);
  EXPECT_EQ(b.RedoDependents().Datas(1).Name(), QStringLiteral("r7"));
  EXPECT_EQ(b.UndoDependents().ElementIdentifiers(0), 8);
  EXPECT_EQ(a.RedoDependents().Count(), 0);
  EXPECT_EQ(a.UndoDependents().Count(), 0);
}

}  // namespace

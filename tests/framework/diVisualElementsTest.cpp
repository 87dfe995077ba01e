#include "diVisualElements.h"

#include "testKinds.h"

#include <gtest/gtest.h>

namespace {

TEST(PanelElement, SizeFollowsTheVisibleChildren) {
  TScheme scheme(&TElement_TestPanel::Class(), QStringLiteral("Quillnote"));
  auto *panel = static_cast<TElement_TestPanel *>(scheme.Root());
  panel->Padding = QMargins(3, 3, 5, 7);
  TElement_TestPanel *a = AddTestPanel(&scheme, panel, 0, 0, 10, 10);
  TElement_TestPanel *b = AddTestPanel(&scheme, panel, 20, 5, 10, 10);
  EXPECT_EQ(panel->Width(), 35);
  EXPECT_EQ(panel->Height(), 22);
  // A size change of one child: grows, and shrinks when it held the edge.
  b->SetBounds(20, 5, b->Descent(), 20, 30);
  EXPECT_EQ(panel->Width(), 55);
  EXPECT_EQ(panel->Height(), 32);
  b->SetBounds(20, 5, b->Descent(), 1, 1);
  EXPECT_EQ(a->BoundsRect(), QRect(0, 0, 10, 10));
  EXPECT_EQ(panel->Width(), 26);
  EXPECT_EQ(panel->Height(), 17);
  // A move alone does not re-size; the next size change takes it into account.
  a->SetBounds(50, 0, a->Descent(), 10, 10);
  EXPECT_EQ(panel->Width(), 26);
  a->SetBounds(50, 0, a->Descent(), 10, 12);
  EXPECT_EQ(panel->Width(), 67);
  // Removing the child at the edge.
  a->SetVisualParent(nullptr);
  EXPECT_EQ(panel->Width(), 26);
  EXPECT_EQ(panel->Height(), 13);
  // With every child hidden the size stays.
  b->SetVisualOptions(voAutoHide);
  EXPECT_FALSE(b->IsVisible());
  EXPECT_EQ(panel->Width(), 26);
  EXPECT_EQ(panel->Height(), 13);
  a->Free();
}

TEST(VisualElement, TreeLinksAndCoordinates) {
  TScheme scheme(&TElement_TestPanel::Class(), QStringLiteral("Quillnote"));
  auto *root = static_cast<TElement_TestPanel *>(scheme.Root());
  root->SetBounds(100, 200, root->Descent(), 1, 1);
  TElement_TestPanel *a = AddTestPanel(&scheme, root, 10, 20, 5, 5);
  TElement_TestPanel *b = AddTestPanel(&scheme, root, 0, 0, 5, 5);
  TElement_TestPanel *inner = AddTestPanel(&scheme, a, 1, 2, 1, 1);
  EXPECT_EQ(root->VisualChildCount(), 2);
  EXPECT_EQ(root->VisualChildren(1), b);
  EXPECT_EQ(root->VisualChildren(2), nullptr);
  EXPECT_EQ(inner->ToSheet(QPoint(0, 0)), QPoint(111, 222));
  EXPECT_EQ(inner->FromSheet(QPoint(111, 222)), QPoint(0, 0));
  b->SetVisualParentAt(root, a);
  EXPECT_EQ(root->FirstVisualChild(), b);
  EXPECT_EQ(b->NextVisualSibling(), a);
  // Freeing an element takes it out of the visual tree; visual children that it does not own stay alive.
  b->SetVisualParent(a);
  EXPECT_EQ(a->VisualChildCount(), 2);
  inner->Free();
  EXPECT_EQ(a->VisualChildCount(), 1);
  a->SetVisualParent(nullptr);
  EXPECT_EQ(root->VisualChildCount(), 0);
  EXPECT_EQ(b->VisualParent(), a);
}

}  // namespace

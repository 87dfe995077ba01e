#include "diSheet.h"

#include "cuKnot.h"
#include "cuUndoRedo.h"
#include "diCanvas.h"
#include "diSheetSettings.h"
#include "diSoundSettings.h"
#include "testFakes.h"
#include "testKinds.h"
#include "testSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr TColor kBlue = 0x00FF0000, kRed = 0x000000FF, kGreen = 0x0000FF00;

struct TNote {
  int Code;
  QRect Rect;  // for repaints: the rectangle, or a null one for everything
  TNotifyArg Arg;
};

class SheetTest : public ::testing::Test {
protected:
  SheetTest() {
    Sheet->Subscribe(&Record, this);
    Doc()->SetVisualParent(Sheet->RootElement());
    Notes.clear();
  }
  ~SheetTest() override {
    Doc()->SetVisualParent(nullptr);
    Sheet->Unsubscribe(&Record, this);
  }

  static void Record(void *target, TItfObject *, int code, TNotifyArg a, TNotifyArg) {
    auto *self = static_cast<SheetTest *>(target);
    QRect rect;
    if (code == shnRepaint && a)
      rect = *reinterpret_cast<const QRect *>(a);
    self->Notes.push_back({code, rect, a});
  }
  int Count(int code) const {
    return int(std::count_if(Notes.begin(), Notes.end(), [code](const TNote &n) { return n.Code == code; }));
  }

  TElement_TestPanel *Doc() { return static_cast<TElement_TestPanel *>(Scheme.Root()); }
  TElement_TestPanel *Add(TVisualElement *owner, int left, int top, int width, int height, TColor fill = clNone,
                          std::uint16_t options = 0) {
    TElement_TestPanel *p = AddTestPanel(&Scheme, owner, left, top, width, height, fill);
    p->SetVisualOptions(options);
    return p;
  }
  QImage Picture(const QRect &rect, int flags = 0) {
    QImage image(rect.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.translate(-rect.topLeft());
    Sheet->Paint(&painter, rect, flags);
    painter.end();
    return image;
  }

  TNodePtr<TSheetSettings> Settings{new TSheetSettings(nullptr, QStringLiteral("Sheet"))};
  TScheme Scheme{&TElement_TestPanel::Class(), QStringLiteral("Quillnote")};
  std::unique_ptr<TSheet> Sheet = std::make_unique<TSheet>(*Settings);
  std::vector<TNote> Notes;
};

TEST_F(SheetTest, PaintsNestedPanelsAtTheirPlaces) {
  Doc()->Fill = kBlue;
  TElement_TestPanel *red = Add(Doc(), 10, 10, 40, 20, kRed);
  red->Padding = QMargins(0, 0, 25, 10);  // a panel's size follows its children: 15 + 25 by 10 + 10
  Add(red, 5, 5, 10, 5, kGreen);
  EXPECT_EQ(red->BoundsRect(), QRect(10, 10, 40, 20));
  // The document and the sheet's root follow the children.
  EXPECT_EQ(Doc()->BoundsRect(), QRect(0, 0, 50, 30));
  EXPECT_EQ(Sheet->ContentWidth(), 50);
  EXPECT_EQ(Sheet->ContentHeight(), 30);

  const QImage image = Picture(QRect(0, 0, 60, 40));
  EXPECT_EQ(image.pixel(2, 2), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(49, 29), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(10, 10), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(15, 15), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(24, 19), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(25, 20), qRgb(255, 0, 0));
  EXPECT_NE(image.pixel(55, 35), qRgb(0, 0, 255));  // outside the document

  // A rectangle elsewhere on the sheet lands at the same places.
  const QImage part = Picture(QRect(14, 14, 4, 4));
  EXPECT_EQ(part.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(part.pixel(1, 1), qRgb(0, 255, 0));
}

TEST_F(SheetTest, ADisabledSubtreeGetsOneOverlay) {
  TElement_TestPanel *red = Add(Doc(), 0, 0, 40, 20, kRed);
  red->Padding = QMargins(0, 0, 25, 10);
  TElement_TestPanel *green = Add(red, 5, 5, 10, 5, kGreen);
  green->SetDisabled(true);
  const QRgb once = Picture(QRect(0, 0, 40, 20)).pixel(6, 6);
  EXPECT_NE(once, qRgb(0, 255, 0));
  green->SetDisabled(false);
  red->SetDisabled(true);
  EXPECT_TRUE(green->IsDisabled());
  EXPECT_FALSE(green->IsDisabledOwn());
  const QImage image = Picture(QRect(0, 0, 40, 20));
  EXPECT_EQ(image.pixel(6, 6), once);
  EXPECT_NE(image.pixel(1, 1), qRgb(255, 0, 0));
}

TEST_F(SheetTest, PaintsOnlyTheChildrenThatMeetTheClip) {
  for (bool ordered : {true, false}) {
    std::vector<TElement_TestPanel *> rows;
    for (int i = 0; i < 200; ++i)
      rows.push_back(Add(Doc(), 0, (ordered ? i : 199 - i) * 20, 40, 20, kGreen));
    Picture(QRect(5, 1005, 10, 10));
    int painted = 0;
    for (TElement_TestPanel *row : rows)
      painted += row->Paints;
    EXPECT_EQ(painted, 1) << ordered;
    EXPECT_EQ(rows[ordered ? 50 : 149]->Paints, 1) << ordered;
    for (TElement_TestPanel *row : rows)
      row->Free();
  }
}

TEST_F(SheetTest, InvalidationsInsideAnUpdateGiveOneRepaint) {
  TElement_TestPanel *a = Add(Doc(), 10, 10, 40, 20);
  TElement_TestPanel *b = Add(Doc(), 10, 40, 40, 20);
  Notes.clear();
  a->SetBounds(12, 10, a->Descent(), 20, 40);
  ASSERT_GE(Count(shnRepaint), 2);
  EXPECT_EQ(Notes.front().Rect, QRect(10, 10, 40, 20));  // the old area, in sheet coordinates
  EXPECT_EQ(Notes[1].Rect, QRect(12, 10, 38, 20));  // inside the document, which a move does not grow

  Notes.clear();
  Sheet->BeginUpdate();
  a->SetBounds(14, 10, a->Descent(), 20, 40);
  b->SetBounds(10, 44, b->Descent(), 25, 40);
  b->SetExternalEditing(true);
  a->Invalidate();
  EXPECT_TRUE(Notes.empty());
  Sheet->EndUpdate();
  ASSERT_EQ(Count(shnRepaint), 1);
  EXPECT_EQ(Notes.back().Code, shnRepaint);
  EXPECT_EQ(Notes.back().Arg, 0);
  EXPECT_EQ(Count(shnSizeChanged), 1);  // the document grew

  // Unchanged bounds invalidate nothing.
  Notes.clear();
  a->SetBounds(14, 10, a->Descent(), 20, 40);
  EXPECT_TRUE(Notes.empty());
}

TEST_F(SheetTest, HitTestsFindTheDeepestVisibleElement) {
  TElement_TestPanel *outer = Add(Doc(), 10, 10, 60, 40);
  outer->Padding = QMargins(0, 0, 42, 22);
  TElement_TestPanel *inner = Add(outer, 5, 5, 10, 10);
  TElement_TestPanel *above = Add(outer, 8, 8, 10, 10);  // later children are on top
  EXPECT_EQ(Sheet->HitTest(QPoint(16, 16), true, true), inner);
  EXPECT_EQ(Sheet->HitTest(QPoint(20, 20), true, true), above);
  EXPECT_EQ(Sheet->HitTest(QPoint(60, 45), true, true), outer);
  EXPECT_EQ(Sheet->HitTest(QPoint(200, 200), true, true), nullptr);
  EXPECT_EQ(outer->BoundsRect(), QRect(10, 10, 60, 40));
  above->SetSelected(true);
  EXPECT_EQ(Sheet->HitTest(QPoint(20, 20), false, true), inner);
  EXPECT_EQ(Sheet->HitTest(QPoint(20, 20), true, true), above);
  above->SetSelected(false);
  above->SetVisualOptions(voMouseTransparent);
  EXPECT_EQ(Sheet->HitTest(QPoint(20, 20), true, true), inner);
  EXPECT_EQ(Sheet->HitTest(QPoint(20, 20), true, false), above);
}

TEST_F(SheetTest, ArrowKeysMoveTheFocus) {
  TElement_TestPanel *a = Add(Doc(), 0, 0, 10, 10, clNone, voFocusable);
  TElement_TestPanel *b = Add(Doc(), 20, 0, 10, 10, clNone, voFocusable);
  TElement_TestPanel *box = Add(Doc(), 40, 0, 30, 30);
  TElement_TestPanel *c = Add(box, 5, 5, 10, 10, clNone, voFocusable);
  a->FocusIfNotFocused();
  EXPECT_EQ(Sheet->Focused(), a);
  EXPECT_EQ(Count(shnFocusChanged), 1);
  struct Step {
    int key;
    TVisualElement *expected;
  } steps[] = {{Qt::Key_Right, b}, {Qt::Key_Right, c}, {Qt::Key_Right, c}, {Qt::Key_Left, b}, {Qt::Key_Up, a}};
  for (const Step &step : steps) {
    int key = step.key;
    Sheet->KeyDown(key, Qt::NoModifier);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(Sheet->Focused(), step.expected);
  }
  // Shift+arrow is left to the element; the other keys go to it first.
  int key = Qt::Key_Right;
  Sheet->KeyDown(key, Qt::ShiftModifier);
  EXPECT_EQ(key, int(Qt::Key_Right));
  EXPECT_EQ(Sheet->Focused(), a);
  EXPECT_EQ(a->Input.back(), QStringLiteral("down %1").arg(int(Qt::Key_Right)));

  // A focusable container is the next target from inside it, and learns which child the focus leaves.
  box->SetVisualOptions(voFocusable);
  TVisualElement *fromChild = nullptr;
  EXPECT_EQ(c->FindNextFocusable(false, false, fromChild, false, true), box);
  EXPECT_EQ(fromChild, c);
  EXPECT_EQ(b->FindNextFocusable(true, true, fromChild, false, true), box);
  EXPECT_EQ(fromChild, nullptr);
}

TEST_F(SheetTest, KeysAndMouseReachTheirElements) {
  TElement_TestPanel *button = Add(Doc(), 10, 10, 20, 20, clNone, voFocusable | voPressable);
  TElement_TestPanel *other = Add(Doc(), 40, 10, 20, 20, clNone, voFocusable);
  Sheet->MouseDown(QPoint(15, 15), Qt::LeftButton, Qt::NoModifier, false);
  EXPECT_EQ(Sheet->Focused(), button);
  EXPECT_EQ(Sheet->Pressed(), button);
  EXPECT_EQ(Sheet->Hot(), button);
  Sheet->MouseUp(QPoint(16, 16), Qt::LeftButton, Qt::NoModifier);
  EXPECT_EQ(Sheet->Pressed(), nullptr);
  EXPECT_EQ(button->Clicks, 1);
  // Released outside: no click.
  Sheet->MouseDown(QPoint(15, 15), Qt::LeftButton, Qt::NoModifier, false);
  Sheet->MouseMove(QPoint(50, 50), Qt::NoModifier);
  EXPECT_EQ(Sheet->Hot(), button);  // the pressed element keeps the mouse
  Sheet->MouseUp(QPoint(50, 50), Qt::LeftButton, Qt::NoModifier);
  EXPECT_EQ(button->Clicks, 1);
  Sheet->MouseMove(QPoint(45, 15), Qt::NoModifier);
  EXPECT_EQ(Sheet->Hot(), other);
  // A press on an element that is not pressable goes up to its parent and focuses nothing new.
  Sheet->MouseDown(QPoint(45, 15), Qt::LeftButton, Qt::NoModifier, false);
  EXPECT_EQ(Sheet->Focused(), button);

  struct Char {
    char16_t ch;
    bool delivered;
  } chars[] = {{u'a', true}, {u' ', true}, {9, true}, {13, true}, {1, false}, {27, false}};
  for (const Char &c : chars) {
    char16_t ch = c.ch;
    button->Input.clear();
    Sheet->KeyPress(ch);
    EXPECT_EQ(!button->Input.isEmpty(), c.delivered) << int(c.ch);
    if (!c.delivered)
      EXPECT_EQ(ch, 0);
  }
  int key = Qt::Key_Return;  // consumed by the element itself
  Sheet->KeyDown(key, Qt::NoModifier);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(Sheet->Focused(), button);
  key = Qt::Key_Escape;  // nothing pressed: the key goes on
  Sheet->KeyDown(key, Qt::NoModifier);
  EXPECT_EQ(key, int(Qt::Key_Escape));
}

TEST_F(SheetTest, HidingOrDetachingTheFocusedElementTakesTheFocus) {
  TElement_TestPanel *a = Add(Doc(), 0, 0, 10, 10, clNone, voFocusable);
  a->FocusIfNotFocused();
  Sheet->SetHot(a);
  // Auto-hiding, and neither checked nor filled: it hides at once.
  a->SetVisualOptions(voFocusable | voAutoHide);
  EXPECT_FALSE(a->IsVisible());
  EXPECT_EQ(Sheet->Focused(), nullptr);
  EXPECT_EQ(Sheet->Hot(), nullptr);
  // A hidden element cannot be focused.
  Sheet->SetFocus(a);
  EXPECT_EQ(Sheet->Focused(), nullptr);

  TElement_TestPanel *b = Add(Doc(), 0, 20, 10, 10, clNone, voFocusable);
  b->FocusIfNotFocused();
  Sheet->SetMarked(b, true);
  b->SetVisualParent(nullptr);
  EXPECT_EQ(Sheet->Focused(), nullptr);
  EXPECT_TRUE(Sheet->Marked().empty());
  EXPECT_FALSE(b->IsMarked());
  b->Free();
}

TEST_F(SheetTest, AFocusChangeInsideAnUpdateSendsOneNotification) {
  TElement_TestPanel *group = Add(Doc(), 0, 0, 50, 50, clNone, voFocusable | voSelectsChildren);
  TElement_TestPanel *child = Add(group, 0, 0, 10, 10);
  Notes.clear();
  Sheet->BeginUpdate();
  group->FocusIfNotFocused();
  child->SetSelected(true);
  group->SetDisabled(true);
  Sheet->EndUpdate();
  EXPECT_EQ(Count(shnFocusChanged), 1);
  EXPECT_EQ(Count(shnSelectionChanged), 0);
  EXPECT_EQ(Count(shnEditabilityChanged), 0);
  EXPECT_EQ(Count(shnPaletteChanged), 0);
  // Outside the update each change reports itself.
  Notes.clear();
  child->SetSelected(false);
  group->SetDisabled(false);
  EXPECT_EQ(Count(shnSelectionChanged), 1);
  EXPECT_EQ(Count(shnEditabilityChanged), 1);
  EXPECT_EQ(Count(shnPaletteChanged), 1);
}

TEST_F(SheetTest, LimitsSetInsideAnUpdateRealignAtItsEnd) {
  Sheet->BeginUpdate();
  Sheet->SetLimits(800, 600);
  EXPECT_EQ(Sheet->Pending() & (spWidthLimit | spHeightLimit), spWidthLimit | spHeightLimit);
  Sheet->EndUpdate();
  EXPECT_EQ(Sheet->Pending(), 0);
  QSize available;
  Doc()->GetAvailableSize(nullptr, available);
  EXPECT_EQ(available, QSize(800, 600));
  Doc()->Padding = QMargins(5, 6, 7, 8);
  Doc()->GetAvailableSize(nullptr, available);
  EXPECT_EQ(available, QSize(788, 586));
}

TEST_F(SheetTest, SessionRestoresTheFocusByIndexAndClassName) {
  Add(Doc(), 0, 0, 10, 10, clNone, voFocusable);
  TElement_TestPanel *box = Add(Doc(), 0, 20, 30, 30);
  TElement_TestPanel *target = Add(box, 5, 5, 10, 10, clNone, voFocusable);
  target->FocusData = QStringLiteral("caret 3");
  target->FocusIfNotFocused();
  Sheet->SetScreenPos(7, 90);
  auto session = MakeNode<TKnot>(QStringLiteral("SheetData"));
  TKnot &knot = *session;
  knot.SetAddedOptions(koUniqueParams);  // as in the session file: a write replaces the value
  Sheet->SaveSession(knot);
  EXPECT_EQ(knot.ReadInt(QStringLiteral("FocusedElement"), -1), 3);  // root, first panel, box, target
  EXPECT_EQ(knot.ReadStr(QStringLiteral("FocusedElementType")), QStringLiteral("TElement_TestPanel"));
  EXPECT_EQ(knot.ReadStr(QStringLiteral("FocusData")), QStringLiteral("caret 3"));

  Sheet->SetFocus(nullptr);
  Sheet->SetScreenPos(0, 0);
  Sheet->LoadSession(knot);
  EXPECT_EQ(Sheet->Focused(), target);
  EXPECT_EQ(target->ReceivedFocusData, QStringLiteral("caret 3"));
  EXPECT_EQ(Sheet->ScreenPos(), QPoint(7, 90));

  // Another class at that index: no focus, but the scroll position still comes back.
  Sheet->SetFocus(nullptr);
  Sheet->SetScreenPos(0, 0);
  knot.WriteStr(QStringLiteral("FocusedElementType"), QStringLiteral("TElement_Note"));
  Sheet->LoadSession(knot);
  EXPECT_EQ(Sheet->Focused(), nullptr);
  EXPECT_EQ(Sheet->ScreenPos(), QPoint(7, 90));
  // An index past the end is ignored.
  knot.WriteInt(QStringLiteral("FocusedElement"), 1000);
  Sheet->LoadSession(knot);
  EXPECT_EQ(Sheet->Focused(), nullptr);
}

TEST_F(SheetTest, SoundsAreDroppedWhileOnePlays) {
  TFakeDesktop desktop;
  desktop.Sound.Playing = true;
  Sheet->PlaySound(QStringLiteral("diClassesDisableSound"));
  EXPECT_TRUE(desktop.Sound.Started.isEmpty());
  desktop.Sound.Playing = false;
  Sheet->PlaySound(QStringLiteral("diClassesDisableSound"));
  ASSERT_EQ(desktop.Sound.Started.size(), 1);
  EXPECT_TRUE(desktop.Sound.Started[0].startsWith("RIFF"));
  Sheet->PlaySound(QStringLiteral("noSuchSound"));
  EXPECT_EQ(desktop.Sound.Started.size(), 1);
  SoundSettings().Enabled().SetValue(false);
  Sheet->PlaySound(QStringLiteral("diClassesItemSound"));
  SoundSettings().Enabled().SetValue(true);
  EXPECT_EQ(desktop.Sound.Started.size(), 1);
}

TEST_F(SheetTest, TheScrollTimerWaitsForTheLeftButton) {
  bool held = true;
  Sheet->SetLeftButtonQuery([&held] { return held; });
  Add(Doc(), 0, 0, 10, 10, clNone, voFocusable)->FocusIfNotFocused();
  EXPECT_TRUE(Sheet->ScrollTimerActive());
  auto wait = [](int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  };
  Notes.clear();
  wait(2 * TSheet::TimerDelay);
  EXPECT_EQ(Count(shnBringIntoView), 0);
  held = false;
  wait(TSheet::TimerDelay + 150);
  ASSERT_EQ(Count(shnBringIntoView), 1);
  EXPECT_EQ(Notes.back().Arg, 1);
  EXPECT_FALSE(Sheet->ScrollTimerActive());
}

TEST_F(SheetTest, MessagesSignFollowsTheProblems) {
  auto *note = CreateElement<TElement_Note>(&Scheme, Doc());
  note->SetBounds(20, 0, note->Descent(), 10, 30);
  note->SetVisualParent(Doc());
  note->Text = QStringLiteral("bad");
  note->Validate();
  TMessagesSignElement *sign = note->MessagesSign();
  ASSERT_NE(sign, nullptr);
  EXPECT_EQ(sign->Element(), note);
  EXPECT_EQ(sign->VisualParent(), Sheet->RootElement());
  const QSize size = Sheet->Canvas().SkinSize(steErrorSign);
  ASSERT_GT(size.height(), 0);
  EXPECT_EQ(sign->BoundsRect(), QRect(20, -(size.height() / 4), size.width(), size.height()));
  QString hint;
  sign->GetHint(hint);
  EXPECT_EQ(hint, QStringLiteral("\u2022 A bad note"));
  // Mouse transparent: a click passes through it.
  const QPoint onSign = sign->ToSheet(QPoint(1, size.height() - 1));
  EXPECT_NE(Sheet->HitTest(onSign, true, true), sign);
  EXPECT_EQ(Sheet->HitTest(onSign, true, false), sign);
  // The sign moves with its element, and goes when the problem does.
  note->SetBounds(20, 40, note->Descent(), 10, 30);
  EXPECT_EQ(sign->Top(), 40 - size.height() / 2 - 1);
  note->Text = QStringLiteral("fine");
  note->Validate();
  EXPECT_EQ(note->MessagesSign(), nullptr);
  // Disabled elements are not checked.
  note->Text = QStringLiteral("bad");
  note->SetDisabled(true);
  note->Validate();
  EXPECT_EQ(note->MessagesSign(), nullptr);
  note->SetDisabled(false);
  EXPECT_NE(note->MessagesSign(), nullptr);
  note->Free();
}

TEST_F(SheetTest, UnacceptedElementsShowTheirText) {
  TFakeDesktop desktop;  // the load reports the unread attribute
  TScheme scheme(&TElement_TestRoot::Class(), QStringLiteral("Quillnote"));
  scheme.LoadFromFile(QN_FIXTURE("unknown.qnt"));
  auto *root = static_cast<TVisualElement *>(scheme.Root());
  TElement_Unaccepted *unaccepted = nullptr;
  for (TElement *e = root->FirstChildElement(); e; e = e->NextElement())
    if (auto *u = dynamic_cast<TElement_Unaccepted *>(e); u && u->KnotName() == QLatin1String("Foo"))
      unaccepted = u;
  ASSERT_NE(unaccepted, nullptr);
  unaccepted->SetVisualParent(Doc());
  TSheetCanvas &canvas = Sheet->Canvas();
  const QMargins padding = canvas.SkinPadding(steUnaccepted);
  int widest = 0, lines = 0;
  for (const QString &line : unaccepted->Lines()) {
    widest = std::max(widest, canvas.FixedTextWidth(TElement_Unaccepted::DisplayLine(line)));
    lines += line.isEmpty() ? 0 : 1;
  }
  EXPECT_EQ(lines, 3);  // <Foo a="1">, <Bar/>, </Foo>
  EXPECT_EQ(unaccepted->Width(), widest + padding.left() + padding.right());
  EXPECT_EQ(unaccepted->Height(), lines * canvas.FixedLineHeight() + padding.top() + padding.bottom());
  unaccepted->SetVisualParent(nullptr);

  EXPECT_EQ(TElement_Unaccepted::DisplayLine(QStringLiteral("a\tb")), QStringLiteral("a        b"));
  EXPECT_EQ(TElement_Unaccepted::DisplayLine(QString(100, QLatin1Char('x'))), QString(100, QLatin1Char('x')));
  EXPECT_EQ(TElement_Unaccepted::DisplayLine(QString(101, QLatin1Char('x'))),
            QString(97, QLatin1Char('x')) + QLatin1String("..."));
}

}  // namespace

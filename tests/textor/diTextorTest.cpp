#include "diTextor.h"

#include "diBitmap32.h"
#include "diCanvas.h"
#include "diSheetSettings.h"
#include "diVisualElements.h"
#include "testKinds.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

namespace {

// A test-only inline element: stands in text, and frees its portion when the tree frees it.
class TElement_TestInline : public TVisualElement, public TInlineElementLink {
  QN_ELEMENT_CLASS(TElement_TestInline)
public:
  static int Alive;
  TElement_TestInline() { ++Alive; }
  ~TElement_TestInline() override { --Alive; }

protected:
  void Freeing() override { PortionElementFreeing(); }
};
int TElement_TestInline::Alive = 0;
QN_DEFINE_ELEMENT_CLASS(TElement_TestInline, TVisualElement)

class TElement_TestHost : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_TestHost)
};
QN_DEFINE_ELEMENT_CLASS(TElement_TestHost, TVisualElement)

// A textor with tabs and paragraph breaks, counting its notifications and layout requests.
class TTestTextor : public TTextor {
public:
  int Changes = 0, Layouts = 0, Width = 0;
  bool Breaks = true, Tabs = true;
  int LayoutWidth() const override { return Width; }
  bool ParagraphBreaksAllowed() const override { return Breaks; }
  bool TabsAllowed() const override { return Tabs; }
  QRect InlineMargins() const override { return QRect(QPoint(1, 1), QPoint(1, 1)); }

protected:
  void Changed() override { ++Changes; }
  void DoLayout(bool changed) override {
    ++Layouts;
    TTextor::DoLayout(changed);
  }
};

// The portions of every paragraph as "t:abc", "tab:2", "e" joined by '|', paragraphs by " / ".
QString Dump(const TTextor &textor) {
  QStringList paragraphs;
  for (TParagraph *p = textor.FirstParagraph(); p; p = p->Next()) {
    QStringList portions;
    for (TPortion *q = p->FirstPortion(); q; q = q->Next()) {
      switch (q->Kind()) {
      case TPortionKind::Text:
        portions << "t:" + static_cast<TTextPortion *>(q)->Text();
        break;
      case TPortionKind::TabStops:
        portions << QStringLiteral("tab:%1").arg(q->Length());
        break;
      case TPortionKind::Element:
        portions << "e";
        break;
      }
    }
    paragraphs << portions.join('|');
  }
  return paragraphs.join(" / ");
}

TTextPosition At(const TTextor &t, int index, int offset) {
  std::optional<TTextPosition> p = t.CoordinatesToPosition({index, offset});
  EXPECT_TRUE(p) << index << "," << offset;
  return p.value_or(t.TextStart());
}

struct TextorTest : ::testing::Test {
  TNodePtr<TElement_TestHost> Host = MakeNode<TElement_TestHost>();
  TTestTextor T;
  TElement_TestInline *NewInline(int width = 20) {
    auto *e = CreateElement<TElement_TestInline>(nullptr, Host.get());
    e->SetBounds(0, 0, 3, 10, width);
    return e;
  }
};

} // namespace

TEST_F(TextorTest, InsertTextCutsSegmentsAndBreaks) {
  struct Case {
    bool breaks, tabs;
    QString text, dump, plain;
  } cases[] = {
      {true, true, "ab\r\ncd", "t:ab / t:cd", "ab\r\ncd"},
      {true, true, "ab\n\rcd", "t:ab / t:cd", "ab\r\ncd"},
      {true, true, "ab\r\rcd", "t:ab /  / t:cd", "ab\r\n\r\ncd"},
      {true, true, "ab\n\ncd\r", "t:ab /  / t:cd / ", "ab\r\n\r\ncd\r\n"},
      {true, true, "a\t\tb", "t:a|tab:2|t:b", "a\t\tb"},
      {true, false, "a\tb\r\nc", "t:a\tb / t:c", "a\tb\r\nc"},
      {false, true, "a\r\n\tb", "t:a\r\n|tab:1|t:b", "a\r\n\tb"},
      {false, false, "a\r\n\tb", "t:a\r\n\tb", "a\r\n\tb"},
  };
  for (const Case &c : cases) {
    TTestTextor t;
    t.Breaks = c.breaks;
    t.Tabs = c.tabs;
    const TTextRange r = t.InsertText(t.TextEnd(), c.text, nullptr);
    EXPECT_EQ(Dump(t), c.dump) << c.text.toStdString();
    EXPECT_EQ(t.Text(), c.plain);
    EXPECT_EQ(r.Start, t.TextStart());
    EXPECT_EQ(r.End, t.TextEnd());
  }
}

TEST_F(TextorTest, InsertionReusesPortionOfSameClassAndAttributes) {
  TTextAttributes *bold = FontAttributes("Tahoma", 8, clWindowText, fsBold);
  T.InsertText(T.TextEnd(), u"abc", nullptr);
  T.InsertText(At(T, 0, 1), u"X", nullptr);            // into the portion
  T.InsertText(At(T, 0, 4), u"Y", nullptr);            // at the end: appended to the last portion
  EXPECT_EQ(Dump(T), "t:aXbcY");
  TTextRange r = T.InsertText(At(T, 0, 2), u"B", bold); // split and a new portion
  EXPECT_EQ(Dump(T), "t:aX|t:B|t:bcY");
  EXPECT_EQ(T.RangeToCoordinates(r), (TTextCoordinateRange{0, 2, 0, 3}));
  T.InsertText(At(T, 0, 3), u"C", bold); // at the start of "bcY": appended to the bold portion before
  EXPECT_EQ(Dump(T), "t:aX|t:BC|t:bcY");
  T.InsertTabs(At(T, 0, 4), 2, nullptr);
  EXPECT_EQ(Dump(T), "t:aX|t:BC|tab:2|t:bcY");
  EXPECT_EQ(T.Text(), "aXBC\t\tbcY");
}

TEST_F(TextorTest, ConversionsRoundTrip) {
  T.SetText("ab\tc\r\n\r\nxyz");
  T.InsertElement(At(T, 0, 1), NewInline(), nullptr);
  EXPECT_EQ(Dump(T), "t:a|e|t:b|tab:1|t:c /  / t:xyz");
  const int lengths[] = {5, 0, 3};
  for (int index = 0; index < 3; ++index)
    for (int offset = 0; offset <= lengths[index]; ++offset) {
      const TTextPosition p = At(T, index, offset);
      EXPECT_EQ(T.PositionToCoordinates(p), (TTextCoordinates{index, offset}));
      EXPECT_TRUE(p.Portion == nullptr ? p.Offset == 0 : p.Offset < p.Portion->Length());
    }
  EXPECT_EQ(At(T, 0, 5), T.FirstParagraph()->End());
  EXPECT_FALSE(T.CoordinatesToPosition({0, 6}));
  EXPECT_FALSE(T.CoordinatesToPosition({3, 0}));
  EXPECT_FALSE(T.CoordinatesToPosition({-1, 0}));
  EXPECT_FALSE(T.CoordinatesToRange({0, 0, 1, 1}));
  const TTextRange r = *T.CoordinatesToRange({0, 2, 2, 1});
  EXPECT_EQ(T.RangeToCoordinates(r), (TTextCoordinateRange{0, 2, 2, 1}));
  EXPECT_EQ(T.RangeText(r), "b\tc\r\n\r\nx");
  EXPECT_TRUE(T.IsBefore(At(T, 0, 4), At(T, 0, 5)));
  EXPECT_TRUE(T.IsBefore(At(T, 0, 5), At(T, 1, 0)));
  EXPECT_FALSE(T.IsBefore(At(T, 2, 0), At(T, 0, 3)));
  EXPECT_TRUE(T.InRange(At(T, 1, 0), r));
  EXPECT_FALSE(T.InRange(At(T, 2, 1), r));
}

TEST_F(TextorTest, CharacterSteps) {
  T.SetText("ab\r\nc");
  EXPECT_EQ(T.NextPosition(At(T, 0, 1)), At(T, 0, 2));
  EXPECT_EQ(T.NextPosition(At(T, 0, 2)), At(T, 1, 0));
  EXPECT_EQ(T.NextPosition(T.TextEnd()), T.TextEnd());
  EXPECT_EQ(T.PreviousPosition(At(T, 1, 0)), At(T, 0, 2));
  EXPECT_EQ(T.PreviousPosition(T.TextStart()), T.TextStart());
  EXPECT_FALSE(T.CharAfter(At(T, 0, 2)));
  EXPECT_EQ(T.CharAfter(At(T, 0, 1))->first, 'b');
  EXPECT_EQ(T.CharAfter(At(T, 0, 1))->second, At(T, 0, 2));
  EXPECT_FALSE(T.CharBefore(At(T, 1, 0)));
  EXPECT_EQ(T.CharBefore(At(T, 0, 2))->first, 'b');
  EXPECT_FALSE(T.NextPortionStart(At(T, 0, 2), false));
  EXPECT_EQ(*T.NextPortionStart(At(T, 0, 2), true), At(T, 1, 0));
  EXPECT_EQ(*T.PreviousPortionStart(At(T, 0, 2), false), At(T, 0, 0));
  EXPECT_EQ(*T.PreviousPortionStart(At(T, 1, 0), true), At(T, 0, 2));
  EXPECT_TRUE(T.AtTextEdge(T.TextEnd(), true));
  EXPECT_FALSE(T.AtTextEdge(At(T, 0, 2), true));
  EXPECT_TRUE(T.AtParagraphEdge(At(T, 0, 2), true));
  EXPECT_TRUE(T.AtParagraphEdge(At(T, 1, 0), false));
}

TEST_F(TextorTest, DeleteRange) {
  struct Case {
    TTextCoordinateRange range;
    QString dump;
    TTextCoordinates result;
  } cases[] = {
      {{0, 1, 0, 3}, "t:a|tab:1|t:d / t:efg / t:hij", {0, 1}},     // inside one portion
      {{0, 2, 2, 1}, "t:ab|t:ij", {0, 2}},                          // across three paragraphs
      {{0, 0, 2, 3}, "", {0, 0}},                                   // everything
      {{0, 5, 1, 0}, "t:abc|tab:1|t:d|t:efg / t:hij", {0, 5}},      // one paragraph end
      {{0, 3, 0, 4}, "t:abc|t:d / t:efg / t:hij", {0, 3}},          // a whole portion
      {{1, 3, 2, 3}, "t:abc|tab:1|t:d / t:efg", {1, 3}},
  };
  for (const Case &c : cases) {
    TTestTextor t;
    t.SetText("abc\td\r\nefg\r\nhij");
    const TTextPosition p = t.DeleteRange(*t.CoordinatesToRange(c.range));
    EXPECT_EQ(Dump(t), c.dump) << c.range.StartIndex << "," << c.range.StartOffset;
    EXPECT_EQ(t.PositionToCoordinates(p), c.result);
    EXPECT_TRUE(p.Portion == nullptr ? p.Offset == 0 : p.Offset < p.Portion->Length());
  }
}

TEST_F(TextorTest, SplitAndJoinKeepAttributes) {
  TTextAttributes *bold = FontAttributes("Tahoma", 8, clWindowText, fsBold);
  T.SetText("abcd");
  T.FirstParagraph()->SetTextAttributes(bold);
  TTextRange r = T.SplitParagraph(At(T, 0, 2), nullptr);
  EXPECT_EQ(Dump(T), "t:ab / t:cd");
  EXPECT_EQ(T.RangeToCoordinates(r), (TTextCoordinateRange{0, 2, 1, 0}));
  EXPECT_EQ(T.LastParagraph()->OwnTextAttributes(), bold); // something moved: the first half's slot
  r = T.SplitParagraph(T.TextEnd(), nullptr);
  EXPECT_EQ(T.LastParagraph()->OwnTextAttributes(), nullptr); // nothing moved: the given attributes
  T.DeleteRange({At(T, 0, 2), At(T, 1, 0)});
  EXPECT_EQ(Dump(T), "t:ab|t:cd / ");
}

TEST_F(TextorTest, ApplyAttributesSplitsAndAdjustsRange) {
  TTextAttributes *bold = FontAttributes("Tahoma", 8, clWindowText, fsBold);
  T.SetText("abcdef\r\nxy");
  TTextRange r = T.ApplyAttributes(*T.CoordinatesToRange({0, 2, 1, 1}), false, bold);
  EXPECT_EQ(Dump(T), "t:ab|t:cdef / t:x|t:y");
  EXPECT_EQ(T.RangeToCoordinates(r), (TTextCoordinateRange{0, 2, 1, 1}));
  EXPECT_EQ(r.Start.Portion->OwnAttributes(), bold);
  EXPECT_EQ(r.Start.Offset, 0);
  EXPECT_EQ(T.FirstParagraph()->FirstPortion()->OwnAttributes(), nullptr);
  EXPECT_EQ(T.LastParagraph()->FirstPortion()->OwnAttributes(), bold);
  EXPECT_EQ(T.LastParagraph()->LastPortion()->OwnAttributes(), nullptr);
  EXPECT_EQ(T.FirstParagraph()->OwnTextAttributes(), bold);  // a paragraph end inside the range
  EXPECT_EQ(T.LastParagraph()->OwnTextAttributes(), nullptr); // the last end only with include-end
  r = T.ApplyAttributes(*T.CoordinatesToRange({0, 3, 0, 4}), false, nullptr);
  EXPECT_EQ(Dump(T), "t:ab|t:c|t:d|t:ef / t:x|t:y");
  EXPECT_EQ(T.RangeText(r), "d");
}

TEST_F(TextorTest, LocksBatchOneLayoutAndOneChange) {
  T.Changes = T.Layouts = 0;
  T.SetText("ab\r\ncd\r\nef");
  EXPECT_EQ(T.Changes, 1);
  EXPECT_EQ(T.Layouts, 1);
  T.BeginUpdate();
  T.InsertText(T.TextEnd(), u"x", nullptr);
  T.DeleteRange(*T.CoordinatesToRange({0, 0, 1, 1}));
  EXPECT_EQ(T.Changes, 1);
  EXPECT_EQ(T.Layouts, 1);
  T.EndUpdate();
  EXPECT_EQ(T.Changes, 2);
  EXPECT_EQ(T.Layouts, 2);
  T.BeginLayoutLock();
  T.InsertText(T.TextEnd(), u"y", nullptr);
  EXPECT_EQ(T.Changes, 3); // outside an update the change is notified at once
  EXPECT_EQ(T.Layouts, 2);
  T.EndLayoutLock();
  EXPECT_EQ(T.Layouts, 3);
}

TEST_F(TextorTest, WordRuleAndNavigation) {
  struct Rule {
    int a, b;
    bool same;
  } rules[] = {{'a', 'b', true}, {'a', '1', true}, {'_', 'a', true}, {'a', ' ', true}, {' ', 'a', false},
               {'a', '.', false}, {'.', ',', true}, {' ', ' ', true}, {'a', 0xA0, true}, {0xA0, 'a', false},
               {'a', -1, false}, {-1, 'a', false}, {0x3B1, 0x3B2, true}, {'a', 0x2003, true}};
  for (const Rule &r : rules)
    EXPECT_EQ(T.SameWord(r.a, r.b), r.same) << r.a << " " << r.b;

  T.SetText("one two..three\r\nfour");
  struct Step {
    int offset, wordStart, wordEnd;
  } steps[] = {{0, 0, 4}, {2, 0, 4}, {4, 4, 7}, {5, 4, 7}, {7, 7, 9}, {8, 7, 9}, {9, 9, 14}, {14, 14, 14}};
  for (const Step &s : steps) {
    EXPECT_EQ(T.PositionToCoordinates(T.WordStartBefore(At(T, 0, s.offset))).Offset, s.wordStart) << s.offset;
    EXPECT_EQ(T.PositionToCoordinates(T.WordEndAfter(At(T, 0, s.offset))).Offset, s.wordEnd) << s.offset;
  }
  // At the end of the last paragraph the word before is taken.
  EXPECT_EQ(T.PositionToCoordinates(T.WordStartBefore(T.TextEnd())), (TTextCoordinates{1, 0}));
}

TEST_F(TextorTest, TextStretchStopsAtElementsAndParagraphs) {
  T.SetText("ab\r\ncd\r\nef");
  T.InsertElement(At(T, 1, 1), NewInline(), nullptr);
  EXPECT_EQ(Dump(T), "t:ab / t:c|e|t:d / t:ef");
  struct Case {
    TTextCoordinates at;
    bool forward, cross;
    TTextCoordinateRange range;
  } cases[] = {
      {{0, 1}, true, false, {0, 1, 0, 2}}, {{0, 1}, true, true, {0, 1, 1, 1}},
      {{1, 1}, true, true, {1, 2, 2, 2}},  {{1, 2}, false, true, {0, 0, 1, 1}},
      {{2, 1}, false, true, {1, 2, 2, 1}}, {{2, 1}, false, false, {2, 0, 2, 1}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(T.RangeToCoordinates(T.TextStretch(At(T, c.at.Index, c.at.Offset), c.forward, c.cross)), c.range)
        << c.at.Index << "," << c.at.Offset << " " << c.forward << c.cross;
}

TEST_F(TextorTest, ReinterpretTextRereadsTabsAndBreaks) {
  TTextAttributes *bold = FontAttributes("Tahoma", 8, clWindowText, fsBold);
  T.Tabs = T.Breaks = false;
  T.SetText("a\tb\r\nc");
  T.InsertElement(At(T, 0, 2), NewInline(), bold);
  T.InsertText(T.TextEnd(), u"d", bold);
  EXPECT_EQ(Dump(T), "t:a\t|e|t:b\r\nc|t:d");
  T.Tabs = T.Breaks = true;
  T.ReinterpretText();
  EXPECT_EQ(Dump(T), "t:a|tab:1|e|t:b / t:cd");
  EXPECT_EQ(T.LastParagraph()->FirstPortion()->OwnAttributes(), nullptr);
  EXPECT_EQ(TElement_TestInline::Alive, 1);
  T.Tabs = T.Breaks = false;
  T.ReinterpretText();
  EXPECT_EQ(Dump(T), "t:a\t|e|t:b\r\ncd");
}

TEST_F(TextorTest, InlineElementOwnedByTree) {
  T.SetText("ab\r\ncd");
  TElement_TestInline *e = NewInline();
  T.InsertElement(At(T, 1, 1), e, nullptr);
  ASSERT_EQ(TElement_TestInline::Alive, 1);
  EXPECT_EQ(e->Portion(), T.LastParagraph()->FirstPortion()->Next());
  // Deleting the range frees the portion, which asks the tree to free the element.
  T.DeleteRange(*T.CoordinatesToRange({1, 1, 1, 2}));
  EXPECT_EQ(TElement_TestInline::Alive, 0);
  EXPECT_EQ(Host->ChildCount(), 0);
  EXPECT_EQ(Dump(T), "t:ab / t:c|t:d");
  // Freeing the paragraph that holds one.
  T.InsertElement(At(T, 1, 1), NewInline(), nullptr);
  T.DeleteRange(*T.CoordinatesToRange({0, 2, 1, 0}));
  T.DeleteRange(T.WholeRange());
  EXPECT_EQ(TElement_TestInline::Alive, 0);
  // The tree freeing the element frees its portion.
  T.SetText("xy");
  e = NewInline();
  T.InsertElement(At(T, 0, 1), e, nullptr);
  e->Free();
  EXPECT_EQ(Dump(T), "t:x|t:y");
  // Destroying the textor frees the elements it holds.
  {
    TTestTextor t;
    t.InsertElement(t.TextEnd(), NewInline(), nullptr);
    t.SplitParagraph(t.TextStart(), nullptr);
  }
  EXPECT_EQ(TElement_TestInline::Alive, 0);
  EXPECT_EQ(Host->ChildCount(), 0);
}

TEST_F(TextorTest, PortionMeasureAndHitTest) {
  TTextAttributes *font = FontAttributes("DejaVu Sans", 10, clWindowText, 0);
  T.InsertText(T.TextEnd(), u"iWa", font);
  T.InsertTabs(T.TextEnd(), 2, font);
  auto *text = T.FirstParagraph()->FirstPortion();
  auto *tabs = text->Next();
  int edges[4];
  for (int i = 0; i <= 3; ++i) {
    edges[i] = 0;
    text->Measure(edges[i], 0, i);
  }
  // Every target inside cell i hits i; with nearest, the nearer boundary (the middle counts left).
  for (int target = 0; target < edges[3]; ++target) {
    int cell = 0;
    while (target >= edges[cell + 1])
      ++cell;
    int x = 0;
    EXPECT_EQ(text->HitTest(x, target, nullptr, nullptr, false, 3, 0), cell) << target;
    const int middle = edges[cell] + (edges[cell + 1] - edges[cell]) / 2;
    x = 0;
    EXPECT_EQ(text->HitTest(x, target, nullptr, nullptr, true, 3, 0), target > middle ? cell + 1 : cell) << target;
  }
  int x = 0;
  EXPECT_EQ(text->HitTest(x, edges[3], nullptr, nullptr, false, 3, 0), -1);
  EXPECT_EQ(x, edges[3]);
  // Tabs move to multiples of the tab width counted from the row's start.
  const int tab = font->TabWidth();
  ASSERT_GT(tab, 0);
  x = 3;
  tabs->Measure(x, 0, 2);
  EXPECT_EQ(x, 2 * tab);
  x = 3;
  EXPECT_EQ(tabs->HitTest(x, tab + 1, nullptr, nullptr, false, 2, 0), 1);
  x = 3;
  EXPECT_EQ(tabs->HitTest(x, 2 * tab, nullptr, nullptr, false, 2, 0), -1);
  EXPECT_EQ(x, 2 * tab);
}

TEST_F(TextorTest, ZeroTabWidthDoesNotDivideByZero) {
  struct TZeroTab : TRichTextAttributes {
    std::unique_ptr<TAttributes> Create() const override { return std::make_unique<TZeroTab>(); }
    int TabWidth() const override { return 0; }
  } temporary;
  TTextAttributes *zero = SharedOf(temporary);
  TAttributesRef<TTextAttributes> keep(zero);
  T.InsertTabs(T.TextEnd(), 3, zero);
  TPortion *tabs = T.FirstParagraph()->FirstPortion();
  int x = 5;
  tabs->Measure(x, 0, 3);
  EXPECT_EQ(x, 8);
  x = 0;
  EXPECT_EQ(tabs->HitTest(x, 2, nullptr, nullptr, false, 3, 0), 2);
}

TEST_F(TextorTest, ElementHitTestDragRule) {
  TElement_TestInline *e = NewInline(200);
  T.InsertElement(T.TextEnd(), e, nullptr);
  TPortion *p = T.FirstParagraph()->FirstPortion();
  const int c = 202; // width and the left and right inline margins
  const QPoint fromLeft(-500, 0), fromRight(900, 0), here(100, 0);
  struct Case {
    int target;
    const QPoint *down;
    int result;
  } cases[] = {
      {100, nullptr, 0},   {102, nullptr, 1},   // no drag: the middle (101)
      {40, &fromLeft, 0},  {41, &fromLeft, 1},  // dragging right: 40 pixels in
      {162, &fromRight, 0}, {163, &fromRight, 1}, // dragging left: 40 pixels in from the right
      {102, &here, 1},     {101, &here, 0},     // within the drag threshold: the middle
  };
  for (const Case &k : cases) {
    int x = 0;
    const QPoint current(k.down ? (k.down == &here ? 101 : k.target) : 0, 0);
    EXPECT_EQ(p->HitTest(x, k.target, k.down, k.down ? &current : nullptr, true, 1, 0), k.result) << k.target;
  }
  int x = 0;
  EXPECT_EQ(p->HitTest(x, c, nullptr, nullptr, true, 1, 0), -1);
  EXPECT_EQ(x, c);
}

TEST_F(TextorTest, RandomEditsKeepNormalFormAndText) {
  QRandomGenerator random(7);
  QString model;
  const QString pieces[] = {"ab", "c d", "\t", "\r\n", "xyz", "\n"};
  for (int step = 0; step < 400; ++step) {
    const QString text = T.Text();
    ASSERT_EQ(text, model);
    const int at = random.bounded(int(text.size()) + 1);
    // Map a plain-text offset to coordinates (CR LF is one paragraph end).
    auto coordinates = [&](int offset) {
      TTextCoordinates c;
      for (int i = 0; i < offset; ++i) {
        if (text[i] == u'\r') {
          ++c.Index;
          c.Offset = 0;
          ++i;
        } else {
          ++c.Offset;
        }
      }
      return c;
    };
    auto snap = [&](int offset) { return offset > 0 && offset < text.size() && text[offset - 1] == u'\r' ? offset + 1 : offset; };
    const int a = snap(at);
    if (random.bounded(3) == 0 && !text.isEmpty()) {
      const int b = snap(a + random.bounded(int(text.size()) - a + 1));
      const TTextCoordinates ca = coordinates(a), cb = coordinates(b);
      T.DeleteRange(*T.CoordinatesToRange({ca.Index, ca.Offset, cb.Index, cb.Offset}));
      model.remove(a, b - a);
    } else {
      const QString piece = pieces[random.bounded(6)];
      const TTextCoordinates ca = coordinates(a);
      T.InsertText(At(T, ca.Index, ca.Offset), piece, nullptr);
      model.insert(a, piece == "\n" ? QStringLiteral("\r\n") : piece);
    }
    for (TParagraph *p = T.FirstParagraph(); p; p = p->Next())
      for (TPortion *q = p->FirstPortion(); q; q = q->Next())
        ASSERT_GT(q->Length(), 0);
  }
}

namespace {

TTextAttributes *Font(int size = 10) { return FontAttributes("DejaVu Sans", size, clWindowText, 0); }
int Width(const QString &text, int size = 10) { return Font(size)->TextWidth(text); }

// The rows of every paragraph as their text joined by '|', paragraphs by " / ".
QString Rows(const TTextor &t) {
  QStringList out;
  for (TParagraph *p = t.FirstParagraph(); p; p = p->Next()) {
    QStringList rows;
    for (const TRow &r : p->Rows())
      rows << t.RangeText({r.Start, r.End});
    out << rows.join('|');
  }
  return out.join(" / ");
}

} // namespace

TEST_F(TextorTest, WrapCases) {
  struct Case {
    const char *name;
    QString text;
    int width;
    QString rows;
  } cases[] = {
      {"the space stays at the row's end", "ab cd", Width("ab c"), "ab |cd"},
      {"a word longer than the width", "abcdefgh", Width("abcde"), "abcde|fgh"},
      {"exactly fitting", "abcde", Width("abcde"), "abcde"},
      {"a character wider than the width", "WW", 1, "W|W"},
      {"the last word boundary that fits", "ab cd ef gh", Width("ab cd ef"), "ab cd |ef gh"},
      {"a tab that does not fit", "ab\tc", Width("ab") + 1, "ab|\t|c"},
      {"no wrapping", "ab cd ef", 0, "ab cd ef"},
  };
  for (const Case &c : cases) {
    TTestTextor t;
    t.Width = c.width;
    t.SetText(c.text);
    t.FirstParagraph()->SetTextAttributes(Font());
    EXPECT_EQ(Rows(t), c.rows) << c.name;
  }
  // The space at the row's end is counted in its width.
  TTestTextor t;
  t.Width = Width("ab c");
  t.SetText("ab cd");
  t.FirstParagraph()->SetTextAttributes(Font());
  EXPECT_EQ(t.FirstParagraph()->Rows()[0].Width, Width("ab "));
  EXPECT_EQ(t.FirstParagraph()->Rows()[1].Width, Width("cd"));
  EXPECT_EQ(t.FirstParagraph()->Rows()[1].Top(), t.FirstParagraph()->Rows()[0].Bottom);
}

TEST_F(TextorTest, WrapAroundInlineElements) {
  const int e = 20 + 2; // element and inline margins
  const int ab = Width("ab");
  struct Case {
    int width;
    QString rows;
    std::size_t elementRow;
    int elementLeft;
  } cases[] = {
      {ab + e + Width("a") - 1, "ab|ab", 0, 1 + ab}, // break after the element: it stays on the first row
      {ab + e - 1, "ab||ab", 1, 1},                  // break before the element: a row of its own
      {ab + e + ab, "abab", 0, 1 + ab},
  };
  for (const Case &c : cases) {
    TTestTextor t;
    t.Width = c.width;
    t.SetText("abab");
    t.FirstParagraph()->SetTextAttributes(Font());
    t.InsertElement(At(t, 0, 2), NewInline(), nullptr);
    EXPECT_EQ(Rows(t), c.rows) << c.width;
    // The element is placed on the row that holds it, its baseline on the row's baseline.
    auto *element = static_cast<TElementPortion *>(t.FirstParagraph()->FirstPortion()->Next())->Element();
    const TRow &row = t.FirstParagraph()->Rows()[c.elementRow];
    EXPECT_EQ(element->Top() + element->Height() - element->Descent(), row.Baseline());
    EXPECT_EQ(element->Left(), c.elementLeft);
  }
}

TEST_F(TextorTest, RowMetricsAndStacking) {
  T.SetText("ab\r\ncd\r\nef");
  TTextAttributes *big = Font(20), *small = Font(6);
  T.ApplyAttributes(T.WholeRange(), false, small);
  T.FirstParagraph()->SetTextAttributes(big);
  // A smaller font still has the paragraph's height; a paragraph in the small font has its height.
  EXPECT_EQ(T.FirstParagraph()->Rows()[0].Height(), big->Height());
  EXPECT_EQ(T.FirstParagraph()->Next()->Rows()[0].Height(), small->Height());
  // Deleting a paragraph moves the next one up to the previous paragraph's bottom.
  T.InsertElement(At(T, 2, 1), NewInline(), nullptr);
  TParagraph *last = T.LastParagraph();
  T.DeleteRange(*T.CoordinatesToRange({0, 2, 1, 2}));
  ASSERT_EQ(T.ParagraphCount(), 2);
  EXPECT_EQ(last->Top(), T.FirstParagraph()->Bottom());
  auto *element = static_cast<TElementPortion *>(last->FirstPortion()->Next())->Element();
  EXPECT_EQ(element->Top() + element->Height() - element->Descent(), last->Rows()[0].Baseline());
  EXPECT_EQ(T.TextHeight(), last->Bottom());
}

TEST_F(TextorTest, HitTestsAndCaret) {
  T.Width = Width("ab c");
  T.SetText("ab cd\r\nxy");
  TParagraph *p = T.FirstParagraph();
  p->SetTextAttributes(Font());
  p->Next()->SetTextAttributes(Font());
  ASSERT_EQ(Rows(T), "ab |cd / xy");
  const TRow &r0 = p->Rows()[0], &r1 = p->Rows()[1];
  // Right of the wrapped row's end: the next row's start, outside.
  std::optional<TTextor::THit> hit = T.PositionAtPoint({T.Width + 50, r0.Top() + 1}, true, true);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->Position, r1.Start);
  EXPECT_FALSE(hit->Inside);
  hit = T.PositionAtPoint({Width("c") + 1, r1.Top()}, true, false);
  EXPECT_EQ(T.PositionToCoordinates(hit->Position), (TTextCoordinates{0, 4}));
  EXPECT_TRUE(hit->Inside);
  hit = T.PositionAtPoint({-5, r0.Top()}, true, true);
  EXPECT_EQ(hit->Position, r0.Start);
  EXPECT_FALSE(hit->Inside);
  EXPECT_FALSE(T.PositionAtPoint({0, T.TextHeight()}, false, true));
  EXPECT_FALSE(T.PositionAtPoint({0, -1}, false, true));
  EXPECT_EQ(T.RowAtY(T.TextHeight() + 9, true)->Paragraph, p->Next());
  EXPECT_EQ(T.RowAtY(r1.Top(), false)->Index, 1u);
  EXPECT_EQ(T.RowAtY(r1.Top() - 1, false)->Index, 0u);
  // A wrap point belongs to either row.
  EXPECT_EQ(T.RowOfPosition(r1.Start, false).Index, 0u);
  EXPECT_EQ(T.RowOfPosition(r1.Start, true).Index, 1u);
  EXPECT_EQ(T.XOfPosition({p, 0}, r1.Start), r0.Width);
  EXPECT_EQ(T.XOfPosition({p, 1}, r1.Start), 0);
  const QRect caret = T.CaretRect({p, 1}, At(T, 0, 4), 2);
  EXPECT_EQ(caret, QRect(Width("c") - 1, r1.Top(), 2, r1.Height()));
  EXPECT_EQ(T.ContentWidth(), std::max({Width("ab "), Width("cd"), Width("xy")}));
}

TEST_F(TextorTest, IncrementalLayoutEqualsFullLayout) {
  QRandomGenerator random(11);
  T.Width = 120;
  const QString pieces[] = {"lorem ", "ipsum", "\t", "\r\n", "dolor sit amet ", "W"};
  for (int step = 0; step < 300; ++step) {
    const int paragraphs = T.ParagraphCount();
    const int index = random.bounded(paragraphs);
    TParagraph *p = T.ParagraphAt(index);
    const int offset = random.bounded(p->TotalLength() + 1);
    if (random.bounded(4) == 0) {
      const int endIndex = std::min(paragraphs - 1, index + random.bounded(2));
      const int endOffset = endIndex == index ? offset + random.bounded(p->TotalLength() - offset + 1)
                                              : random.bounded(T.ParagraphAt(endIndex)->TotalLength() + 1);
      T.DeleteRange(*T.CoordinatesToRange({index, offset, endIndex, endOffset}));
    } else if (random.bounded(5) == 0) {
      T.InsertElement(At(T, index, offset), NewInline(5 + random.bounded(30)), nullptr);
    } else {
      T.InsertText(At(T, index, offset), pieces[random.bounded(6)], random.bounded(3) ? nullptr : Font(14));
    }
  }
  // A full layout of the same content: every paragraph laid out afresh.
  std::vector<TRow> incremental;
  for (TParagraph *p = T.FirstParagraph(); p; p = p->Next())
    incremental.insert(incremental.end(), p->Rows().begin(), p->Rows().end());
  T.InvalidateAllLayouts();
  std::size_t i = 0;
  for (TParagraph *p = T.FirstParagraph(); p; p = p->Next())
    for (const TRow &row : p->Rows()) {
      ASSERT_LT(i, incremental.size());
      const TRow &old = incremental[i++];
      EXPECT_EQ(T.RangeToCoordinates({old.Start, old.End}), T.RangeToCoordinates({row.Start, row.End}));
      EXPECT_EQ(old.Bottom, row.Bottom);
      EXPECT_EQ(old.Width, row.Width);
      EXPECT_EQ(old.Ascent, row.Ascent);
      EXPECT_EQ(old.Descent, row.Descent);
    }
  EXPECT_EQ(i, incremental.size());
  EXPECT_GT(int(incremental.size()), T.ParagraphCount()); // the edits made rows wrap
}

namespace {

// A test textor whose paragraphs indent their first row by `first` pixels (negative: hanging) and all
// rows by `left` pixels.
class TIndentedTextor : public TTestTextor {
public:
  TIndentedTextor(int first, int left) {
    FParagraph.SetFirstIndent(first);
    FParagraph.SetLeftIndent(left);
  }
  TParagraphAttributes *DefaultParagraphAttributes() const override {
    return const_cast<TRichParagraphAttributes *>(&FParagraph);
  }

private:
  TRichParagraphAttributes FParagraph;
};

// Random words of 1 to 12 letters separated by spaces, now and then by a tab or nothing.
QString RandomWords(QRandomGenerator &random, int length) {
  QString text;
  while (text.size() < length) {
    const int n = 1 + random.bounded(12);
    for (int i = 0; i < n; ++i)
      text += QChar(u'a' + random.bounded(5));
    const int separator = random.bounded(12);
    text += separator == 0 ? QChar(u'\t') : separator == 1 ? QChar(u'W') : QChar(u' ');
  }
  return text;
}

struct TLayoutSnapshot {
  std::vector<std::vector<TRow>> Rows;
  std::vector<QRect> Elements;
  bool operator==(const TLayoutSnapshot &) const = default;
};

TLayoutSnapshot Snapshot(const TTextor &t) {
  TLayoutSnapshot s;
  for (TParagraph *p = t.FirstParagraph(); p; p = p->Next()) {
    s.Rows.push_back(p->Rows());
    for (TPortion *q = p->FirstPortion(); q; q = q->Next())
      if (q->Kind() == TPortionKind::Element) {
        const TVisualElement *e = static_cast<TElementPortion *>(q)->Element();
        s.Elements.emplace_back(e->Left(), e->Top(), e->Width(), e->Height());
      }
  }
  return s;
}

} // namespace

// Every kind of edit, alone or several in one update, in a long paragraph and across paragraphs: after
// each, the rows (positions, offsets, metrics, bottoms) and the placed elements equal those of a layout
// of every paragraph afresh.
TEST_F(TextorTest, RewrapAfterRandomEditsEqualsFullLayout) {
  struct Config {
    int width, firstIndent, leftIndent;
  } configs[] = {{150, 0, 0}, {97, -30, 20}, {140, 25, 0}};
  const QString pieces[] = {"x", "lorem ", "ipsum", "\t", " ", "WWWWWWWWWWWWWWWWWWWWWWWW", "\r\n", "a b c "};
  for (const Config &config : configs) {
    QRandomGenerator random(7 + config.width);
    TIndentedTextor t(config.firstIndent, config.leftIndent);
    t.Width = config.width;
    t.SetText(RandomWords(random, 4000) + "\r\n" + RandomWords(random, 300) + "\r\n\r\n" + RandomWords(random, 200));
    // Referenced here: a registered instance is freed when the textor drops its last reference.
    const TAttributesRef<TTextAttributes> held[] = {TAttributesRef<TTextAttributes>(Font(14)),
                                                    TAttributesRef<TTextAttributes>(Font(7))};
    TTextAttributes *fonts[] = {nullptr, held[0].Get(), held[1].Get()};
    auto randomPosition = [&](int &index, int &offset) {
      index = random.bounded(t.ParagraphCount());
      offset = random.bounded(t.ParagraphAt(index)->TotalLength() + 1);
    };
    auto edit = [&] {
      int index, offset;
      randomPosition(index, offset);
      const int length = t.ParagraphAt(index)->TotalLength();
      const int to = std::min(length, offset + random.bounded(random.bounded(5) ? 30 : 300));
      switch (random.bounded(10)) {
      case 0:
      case 1:
        t.InsertText(At(t, index, offset), pieces[random.bounded(8)], fonts[random.bounded(3)]);
        break;
      case 2:
        t.InsertText(At(t, index, offset), RandomWords(random, 60), fonts[random.bounded(3)]);
        break;
      case 3:
        t.DeleteRange(*t.CoordinatesToRange({index, offset, index, to}));
        break;
      case 4: // across a paragraph end: joins the paragraphs
        if (index + 1 < t.ParagraphCount())
          t.DeleteRange(*t.CoordinatesToRange(
              {index, std::max(offset, length - 10), index + 1,
               std::min(random.bounded(10), t.ParagraphAt(index + 1)->TotalLength())}));
        break;
      case 5:
        t.SplitParagraph(At(t, index, offset), fonts[random.bounded(3)]);
        break;
      case 6:
        t.ApplyAttributes(*t.CoordinatesToRange({index, offset, index, to}), false, fonts[random.bounded(3)]);
        break;
      case 7:
        t.InsertElement(At(t, index, offset), NewInline(3 + random.bounded(40)), fonts[random.bounded(3)]);
        break;
      default: // the paragraph end only
        if (index + 1 < t.ParagraphCount())
          t.DeleteRange(*t.CoordinatesToRange({index, length, index + 1, 0}));
        break;
      }
    };
    for (int step = 0; step < 400; ++step) {
      if (random.bounded(3) == 0) {
        t.BeginUpdate();
        for (int n = 2 + random.bounded(3); n > 0; --n)
          edit();
        t.EndUpdate();
      } else {
        edit();
      }
      const TLayoutSnapshot incremental = Snapshot(t);
      t.InvalidateAllLayouts();
      ASSERT_TRUE(incremental == Snapshot(t)) << "width " << config.width << ", step " << step;
    }
    std::size_t rows = 0;
    for (TParagraph *p = t.FirstParagraph(); p; p = p->Next())
      rows += p->Rows().size();
    EXPECT_GT(rows, std::size_t(t.ParagraphCount()) + 10); // the paragraphs still wrap
  }
}

namespace {

// Whether any pixel of the columns [left, right) and rows [top, bottom) differs from the window colour.
bool Inked(const TBitmap32 &b, int left, int right, int top, int bottom) {
  const TColor32 window = Color32FromPlatform(clWindow);
  for (int y = std::max(0, top); y < std::min(bottom, b.Height()); ++y)
    for (int x = std::max(0, left); x < std::min(right, b.Width()); ++x)
      if (b.Pixel(x, y) != window)
        return true;
  return false;
}

} // namespace

TEST_F(TextorTest, DrawingFollowsMeasuredPositions) {
  TNodePtr<TSheetSettings> settings = MakeNode<TSheetSettings>(nullptr, QString());
  TSheetCanvas canvas(*settings);
  T.SetText("a b\t\r\nc");
  T.ApplyAttributes(T.WholeRange(), true, Font());
  TParagraph *p = T.FirstParagraph();
  const TRow &row = p->Rows()[0];
  const int spaceLeft = Width("a"), spaceRight = Width("a ");
  const int tabEnd = static_cast<TTabStopsPortion *>(p->LastPortion())->TabWidth();
  ASSERT_EQ(row.Width, tabEnd);
  struct Case {
    int flags;
    bool dot, tabMark, pilcrow;
  } cases[] = {{0, false, false, false}, {tdfNonPrinting, true, true, true}};
  for (const Case &c : cases) {
    canvas.BeginPaint(QRect(0, 0, 200, T.TextHeight()));
    T.Draw(canvas, 0, c.flags, T.WholeRange(), false);
    const TBitmap32 &b = *canvas.Buffer();
    // The letters where they were measured, nothing between them but the mark of the space.
    EXPECT_TRUE(Inked(b, 0, spaceLeft, row.Top(), row.Bottom));
    EXPECT_TRUE(Inked(b, spaceRight, Width("a b"), row.Top(), row.Bottom));
    EXPECT_EQ(Inked(b, spaceLeft + 1, spaceRight - 1, row.Top(), row.Bottom), c.dot) << c.flags;
    EXPECT_EQ(Inked(b, Width("a b") + 1, tabEnd, row.Top(), row.Bottom), c.tabMark) << c.flags;
    EXPECT_EQ(Inked(b, tabEnd, tabEnd + 20, row.Top(), row.Bottom), c.pilcrow) << c.flags;
    // The last paragraph's end has no mark; its text is on its own row.
    const TRow &last = T.LastParagraph()->Rows()[0];
    EXPECT_TRUE(Inked(b, 0, Width("c"), last.Top(), last.Bottom));
    EXPECT_FALSE(Inked(b, Width("c") + 1, 200, last.Top(), last.Bottom));
    canvas.EndPaint(nullptr);
  }
}

namespace {

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// A textor inside an owner whose padding puts the text 7 pixels right and 4 down of the owner's origin.
class TPaddedTextor : public TTestTextor {
public:
  QRect Padding() const override { return QRect(QPoint(7, 4), QPoint(3, 2)); }
};

// A textor whose paragraphs draw a blue background as their decoration.
class TDecoratedTextor : public TTestTextor {
public:
  TDecoratedTextor() { FParagraph.SetBackgroundColor(kBlue); }
  TParagraphAttributes *DefaultParagraphAttributes() const override {
    return const_cast<TRichParagraphAttributes *>(&FParagraph);
  }

private:
  TRichParagraphAttributes FParagraph;
};

} // namespace

// The cell of an inline element (element and inline margins, the row's height) gets the attributes'
// background, the element paints itself where the layout placed it (its bounds are the owner's, shifted
// by the padding), a selection is blended over the whole cell, and the text goes on right of the cell.
TEST_F(TextorTest, InlineElementDrawsItselfInItsCell) {
  TNodePtr<TSheetSettings> settings = MakeNode<TSheetSettings>(nullptr, QString());
  TSheetCanvas canvas(*settings);
  TRichTextAttributes temporary;
  temporary.Assign(*Font());
  temporary.SetBackgroundColor(kGreen);
  const TAttributesRef<TTextAttributes> green(SharedOf(temporary));
  TPaddedTextor t;
  t.SetText("ab");
  t.ApplyAttributes(t.WholeRange(), true, Font());
  auto *panel = CreateElement<TElement_TestPanel>(nullptr, Host.get());
  panel->Fill = kRed;
  panel->SetBounds(0, 0, 3, 10, 20);
  t.InsertElement(At(t, 0, 1), panel, green.Get());
  const TRow &row = t.FirstParagraph()->Rows()[0];
  const int cellLeft = Width("a"), cellRight = cellLeft + 20 + 2;
  ASSERT_EQ(row.Width, cellRight + Width("b"));
  // Placed in the owner's coordinates: the padding, the left inline margin, the baseline.
  ASSERT_EQ(panel->Left(), 7 + cellLeft + 1);
  ASSERT_EQ(panel->Top() - 4 + 10 - 3, row.Baseline());
  const int elementLeft = cellLeft + 1, elementTop = panel->Top() - 4;
  const TColor32 window = Color32FromPlatform(clWindow), red = Color32FromPlatform(kRed),
                 greenPixel = Color32FromPlatform(kGreen);
  struct Case {
    int flags;
    bool selected;
  } cases[] = {{0, false}, {tdfSelected, true}, {tdfSelected | tdfSecondSelectColor, true}};
  for (const Case &c : cases) {
    const int paints = panel->Paints;
    canvas.BeginPaint(QRect(0, 0, 200, t.TextHeight() + 10));
    t.Draw(canvas, 0, c.flags, t.WholeRange(), false);
    const TBitmap32 &b = *canvas.Buffer();
    EXPECT_EQ(panel->Paints, paints + 1);
    // The element's own drawing, every pixel of it and nothing of it outside its bounds.
    const TColor32 elementPixel = b.Pixel(elementLeft + 10, elementTop + 5);
    EXPECT_EQ(elementPixel == red, !c.selected) << c.flags;
    EXPECT_EQ(b.Pixel(elementLeft, elementTop), elementPixel) << c.flags;
    EXPECT_EQ(b.Pixel(elementLeft + 19, elementTop + 9), elementPixel) << c.flags;
    EXPECT_NE(b.Pixel(elementLeft + 20, elementTop + 5), elementPixel) << c.flags;
    EXPECT_NE(b.Pixel(elementLeft + 10, elementTop + 10), elementPixel) << c.flags;
    // The background over the cell's margins, from the row's top to its bottom.
    const TColor32 marginPixel = b.Pixel(cellLeft, row.Top());
    EXPECT_EQ(marginPixel == greenPixel, !c.selected) << c.flags;
    EXPECT_NE(marginPixel, window) << c.flags;
    EXPECT_EQ(b.Pixel(cellLeft, row.Bottom - 1), marginPixel) << c.flags;
    EXPECT_EQ(b.Pixel(cellRight - 1, row.Top()), marginPixel) << c.flags;
    EXPECT_EQ(b.Pixel(elementLeft + 10, row.Top()), marginPixel) << c.flags;
    // The text goes on at the cell's right edge; nothing is drawn below the row.
    EXPECT_NE(b.Pixel(cellRight, row.Top()), marginPixel) << c.flags;
    EXPECT_TRUE(Inked(b, cellRight, cellRight + Width("b"), row.Top(), row.Bottom)) << c.flags;
    EXPECT_FALSE(Inked(b, 0, 200, row.Bottom, row.Bottom + 10)) << c.flags;
    canvas.EndPaint(nullptr);
  }
}

// A range whose part on the rows the clip meets is empty draws nothing, not even the paragraph
// decorations, unless with non-printing marks or a selection that shows paragraph ends.
TEST_F(TextorTest, EmptyPartOfRangeDrawsOnlyForMarksOrParagraphEnds) {
  TNodePtr<TSheetSettings> settings = MakeNode<TSheetSettings>(nullptr, QString());
  TSheetCanvas canvas(*settings);
  TDecoratedTextor t;
  t.Width = Width("ab c");
  t.SetText("ab cd\r\nef");
  t.ApplyAttributes(t.WholeRange(), true, Font());
  TParagraph *p = t.FirstParagraph();
  ASSERT_EQ(Rows(t), "ab |cd / ef");
  const TRow &r0 = p->Rows()[0], &r1 = p->Rows()[1];
  const TTextRange firstRow{r0.Start, r0.End}, bothRows{r0.Start, r1.End};
  struct Case {
    TTextRange range;
    int flags;
    bool showParagraphEnd, drawn;
  } cases[] = {
      {firstRow, 0, false, false},
      {firstRow, tdfSelected, false, false},
      {firstRow, tdfSelected, true, true},
      {firstRow, tdfNonPrinting, false, true},
      {bothRows, 0, false, true},
  };
  for (const Case &c : cases) {
    // Only the second row is painted.
    canvas.BeginPaint(QRect(0, r1.Top(), 200, r1.Height()));
    t.Draw(canvas, 0, c.flags, c.range, c.showParagraphEnd);
    const TBitmap32 &b = *canvas.Buffer();
    EXPECT_EQ(b.Pixel(0, 0) == Color32FromPlatform(kBlue), c.drawn) << c.flags << " " << c.showParagraphEnd;
    EXPECT_EQ(Inked(b, 0, 200, 0, r1.Height()), c.drawn) << c.flags << " " << c.showParagraphEnd;
    canvas.EndPaint(nullptr);
  }
}

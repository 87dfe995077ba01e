#include "diTextor.h"

#include "diFind.h"
#include "diSheet.h"
#include "diSheetSettings.h"
#include "diVisualElements.h"
#include "testFakes.h"

#include <gtest/gtest.h>

namespace {

// An inline element for the search tests: named, focusable or not, frees its portion when the tree
// frees it.
class TElement_TestFindInline : public TVisualElement, public TInlineElementLink {
  QN_ELEMENT_CLASS(TElement_TestFindInline)
public:
  QString Name;

protected:
  void Freeing() override {
    PortionElementFreeing();
    TVisualElement::Freeing();
  }
};
QN_DEFINE_ELEMENT_CLASS(TElement_TestFindInline, TVisualElement)

// A focusable element inside an inline element.
class TElement_TestFindChild : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_TestFindChild)
public:
  TElement_TestFindChild() { InitVisualOptions(voFocusable); }
  QString Name;
};
QN_DEFINE_ELEMENT_CLASS(TElement_TestFindChild, TVisualElement)

class TElement_TestFindHost : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_TestFindHost)
};
QN_DEFINE_ELEMENT_CLASS(TElement_TestFindHost, TVisualElement)

class TFindTextor : public TTextor {
public:
  bool ParagraphBreaksAllowed() const override { return true; }
  bool TabsAllowed() const override { return true; }
};

// Builds the content from a pattern: text between '[' and ']' is a run of its own attributes (bold), '\n'
// a paragraph break, '\t' a tab stop, and inline elements: '#' not focusable, '*' focusable, '!'
// focusable but disabled, '%' not focusable holding a focusable child. Elements are named by their
// pattern character and the text index of it ("*5"); the child of '%' adds ".child".
struct TFindFixture {
  TNodePtr<TElement_TestFindHost> Host = MakeNode<TElement_TestFindHost>();
  TFindTextor T;

  void Build(const QString &pattern) {
    TTextAttributes *bold = FontAttributes("Tahoma", 8, clWindowText, fsBold);
    TTextAttributes *current = nullptr;
    QString run;
    auto flush = [&] {
      if (!run.isEmpty())
        T.InsertText(T.TextEnd(), run, current);
      run.clear();
    };
    for (qsizetype i = 0; i < pattern.size(); ++i) {
      const QChar c = pattern[i];
      if (c == u'[' || c == u']') {
        flush();
        current = c == u'[' ? bold : nullptr;
      } else if (c == u'#' || c == u'*' || c == u'!' || c == u'%') {
        flush();
        auto *e = CreateElement<TElement_TestFindInline>(nullptr, Host.get());
        e->Name = c + QString::number(i);
        e->SetBounds(0, 0, 3, 10, 20);
        if (c == u'*' || c == u'!')
          e->SetVisualOptions(voFocusable);
        if (c == u'!')
          e->SetDisabled(true);
        if (c == u'%') {
          auto *child = CreateElement<TElement_TestFindChild>(nullptr, e);
          child->Name = e->Name + ".child";
          child->SetVisualParent(e);
        }
        T.InsertElement(T.TextEnd(), e, nullptr);
      } else {
        run += c;
      }
    }
    flush();
  }

  QString Describe(const TTextFindResult &r) const {
    if (r.Match) {
      const TTextCoordinateRange c = T.RangeToCoordinates(*r.Match);
      return QStringLiteral("%1,%2-%3,%4").arg(c.StartIndex).arg(c.StartOffset).arg(c.EndIndex).arg(c.EndOffset);
    }
    if (auto *e = dynamic_cast<TElement_TestFindInline *>(r.Next))
      return "e:" + e->Name;
    if (auto *e = dynamic_cast<TElement_TestFindChild *>(r.Next))
      return "e:" + e->Name;
    return r.Next ? QStringLiteral("e:?") : QStringLiteral("-");
  }
};

}  // namespace

TEST(TextorFindTest, FindInStretches) {
  struct Case {
    QString content;
    int index, offset;  // the start; index -1 is the text end
    bool forward;
    QString find;
    bool matchCase;
    QString expected;  // "p,o-p,o", "e:<element>" or "-"
    bool skipDisabled = false;
  } cases[] = {
      // Across runs of different attributes, in both directions.
      {"Hello [wor]ld\nsecond hello", 0, 0, true, "WORLD", false, "0,6-0,11"},
      {"Hello [wor]ld\nsecond hello", 0, 0, true, "WORLD", true, "-"},
      {"Hello [wor]ld\nsecond hello", 0, 0, true, "hello", false, "0,0-0,5"},
      {"Hello [wor]ld\nsecond hello", 0, 0, true, "hello", true, "1,7-1,12"},
      {"Hello [wor]ld\nsecond hello", 0, 1, true, "hello", false, "1,7-1,12"},
      {"Hello [wor]ld\nsecond hello", 0, 5, true, "o", false, "0,7-0,8"},
      {"Hello [wor]ld\nsecond hello", -1, 0, false, "hello", false, "1,7-1,12"},
      {"Hello [wor]ld\nsecond hello", 1, 11, false, "hello", false, "0,0-0,5"},
      {"Hello [wor]ld\nsecond hello", 1, 0, false, "o", false, "0,7-0,8"},
      {"Hello [wor]ld\nsecond hello", 0, 7, false, "o", false, "0,4-0,5"},
      {"Hello [wor]ld\nsecond hello", 0, 10, false, "world", false, "-"},  // the match would end after the start
      {"Hello [wor]ld\nsecond hello", 0, 7, true, "world", false, "-"},    // it would begin before the start
      {"Hello [wor]ld\nsecond hello", 0, 0, true, "ld second", false, "-"},
      {"Hello [wor]ld\nsecond hello", 0, 0, true, "ld\r\nsecond", false, "-"},
      {"Hello [wor]ld\nsecond hello", 0, 0, true, "Hello world and more", false, "-"},
      {"Hello [wor]ld\nsecond hello", 0, 0, true, "", false, "-"},
      // From a paragraph end forward the search moves on to the next paragraph; empty paragraphs pass.
      {"ab\n\n\nab", 0, 2, true, "ab", false, "3,0-3,2"},
      {"ab\n\n\nab", 3, 0, false, "ab", false, "0,0-0,2"},
      {"ab\n\n\nab", -1, 0, true, "ab", false, "-"},
      {"ab\n\n\nab", 0, 0, false, "ab", false, "-"},
      // Tab stops are part of a stretch's text.
      {"a\tb", 0, 0, true, "A\tB", false, "0,0-0,3"},
      // Inline elements: a focusable one is visited before the text after it, any other is passed over;
      // a match never spans one.
      {"ab#cd*ef", 0, 0, true, "cd", false, "0,3-0,5"},
      {"ab#cd*ef", 0, 0, true, "ef", false, "e:*5"},
      {"ab#cd*ef", 0, 6, true, "ef", false, "0,6-0,8"},
      {"ab#cd*ef", -1, 0, false, "ab", false, "e:*5"},
      {"ab#cd*ef", 0, 5, false, "ab", false, "0,0-0,2"},
      {"ab#cd", 0, 0, true, "bc", false, "-"},
      {"ab#cd", -1, 0, false, "bc", false, "-"},
      {"*ab", 0, 0, true, "ab", false, "e:*0"},
      {"ab*", -1, 0, false, "ab", false, "e:*2"},
      {"ab\n*cd", 0, 0, true, "cd", false, "e:*3"},
      {"ab*\ncd", -1, 0, false, "ab", false, "e:*2"},
      {"ab%cd", 0, 0, true, "cd", false, "e:%2.child"},
      {"ab!cd", 0, 0, true, "cd", false, "e:!2"},
      {"ab!cd", 0, 0, true, "cd", false, "0,3-0,5", true},
      {"#*", 0, 1, true, "x", false, "e:*1"},
      {"#*", -1, 0, false, "x", false, "e:*1"},
      {"*#", 0, 1, true, "x", false, "-"},
  };
  for (const Case &c : cases) {
    TFindFixture f;
    f.Build(c.content);
    TFindData data;
    data.FindText = c.find;
    data.MatchCase = c.matchCase;
    data.SkipDisabled = c.skipDisabled;
    std::optional<TTextPosition> start =
        c.index < 0 ? f.T.TextEnd() : f.T.CoordinatesToPosition({c.index, c.offset});
    ASSERT_TRUE(start) << c.content.toStdString();
    EXPECT_EQ(f.Describe(f.T.FindInStretches(*start, c.forward, data)), c.expected)
        << c.content.toStdString() << " from " << c.index << "," << c.offset << (c.forward ? " forward " : " backward ")
        << c.find.toStdString();
  }
}

TEST(TextorFindTest, MatchUsesTheFindDataComparison) {
  // A find data of another kind decides what matches: here any text of the right length whose letters
  // are all digits.
  struct TDigits : TFindData {
    bool Matches(QStringView text) const override {
      for (QChar c : text)
        if (!c.isDigit())
          return false;
      return true;
    }
  };
  TFindFixture f;
  f.Build("call 555-[0199] now");
  TDigits data;
  data.FindText = QStringLiteral("0000");
  EXPECT_EQ(f.Describe(f.T.FindInStretches(f.T.TextStart(), true, data)), "0,9-0,13");
  EXPECT_EQ(f.Describe(f.T.FindInStretches(f.T.TextEnd(), false, data)), "0,9-0,13");
  data.FindText = QStringLiteral("000");
  EXPECT_EQ(f.Describe(f.T.FindInStretches(f.T.TextStart(), true, data)), "0,5-0,8");
  EXPECT_EQ(f.Describe(f.T.FindInStretches(f.T.TextEnd(), false, data)), "0,10-0,13");
}

TEST(TextorFindTest, MatchRangeIsInNormalForm) {
  TFindFixture f;
  f.Build("ab[cd]*");
  TFindData data;
  data.FindText = QStringLiteral("bcd");
  const TTextFindResult r = f.T.FindInStretches(f.T.TextStart(), true, data);
  ASSERT_TRUE(r.Match);
  EXPECT_EQ(r.Next, nullptr);
  // The match ends where the element portion begins, not at the end of the bold run.
  ASSERT_NE(r.Match->End.Portion, nullptr);
  EXPECT_EQ(r.Match->End.Portion->Kind(), TPortionKind::Element);
  EXPECT_EQ(r.Match->End.Offset, 0);
  EXPECT_EQ(r.Match->Start.Offset, 1);
  EXPECT_EQ(f.T.RangeText(*r.Match), "bcd");
}

// ---------------------------------------------------------------------------------------------------------
// The scan inside a search walk over a sheet: a text element that searches its textor from its caret and
// visits the focusable inline elements on the way, the way text elements take part in the walk.

namespace {

// A focusable element holding a textor; it can itself stand inline in another one's text. The focus
// coming back from an inline element puts the caret after it (forward) or before it (backward); coming
// from elsewhere at the text start or end. Its search step starts, as text elements do, at the selection's
// end forward when the selection is to be passed over (or backward when it is not), else at its start.
class TElement_TestTextHost : public TVisualElement, public TInlineElementLink {
  QN_ELEMENT_CLASS(TElement_TestTextHost)
public:
  TElement_TestTextHost() { InitVisualOptions(voFocusable); }
  TFindTextor T;
  TTextRange Selection;

  TElement_TestTextHost *AddInline(TScheme *scheme) {
    auto *e = CreateElement<TElement_TestTextHost>(scheme, this);
    e->SetBounds(0, 0, 3, 10, 20);
    e->SetVisualParent(this);
    T.InsertElement(T.TextEnd(), e, nullptr);
    return e;
  }
  QString SelectedText() const { return T.RangeText(Selection); }

  void SetFocus(bool horizontal, bool forward, const QString &focusData, TVisualElement *fromChild,
                const QPoint *point) override {
    TTextPosition caret = forward ? T.TextStart() : T.TextEnd();
    if (auto *child = dynamic_cast<TElement_TestTextHost *>(fromChild); child && child->Portion()) {
      TPortion *portion = child->Portion();
      caret = forward ? TTextPosition{portion->Paragraph(), portion->Next(), 0}
                      : TTextPosition{portion->Paragraph(), portion, 0};
    }
    Selection = {caret, caret};
    TVisualElement::SetFocus(horizontal, forward, focusData, fromChild, point);
  }
  bool FindFocusTarget(TFindMode mode, const TFindData &findData, TVisualElement *&fromChild, TVisualElement *&next,
                       bool forward) override {
    const bool passOver = mode == fmAfterReplace ||
                          (mode == fmFind && !Selection.IsEmpty() && findData.Matches(SelectedText()));
    const TTextPosition start = forward == passOver ? Selection.End : Selection.Start;
    const TTextFindResult r = T.FindInStretches(start, forward, findData);
    if (r.Match) {
      FocusIfNotFocused();
      Selection = *r.Match;
      return true;
    }
    if (r.Next) {
      next = r.Next;
      fromChild = nullptr;
      return false;
    }
    return TVisualElement::FindFocusTarget(mode, findData, fromChild, next, forward);
  }

protected:
  void Freeing() override {
    PortionElementFreeing();
    TVisualElement::Freeing();
  }
};
QN_DEFINE_ELEMENT_CLASS(TElement_TestTextHost, TVisualElement)

}  // namespace

TEST(TextorFindTest, WalkGoesIntoInlineElementsAndBackOut) {
  TFakeDesktop desktop;
  TNodePtr<TSheetSettings> settings{new TSheetSettings(nullptr, QStringLiteral("Sheet"))};
  TScheme scheme{&TElement_TestFindHost::Class(), QStringLiteral("Quillnote")};
  TSheet sheet(*settings);
  auto *doc = static_cast<TVisualElement *>(scheme.Root());
  doc->SetVisualParent(sheet.RootElement());
  auto *outer = CreateElement<TElement_TestTextHost>(&scheme, doc);
  outer->SetVisualParent(doc);
  outer->T.InsertText(outer->T.TextEnd(), u"one needle ", nullptr);
  TElement_TestTextHost *inner = outer->AddInline(&scheme);
  inner->T.InsertText(inner->T.TextEnd(), u"Needle\r\nhay", nullptr);
  outer->T.InsertText(outer->T.TextEnd(), u" two\r\nneedle", nullptr);
  TFindData data;
  data.Scope = doc;
  data.FindText = QStringLiteral("needle");

  // Each step: the direction, then where the selection is: the element and its coordinates.
  auto where = [&] {
    auto *e = static_cast<TElement_TestTextHost *>(sheet.Focused());
    const TTextCoordinateRange c = e->T.RangeToCoordinates(e->Selection);
    return QStringLiteral("%1 %2,%3-%4,%5")
        .arg(e == outer ? "outer" : "inner")
        .arg(c.StartIndex)
        .arg(c.StartOffset)
        .arg(c.EndIndex)
        .arg(c.EndOffset);
  };
  outer->SetFocus(true, true, QString(), nullptr, nullptr);  // the caret at the text start
  struct Step {
    bool forward, found;
    QString at;
  } steps[] = {
      {true, true, "outer 0,4-0,10"},  {true, true, "inner 0,0-0,6"}, {true, true, "outer 1,0-1,6"},
      {true, false, "outer 1,0-1,6"},  {false, true, "inner 0,0-0,6"}, {false, true, "outer 0,4-0,10"},
      {false, false, "outer 0,4-0,10"},
  };
  for (const Step &s : steps) {
    const bool found = sheet.Find(fmFind, data, s.forward);
    EXPECT_EQ(found, s.found) << s.at.toStdString();
    if (found)
      EXPECT_EQ(where(), s.at);
  }
  doc->SetVisualParent(nullptr);
}

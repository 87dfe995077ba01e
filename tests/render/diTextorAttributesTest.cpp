#include "diTextorAttributes.h"

#include "cuClasses.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Text attributes of another class with the same fields.
class TOtherTextAttributes : public TRichTextAttributes {
public:
  std::unique_ptr<TAttributes> Create() const override { return std::make_unique<TOtherTextAttributes>(); }
};

// Equal when the numbers differ by at most 1, so one query can be Equal to two registered instances that
// are not Equal to each other. The hash is the class's alone.
class TNearAttributes : public TParagraphAttributes {
public:
  int N = 0;
  std::unique_ptr<TAttributes> Create() const override { return std::make_unique<TNearAttributes>(); }
  void Assign(const TAttributes &source) override {
    TParagraphAttributes::Assign(source);
    N = static_cast<const TNearAttributes &>(source).N;
  }
  bool Equals(const TAttributes &other) const override {
    return TParagraphAttributes::Equals(other) && std::abs(N - static_cast<const TNearAttributes &>(other).N) <= 1;
  }
};

// Holds one reference for the test's duration.
template <class T> TAttributesRef<T> Held(T *a) { return TAttributesRef<T>(a); }

} // namespace

TEST(TextorAttributes, EqualTemporariesShareOneInstance) {
  TRichTextAttributes a, b;
  a.SetFontName(QStringLiteral("Liberation Sans"));
  b.SetFontName(QStringLiteral("Liberation Sans"));
  const int before = TAttributes::RegisteredCount();
  auto sa = Held(SharedOf(a));
  EXPECT_TRUE(sa->Registered());
  EXPECT_FALSE(a.Registered());
  EXPECT_EQ(TAttributes::RegisteredCount(), before + 1);
  EXPECT_EQ(SharedOf(b), sa.Get());
  EXPECT_EQ(sa->Shared(), sa.Get());  // a registered instance is its own shared one
  EXPECT_EQ(sa->RefCount(), 1);       // Shared adds no reference
  EXPECT_EQ(TAttributes::RegisteredCount(), before + 1);

  b.SetSize(9);
  auto sb = Held(SharedOf(b));
  EXPECT_NE(sb.Get(), sa.Get());
  EXPECT_EQ(sb->Size(), 9);
  EXPECT_EQ(sb->FontName(), QStringLiteral("Liberation Sans"));
}

TEST(TextorAttributes, EveryValueFieldTakesPartAndCachesDoNot) {
  using TChange = std::function<void(TRichTextAttributes &)>;
  const TChange textChanges[] = {
      [](auto &a) { a.SetData(QStringLiteral("d")); },
      [](auto &a) { a.SetLinkKind(lkHyperlink); },
      [](auto &a) { a.SetLinkTarget(QStringLiteral("x")); },
      [](auto &a) { a.SetBackgroundColor(clBlue); },
      [](auto &a) { a.SetFontName(QStringLiteral("tahoma")); },  // names compare exactly
      [](auto &a) { a.SetCharset(0); },
      [](auto &a) { a.SetColor(clBlue); },
      [](auto &a) { a.SetPitch(fpFixed); },
      [](auto &a) { a.SetSize(9); },
      [](auto &a) { a.SetStyle(fsBold); },
  };
  TRichTextAttributes plain;
  plain.Font();  // a measured temporary equals an unmeasured one
  auto base = Held(SharedOf(plain));
  EXPECT_EQ(base.Get(), &DefaultTextAttributes());
  for (std::size_t i = 0; i < std::size(textChanges); ++i) {
    TRichTextAttributes a;
    textChanges[i](a);
    EXPECT_FALSE(a.Equals(*base.Get())) << i;
    EXPECT_NE(SharedOf(a), base.Get()) << i;
  }

  using TParagraphChange = std::function<void(TRichParagraphAttributes &)>;
  const TParagraphChange paragraphChanges[] = {
      [](auto &a) { a.SetAlignment(paCenter); },      [](auto &a) { a.SetBackgroundColor(clBlue); },
      [](auto &a) { a.SetFirstIndent(1); },           [](auto &a) { a.SetLeftIndent(1); },
      [](auto &a) { a.SetRightIndent(1); },           [](auto &a) { a.SetBullet(true); },
      [](auto &a) { a.SetExtra(0, 1); },              [](auto &a) { a.SetExtra(1, 1); },
      [](auto &a) { a.SetExtra(2, 1); },
  };
  TRichParagraphAttributes fresh;
  auto paragraphBase = Held(SharedOf(fresh));
  EXPECT_EQ(paragraphBase.Get(), &DefaultParagraphAttributes());
  for (std::size_t i = 0; i < std::size(paragraphChanges); ++i) {
    TRichParagraphAttributes a;
    paragraphChanges[i](a);
    EXPECT_NE(SharedOf(a), paragraphBase.Get()) << i;
    TRichParagraphAttributes copy;
    copy.Assign(a);
    EXPECT_EQ(SharedOf(copy), SharedOf(a)) << i;
  }
}

TEST(TextorAttributes, ClassesAreNeverEqual) {
  TRichTextAttributes rich;
  TOtherTextAttributes other;
  EXPECT_FALSE(rich.Equals(other));
  EXPECT_FALSE(other.Equals(rich));
  auto a = Held(SharedOf(rich));
  auto b = Held(SharedOf(other));
  EXPECT_NE(static_cast<TAttributes *>(a.Get()), static_cast<TAttributes *>(b.Get()));
  EXPECT_NE(dynamic_cast<TOtherTextAttributes *>(b.Get()), nullptr);
  TRichParagraphAttributes paragraph;
  EXPECT_FALSE(paragraph.Equals(rich));
}

TEST(TextorAttributes, LastReleaseLeavesTheRegistry) {
  TRichTextAttributes temporary;
  temporary.SetData(QStringLiteral("only here"));
  const int before = TAttributes::RegisteredCount();
  {
    TAttributesRef<TRichTextAttributes> first(SharedOf(temporary));
    TAttributesRef<TRichTextAttributes> second = first;
    EXPECT_EQ(first->RefCount(), 2);
    EXPECT_FALSE(second.Assign(first.Get()));  // the same instance: no change
    EXPECT_EQ(first->RefCount(), 2);
    EXPECT_TRUE(second.Assign(nullptr));
    EXPECT_EQ(first->RefCount(), 1);
    EXPECT_EQ(TAttributes::RegisteredCount(), before + 1);
  }
  EXPECT_EQ(TAttributes::RegisteredCount(), before);
  // Made again on the next request.
  TAttributesRef<TRichTextAttributes> again(SharedOf(temporary));
  EXPECT_EQ(again->RefCount(), 1);
  EXPECT_EQ(TAttributes::RegisteredCount(), before + 1);
  // A temporary is never freed by Release.
  temporary.AddRef();
  temporary.Release();
  EXPECT_EQ(temporary.RefCount(), 0);
}

TEST(TextorAttributes, RegisteredInstancesNeverChange) {
  TRichTextAttributes temporary;
  TRichTextAttributes *shared = SharedOf(temporary);
  EXPECT_THROW(shared->SetSize(12), EException);
  EXPECT_THROW(shared->SetLinkTarget(QStringLiteral("x")), EException);
  EXPECT_THROW(shared->Assign(temporary), EException);
  EXPECT_EQ(shared->Size(), 8);
}

// Lookup goes by a hash of the values, with the answer a walk of the registry from its newest entry
// would give.
TEST(TextorAttributes, LookupFindsWhatALinearWalkFindsFirst) {
  TNearAttributes zero, two, one;
  two.N = 2;
  one.N = 1;
  auto a = Held(SharedOf(zero));
  auto b = Held(SharedOf(two));
  ASSERT_NE(a.Get(), b.Get());  // 0 and 2 are not near
  EXPECT_EQ(SharedOf(one), b.Get());  // near both: the newer one
  auto c = Held(SharedOf(zero));
  EXPECT_EQ(c.Get(), a.Get());
}

TEST(TextorAttributes, DefaultsAndDerivedAttributes) {
  TRichTextAttributes &text = DefaultTextAttributes();
  EXPECT_EQ(&text, &DefaultTextAttributes());
  EXPECT_TRUE(text.Registered());
  EXPECT_GE(text.RefCount(), 1);
  EXPECT_EQ(text.FontName(), QStringLiteral("Tahoma"));
  EXPECT_EQ(text.Size(), 8);
  EXPECT_EQ(text.Color(), clWindowText);
  EXPECT_EQ(text.BackgroundColor(), clNone);
  EXPECT_EQ(text.Style(), 0);
  EXPECT_EQ(text.Pitch(), fpDefault);
  EXPECT_EQ(text.Charset(), kDefaultCharset);
  EXPECT_EQ(text.LinkKind(), lkPlain);
  TRichParagraphAttributes &paragraph = DefaultParagraphAttributes();
  EXPECT_TRUE(paragraph.Registered());
  EXPECT_EQ(paragraph.Alignment(), paLeft);
  EXPECT_EQ(paragraph.BackgroundColor(), clNone);

  TRichTextAttributes *font = FontAttributes(QStringLiteral("Liberation Sans"), 10, clRed, fsItalic);
  auto held = Held(font);
  EXPECT_EQ(font->FontName(), QStringLiteral("Liberation Sans"));
  EXPECT_EQ(font->Size(), 10);
  EXPECT_EQ(font->Color(), clRed);
  EXPECT_EQ(font->Style(), fsItalic);

  // Every hyperlink has its own instance, all of them share one font.
  auto link1 = Held(HyperlinkAttributes(*font, QStringLiteral("http://a.example")));
  auto link2 = Held(HyperlinkAttributes(*font, QStringLiteral("http://b.example")));
  EXPECT_NE(link1.Get(), link2.Get());
  EXPECT_EQ(HyperlinkAttributes(*font, QStringLiteral("http://a.example")), link1.Get());
  EXPECT_EQ(link1->Color(), clBlue);
  EXPECT_EQ(link1->Style(), fsItalic | fsUnderline);
  EXPECT_EQ(link1->LinkKind(), lkHyperlink);
  EXPECT_EQ(link1->LinkTarget(), QStringLiteral("http://a.example"));
  EXPECT_EQ(link1->Size(), 10);
  EXPECT_EQ(&link1->Font(), &link2->Font());
  EXPECT_EQ(&link1->Font(), &LogicalFont(QStringLiteral("Liberation Sans"), 10, fsItalic | fsUnderline));
}

TEST(TextorAttributes, MetricsAndMeasurement) {
  TRichTextAttributes temporary;
  temporary.SetFontName(QStringLiteral("Liberation Sans"));
  temporary.SetSize(10);
  const TLogicalFont &font = LogicalFont(QStringLiteral("Liberation Sans"), 10);
  EXPECT_EQ(temporary.Ascent(), font.Ascent());
  EXPECT_EQ(temporary.Descent(), font.Descent());
  EXPECT_EQ(temporary.Height(), font.Height());
  EXPECT_EQ(temporary.TabWidth(), 8 * font.AveCharWidth());
  // A size change drops the font.
  temporary.SetSize(20);
  EXPECT_EQ(&temporary.Font(), &LogicalFont(QStringLiteral("Liberation Sans"), 20));
  EXPECT_GT(temporary.Ascent(), font.Ascent());
  temporary.SetColor(clBlue);  // keeps the font
  EXPECT_EQ(&temporary.Font(), &LogicalFont(QStringLiteral("Liberation Sans"), 20));

  temporary.SetSize(10);
  const QString text = QStringLiteral("a\tb\nc");
  EXPECT_EQ(temporary.TextWidth(text), font.TextWidth(QStringLiteral("a")) + font.TextWidth(QStringLiteral("b")) +
                                           font.TextWidth(QStringLiteral("c")) + 2 * font.GlyphOf(0xFFFD).Advance);
  EXPECT_EQ(text, QStringLiteral("a\tb\nc"));  // the caller's text is not changed
  EXPECT_EQ(temporary.TextWidth(text, 1, 0), 0);
  EXPECT_EQ(temporary.TextWidth(text, 0, 2) + temporary.TextWidth(text, 2, 3), temporary.TextWidth(text));

  // Indents: a bullet adds a tab width to the left indent.
  TRichParagraphAttributes p;
  p.SetLeftIndent(5);
  p.SetFirstIndent(7);
  p.SetRightIndent(3);
  EXPECT_EQ(p.LeftIndent(temporary), 5);
  p.SetBullet(true);
  EXPECT_EQ(p.LeftIndent(temporary), 5 + temporary.TabWidth());
  EXPECT_EQ(p.FirstIndent(), 7);
  EXPECT_EQ(p.RightIndent(), 3);
  TParagraphAttributes &abstract = p;
  EXPECT_EQ(abstract.FirstIndent(), 7);
}

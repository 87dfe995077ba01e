#include "diLog.h"

#include "cuKnot.h"
#include "cuLocalization.h"
#include "cuStrings.h"
#include "diClasses.h"
#include "diLogSettings.h"
#include "diSheet.h"
#include "diSheetSettings.h"
#include "diSoundSettings.h"
#include "testFakes.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class Log : public ::testing::Test {
protected:
  Log() { Scheme->SetReadOnly(true); }
  ~Log() override { LogSettings().WriteWarnings().SetValue(true); }

  TLogRoot &Root() { return *static_cast<TLogRoot *>(Scheme->Root()); }
  TTextor &Text() { return Root().Textor(); }
  // The portions of a paragraph as letters: t text, e an element.
  QString Kinds(int paragraph) {
    QString kinds;
    for (TPortion *p = Text().ParagraphAt(paragraph)->FirstPortion(); p; p = p->Next())
      kinds += p->Kind() == TPortionKind::Element ? u'e' : u't';
    return kinds;
  }

  TFakeDesktop Desktop;
  std::unique_ptr<TScheme> Scheme = std::make_unique<TScheme>(&TLogRoot::Class(), QString());
};

TEST_F(Log, AWarningIsItsSignASpaceAndItsTextWithoutAnEmptyFirstParagraph) {
  const QString text = FormatString(sidNodeNotRead, {QStringLiteral("Quillnote.Gadget")});
  Root().Messages().AddText(mkWarning, text);
  ASSERT_EQ(Text().ParagraphCount(), 1);
  EXPECT_EQ(Kinds(0), QStringLiteral("et"));
  auto *sign = dynamic_cast<TElement_Sign *>(
      static_cast<TElementPortion *>(Text().FirstParagraph()->FirstPortion())->Element());
  ASSERT_NE(sign, nullptr);
  EXPECT_EQ(sign->Kind(), mkWarning);
  EXPECT_EQ(LogSignCell(sign->Kind()), 1);
  EXPECT_EQ(Text().Text(), QStringLiteral(" ") + text);

  // Information has no sign; each further message is a paragraph of its own.
  Root().Messages().AddText(mkInformation, QStringLiteral("loaded"));
  ASSERT_EQ(Text().ParagraphCount(), 2);
  EXPECT_EQ(Kinds(1), QStringLiteral("t"));
  EXPECT_EQ(Text().ParagraphAt(1)->FirstPortion()->Kind(), TPortionKind::Text);
}

TEST_F(Log, SignCellsByKind) {
  const struct {
    int Kind, Cell;
  } cases[] = {{mkInformation, -1}, {mkHint, 0}, {mkWarning, 1}, {mkHighest, 2},
               {mkRequired, 1},     {mkError, 1}, {6, -1},        {-1, -1}};
  for (const auto &c : cases)
    EXPECT_EQ(LogSignCell(c.Kind), c.Cell) << c.Kind;
}

TEST_F(Log, TheLogSettingsChooseTheKindsWritten) {
  LogSettings().WriteWarnings().SetValue(false);
  EXPECT_EQ(Root().Messages().AddText(mkWarning, QStringLiteral("dropped")), nullptr);
  EXPECT_NE(Root().Messages().AddText(mkError, QStringLiteral("kept")), nullptr);
  EXPECT_EQ(Root().Messages().Count(), 1);
  EXPECT_EQ(Text().Text(), QStringLiteral(" kept"));
}

TEST_F(Log, ALoadWarningOfTheDocumentReachesTheLogButValidationMessagesStayWithTheirElements) {
  TScheme document(&TLogRoot::Class(), QStringLiteral("Doc"));
  document.SetMessages(&Root().Messages());
  TNodePtr<TKnot> knot = MakeNode<TKnot>();
  knot->ParseString(QStringLiteral("<Doc><Chars Value=\"x\"/><Gadget/></Doc>"));
  document.LoadFromKnot(*document.Root(), fmDocument, *knot);
  // The unknown element complains on itself; the log stays empty.
  EXPECT_EQ(Root().Messages().Count(), 0);
  ASSERT_NE(document.Root()->FirstChildElement(), nullptr);
  EXPECT_NE(document.Root()->FirstChildElement()->Messages(), nullptr);
  knot->ParseString(QStringLiteral("<Doc><Chars Value=\"x\"/><Chars"));
  document.LoadFromKnot(*document.Root(), fmDocument, *knot);
  ASSERT_GE(Root().Messages().Count(), 1);
  EXPECT_EQ(TElementMessages::MessageText(*Root().Messages().Items(0)), LoadString(sidDataCorrupt));
}

TEST_F(Log, AnElementLinkPassesItsIdsEvenOfGoneElementsAndThenLooksVisited) {
  int changes = 0;
  Root().OnChanged = [&] { ++changes; };
  Root().Messages().AddElementMessage(mkError, QStringLiteral("[Unsupported] element"), QStringLiteral("12345"));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Text().Text(), QStringLiteral(" Unsupported element"));
  // Sign, space, link, rest.
  TPortion *link = Text().FirstParagraph()->FirstPortion()->Next()->Next();
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(static_cast<TTextPortion *>(link)->Text(), QStringLiteral("Unsupported"));
  EXPECT_EQ(link->Attributes().LinkKind(), lkHyperlink);
  EXPECT_EQ(link->Attributes().LinkTarget(), QStringLiteral("E12345"));
  std::vector<std::int32_t> got;
  Root().OnElementsLink = [&](const std::vector<std::int32_t> &ids) { got = ids; };
  Root().LinkActivated(link);
  EXPECT_EQ(got, std::vector<std::int32_t>{12345});
  TPortion *visited = Text().FirstParagraph()->FirstPortion()->Next()->Next();
  EXPECT_EQ(static_cast<const TRichTextAttributes &>(visited->Attributes()).Color(), TColor(128));
  EXPECT_EQ(visited->Attributes().LinkTarget(), QStringLiteral("E12345"));
  // Plain text activates nothing.
  got.clear();
  Root().LinkActivated(Text().FirstParagraph()->LastPortion());
  EXPECT_TRUE(got.empty());
}

TEST_F(Log, AHandlerThatChangesTheLogLeavesTheNewTextAlone) {
  Root().Messages().AddElementMessage(mkError, QStringLiteral("[gone]"), QStringLiteral("7"));
  TPortion *link = Text().FirstParagraph()->FirstPortion()->Next()->Next();
  int calls = 0;
  Root().OnElementsLink = [&](const std::vector<std::int32_t> &) {
    ++calls;
    Root().Messages().Clear();
    Root().Messages().AddText(mkError, QStringLiteral("fresh text"));
  };
  Root().LinkActivated(link);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Text().Text(), QStringLiteral(" fresh text"));
  for (TPortion *p = Text().FirstParagraph()->FirstPortion(); p; p = p->Next())
    EXPECT_NE(static_cast<const TRichTextAttributes &>(p->Attributes()).Color(), TColor(128));
}

TEST_F(Log, SeveralIdsInOneLink) {
  TNodePtr<TKnot> content = MakeNode<TKnot>(QStringLiteral("Log"));
  content->ParseString(QStringLiteral("<Log><Chars Value=\"both\" Elements=\"3,17\"/></Log>"));
  Scheme->LoadFromKnot(Root(), fmDocument, *content);
  std::vector<std::int32_t> got;
  Root().OnElementsLink = [&](const std::vector<std::int32_t> &ids) { got = ids; };
  Root().LinkActivated(Text().FirstParagraph()->FirstPortion());
  EXPECT_EQ(got, (std::vector<std::int32_t>{3, 17}));
}

TEST_F(Log, ClearingEmptiesTheTextAndTellsIt) {
  Root().Messages().AddText(mkHint, QStringLiteral("one"));
  Root().Messages().AddText(mkHint, QStringLiteral("two"));
  int changes = 0;
  Root().OnChanged = [&] { ++changes; };
  Root().Messages().Clear();
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(Text().IsEmpty());
  EXPECT_EQ(Root().FirstChildElement(), nullptr);
  Root().Messages().AddText(mkHint, QStringLiteral("three"));
  EXPECT_EQ(Text().ParagraphCount(), 1);
}

TEST_F(Log, OnItsSheetAMessagePlaysTheLogSoundAndTheSignsAreLeftOutOfACopy) {
  SoundSettings().Enabled().SetValue(true);
  TNodePtr<TSheetSettings> settings(new TSheetSettings(nullptr, QStringLiteral("Sheet")));
  TSheet sheet(*settings);
  Root().SetVisualParent(sheet.RootElement());
  Root().Messages().AddText(mkWarning, QStringLiteral("careful"));
  EXPECT_EQ(Desktop.Sound.Started.size(), 1);
  TNodePtr<TKnot> copy = MakeNode<TKnot>();
  Root().SaveContentKnot(*copy, fmClipboard, foClipboardCopy, nullptr);
  EXPECT_EQ(copy->GetText(),
            QStringLiteral("<LoomContent FormatVersion=\"1.1\">\r\n\t<Chars Value=\" careful\"/>\r\n</LoomContent>\r\n"));
  Root().SetVisualParent(nullptr);
}

TEST_F(Log, ASignFilesItsKind) {
  TNodePtr<TKnot> knot = MakeNode<TKnot>(QStringLiteral("Log"));
  knot->ParseString(QStringLiteral("<Log><Sign Kind=\"3\"/><Chars Value=\" top\"/></Log>"));
  Scheme->LoadFromKnot(Root(), fmDocument, *knot);
  auto *sign = dynamic_cast<TElement_Sign *>(Root().FirstChildElement());
  ASSERT_NE(sign, nullptr);
  EXPECT_EQ(sign->Kind(), mkHighest);
  EXPECT_EQ(sign->Width(), 9);
  EXPECT_EQ(sign->Height(), 9);
  TNodePtr<TKnot> saved = MakeNode<TKnot>(QStringLiteral("Log"));
  Root().SaveToKnot(*saved, fmDocument, foDocumentSave);
  EXPECT_EQ(saved->GetText(), QStringLiteral("<Log>\r\n\t<Sign Kind=\"3\"/>\r\n"
                                             "\t<Chars Value=\" top\"/>\r\n</Log>\r\n"));
}

}  // namespace

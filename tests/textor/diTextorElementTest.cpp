#include "diTextorElement.h"

#include "cuKnot.h"
#include "cuLocalization.h"
#include "cuStrings.h"
#include "cuUtils.h"
#include "diCanvas.h"
#include "diFiling.h"
#include "diFind.h"
#include "diPalette.h"
#include "diSheet.h"
#include "diSheetSettings.h"
#include "testFakes.h"
#include "testSupport.h"
#include "testTextKinds.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testkinds::TElement_Star;

namespace {

QString Lines(std::initializer_list<const char *> lines) {
  QString text;
  for (const char *line : lines)
    text += QString::fromUtf8(line) + QStringLiteral("\r\n");
  return text;
}

QByteArray ReadBytes(const QString &path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

QString DataFile(const char *name) { return QStringLiteral(QN_TEST_DATA "/") + QString::fromUtf8(name); }

// The kinds of a paragraph's portions: 't' text, 'b' tab stops, 'e' an element.
std::string PortionKinds(const TParagraph *p) {
  std::string kinds;
  for (TPortion *q = p->FirstPortion(); q; q = q->Next())
    kinds += q->Kind() == TPortionKind::Text ? 't' : q->Kind() == TPortionKind::TabStops ? 'b' : 'e';
  return kinds;
}

struct TTextDocument {
  TElementMessages Sink;
  std::unique_ptr<TScheme> Scheme = NewTestTextScheme();
  TTextDocument() { Scheme->SetMessages(&Sink); }
  virtual ~TTextDocument() = default;
  TElement_TestTextRoot &Root() const { return static_cast<TElement_TestTextRoot &>(*Scheme->Root()); }
  TTextor &Text() const { return Root().Textor(); }
  void Load(const QString &text, TFilerMode mode = fmDocument) {
    TNodePtr<TKnot> knot = MakeNode<TKnot>();
    knot->ParseString(text);
    Scheme->LoadFromKnot(Root(), mode, *knot);
  }
  QString Save(TFilerMode mode = fmDocument, std::uint8_t options = foDocumentSave) const {
    TNodePtr<TKnot> knot = MakeNode<TKnot>();
    Scheme->SaveToKnot(Root(), mode, *knot, options);
    return knot->GetText();
  }
  QStringList Messages() const {
    QStringList texts;
    for (int i = 0; i < Sink.Count(); ++i)
      texts << TElementMessages::MessageText(*Sink.Items(i));
    return texts;
  }
};

// A document whose root lies on a sheet with limits (Width, 0).
struct TSheetDocument : TTextDocument {
  static constexpr int Width = 400;
  TNodePtr<TSheetSettings> Settings{new TSheetSettings(nullptr, QStringLiteral("Sheet"))};
  std::unique_ptr<TSheet> Sheet = std::make_unique<TSheet>(*Settings);
  TSheetDocument() {
    Sheet->SetLimits(Width, 0);
    Root().SetVisualParent(Sheet->RootElement());
  }
  ~TSheetDocument() override { Root().SetVisualParent(nullptr); }
};

// The link target of every portion of paragraph 0 in order ("" for a plain one).
QStringList LinkTargets(const TTextor &textor, int paragraph = 0) {
  QStringList targets;
  for (TPortion *q = textor.ParagraphAt(paragraph)->FirstPortion(); q; q = q->Next())
    targets << (q->Attributes().LinkKind() == lkHyperlink ? q->Attributes().LinkTarget() : QString());
  return targets;
}

TEST(TextorElementContent, CharsStarCharsBrCharsGiveTwoParagraphsWithTheStarInTheFirst) {
  TTextDocument doc;
  doc.Load(Lines({"<Quillnote FormatVersion=\"1.1\">", "\t<Chars Value=\"a \"/>", "\t<Star/>",
                  "\t<Chars Value=\" b\"/><Br/>", "\t<Chars Value=\"c\"/>", "</Quillnote>"}));
  EXPECT_TRUE(doc.Messages().isEmpty()) << doc.Messages().join(u'|').toStdString();
  ASSERT_EQ(doc.Text().ParagraphCount(), 2);
  EXPECT_EQ(PortionKinds(doc.Text().FirstParagraph()), "tet");
  EXPECT_EQ(PortionKinds(doc.Text().LastParagraph()), "t");
  auto *star = dynamic_cast<TElement_Star *>(doc.Root().FirstChildElement());
  ASSERT_NE(star, nullptr);
  EXPECT_EQ(star->VisualParent(), &doc.Root());
  EXPECT_EQ(static_cast<TElementPortion *>(doc.Text().FirstParagraph()->FirstPortion()->Next())->Element(), star);
  EXPECT_EQ(doc.Text().Text(), QStringLiteral("a  b\r\nc"));
}

TEST(TextorElementContent, TabsAndBreaksAreWrittenAsCharsAndBr) {
  TTextDocument doc;
  doc.Text().SetText(QStringLiteral("a\tb\r\nc"));
  EXPECT_EQ(PortionKinds(doc.Text().FirstParagraph()), "tbt");
  const QString saved = doc.Save();
  EXPECT_EQ(saved, Lines({"<Quillnote FormatVersion=\"1.1\">", "\t<Chars Value=\"a&#9;b\"/><Br/>",
                          "\t<Chars Value=\"c\"/>", "</Quillnote>"}));
  TTextDocument back;
  back.Load(saved);
  ASSERT_EQ(back.Text().ParagraphCount(), 2);
  EXPECT_EQ(PortionKinds(back.Text().FirstParagraph()), "tbt");
  EXPECT_EQ(back.Text().Text(), QStringLiteral("a\tb\r\nc"));
}

TEST(TextorElementContent, AnEmptyRootWritesNoContent) {
  TTextDocument doc;
  EXPECT_EQ(doc.Save(), Lines({"<Quillnote FormatVersion=\"1.1\"/>"}));
  EXPECT_EQ(doc.Save(fmSnapshot, 0), Lines({"<Quillnote FormatVersion=\"1.1\" ID=\"1\"/>"})
                                         .replace(QStringLiteral("\"1\"/>"),
                                                  QStringLiteral("\"%1\"/>").arg(doc.Root().ID())));
}

TEST(TextorElementContent, RunsDifferingInDataAreSeparateCharsAndEqualDataJoins) {
  TTextDocument doc;
  doc.Text().SetText(QStringLiteral("one two three"));
  auto withData = [](const char *data) {
    TRichTextAttributes temp;
    temp.SetData(QString::fromUtf8(data));
    return SharedOf(temp);
  };
  TTextor &t = doc.Text();
  TParagraph *p = t.FirstParagraph();
  // "two" carries data "x"; "one " and " three" carry an empty data string on attributes of their own.
  t.ApplyAttributes({TTextPosition{p, p->FirstPortion(), 0}, TTextPosition{p, p->FirstPortion(), 4}}, false,
                    withData(""));
  auto at = [&](int offset) { return *t.CoordinatesToPosition({0, offset}); };
  t.ApplyAttributes({at(4), at(7)}, false, withData("x"));
  EXPECT_EQ(PortionKinds(p), "ttt");
  EXPECT_EQ(doc.Save(), Lines({"<Quillnote FormatVersion=\"1.1\">", "\t<Chars Value=\"one \"/>",
                               "\t<Chars Value=\"two\" Data=\"x\"/>", "\t<Chars Value=\" three\"/>",
                               "</Quillnote>"}));
  // Data is not interpreted when reading, but it is read.
  TTextDocument back;
  back.Load(doc.Save());
  EXPECT_TRUE(back.Messages().isEmpty()) << back.Messages().join(u'|').toStdString();
  EXPECT_EQ(back.Text().Text(), QStringLiteral("one two three"));
}

TEST(TextorElementContent, AppendingToARunChangesTheValueOfItsKnotInPlace) {
  // A content knot whose last child is a "Chars" without data: the text of the range joins it.
  TTextDocument doc;
  doc.Text().SetText(QStringLiteral("tail"));
  TNodePtr<TKnot> knot = MakeNode<TKnot>(QStringLiteral("LoomContent"));
  knot->SetAddedOptions(koPositionalChildren);
  TKnot *chars = knot->AddChild(QStringLiteral("Chars"));
  chars->WriteStr(QStringLiteral("Value"), QStringLiteral("head "));
  TKnotParam *value = chars->FirstParam();
  TSchemeSaver saver(fmSnapshot, knot.get(), 0);
  doc.Root().SaveContent(saver, *knot, nullptr);
  EXPECT_EQ(knot->FirstKnot(), chars);
  EXPECT_EQ(chars->NextKnot(), nullptr);
  EXPECT_EQ(chars->FirstParam(), value);
  EXPECT_EQ(value->Text(), QStringLiteral("head tail"));
  EXPECT_EQ(value->Next(), nullptr);
  EXPECT_FALSE(value->Accessed());
  EXPECT_TRUE(chars->Options() & koUniqueParams);
}

TEST(TextorElementContent, LogSignsAreLeftOutOfTheClipboardOnly) {
  TTextDocument doc;
  doc.Load(Lines({"<Quillnote>", "\t<Star/>", "\t<Chars Value=\"x\"/>", "</Quillnote>"}));
  static_cast<TVisualElement *>(doc.Root().FirstChildElement())->SetVisualOptions(voLogSign);
  TNodePtr<TKnot> knot = MakeNode<TKnot>();
  doc.Root().SaveContentKnot(*knot, fmClipboard, foClipboardCopy, nullptr);
  EXPECT_EQ(knot->GetText(), Lines({"<LoomContent FormatVersion=\"1.1\">", "\t<Chars Value=\"x\"/>", "</LoomContent>"}));
  doc.Root().SaveContentKnot(*knot, fmDocument, 0, nullptr);
  EXPECT_EQ(knot->GetText(),
            Lines({"<LoomContent FormatVersion=\"1.1\">", "\t<Star/>", "\t<Chars Value=\"x\"/>", "</LoomContent>"}));
}

TEST(TextorElementContent, TheContentKnotOfTheClipboardCarriesItsVersion) {
  TTextDocument doc;
  doc.Load(Lines({"<Quillnote>", "\t<Chars Value=\"x\"/>", "\t<Star/><Br/>", "\t<Chars Value=\"y\"/>", "</Quillnote>"}));
  TNodePtr<TKnot> knot = MakeNode<TKnot>();
  doc.Root().SaveContentKnot(*knot, fmClipboard, foClipboardCopy, nullptr);
  EXPECT_EQ(knot->GetText(), Lines({"<LoomContent FormatVersion=\"1.1\">", "\t<Chars Value=\"x\"/>",
                                    "\t<Star/><Br/>", "\t<Chars Value=\"y\"/>", "</LoomContent>"}));
  EXPECT_TRUE(knot->Options() & koPositionalChildren);
}

// Loads the data file into a text root (on a sheet or not) and saves it back through the scheme.
QByteArray Resave(const QString &source, bool onSheet) {
  std::unique_ptr<TTextDocument> doc = onSheet ? std::make_unique<TSheetDocument>() : std::make_unique<TTextDocument>();
  doc->Scheme->LoadFromFile(source);
  EXPECT_TRUE(doc->Messages().isEmpty()) << doc->Messages().join(u'|').toStdString();
  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("out.qnt"));
  doc->Scheme->SaveToFile(target, true);
  return ReadBytes(target);
}

TEST(TextorElementContent, ADataFileOfTextTabsLinksAndInlineElementsResavesByteIdentical) {
  TFakeDesktop desktop;  // the wait cursor
  const QString source = DataFile("RichText.qnt");
  for (bool onSheet : {false, true})
    EXPECT_EQ(QString::fromUtf8(Resave(source, onSheet)), QString::fromUtf8(ReadBytes(source))) << onSheet;
  EXPECT_EQ(Resave(source, true), ReadBytes(source));
}

TEST(TextorElementContent, TheShoppingListResavesWithTheSameKnots) {
  // Its frame and comment are unknown kinds here, kept as text: the knots come back, but a "Br" inside
  // them no longer stands on the line before it.
  TFakeDesktop desktop;
  const QString source = DataFile("ShoppingList.qnt");
  auto knots = [](const QByteArray &bytes) {
    TNodePtr<TKnot> knot = MakeNode<TKnot>();
    knot->LoadFromBytes(bytes);
    return knot->GetText();
  };
  const QByteArray saved = Resave(source, true);
  EXPECT_EQ(knots(saved), knots(ReadBytes(source)));
  EXPECT_TRUE(saved.startsWith("\xEF\xBB\xBF<Quillnote FormatVersion=\"1.1\">\r\n\t<Chars Value=\"Shopping list\"/><Br/>\r\n"));
  EXPECT_TRUE(saved.contains("\t</LogicFrame><Br/>\r\n\t<Comment>\r\n"));
}

TEST(TextorElementContent, TheDataFileOfShoppingListKeepsTheUnknownKindsAsUnacceptedElements) {
  TFakeDesktop desktop;
  TTextDocument doc;
  doc.Scheme->LoadFromFile(DataFile("ShoppingList.qnt"));
  ASSERT_EQ(doc.Text().ParagraphCount(), 4);
  EXPECT_EQ(PortionKinds(doc.Text().ParagraphAt(1)), "et");
  EXPECT_EQ(PortionKinds(doc.Text().ParagraphAt(2)), "e");
  EXPECT_EQ(PortionKinds(doc.Text().ParagraphAt(3)), "e");
  auto *frame = dynamic_cast<TElement_Unaccepted *>(
      static_cast<TElementPortion *>(doc.Text().ParagraphAt(2)->FirstPortion())->Element());
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->KnotName(), QStringLiteral("LogicFrame"));
  frame->Check();
  ASSERT_NE(frame->Messages(), nullptr);
  EXPECT_EQ(frame->Messages()->Items(0)->Kind, mkError);
  EXPECT_TRUE(TElementMessages::MessageText(*frame->Messages()->Items(0)).contains(QStringLiteral("\"LogicFrame\"")));
}

TEST(TextorElementContent, AnUnknownInlineElementSurvivesASnapshot) {
  TTextDocument doc;
  doc.Load(Lines({"<Quillnote>", "\t<Chars Value=\"a\"/>", "\t<Foo X=\"1\">", "\t\t<Bar/>", "\t</Foo>",
                  "\t<Chars Value=\"b\"/>", "</Quillnote>"}));
  const QString document = doc.Save();
  const QString snapshot = doc.Save(fmSnapshot, 0);
  EXPECT_TRUE(snapshot.contains(QStringLiteral("<Unaccepted ID=")));
  TTextDocument back;
  back.Load(snapshot, fmSnapshot);
  EXPECT_EQ(back.Save(), document);
  EXPECT_EQ(PortionKinds(back.Text().FirstParagraph()), "tet");
}

// A textor element with a part: its snapshot keeps the content in "Floating".
class TElement_TestPartedText : public TTextorElement {
  QN_ELEMENT_CLASS(TElement_TestPartedText)
public:
  TElement_TestPartedText() { SetTextorOptions(toInlineElements); }
  void Create() override { CreatePart<TVisualElement>(this); }
  void GetPartKnotName(TElement *, TFilerMode, QString &name) override { name = QStringLiteral("Part"); }
  void GetAcceptedClasses(TElementClassList &list) override {
    AddAcceptedClass(list, &TElement_Star::Class());
  }
};
QN_DEFINE_ELEMENT_CLASS(TElement_TestPartedText, TTextorElement)

TEST(TextorElementContent, ASnapshotOfAnElementWithPartsKeepsItsContentInFloating) {
  TScheme scheme(&TElement_TestPartedText::Class(), QStringLiteral("Quillnote"));
  auto &root = static_cast<TElement_TestPartedText &>(*scheme.Root());
  TNodePtr<TKnot> source = MakeNode<TKnot>();
  source->ParseString(Lines({"<Quillnote>", "\t<Chars Value=\"a\"/>", "\t<Star/>", "</Quillnote>"}));
  scheme.LoadFromKnot(root, fmDocument, *source);
  TNodePtr<TKnot> snapshot = MakeNode<TKnot>();
  scheme.SaveToKnot(root, fmSnapshot, *snapshot, 0);
  TKnot *floating = snapshot->FindChild(QStringLiteral("Floating"));
  ASSERT_NE(floating, nullptr);
  EXPECT_EQ(floating->FirstKnot()->Name(), QStringLiteral("Chars"));
  EXPECT_EQ(floating->FirstKnot()->NextKnot()->Name(), QStringLiteral("Star"));
  EXPECT_EQ(snapshot->FindChild(QStringLiteral("Chars")), nullptr);

  TScheme other(&TElement_TestPartedText::Class(), QStringLiteral("Quillnote"));
  auto &copy = static_cast<TElement_TestPartedText &>(*other.Root());
  other.LoadFromKnot(copy, fmSnapshot, *snapshot);
  EXPECT_EQ(PortionKinds(copy.Textor().FirstParagraph()), "te");
}

// A plain textor element (no inline elements): its text is the parameter "Value".
class TElement_TestPlainText : public TTextorElement {
  QN_ELEMENT_CLASS(TElement_TestPlainText)
};
QN_DEFINE_ELEMENT_CLASS(TElement_TestPlainText, TTextorElement)

TEST(TextorElementContent, APlainElementFilesItsTextAsValueAndLeavesChildKnotsUnread) {
  TElementMessages sink;
  TScheme scheme(&TElement_TestPlainText::Class(), QStringLiteral("Quillnote"));
  scheme.SetMessages(&sink);
  auto &root = static_cast<TTextorElement &>(*scheme.Root());
  TNodePtr<TKnot> source = MakeNode<TKnot>();
  source->ParseString(Lines({"<Quillnote Value=\"plain\">", "\t<Chars Value=\"x\"/>", "</Quillnote>"}));
  scheme.LoadFromKnot(root, fmDocument, *source);
  EXPECT_EQ(root.Textor().Text(), QStringLiteral("plain"));
  ASSERT_EQ(sink.Count(), 1);
  EXPECT_EQ(TElementMessages::MessageText(*sink.Items(0)),
            FormatString(sidNodeNotRead, {QStringLiteral("Quillnote.Chars")}));
  TNodePtr<TKnot> saved = MakeNode<TKnot>();
  scheme.SaveToKnot(root, fmDocument, *saved, 0);
  EXPECT_EQ(saved->GetText(), Lines({"<Quillnote FormatVersion=\"1.1\" Value=\"plain\"/>"}));
}

// Links read from "Elements" the way the log makes them; the log detects no links itself.
class TElement_TestLogText : public TTextorElement {
  QN_ELEMENT_CLASS(TElement_TestLogText)
public:
  TElement_TestLogText() {
    SetTextorOptions(toInlineElements | toNoNonPrinting | toUnlimitedWidth | toParentWidth | toParentHeight);
    SetContentSet(111);
  }
  void GetAcceptedClasses(TElementClassList &list) override {
    AddAcceptedClass(list, &TElement_Star::Class());
    TTextorElement::GetAcceptedClasses(list);
  }
  TTextAttributes *AttributesFromKnot(TKnot &knot) override {
    if (!knot.HasParam(QStringLiteral("Elements")))
      return nullptr;
    return HyperlinkAttributes(::DefaultTextAttributes(), QStringLiteral("E") + knot.ReadStr(QStringLiteral("Elements")));
  }
};
QN_DEFINE_ELEMENT_CLASS(TElement_TestLogText, TTextorElement)

TEST(TextorElementContent, TheLoaderTakesRunAttributesFromTheKnots) {
  TNodePtr<TSheetSettings> settings{new TSheetSettings(nullptr, QStringLiteral("Sheet"))};
  TSheet sheet(*settings);
  sheet.SetLimits(300, 0);
  TElementMessages sink;
  TScheme scheme(&TElement_TestLogText::Class(), QStringLiteral("Log"));
  scheme.SetMessages(&sink);
  auto &log = static_cast<TTextorElement &>(*scheme.Root());
  log.SetVisualParent(sheet.RootElement());
  TNodePtr<TKnot> content = MakeNode<TKnot>();
  content->ParseString(Lines({"<LoomContent>", "\t<Star/>", "\t<Chars Value=\" \"/>",
                              "\t<Chars Value=\"Element\" Elements=\"12,13\"/>",
                              "\t<Chars Value=\" not\tread http://x.y\"/>", "</LoomContent>"}));
  {
    TSchemeLoader loader(scheme, nullptr, content.get(), 0, fmDocument);
    log.LoadContent(loader, *content, log.Textor().TextEnd());
    loader.Finish();
  }
  EXPECT_EQ(PortionKinds(log.Textor().FirstParagraph()), "ettt");
  // Laid out on a sheet, the attributes stay: the log has no link detection, and no tab stops.
  EXPECT_EQ(LinkTargets(log.Textor()),
            QStringList({QString(), QString(), QStringLiteral("E12,13"), QString()}));
  EXPECT_EQ(log.Textor().Text(), QStringLiteral(" Element not\tread http://x.y"));
  EXPECT_EQ(log.Width(), 300);
  log.SetVisualParent(nullptr);
}

// ---------------------------------------------------------------------------------------------------------
// Links

TEST(TextorElementLinks, TokensAreLinksByTheirSchemeSeparatorAndLength) {
  struct TCase {
    QString Token;
    bool Link;
  };
  const TCase cases[] = {
      {QStringLiteral("http://"), false},       // nothing after the separator
      {QStringLiteral("http://a"), true},       // one character more
      {QStringLiteral("HtTpS://a"), true},      // any letter case
      {QStringLiteral("https:a.b.c.d"), false}, // a colon without the separator
      {QStringLiteral("ftp:\\\\a"), true},      // the backslash separator
      {QStringLiteral("ftp:\\a.b.c"), false},   // one backslash
      {QStringLiteral("ftp://a"), true},        // seven characters
      {QStringLiteral("url://a"), true},
      {QStringLiteral("file:\\\\x"), true},
      {QStringLiteral("mailto://x"), false},
      {QStringLiteral("xhttp://a"), false},
      {QStringLiteral("http://") + QString(2050, u'a'), true},   // 2057 characters
      {QStringLiteral("http://") + QString(2051, u'a'), false},  // 2058 characters
  };
  for (const TCase &c : cases)
    EXPECT_EQ(IsLinkToken(c.Token), c.Link) << c.Token.left(20).toStdString();
}

TEST(TextorElementLinks, LaidOutParagraphsGetLinkAttributesOverTheirTokens) {
  TSheetDocument doc;
  doc.Load(Lines({"<Quillnote>",
                  "\t<Chars Value=\"see http://a.b/c?d, &lt;ftp://x.y&gt;&quot;file:\\\\t&quot; http://\"/><Br/>",
                  "\t<Chars Value=\"http://ab\"/>", "\t<Star/>", "\t<Chars Value=\"cd http://\u4E00z\u00A0q\tnext\"/>",
                  "</Quillnote>"}));
  EXPECT_EQ(LinkTargets(doc.Text(), 0),
            QStringList({QString(), QStringLiteral("http://a.b/c?d,"), QString(), QStringLiteral("ftp://x.y"),
                         QString(), QStringLiteral("file:\\\\t"), QString()}));
  // A link ends at an inline element; characters above U+00FF (and a no-break space) do not delimit.
  EXPECT_EQ(LinkTargets(doc.Text(), 1),
            QStringList({QStringLiteral("http://ab"), QString(), QString(),
                         QStringLiteral("http://\u4E00z\u00A0q"), QString(), QString()}));
  // Link attributes are not stored: the resave equals what a plain text gives.
  EXPECT_EQ(doc.Save().count(QStringLiteral("<Chars")), 3);
}

TEST(TextorElementLinks, EditingALinkAwayRestoresPlainAttributes) {
  TSheetDocument doc;
  doc.Text().SetText(QStringLiteral("go http://x now"));
  EXPECT_EQ(LinkTargets(doc.Text()), QStringList({QString(), QStringLiteral("http://x"), QString()}));
  TParagraph *p = doc.Text().FirstParagraph();
  TTextor &t = doc.Text();
  t.DeleteRange({*t.CoordinatesToPosition({0, 3}), *t.CoordinatesToPosition({0, 4})});
  for (const QString &target : LinkTargets(doc.Text()))
    EXPECT_TRUE(target.isEmpty());
  EXPECT_EQ(p->FirstPortion()->OwnAttributes(), nullptr);
}

TEST(TextorElementLinks, WithoutASheetNoLinksAreDetected) {
  TTextDocument doc;
  doc.Text().SetText(QStringLiteral("http://x.y"));
  EXPECT_EQ(LinkTargets(doc.Text()), QStringList({QString()}));
}

TEST(TextorElementLinks, ActivatingALinkOpensItsTargetThroughTheElement) {
  TFakeDesktop Desktop;
  TSheetDocument doc;
  doc.Text().SetText(QStringLiteral("a http://example.com/x b url://y"));
  TParagraph *p = doc.Text().FirstParagraph();
  TPortion *http = p->FirstPortion()->Next();
  ASSERT_EQ(http->Attributes().LinkKind(), lkHyperlink);
  doc.Root().LinkActivated(http);
  EXPECT_EQ(Desktop.Shell.Calls, QStringList({QStringLiteral("address http://example.com/x")}));
  TPortion *other = http->Next()->Next();
  ASSERT_EQ(other->Attributes().LinkTarget(), QStringLiteral("url://y"));
  doc.Root().LinkActivated(other);
  EXPECT_EQ(Desktop.Shell.Calls.size(), 1);
  EXPECT_EQ(Desktop.Ui.Beeps, 1);
  // Without the link option nothing is opened.
  doc.Root().SetTextorOptions(doc.Root().TextorOptions() & ~toHyperlinks);
  doc.Root().LinkActivated(http);
  EXPECT_EQ(Desktop.Shell.Calls.size(), 1);
}

// ---------------------------------------------------------------------------------------------------------
// The element

TEST(TextorElement, GetTextGivesTabsLineBreaksAndTheTextOfInlineElements) {
  TTextDocument doc;
  doc.Load(Lines({"<Quillnote>", "\t<Chars Value=\"a&#9;b\"/><Br/>", "\t<Star/>", "\t<Chars Value=\"c\"/><Br/>",
                  "\t<Br/>", "\t<Chars Value=\"d\"/>", "</Quillnote>"}));
  static_cast<TElement_Star *>(doc.Root().FirstChildElement())->Label = QStringLiteral("*");
  QString text = QStringLiteral(">");
  doc.Root().GetText(text);
  EXPECT_EQ(text, QStringLiteral(">a\tb\r\n*c\r\n\r\nd"));
  // A range: from b to c.
  QString part;
  TTextor &t = doc.Text();
  doc.Root().AppendRangeText({*t.CoordinatesToPosition({0, 2}), *t.CoordinatesToPosition({1, 2})}, part);
  EXPECT_EQ(part, QStringLiteral("b\r\n*c"));
}

TEST(TextorElement, OnASheetItTakesTheSheetWidthAndGrowsWithItsText) {
  TSheetDocument doc;
  doc.Settings->IncreaseWorkspaceHeight().SetValue(false);
  TElement_TestTextRoot &root = doc.Root();
  const QMargins padding = doc.Sheet->Canvas().SkinPadding(steSheet);
  EXPECT_EQ(root.Width(), TSheetDocument::Width);
  EXPECT_EQ(doc.Text().LayoutWidth(), TSheetDocument::Width - padding.left() - padding.right());
  const int oneRow = root.Height();
  EXPECT_EQ(oneRow, doc.Text().TextHeight() + padding.top() + padding.bottom());
  EXPECT_GT(doc.Text().TextHeight(), 0);
  EXPECT_EQ(root.ContentHeight(), oneRow);
  std::int32_t asked = 0;
  EXPECT_TRUE(root.Dispatch(tenContentHeight, reinterpret_cast<TNotifyArg>(&asked)));
  EXPECT_EQ(asked, oneRow);
  // A long paragraph wraps at the layout width.
  QString words;
  for (int i = 0; i < 200; ++i)
    words += QStringLiteral("word ");
  doc.Text().SetText(words);
  EXPECT_EQ(root.Width(), TSheetDocument::Width);
  EXPECT_GT(doc.Text().FirstParagraph()->Rows().size(), 5u);
  EXPECT_EQ(root.Height(), doc.Text().TextHeight() + padding.top() + padding.bottom());
  EXPECT_EQ(root.Descent(), padding.bottom() + doc.Text().FirstParagraph()->Rows().back().Descent);
  // The fixed font of the theme.
  EXPECT_EQ(&doc.Text().FirstParagraph()->TextAttributes(), &doc.Settings->FixedAttributes());
  // A narrower sheet wraps the text again.
  const std::size_t rows = doc.Text().FirstParagraph()->Rows().size();
  doc.Sheet->SetLimits(TSheetDocument::Width / 2, 0);
  EXPECT_EQ(root.Width(), TSheetDocument::Width / 2);
  EXPECT_GT(doc.Text().FirstParagraph()->Rows().size(), rows);
  doc.Sheet->SetLimits(TSheetDocument::Width, 0);
  EXPECT_EQ(doc.Text().FirstParagraph()->Rows().size(), rows);
  // A taller sheet: the root is at least as tall.
  doc.Sheet->SetLimits(TSheetDocument::Width, 5000);
  EXPECT_EQ(root.Height(), 5000);
}

TEST(TextorElement, IncreasedWorkspaceHeightAddsTheRoomBelowTheLastRow) {
  TSheetDocument doc;
  doc.Settings->IncreaseWorkspaceHeight().SetValue(true);
  doc.Sheet->SetLimits(TSheetDocument::Width, 300);
  doc.Text().SetText(QStringLiteral("a\r\nb"));
  const QMargins padding = doc.Sheet->Canvas().SkinPadding(steSheet);
  const int last = doc.Text().LastParagraph()->Rows().back().Height();
  EXPECT_EQ(doc.Root().Height(),
            std::max(300, doc.Text().TextHeight() + (300 - last - padding.top() - padding.bottom()) +
                              padding.top() + padding.bottom()));
}

TEST(TextorElement, SizeLimitsFollowTheOptions) {
  TSheetDocument doc;
  struct TCase {
    std::uint32_t Options;
    std::int32_t MinWidth, MaxWidth, MinHeight;
  };
  const TCase cases[] = {
      {0, 10, TSheetDocument::Width, 0},
      {toMinWidth30 | toMaxWidth480 | toMinHeight60, 30, 480, 60},
      {toMinWidth240 | toMaxWidth720 | toMinHeight120, 240, 720, 120},
      {toMinWidth480 | toMaxWidth960 | toMinHeight240, 480, 960, 240},
      {toParentWidth | toUnlimitedWidth | toParentHeight, TSheetDocument::Width, kUnlimitedWidth, 0},
      {toMaxWidth240, 10, 240, 0},
  };
  for (const TCase &c : cases) {
    doc.Root().SetTextorOptions(c.Options);
    std::int32_t minWidth = -1, maxWidth = -1, minHeight = -1;
    doc.Root().GetSizeLimits(minWidth, maxWidth, minHeight);
    EXPECT_EQ(minWidth, c.MinWidth) << c.Options;
    EXPECT_EQ(maxWidth, c.MaxWidth) << c.Options;
    EXPECT_EQ(minHeight, c.MinHeight) << c.Options;
  }
}

// An element of the root's text holding a delegating textor part, like a frame's content.
class TDelegatingText : public TTextorElement {
  QN_ELEMENT_CLASS(TDelegatingText)
public:
  TDelegatingText() { SetTextorOptions(toDelegate | toMinWidth30); }
};
QN_DEFINE_ELEMENT_CLASS(TDelegatingText, TTextorElement)

class TElement_TestFrame : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_TestFrame)
public:
  TDelegatingText *Content = nullptr;
  void Create() override { Content = CreatePart<TDelegatingText>(this); }
};
QN_DEFINE_ELEMENT_CLASS(TElement_TestFrame, TVisualElement)

TEST(TextorElement, ADelegatingPartTakesOptionsContentSetAndClassesFromTheOwnerOfItsContainer) {
  TTextDocument doc;
  doc.Root().SetContentSet(0x3F);
  auto *frame = CreateElement<TElement_TestFrame>(doc.Scheme.get(), &doc.Root());
  TDelegatingText &content = *frame->Content;
  EXPECT_EQ(content.DelegationTarget(), &doc.Root());
  EXPECT_EQ(content.TextorOptions(),
            toDelegate | toMinWidth30 | (TElement_TestTextRoot::RootOptions & toDelegatedMask));
  EXPECT_EQ(content.ContentSet(), 0x3Fu);
  TElementClassList classes;
  content.GetAcceptedClasses(classes);
  EXPECT_NE(std::find(classes.begin(), classes.end(), &TElement_Star::Class()), classes.end());
  // Outside a textor the content set is everything.
  TNodePtr<TElement_TestFrame> loose{CreateElement<TElement_TestFrame>(doc.Scheme.get(), nullptr)};
  EXPECT_EQ(loose->Content->ContentSet(), csAll);
  EXPECT_EQ(loose->Content->DelegationTarget(), nullptr);
}

// Counts its content changes.
class TCountingText : public TTextorElement {
  QN_ELEMENT_CLASS(TCountingText)
public:
  int Changes = 0;
  void ContentChanged() override {
    ++Changes;
    TTextorElement::ContentChanged();
  }
};
QN_DEFINE_ELEMENT_CLASS(TCountingText, TTextorElement)

// The insertion item of the test star, registered once in a group of its own.
TElementPaletteItem *StarItem() {
  static TElementPaletteItem *item = [] {
    TPaletteGroup *group = CreatePaletteGroup(Palette(), 0, 1);
    return CreatePaletteItem<TElementPaletteItem>(*group, std::uint16_t(0), -1, 0, 0, TElement_Star::Class(), 1);
  }();
  return item;
}

TEST(TextorElement, ADelegatingPartOffersAndRunsItsTargetsCommandsBeforeItsOwn) {
  TElementPaletteItem *star = StarItem();
  TDisablePaletteItem *disable = FrameworkPalette().Disable;
  TTextDocument doc;
  doc.Root().SetVisualOptions(doc.Root().VisualOptions() | voCanDisable);
  auto *frame = CreateElement<TElement_TestFrame>(doc.Scheme.get(), &doc.Root());
  TDelegatingText &content = *frame->Content;

  TPaletteItemList rootItems, contentItems;
  doc.Root().GetPaletteItems(rootItems);
  EXPECT_EQ(rootItems, TPaletteItemList({disable, star}));
  content.GetPaletteItems(contentItems);
  EXPECT_EQ(contentItems, TPaletteItemList({disable, star}));

  // The Disabled item, executed on the part, is handled by the target first.
  ExecutePaletteItemOn(content, *disable, true);
  EXPECT_TRUE(doc.Root().IsDisabledOwn());
  EXPECT_FALSE(content.IsDisabledOwn());
  // An element that does not delegate handles it only with the option to be disabled.
  TTextDocument other;
  ExecutePaletteItemOn(other.Root(), *disable, true);
  EXPECT_FALSE(other.Root().IsDisabledOwn());
}

TEST(TextorElement, EachOutermostContentChangeValidatesOnce) {
  TScheme scheme(&TCountingText::Class(), QStringLiteral("Quillnote"));
  auto &text = static_cast<TCountingText &>(*scheme.Root());
  text.Textor().SetText(QStringLiteral("abc\r\ndef"));
  EXPECT_EQ(text.Changes, 1);
  EXPECT_TRUE(text.IsFilledState());
  EXPECT_FALSE(text.IsEmptyState());
  text.Textor().Clear();
  EXPECT_EQ(text.Changes, 2);
  EXPECT_FALSE(text.IsFilledState());
  EXPECT_TRUE(text.IsEmptyState());
  // A default text counts as empty.
  text.SetDefaultText(QStringLiteral("none"));
  text.Textor().SetText(QStringLiteral("none"));
  EXPECT_TRUE(text.IsEmptyState());
  EXPECT_TRUE(text.IsFilledState());
}

TEST(TextorElement, FreeingTheTreeOrAnInlineElementLeavesNoDanglingPortion) {
  const int alive = TElement_Star::Alive;
  {
    TTextDocument doc;
    doc.Load(Lines({"<Quillnote>", "\t<Star/>", "\t<Foo/>", "\t<Chars Value=\"x\"/>", "\t<Star/>", "</Quillnote>"}));
    EXPECT_EQ(TElement_Star::Alive, alive + 2);
    EXPECT_EQ(PortionKinds(doc.Text().FirstParagraph()), "eete");
    doc.Root().FirstChildElement()->Free();
    EXPECT_EQ(PortionKinds(doc.Text().FirstParagraph()), "ete");
    doc.Root().FirstChildElement()->Free();  // the unaccepted one
    EXPECT_EQ(PortionKinds(doc.Text().FirstParagraph()), "te");
    EXPECT_EQ(TElement_Star::Alive, alive + 1);
  }
  EXPECT_EQ(TElement_Star::Alive, alive);
}

TEST(TextorElement, AnInlineElementThatGrowsMakesItsRowTaller) {
  TSheetDocument doc;
  doc.Settings->IncreaseWorkspaceHeight().SetValue(false);
  doc.Load(Lines({"<Quillnote>", "\t<Chars Value=\"a\"/>", "\t<Star/><Br/>", "\t<Chars Value=\"b\"/>", "</Quillnote>"}));
  auto *star = static_cast<TElement_Star *>(doc.Root().FirstChildElement());
  const int height = doc.Root().Height();
  const int secondTop = doc.Text().LastParagraph()->Top();
  star->SetBounds(star->Left(), star->Top(), 0, 60, 16);
  const TRow &row = doc.Text().FirstParagraph()->Rows().front();
  EXPECT_EQ(row.Ascent, 61);  // with the top inline margin
  EXPECT_EQ(doc.Text().LastParagraph()->Top(), row.Bottom);
  EXPECT_EQ(doc.Root().Height(), height + row.Bottom - secondTop);
  EXPECT_EQ(star->Top() + star->Height(), row.Baseline() + doc.Sheet->Canvas().SkinPadding(steSheet).top());
}

TEST(TextorElement, FocusDataReadsAndSetsTheSelection) {
  TSheetDocument doc;
  doc.Text().SetText(QStringLiteral("ab\r\ncd"));
  doc.Root().SetFocus(true, true, QStringLiteral("0,1,1,2"), nullptr, nullptr);
  QString data;
  doc.Root().GetFocusData(data);
  EXPECT_EQ(data, QStringLiteral("0,1,1,2"));
  EXPECT_EQ(doc.Sheet->Focused(), &doc.Root());
  // A range that does not convert leaves the selection; malformed numbers count as 0.
  doc.Root().SetFocus(true, true, QStringLiteral("0,1,7,2"), nullptr, nullptr);
  doc.Root().GetFocusData(data);
  EXPECT_EQ(data, QStringLiteral("0,1,1,2"));
  doc.Root().SetFocus(true, true, QStringLiteral("x,1"), nullptr, nullptr);
  doc.Root().GetFocusData(data);
  EXPECT_EQ(data, QStringLiteral("0,1,0,0"));
  doc.Root().SetFocus(true, false, QString(), nullptr, nullptr);
  doc.Root().GetFocusData(data);
  EXPECT_EQ(data, QStringLiteral("1,2,1,2"));
  doc.Root().Activate();
  doc.Root().GetFocusData(data);
  EXPECT_EQ(data, QStringLiteral("0,0,1,2"));
  // Focused by keyboard navigation from elsewhere, it selects its whole text as well.
  doc.Sheet->SetFocus(nullptr);
  doc.Root().Activate();
  EXPECT_EQ(doc.Sheet->Focused(), &doc.Root());
  doc.Root().GetFocusData(data);
  EXPECT_EQ(data, QStringLiteral("0,0,1,2"));
  // A point places the caret at the text there: right of everything in the second row.
  const QMargins padding = doc.Sheet->Canvas().SkinPadding(steSheet);
  const QPoint point(TSheetDocument::Width - 2, padding.top() + doc.Text().TextHeight() - 1);
  doc.Root().SetFocus(true, true, QString(), nullptr, &point);
  doc.Root().GetFocusData(data);
  EXPECT_EQ(data, QStringLiteral("1,2,1,2"));
}

TEST(TextorElement, TheCursorIsTheTextBeamOfItsKindOfContent) {
  struct Case {
    std::uint32_t contentSet, options;
    std::uint16_t visualOptions;
    int cursor;
  } cases[] = {
      {csAll, 0, 0, crTextorContainerTextBeam},
      {csAll, TElement_TestTextRoot::RootOptions, 0, crTextorContainerTextBeam},
      {csTabs | csParagraphBreaks, 0, 0, crTextorContainerTextBeam},
      {csParagraphBreaks, 0, 0, crTextorContainerBeam},
      {csTextMask, 0, 0, crTextorFieldBeam},
      {csTextMask, toInlineElements, 0, crTextorFieldElementsBeam},
      {csAll, toInlineElements, voHasDropDown, crTextorFieldDropDownBeam},
  };
  for (const Case &c : cases) {
    TTextDocument doc;
    doc.Root().SetContentSet(c.contentSet);
    doc.Root().SetTextorOptions(c.options);
    doc.Root().SetVisualOptions(doc.Root().VisualOptions() | c.visualOptions);
    EXPECT_EQ(doc.Root().GetCursor(QPoint(3, 3)), c.cursor) << c.contentSet << " " << c.options;
  }
  // The ids the window layer registers the cursor images under.
  EXPECT_EQ(crTextorFieldBeam, 10);
  EXPECT_EQ(crTextorDragCopy, 17);
}

TEST(TextorElement, IdentifierWordsSplitWhereWordAndOtherCharactersMeet) {
  struct Rule {
    int a, b;
    bool plain, identifier;
  } rules[] = {{'a', 'b', true, true},   {'a', '_', true, true},    {'a', ' ', true, false},
               {' ', 'a', false, false}, {' ', ' ', true, true},    {'.', ' ', true, true},
               {' ', '.', false, true},  {'a', '.', false, false},  {'.', ',', true, true},
               {'a', -1, false, false},  {-1, -1, false, false},    {0x3B1, '1', true, true}};
  TTextDocument doc;
  for (bool identifier : {false, true}) {
    doc.Root().SetTextorOptions(identifier ? toIdentifierWords : 0);
    for (const Rule &r : rules)
      EXPECT_EQ(doc.Text().SameWord(r.a, r.b), identifier ? r.identifier : r.plain)
          << r.a << " " << r.b << (identifier ? " identifier" : " plain");
  }
  // A word then ends before the spaces that follow it.
  doc.Text().SetText(QStringLiteral("ab  cd"));
  const TTextPosition start = doc.Text().TextStart();
  EXPECT_EQ(doc.Text().PositionToCoordinates(doc.Text().WordEndAfter(start)).Offset, 2);
  doc.Root().SetTextorOptions(0);
  EXPECT_EQ(doc.Text().PositionToCoordinates(doc.Text().WordEndAfter(start)).Offset, 4);
}

TEST(TextorElement, APlainEnterIsConsumedAndCtrlEnterPassesOn) {
  TTextDocument doc;
  int key = Qt::Key_Return;
  doc.Root().KeyDown(key, Qt::NoModifier);
  EXPECT_EQ(key, 0);
  key = Qt::Key_Return;
  doc.Root().KeyDown(key, Qt::ControlModifier);
  EXPECT_EQ(key, Qt::Key_Return);
  char16_t ch = u'\r';
  doc.Root().KeyPress(ch);
  EXPECT_EQ(ch, u'\r');  // no list
}

TEST(TextorElement, PaintsItsTextAndItsInlineElements) {
  // A star that fills itself, to see it painted by its portion.
  TSheetDocument doc;
  doc.Load(Lines({"<Quillnote>", "\t<Chars Value=\"WWWW\"/>", "\t<Star/>", "</Quillnote>"}));
  auto *star = static_cast<TElement_Star *>(doc.Root().FirstChildElement());
  star->Fill = 0x000000FF;  // red
  QImage image(QSize(TSheetDocument::Width, doc.Root().Height()), QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  doc.Sheet->Paint(&painter, QRect(QPoint(0, 0), image.size()), pfNoCaret);
  painter.end();
  const QMargins padding = doc.Sheet->Canvas().SkinPadding(steSheet);
  // Some dark text pixels lie left of the star.
  int dark = 0;
  for (int y = padding.top(); y < star->Top() + star->Height(); ++y)
    for (int x = padding.left(); x < star->Left(); ++x)
      if (qGray(image.pixel(x, y)) < 100)
        ++dark;
  EXPECT_GT(dark, 10);
  EXPECT_EQ(image.pixel(star->Left() + 8, star->Top() + 8), qRgb(255, 0, 0));
  EXPECT_EQ(star->Paints, 1);  // by its portion only, not again as an ordinary child
  EXPECT_GT(star->Left(), padding.left());
  EXPECT_GE(star->Top(), padding.top());
}

// A document on a sheet searched by the sheet's walk (under the fake desktop's wait cursor), the root
// focused and the search kept inside it.
struct TFindDocument : TSheetDocument {
  TFakeDesktop Desktop;
  TFindData Data;
  TFindDocument() {
    Data.Scope = &Root();
    Sheet->SetFocus(&Root());
  }
  // Find with `text` in `mode`; answers the selection afterwards as focus data, "-" when nothing was found.
  QString Find(const char *text, TFindMode mode = fmFind, bool forward = true) {
    Data.FindText = QString::fromUtf8(text);
    if (!Sheet->Find(mode, Data, forward))
      return QStringLiteral("-");
    return Selection();
  }
  QString Selection() {
    QString data;
    Root().GetFocusData(data);
    return data;
  }
  void Select(const char *focusData) {
    Root().SetFocus(true, true, QString::fromUtf8(focusData), nullptr, nullptr);
  }
};

TEST(TextorElementFind, FindNextWalksSuccessiveMatchesForwardAndBackward) {
  TFindDocument doc;
  doc.Text().SetText(QStringLiteral("a two b\r\nTwo\r\nc two"));
  EXPECT_EQ(doc.Find("two"), QStringLiteral("0,2,0,5"));
  EXPECT_EQ(doc.Find("two"), QStringLiteral("1,0,1,3"));
  EXPECT_EQ(doc.Find("two"), QStringLiteral("2,2,2,5"));
  EXPECT_EQ(doc.Find("two"), QStringLiteral("-"));
  EXPECT_EQ(doc.Selection(), QStringLiteral("2,2,2,5"));  // a failed search leaves the selection
  EXPECT_EQ(doc.Sheet->Focused(), &doc.Root());
  EXPECT_EQ(doc.Find("two", fmFind, false), QStringLiteral("1,0,1,3"));
  EXPECT_EQ(doc.Find("two", fmFind, false), QStringLiteral("0,2,0,5"));
  EXPECT_EQ(doc.Find("two", fmFind, false), QStringLiteral("-"));
  // A match spanning a paragraph break is no match: stretches do not cross paragraphs.
  EXPECT_EQ(doc.Find("bTwo"), QStringLiteral("-"));
}

TEST(TextorElementFind, ModesPassOverOrFindAgainTheSelection) {
  struct Case {
    const char *selection;
    TFindMode mode;
    bool forward;
    const char *found;
  } cases[] = {
      // The selection is a match.
      {"0,2,0,5", fmFind, true, "0,6,0,9"},
      {"0,2,0,5", fmAfterReplace, true, "0,6,0,9"},
      {"0,2,0,5", fmReplace, true, "0,2,0,5"},
      {"0,6,0,9", fmFind, false, "0,2,0,5"},
      {"0,6,0,9", fmAfterReplace, false, "0,2,0,5"},
      {"0,6,0,9", fmReplace, false, "0,6,0,9"},
      // A selection that is no match is searched too on Find, passed over after a replacement.
      {"0,0,0,5", fmFind, true, "0,2,0,5"},
      {"0,0,0,5", fmAfterReplace, true, "0,6,0,9"},
      {"0,4,0,9", fmFind, false, "0,6,0,9"},
      {"0,6,0,10", fmAfterReplace, false, "0,2,0,5"},
      // A caret: searched from it.
      {"0,3,0,3", fmFind, true, "0,6,0,9"},
      {"0,3,0,3", fmFind, false, "-"},
      {"0,7,0,7", fmFind, false, "0,2,0,5"},
  };
  for (const Case &c : cases) {
    TFindDocument doc;
    doc.Text().SetText(QStringLiteral("x two two y"));
    doc.Select(c.selection);
    EXPECT_EQ(doc.Find("two", c.mode, c.forward), QString::fromUtf8(c.found))
        << c.selection << " mode " << int(c.mode) << (c.forward ? " forward" : " backward");
  }
}

TEST(TextorElementFind, MatchCaseTellsTheLettersApart) {
  TFindDocument doc;
  doc.Text().SetText(QStringLiteral("TWO Two two"));
  doc.Data.MatchCase = true;
  EXPECT_EQ(doc.Find("two"), QStringLiteral("0,8,0,11"));
  EXPECT_EQ(doc.Find("Two", fmFind, false), QStringLiteral("0,4,0,7"));
  doc.Data.MatchCase = false;
  EXPECT_EQ(doc.Find("two", fmFind, false), QStringLiteral("0,0,0,3"));
}

TEST(TextorElementFind, NoMatchReportsCouldNotFind) {
  TFindDocument doc;
  doc.Text().SetText(QStringLiteral("one\r\ntwo"));
  EXPECT_EQ(doc.Find("three"), QStringLiteral("-"));
  doc.Data.NotFound();  // as the Find command does on failure
  EXPECT_TRUE(doc.Sheet->RevealOnFocus());
  // Replace reports it itself.
  doc.Sheet->Replace(doc.Data, QStringLiteral("four"), false, true);
  ASSERT_EQ(doc.Desktop.Ui.Boxes.size(), 2);
  for (const TShownBox &box : doc.Desktop.Ui.Boxes) {
    EXPECT_EQ(box.Text, QStringLiteral("Could not find \"three\"."));
    EXPECT_EQ(box.Flags & mbIconMask, mbIconInformation);
  }
  EXPECT_EQ(doc.Text().Text(), QStringLiteral("one\r\ntwo"));
}

TEST(TextorElementFind, AnUnfocusedElementIsSearchedFromItsEdgeAndTakesTheFocus) {
  TFindDocument doc;
  doc.Text().SetText(QStringLiteral("ab ab\r\nab"));
  doc.Select("0,1,0,1");
  doc.Sheet->SetFocus(nullptr);
  doc.Data.FindText = QStringLiteral("ab");
  for (bool forward : {true, false}) {
    doc.Sheet->SetFocus(nullptr);
    TVisualElement *fromChild = nullptr;
    TVisualElement *next = nullptr;
    EXPECT_TRUE(doc.Root().FindFocusTarget(fmFind, doc.Data, fromChild, next, forward));
    EXPECT_EQ(doc.Sheet->Focused(), &doc.Root());
    EXPECT_EQ(doc.Selection(), forward ? QStringLiteral("0,0,0,2") : QStringLiteral("1,0,1,2"));
  }
}

TEST(TextorElementFind, AFocusableInlineElementIsVisitedOnTheWay) {
  TFindDocument doc;
  doc.Load(Lines({"<Quillnote>", "\t<Chars Value=\"two \"/>", "\t<Star/>", "\t<Chars Value=\" two\"/>",
                  "</Quillnote>"}));
  auto *star = static_cast<TElement_Star *>(doc.Root().FirstChildElement());
  // Not focusable, the star is passed over like a character that matches nothing.
  EXPECT_EQ(doc.Find("two"), QStringLiteral("0,0,0,3"));
  EXPECT_EQ(doc.Find("two"), QStringLiteral("0,6,0,9"));
  EXPECT_EQ(doc.Find("two", fmFind, false), QStringLiteral("0,0,0,3"));
  star->SetVisualOptions(voFocusable);
  doc.Select("0,1,0,1");
  TVisualElement *fromChild = star;
  TVisualElement *next = nullptr;
  doc.Data.FindText = QStringLiteral("two");
  EXPECT_FALSE(doc.Root().FindFocusTarget(fmFind, doc.Data, fromChild, next, true));
  EXPECT_EQ(next, star);
  EXPECT_EQ(fromChild, nullptr);
  // The walk goes through the star and comes back after it.
  EXPECT_EQ(doc.Find("two"), QStringLiteral("0,6,0,9"));
  EXPECT_EQ(doc.Sheet->Focused(), &doc.Root());
  EXPECT_EQ(doc.Find("two", fmFind, false), QStringLiteral("0,0,0,3"));
}

}  // namespace

#include "plElements.h"

#include "cuKnot.h"
#include "cuLocalization.h"
#include "cuStrings.h"
#include "cuUndoRedo.h"
#include "diCanvas.h"
#include "diCommonElements.h"
#include "diFind.h"
#include "diSheet.h"
#include "diSheetSettings.h"
#include "testFakes.h"
#include "testSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The kinds of the portions of one paragraph, as letters: t text, b tab stops, e an element.
QString PortionKinds(const TParagraph &paragraph) {
  QString kinds;
  for (TPortion *p = paragraph.FirstPortion(); p; p = p->Next())
    kinds += p->Kind() == TPortionKind::Text ? u't' : p->Kind() == TPortionKind::TabStops ? u'b' : u'e';
  return kinds;
}

class PlainDocument : public ::testing::Test {
protected:
  QString Path(const char *name) const { return FDir.filePath(QString::fromUtf8(name)); }
  QString File(const char *name, const QByteArray &bytes) const {
    WriteFileBytes(Path(name), bytes);
    return Path(name);
  }
  // The document saved as the data file is written.
  static QByteArray Saved(TPlainDocumentSchemes &document) {
    TNodePtr<TKnot> knot = MakeNode<TKnot>();
    document.Document->SaveToKnot(*document.Document->Root(), fmDocument, *knot, foDocumentSave);
    return knot->ToBytes(teUtf8);
  }
  static QStringList LogTexts(TPlainDocumentSchemes &document) {
    QStringList texts;
    TElementMessages &log = document.LogRoot().Messages();
    for (int i = 0; i < log.Count(); ++i)
      texts.append(TElementMessages::MessageText(*log.Items(i)));
    return texts;
  }
  TFakeDesktop FDesktop;
  QTemporaryDir FDir;
};

TEST_F(PlainDocument, TheRootIsATextRootOfTheWholeSheet) {
  TPlainDocumentSchemes document = OpenPlainDocument(Path("none.qnt"));
  TPlainRoot &root = document.Root();
  EXPECT_EQ(document.Document->RootName(), QStringLiteral("Quillnote"));
  EXPECT_EQ(root.TextorOptions(), 0x22012005u);
  EXPECT_EQ(root.ContentSet(), 127u);
  EXPECT_TRUE(document.Log->ReadOnly());
  EXPECT_FALSE(document.Document->ReadOnly());
  EXPECT_EQ(document.Document->Messages(), &document.LogRoot().Messages());
  EXPECT_EQ(document.Log->RootName(), QString());
}

TEST_F(PlainDocument, AcceptsTheSignsFirstThenWhatEveryTextAccepts) {
  TPlainDocumentSchemes document = OpenPlainDocument(Path("none.qnt"));
  TElementClassList accepted;
  document.Root().GetAcceptedClasses(accepted);
  const TElementClassList signs = {&TElement_Star::Class(),      &TElement_Information::Class(),
                                   &TElement_Question::Class(),  &TElement_Important::Class(),
                                   &TElement_Stop::Class(),      &TElement_Ready::Class()};
  ASSERT_GE(accepted.size(), signs.size());
  EXPECT_EQ(TElementClassList(accepted.begin(), accepted.begin() + 6), signs);
  TElementClassList textOwn;
  TClassesGroups::Instance().AddGroupClasses(cgBlockElements, textOwn);
  TClassesGroups::Instance().AddGroupClasses(2, textOwn);
  EXPECT_EQ(TElementClassList(accepted.begin() + 6, accepted.end()), textOwn);
}

TEST_F(PlainDocument, AMissingFileIsAnEmptyDocumentUnderThatName) {
  TUndoRedo undoRedo;
  TPlainDocumentSchemes document = OpenPlainDocument(Path("new.qnt"), &undoRedo);
  EXPECT_TRUE(document.Root().Textor().IsEmpty());
  EXPECT_EQ(document.Document->FileName(), Path("new.qnt"));
  EXPECT_EQ(document.Document->UndoRedo(), &undoRedo);
  EXPECT_TRUE(LogTexts(document).isEmpty());
  // The first save creates it: top knot and format version only, no content children.
  document.Document->SaveToFile(Path("new.qnt"), false);
  EXPECT_EQ(ReadFileBytes(Path("new.qnt")), QByteArray("\xEF\xBB\xBF<Quillnote FormatVersion=\"1.1\"/>\r\n"));
}

TEST_F(PlainDocument, AFileThatExistsButCannotBeReadPassesTheErrorOn) {
  // A folder by the data file's name exists and cannot be read as a file.
  ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("data.qnt")));
  EXPECT_THROW(OpenPlainDocument(Path("data.qnt")), EException);
}

TEST_F(PlainDocument, TheShoppingListExampleLoadsAndResavesWithTheSameKnots) {
  const QByteArray golden = ReadFileBytes(QN_FIXTURE("shopping.qnt"));
  TPlainDocumentSchemes document = OpenPlainDocument(File("shopping.qnt", golden));
  TTextor &text = document.Root().Textor();
  ASSERT_EQ(text.ParagraphCount(), 4);
  EXPECT_EQ(PortionKinds(*text.ParagraphAt(0)), QStringLiteral("t"));
  EXPECT_EQ(PortionKinds(*text.ParagraphAt(1)), QStringLiteral("et"));
  EXPECT_EQ(PortionKinds(*text.ParagraphAt(2)), QStringLiteral("e"));
  EXPECT_EQ(PortionKinds(*text.ParagraphAt(3)), QStringLiteral("e"));
  auto element = [&](int paragraph) {
    return static_cast<TElementPortion *>(text.ParagraphAt(paragraph)->FirstPortion())->Element();
  };
  EXPECT_EQ(element(1)->GetClass().TypeName(), QStringLiteral("Star"));
  // Logic frames and comments have no kind yet: they are kept as they were.
  EXPECT_TRUE(element(2)->Options() & efUnaccepted);
  EXPECT_TRUE(element(3)->Options() & efUnaccepted);
  EXPECT_TRUE(LogTexts(document).isEmpty()) << LogTexts(document).join(u'\n').toStdString();
  // The same knots: what the root writes itself comes out byte for byte; inside the kept elements a "Br"
  // read back from text starts a line of its own, which the text form does not tell apart.
  const QByteArray saved = Saved(document);
  EXPECT_EQ(saved.left(golden.indexOf("\t<LogicFrame")), golden.left(golden.indexOf("\t<LogicFrame")));
  TNodePtr<TKnot> expected = MakeNode<TKnot>(), actual = MakeNode<TKnot>();
  expected->LoadFromBytes(golden);
  actual->LoadFromBytes(saved);
  EXPECT_EQ(actual->GetText(), expected->GetText());
}

TEST_F(PlainDocument, CharsStarCharsBrCharsIsTwoParagraphsWithTheStarInTheFirst) {
  TPlainDocumentSchemes document = OpenPlainDocument(File(
      "star.qnt", "<Quillnote FormatVersion=\"1.1\"><Chars Value=\"a \"/><Star/><Chars Value=\" b\"/><Br/>"
                  "<Chars Value=\"c\"/></Quillnote>"));
  TTextor &text = document.Root().Textor();
  ASSERT_EQ(text.ParagraphCount(), 2);
  EXPECT_EQ(PortionKinds(*text.ParagraphAt(0)), QStringLiteral("tet"));
  EXPECT_EQ(PortionKinds(*text.ParagraphAt(1)), QStringLiteral("t"));
  auto *star = static_cast<TElementPortion *>(text.ParagraphAt(0)->FirstPortion()->Next())->Element();
  EXPECT_EQ(&star->GetClass(), &TElement_Star::Class());
  EXPECT_EQ(star->OwnerElement(), &document.Root());
}

TEST_F(PlainDocument, ADamagedFileLoadsAsFarAsItCanAndTheLogSaysSoFirst) {
  TPlainDocumentSchemes document =
      OpenPlainDocument(File("bad.qnt", "<Quillnote FormatVersion=\"1.1\"><Chars Value=\"kept\"/><Chars Val"));
  const QStringList log = LogTexts(document);
  ASSERT_FALSE(log.isEmpty());
  EXPECT_EQ(log[0], QStringLiteral("Data provided are corrupt"));
  EXPECT_EQ(document.Root().Textor().Text(), QStringLiteral("kept"));
}

TEST_F(PlainDocument, AnUnknownElementIsKeptAndComplainsAboutItselfNotInTheLog) {
  const QByteArray file = "\xEF\xBB\xBF<Quillnote FormatVersion=\"1.1\">\r\n\t<Chars Value=\"x\"/>\r\n"
                          "\t<Gadget Size=\"3\">\r\n\t\t<Part/>\r\n\t</Gadget>\r\n</Quillnote>\r\n";
  TPlainDocumentSchemes document = OpenPlainDocument(File("gadget.qnt", file));
  EXPECT_TRUE(LogTexts(document).isEmpty());
  TElement *gadget = document.Root().FirstChildElement();
  ASSERT_NE(gadget, nullptr);
  ASSERT_NE(gadget->Messages(), nullptr);
  ASSERT_EQ(gadget->Messages()->Count(), 1);
  EXPECT_EQ(gadget->Messages()->Items(0)->Kind, mkError);
  EXPECT_EQ(TElementMessages::MessageText(*gadget->Messages()->Items(0)),
            FormatString(sidUnsupportedElement, {QStringLiteral("Gadget")}).remove(u'[').remove(u']'));
  EXPECT_EQ(Saved(document), file);
}

TEST_F(PlainDocument, WrittenTextWithTabsLinksAndSignsReadsBackAndWritesTheSameBytes) {
  TPlainDocumentSchemes document = OpenPlainDocument(Path("none.qnt"));
  TPlainRoot &root = document.Root();
  TTextor &text = root.Textor();
  text.InsertText(text.TextEnd(), u"see https://example.org/a\tand ftp://x.y\r\nnext", nullptr);
  auto *sign = static_cast<TVisualElement *>(
      CreateElement(TElement_Ready::Class(), document.Document.get(), &root, nullptr));
  sign->SetVisualParent(&root);
  text.InsertElement(text.TextEnd(), sign, nullptr);
  const QByteArray first = Saved(document);
  EXPECT_EQ(first, QByteArray("\xEF\xBB\xBF<Quillnote FormatVersion=\"1.1\">\r\n"
                              "\t<Chars Value=\"see https://example.org/a&#9;and ftp://x.y\"/><Br/>\r\n"
                              "\t<Chars Value=\"next\"/>\r\n\t<Ready/>\r\n</Quillnote>\r\n"));
  TPlainDocumentSchemes again = OpenPlainDocument(File("again.qnt", first));
  EXPECT_EQ(Saved(again), first);
  EXPECT_EQ(PortionKinds(*again.Root().Textor().ParagraphAt(0)), QStringLiteral("tbt"));
}

// A document shown on a 640-pixel sheet, taken off it again before the sheet goes.
struct TOnSheet {
  explicit TOnSheet(TPlainDocumentSchemes document) : Document(std::move(document)) {
    Sheet.SetLimits(640, 0);
    Root().SetVisualParent(Sheet.RootElement());
  }
  ~TOnSheet() { Root().SetVisualParent(nullptr); }
  TPlainRoot &Root() const { return Document.Root(); }

  TPlainDocumentSchemes Document;
  TNodePtr<TSheetSettings> Settings{new TSheetSettings(nullptr, QStringLiteral("Sheet"))};
  TSheet Sheet{*Settings};
};

TEST_F(PlainDocument, OnASheetItTakesThePaddingOfTheSheetSkinAndFillsTheWidth) {
  TOnSheet onSheet(OpenPlainDocument(Path("none.qnt")));
  TSheet &sheet = onSheet.Sheet;
  TPlainRoot &root = onSheet.Root();
  QMargins padding;
  root.GetPadding(padding);
  EXPECT_EQ(padding, sheet.Canvas().SkinPadding(steSheet));
  EXPECT_EQ(root.Width(), 640);
}

TEST_F(PlainDocument, TheTextCursorShowsOverASign) {
  TOnSheet onSheet(OpenPlainDocument(File(
      "sign.qnt", "<Quillnote FormatVersion=\"1.1\"><Chars Value=\"a \"/><Information/><Chars Value=\" b\"/>"
                  "</Quillnote>")));
  TSheet &sheet = onSheet.Sheet;
  TPlainRoot &root = onSheet.Root();
  auto *sign = static_cast<TVisualElement *>(root.FirstChildElement());
  ASSERT_EQ(&sign->GetClass(), &TElement_Information::Class());
  const QPoint centre = sign->ToSheet(QPoint(sign->Width() / 2, sign->Height() / 2));
  sheet.MouseMove(centre, Qt::NoModifier);
  EXPECT_EQ(sheet.Hot(), sign);
  EXPECT_EQ(sheet.CursorId(), crTextorContainerTextBeam);
  sheet.MouseMove(root.ToSheet(QPoint(2, 2)), Qt::NoModifier);
  EXPECT_EQ(sheet.Hot(), &root);
  EXPECT_EQ(sheet.CursorId(), crTextorContainerTextBeam);
}

TEST_F(PlainDocument, FindNextGoesFromMatchToMatchPastTheSigns) {
  TOnSheet onSheet(OpenPlainDocument(File(
      "find.qnt", "<Quillnote FormatVersion=\"1.1\"><Chars Value=\"milk \"/><Stop/><Chars Value=\" Milk\"/><Br/>"
                  "<Chars Value=\"bread\"/><Br/><Ready/><Chars Value=\"milk\"/></Quillnote>")));
  TSheet &sheet = onSheet.Sheet;
  TPlainRoot &root = onSheet.Root();
  sheet.SetFocus(&root);
  TFindData data;
  data.Scope = &root;
  data.FindText = QStringLiteral("milk");
  QStringList found;
  QString selection;
  while (sheet.Find(fmFind, data, true)) {
    root.GetFocusData(selection);
    found << selection;
  }
  EXPECT_EQ(found, QStringList({"0,0,0,4", "0,7,0,11", "2,1,2,5"}));
  data.MatchCase = true;
  ASSERT_TRUE(sheet.Find(fmFind, data, false));
  root.GetFocusData(selection);
  EXPECT_EQ(selection, QStringLiteral("0,0,0,4"));
  EXPECT_FALSE(sheet.Find(fmFind, data, false));
  data.NotFound();
  ASSERT_EQ(FDesktop.Ui.Boxes.size(), 1);
  EXPECT_EQ(FDesktop.Ui.Boxes[0].Text, QStringLiteral("Could not find \"milk\"."));
}

}  // namespace

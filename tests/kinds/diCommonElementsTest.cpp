#include "diCommonElements.h"

#include "cuLocalization.h"
#include "diCanvas.h"
#include "diClassesImages.h"
#include "diResources.h"
#include "diSchemeImages.h"
#include "diSheetSettings.h"
#include "diTextor.h"
#include "diTextorPalette.h"
#include "testKinds.h"
#include "umUniversalImage.h"

#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A document root that holds signs as free children, filed as child knots of its own knot.
class TElement_SignHost : public TElement_TestRoot {
  QN_ELEMENT_CLASS(TElement_SignHost)
public:
  TElement_SignHost() { InitVisualOptions(voSelectsChildren); }
  void GetAcceptedClasses(TElementClassList &list) override {
    TClassesGroups::Instance().AddGroupClasses(CommonElements().SignsGroup, list);
  }
  // Answers a cursor made of the point, so a test sees which point reached it.
  int GetCursor(const QPoint &point) override { return 1000 * point.x() + point.y(); }
};
QN_DEFINE_ELEMENT_CLASS(TElement_SignHost, TElement_TestRoot)

// The six signs in the order of their class groups, with their type names and strip cells.
struct TSignKind {
  const TElementClass *Class;
  const char *TypeName;
  int Cell;
};
const TSignKind kSigns[] = {
    {&TElement_Star::Class(), "Star", 2},           {&TElement_Information::Class(), "Information", 3},
    {&TElement_Question::Class(), "Question", 4},   {&TElement_Important::Class(), "Important", 5},
    {&TElement_Stop::Class(), "Stop", 7},           {&TElement_Ready::Class(), "Ready", 6},
};

class Signs : public ::testing::Test {
protected:
  std::unique_ptr<TScheme> Scheme =
      std::make_unique<TScheme>(&TElement_SignHost::Class(), QStringLiteral("Quillnote"));
  TElement_SignHost &Host = *static_cast<TElement_SignHost *>(Scheme->Root());

  TCustomSignElement *AddSign(const TElementClass &kind) {
    auto *sign = static_cast<TCustomSignElement *>(CreateElement(kind, Scheme.get(), &Host, nullptr));
    sign->SetVisualParent(&Host);
    return sign;
  }
  void Load(const QString &text) {
    TNodePtr<TKnot> knot = MakeNode<TKnot>();
    knot->ParseString(text);
    Scheme->LoadFromKnot(Host, fmDocument, *knot);
  }
  QString Save() const {
    TNodePtr<TKnot> knot = MakeNode<TKnot>();
    Scheme->SaveToKnot(Host, fmDocument, *knot, foDocumentSave);
    return knot->GetText();
  }
};

TEST(CommonElements, TheStripOfNinePicturesFollowsTheFrameworkOnes) {
  const TCommonElements &c = CommonElements();
  EXPECT_GT(c.SmallImages, ClassesImages().Small);
  ASSERT_GE(SchemeSmallImages().Count(), c.SmallImages + 9);

  QFile file(RenderResourcePath(QStringLiteral("diCommonElementsSmallImages")));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  TUniversalImage image;
  image.LoadFromStream(file);
  const TBitmap32 &strip = image.Images(0);
  ASSERT_EQ(strip.Width(), 144);
  ASSERT_EQ(strip.Height(), 16);
  for (int cell = 0; cell < 9; ++cell) {
    SCOPED_TRACE(cell);
    const TBitmap32 &registered = SchemeSmallImages().Cell(c.SmallImages + cell);
    int opaque = 0, transparent = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const TColor32 pixel = strip.Pixel(16 * cell + x, y);
        ASSERT_EQ(registered.Pixel(x, y), pixel) << x << "," << y;
        opaque += AlphaOf(pixel) == 255;
        transparent += AlphaOf(pixel) == 0;
      }
    // Every picture has a shape on a transparent ground.
    EXPECT_GT(opaque, 20);
    EXPECT_GT(transparent, 20);
  }
}

TEST(CommonElements, ClassGroupsInRegistrationOrder) {
  const TCommonElements &c = CommonElements();
  TElementClassList signs;
  for (const TSignKind &s : kSigns)
    signs.push_back(s.Class);
  EXPECT_EQ(TClassesGroups::Instance().Groups(c.SignsGroup), signs);
  // Appended to the inline elements group, after whatever the units below registered there.
  const TElementClassList &inlineGroup = TClassesGroups::Instance().Groups(cgInlineElements);
  ASSERT_GE(inlineGroup.size(), signs.size());
  EXPECT_EQ(TElementClassList(inlineGroup.end() - std::ptrdiff_t(signs.size()), inlineGroup.end()), signs);
  EXPECT_GT(c.SignsGroup, int(cgInlineElements));
  EXPECT_EQ(&CommonElements(), &c);
}

TEST(CommonElements, TheSignsPaletteGroupAndItsSixCommands) {
  const TCommonElements &c = CommonElements();
  ASSERT_NE(c.Signs, nullptr);
  EXPECT_EQ(c.Signs->Owner(), &Palette());
  EXPECT_EQ(c.Signs->Caption(), QStringLiteral("Signs"));
  EXPECT_EQ(c.Signs->CaptionId(), sidGroupSigns);
  EXPECT_EQ(c.Signs->Weight(), 1500);
  // The text formats register before the signs; the framework before both.
  bool seenFormat = false, seenFramework = false;
  for (TNode *n = Palette().FirstChild(); n != c.Signs; n = n->Next()) {
    ASSERT_NE(n, nullptr);
    seenFormat = seenFormat || n == TextorFormatPalette().Format;
    seenFramework = seenFramework || n == FrameworkPalette().Additional;
  }
  EXPECT_TRUE(seenFormat);
  EXPECT_TRUE(seenFramework);

  const struct {
    TElementPaletteItem *Item;
    const TElementClass *Class;
    int Caption, Hint, Cell, Weight;
    const char *Text;
  } items[] = {
      {c.Information, &TElement_Information::Class(), sidItemInformation, sidItemInformationHint, 3, 40,
       "Information"},
      {c.Question, &TElement_Question::Class(), sidItemQuestion, sidItemQuestionHint, 4, 35, "Question"},
      {c.Star, &TElement_Star::Class(), sidItemStar, sidItemStarHint, 2, 32, "Star"},
      {c.Important, &TElement_Important::Class(), sidItemImportant, sidItemImportantHint, 5, 30, "Important"},
      {c.Stop, &TElement_Stop::Class(), sidItemStop, sidItemStopHint, 7, 20, "Stop"},
      {c.Ready, &TElement_Ready::Class(), sidItemReady, sidItemReadyHint, 6, 10, "Ready"},
  };
  TNode *n = c.Signs->FirstChild();
  for (const auto &i : items) {
    SCOPED_TRACE(i.Text);
    ASSERT_EQ(n, i.Item);
    EXPECT_EQ(&i.Item->ElementClass(), i.Class);
    EXPECT_EQ(i.Item->CaptionId(), i.Caption);
    EXPECT_EQ(i.Item->Caption(), QString::fromUtf8(i.Text));
    EXPECT_EQ(i.Item->DescriptionId(), i.Hint);
    EXPECT_EQ(i.Item->Tune(), 0x1042);
    EXPECT_EQ(i.Item->SmallImage(), c.SmallImages + i.Cell);
    EXPECT_EQ(i.Item->LargeImage(), -1);
    EXPECT_EQ(i.Item->Weight(), i.Weight);
    EXPECT_TRUE(i.Item->Shortcut().isEmpty());
    EXPECT_EQ(Palette().FindElementItem(*i.Class), i.Item);
    n = n->Next();
  }
  EXPECT_EQ(n, nullptr);
  // The hints are the English texts, no-break spaces and the typographic apostrophe included.
  EXPECT_EQ(c.Star->Description(),
            QString::fromUtf8("Multipurpose sign. It\u00A0is\u00A0usually used for indicating rating, preferences "
                              "(then you should use up\u00A0to\u00A05\u00A0stars). Also it\u00A0can be\u00A0used "
                              "for other purposes at\u00A0user\u2019s discretion."));
  EXPECT_EQ(c.Ready->Description(),
            QString::fromUtf8("Used to\u00A0indicate a\u00A0successful result: a\u00A0task is\u00A0solved, "
                              "information is\u00A0confirmed, positive decision, a\u00A0product is\u00A0safe, etc."));
}

TEST(CommonElements, TheGroupsOfThePaletteInUnitOrder) {
  CommonElements();
  const TFrameworkPalette &f = FrameworkPalette();
  const TPaletteGroup *expected[] = {f.Actions, f.Options, f.Insert, f.State, f.Additional,
                                     TextorFormatPalette().Format, CommonElements().Signs};
  std::vector<const TNode *> groups;
  for (TNode *n = Palette().FirstChild(); n; n = n->Next())
    groups.push_back(n);
  EXPECT_EQ(groups, std::vector<const TNode *>(std::begin(expected), std::end(expected)));
}

TEST_F(Signs, KindsAndTheirPictures) {
  const int base = CommonElements().SmallImages;
  for (const TSignKind &s : kSigns) {
    SCOPED_TRACE(s.TypeName);
    EXPECT_EQ(s.Class->TypeName(), QString::fromUtf8(s.TypeName));
    EXPECT_EQ(s.Class->ClassName(), QStringLiteral("TElement_") + QString::fromUtf8(s.TypeName));
    EXPECT_TRUE(s.Class->InheritsFrom(TCustomSignElement::Class()));
    EXPECT_TRUE(s.Class->InheritsFrom(TCustomSmallImageElement::Class()));
    EXPECT_FALSE(s.Class->IsAbstract());
    TCustomSignElement *sign = AddSign(*s.Class);
    EXPECT_EQ(sign->ImageIndex(), base + s.Cell);
    EXPECT_EQ(sign->Width(), 16);
    EXPECT_EQ(sign->Height(), 16);
    EXPECT_EQ(sign->Descent(), 3);  // the visual element's own baseline offset is kept
    EXPECT_EQ(sign->VisualOptions(), 0);  // no disabled state, not focusable, not pressable
  }
  EXPECT_TRUE(TCustomSignElement::Class().IsAbstract());
  EXPECT_TRUE(TCustomSmallImageElement::Class().IsAbstract());
}

TEST_F(Signs, FiledAsEmptyKnotsByTypeNameAndNeverDisabled) {
  const QString text = QStringLiteral(
      "<Quillnote FormatVersion=\"1.1\"><Star/><Information Disabled=\"1\"/><Question/><Important/><Stop/>"
      "<Ready/><Star Disabled=\"1\"/></Quillnote>");
  Load(text);
  int i = 0;
  const TElementClass *expected[] = {&TElement_Star::Class(),      &TElement_Information::Class(),
                                     &TElement_Question::Class(),  &TElement_Important::Class(),
                                     &TElement_Stop::Class(),      &TElement_Ready::Class(),
                                     &TElement_Star::Class()};
  for (TElement *e = Host.FirstChildElement(); e; e = e->NextElement(), ++i) {
    ASSERT_LT(i, 7);
    EXPECT_EQ(&e->GetClass(), expected[i]);
    EXPECT_FALSE(static_cast<TVisualElement *>(e)->IsDisabled());
  }
  EXPECT_EQ(i, 7);
  EXPECT_EQ(Save(), QStringLiteral("<Quillnote FormatVersion=\"1.1\">\r\n\t<Star/>\r\n\t<Information/>\r\n"
                                   "\t<Question/>\r\n\t<Important/>\r\n\t<Stop/>\r\n\t<Ready/>\r\n\t<Star/>\r\n"
                                   "</Quillnote>\r\n"));

  // The Disabled command does not apply to a sign, alone or in a selection.
  auto *star = static_cast<TCustomSignElement *>(Host.FirstChildElement());
  EXPECT_FALSE(FrameworkPalette().Disable->ExecuteOn(*star, true));
  EXPECT_FALSE(star->IsDisabled());
  TPaletteItemList offered;
  GetOfferedItems(*star, offered);
  EXPECT_TRUE(offered.empty());
}

TEST_F(Signs, TheHostOffersTheSixSignCommandsInTheirOrder) {
  const TCommonElements &c = CommonElements();
  const TPaletteItemList six{c.Information, c.Question, c.Star, c.Important, c.Stop, c.Ready};
  TPaletteItemList list;
  GetOfferedItems(Host, list);
  EXPECT_EQ(list, six);
  for (TPaletteItem *item : list)
    EXPECT_EQ(item->Group(), c.Signs);
  EXPECT_FALSE(GetPaletteFor(Host, {}, list));
  EXPECT_EQ(list, six);
  // Selected signs offer nothing of their own, so the host's commands stay.
  TCustomSignElement *a = AddSign(TElement_Star::Class());
  TCustomSignElement *b = AddSign(TElement_Stop::Class());
  EXPECT_FALSE(GetPaletteFor(Host, {a, b}, list));
  EXPECT_EQ(list, six);
  // Enabled while the document can change, disabled while it is read-only.
  EXPECT_TRUE(GetPaletteItemDisplayState(Host, *c.Star).Enabled);
  Scheme->SetReadOnly(true);
  EXPECT_FALSE(GetPaletteItemDisplayState(Host, *c.Star).Enabled);
}

TEST_F(Signs, PaintedAsTheirStripCellAtTheirPlace) {
  TNodePtr<TSheetSettings> settings = MakeNode<TSheetSettings>(nullptr, QString());
  TSheetCanvas canvas(*settings);
  const TColor32 window = Color32FromPlatform(clWindow);
  for (const TSignKind &s : kSigns) {
    SCOPED_TRACE(s.TypeName);
    TCustomSignElement *sign = AddSign(*s.Class);
    sign->SetBounds(5, 3, sign->Descent(), sign->Height(), sign->Width());
    canvas.BeginPaint(QRect(0, 0, 24, 20));
    sign->PaintElement(canvas, 0);

    TBitmap32 expected;
    expected.SetSize(24, 20);
    expected.Clear(window);
    SchemeSmallImages().Draw(expected, 5, 3, CommonElements().SmallImages + s.Cell);
    int changed = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 24; ++x) {
        ASSERT_EQ(canvas.Buffer()->Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
        changed += expected.Pixel(x, y) != window;
      }
    EXPECT_GT(changed, 20);
    canvas.EndPaint(nullptr);
  }
}

TEST_F(Signs, TheCursorIsTheParentsAtThatPoint) {
  TCustomSignElement *sign = AddSign(TElement_Question::Class());
  sign->SetBounds(10, 20, sign->Descent(), sign->Height(), sign->Width());
  EXPECT_EQ(sign->GetCursor(QPoint(1, 2)), Host.GetCursor(QPoint(11, 22)));
  EXPECT_EQ(sign->GetCursor(QPoint(1, 2)), 11022);
  sign->SetVisualParent(nullptr);
  EXPECT_EQ(sign->GetCursor(QPoint(1, 2)), 0);
}

TEST_F(Signs, StandInTextAsOnePositionAndLeaveItWhenFreed) {
  TTextor textor;
  TCustomSignElement *star = AddSign(TElement_Star::Class());
  TCustomSignElement *ready = AddSign(TElement_Ready::Class());
  textor.InsertText(textor.TextStart(), u"ab", nullptr);
  textor.InsertElement(textor.TextEnd(), star, nullptr);
  textor.InsertElement(textor.TextEnd(), ready, nullptr);
  EXPECT_EQ(textor.FirstParagraph()->TotalLength(), 4);
  ASSERT_NE(star->Portion(), nullptr);
  // Freed by the tree, the sign takes its position out of the text.
  star->Free();
  EXPECT_EQ(textor.FirstParagraph()->TotalLength(), 3);
  EXPECT_EQ(textor.RangeText(textor.WholeRange()), QStringLiteral("ab"));
  // Cleared from the text, the sign is freed by its portion.
  textor.Clear();
  EXPECT_EQ(Host.FirstChildElement(), nullptr);
}

}  // namespace

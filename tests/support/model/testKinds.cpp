#include "testKinds.h"

#include "diCanvas.h"

QN_DEFINE_ELEMENT_CLASS(TElement_TestRoot, TVisualElement)
QN_DEFINE_ELEMENT_CLASS(TElement_TestCaption, TVisualElement)
QN_DEFINE_ELEMENT_CLASS(TElement_TestFlag, TVisualElement)
QN_DEFINE_ELEMENT_CLASS(TElement_TestCache, TVisualElement)
QN_DEFINE_ELEMENT_CLASS(TElement_Box, TElement_TestRoot)
QN_DEFINE_ELEMENT_CLASS(TElement_Note, TVisualElement)
QN_DEFINE_ELEMENT_CLASS(TElement_TestPanel, TPanelElement)

void TElement_TestPanel::Paint(TCustomSheetCanvas &canvas, int flags) {
  ++Paints;
  if (Fill != clNone)
    canvas.FillRect(ClientRect(), Fill);
  if (Skin)
    canvas.DrawSkin(steElement, ClientRect(), Tint);
}

void TElement_TestPanel::KeyDown(int &key, Qt::KeyboardModifiers shift) {
  Input.append(QStringLiteral("down %1").arg(key));
  // Enter is this kind's own key.
  if (key == Qt::Key_Return)
    key = 0;
}

void TElement_TestPanel::KeyPress(char16_t &ch) { Input.append(QStringLiteral("press %1").arg(int(ch))); }

void TElement_TestPanel::SetFocus(bool horizontal, bool forward, const QString &focusData, TVisualElement *fromChild,
                                  const QPoint *point) {
  ReceivedFocusData = focusData;
  TPanelElement::SetFocus(horizontal, forward, focusData, fromChild, point);
}

TElement_TestPanel *AddTestPanel(TScheme *scheme, TVisualElement *owner, int left, int top, int width, int height,
                                 TColor fill) {
  auto *panel = CreateElement<TElement_TestPanel>(scheme, owner);
  panel->Fill = fill;
  panel->SetBounds(left, top, panel->Descent(), height, width);
  panel->SetVisualParent(owner);
  return panel;
}

int GTestKindChecks = 0;

int TestBlocksGroup() {
  static const int group = [] {
    TClassesGroups &groups = TClassesGroups::Instance();
    const int g = groups.AddGroup();
    groups.Register(g, TElement_Box::Class());
    groups.Register(g, TElement_Note::Class());
    return g;
  }();
  return group;
}

std::unique_ptr<TScheme> NewTestScheme() {
  return std::make_unique<TScheme>(&TElement_TestRoot::Class(), QStringLiteral("Quillnote"));
}

void BuildTestDocument(TScheme &scheme, int elementCount) {
  TElement *root = scheme.Root();
  TElement *owner = root;
  const int boxes = (elementCount - 1 + 9) / 10;
  for (int i = 0; i < boxes; ++i) {
    if (i % 20 == 0)
      owner = root;
    auto *box = CreateElement<TElement_Box>(&scheme, owner);
    box->Title = QStringLiteral("Box %1").arg(i);
    box->Caption->Text = QStringLiteral("Caption of box %1 with a few words").arg(i);
    box->Flag->Flag = i % 2 == 1;
    box->Cache->Cache = i;
    for (int n = 0; n < 6; ++n) {
      auto *note = CreateElement<TElement_Note>(&scheme, box);
      note->Text = QStringLiteral("Note %1.%2: some text & \"quotes\" <kept>").arg(i).arg(n);
      note->SetBounds(n * 17, i % 1000, note->Descent(), note->Height(), note->Width());
      note->SetDisabled((i + n) % 7 == 0);
    }
    owner = box;
  }
}

QString TestDocumentText(int elementCount) {
  const int boxes = (elementCount - 1 + 9) / 10;
  QString text;
  text.reserve(qsizetype(boxes) * 700);
  text += QStringLiteral("<Quillnote FormatVersion=\"1.1\">\r\n");
  auto indent = [&](int level) { text += QString(level, QLatin1Char('\t')); };
  int level = 0;  // nesting of the current chain of boxes
  auto closeChain = [&] {
    for (; level > 0; --level) {
      indent(level);
      text += QStringLiteral("</Box>\r\n");
    }
  };
  for (int i = 0; i < boxes; ++i) {
    if (i % 20 == 0)
      closeChain();
    ++level;
    indent(level);
    text += i % 2 == 1 ? QStringLiteral("<Box Flag=\"1\" Title=\"Box %1\">\r\n").arg(i)
                       : QStringLiteral("<Box Title=\"Box %1\">\r\n").arg(i);
    indent(level + 1);
    text += QStringLiteral("<Caption Text=\"Caption of box %1 with a few words\"/>\r\n").arg(i);
    for (int n = 0; n < 6; ++n) {
      indent(level + 1);
      text += QStringLiteral("<Note ");
      if ((i + n) % 7 == 0)
        text += QStringLiteral("Disabled=\"1\" ");
      text += QStringLiteral("Left=\"%1\" Top=\"%2\" Text=\"Note %3.%4: some text &amp; &quot;quotes&quot; &lt;kept&gt;\"/>\r\n")
                  .arg(n * 17)
                  .arg(i % 1000)
                  .arg(i)
                  .arg(n);
    }
  }
  closeChain();
  text += QStringLiteral("</Quillnote>\r\n");
  return text;
}

// ---------------------------------------------------------------------------------------------------------
// TElement_TestRoot

void TElement_TestRoot::GetAcceptedClasses(TElementClassList &list) {
  TClassesGroups::Instance().AddGroupClasses(TestBlocksGroup(), list);
}

void TElement_TestRoot::LoadFreeChildren(TSchemeLoader &filer, TKnot &knot, const QStringList &skip) {
  TAcceptedClasses accepted;
  // The parts' knots are left alone here: a second one of the same name is reported as not read.
  for (TKnot *child = knot.FirstKnot(); child; child = child->NextKnot())
    if (!skip.contains(child->Name()))
      LoadChild(filer, *child, nullptr, accepted);
}

void TElement_TestRoot::SaveFreeChildren(TSchemeSaver &filer, TKnot &knot) {
  for (TElement *c = FirstChildElement(); c; c = c->NextElement())
    if (!c->IsPart())
      SaveChild(filer, static_cast<TVisualElement *>(c), knot);
}

void TElement_TestRoot::Load(TSchemeLoader &filer, TKnot &knot) {
  TVisualElement::Load(filer, knot);
  Title = knot.ReadStr(QStringLiteral("Title"), QString());
  LoadFreeChildren(filer, knot, {});
}

void TElement_TestRoot::Save(TSchemeSaver &filer, TKnot &knot) {
  TVisualElement::Save(filer, knot);
  if (!Title.isEmpty())
    knot.WriteStr(QStringLiteral("Title"), Title);
  SaveFreeChildren(filer, knot);
}

// ---------------------------------------------------------------------------------------------------------
// Parts

void TElement_TestCaption::Load(TSchemeLoader &filer, TKnot &knot) {
  TVisualElement::Load(filer, knot);
  Text = knot.ReadStr(QStringLiteral("Text"), QString());
}

void TElement_TestCaption::Save(TSchemeSaver &filer, TKnot &knot) {
  TVisualElement::Save(filer, knot);
  if (!Text.isEmpty())
    knot.WriteStr(QStringLiteral("Text"), Text);
}

void TElement_TestFlag::Load(TSchemeLoader &filer, TKnot &knot) {
  TVisualElement::Load(filer, knot);
  Flag = knot.ReadBool(QStringLiteral("Flag"), false);
}

void TElement_TestFlag::Save(TSchemeSaver &filer, TKnot &knot) {
  TVisualElement::Save(filer, knot);
  if (Flag)
    knot.WriteBool(QStringLiteral("Flag"), true);
}

void TElement_TestCache::Load(TSchemeLoader &filer, TKnot &knot) {
  TVisualElement::Load(filer, knot);
  Cache = knot.ReadInt(QStringLiteral("Cache"), 0, 0, 0);
}

void TElement_TestCache::Save(TSchemeSaver &filer, TKnot &knot) {
  TVisualElement::Save(filer, knot);
  knot.WriteInt(QStringLiteral("Cache"), Cache);
}

// ---------------------------------------------------------------------------------------------------------
// TElement_Box

TElement_Box::TElement_Box() {
  InitOptions(efChecked);
  InitVisualOptions(voCanDisable);
}

void TElement_Box::Create() {
  Caption = CreatePart<TElement_TestCaption>(this);
  Flag = CreatePart<TElement_TestFlag>(this);
  Cache = CreatePart<TElement_TestCache>(this);
}

void TElement_Box::GetPartKnotName(TElement *part, TFilerMode mode, QString &name) {
  if (part == Caption)
    name = QStringLiteral("Caption");
  else if (part == Flag)  // filed in its own knot only in snapshots
    name = QStringLiteral("Flag");
  else if (part == Cache)
    name = QStringLiteral("Cache");
  else
    TElement_TestRoot::GetPartKnotName(part, mode, name);
}

void TElement_Box::Load(TSchemeLoader &filer, TKnot &knot) {
  TVisualElement::Load(filer, knot);
  Title = knot.ReadStr(QStringLiteral("Title"), QString());
  LoadFreeChildren(filer, knot, {QStringLiteral("Caption"), QStringLiteral("Flag"), QStringLiteral("Cache")});
  Validate();
}

void TElement_Box::Save(TSchemeSaver &filer, TKnot &knot) {
  TVisualElement::Save(filer, knot);
  if (!Title.isEmpty())
    knot.WriteStr(QStringLiteral("Title"), Title);
  SaveFreeChildren(filer, knot);
}

// ---------------------------------------------------------------------------------------------------------
// TElement_Note

TElement_Note::TElement_Note() {
  InitOptions(efChecked);
  InitVisualOptions(voCanDisable | voFloating);
}

void TElement_Note::CheckValue() {
  ++GTestKindChecks;
  if (Text == QLatin1String("bad"))
    GetMessages().AddElementMessage(mkError, QStringLiteral("A [bad] note"), QString::number(ID()));
}

void TElement_Note::Load(TSchemeLoader &filer, TKnot &knot) {
  TVisualElement::Load(filer, knot);
  Text = knot.ReadStr(QStringLiteral("Text"), QString());
  Validate();
}

void TElement_Note::Save(TSchemeSaver &filer, TKnot &knot) {
  TVisualElement::Save(filer, knot);
  knot.WriteStr(QStringLiteral("Text"), Text);
}

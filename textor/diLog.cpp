#include "diLog.h"

#include "cuKnot.h"
#include "diCanvas.h"
#include "diFiling.h"
#include "diLogSettings.h"
#include "diSchemeImages.h"
#include "diSheet.h"

#include <QFontDatabase>

namespace {

// The index of the first cell of "diLogImages" in the 9-pixel list, added on first use.
int LogImagesBase() {
  static const int base = SchemeLogImages().AddStrip(QStringLiteral("diLogImages"));
  return base;
}

// The log's default text: the system's message font, face and size, made once.
TRichTextAttributes *MessageFontAttributes() {
  static TAttributesRef<TRichTextAttributes> attributes([] {
    const QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const int size = font.pointSize() > 0 ? font.pointSize() : 9;
    return FontAttributes(font.family(), size, clWindowText, 0);
  }());
  return attributes.Get();
}

const QString kElementsParam = QStringLiteral("Elements");
// A link's target: this letter and the comma-separated element IDs.
constexpr QChar kElementsLinkPrefix = u'E';
// The colour of a visited link.
constexpr TColor kVisitedLinkColor = 128;

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TElement_Sign

QN_DEFINE_ELEMENT_CLASS(TElement_Sign, TVisualElement)

TElement_Sign::TElement_Sign() {
  InitVisualOptions(VisualOptions() | voLogSign);
  const TSchemeImages &images = SchemeLogImages();
  SetBounds(Left(), Top(), 0, images.CellHeight(), images.CellWidth());
}

void TElement_Sign::SetKind(int kind) {
  if (kind == FKind)
    return;
  FKind = kind;
  Invalidate();
}

int LogSignCell(int kind) {
  switch (kind) {
  case mkHint:
    return 0;
  case mkWarning:
  case mkRequired:
  case mkError:
    return 1;
  case mkHighest:
    return 2;
  default:
    return -1;
  }
}

void TElement_Sign::Paint(TCustomSheetCanvas &canvas, int) {
  const int cell = LogSignCell(FKind);
  TBitmap32 *buffer = canvas.Buffer();
  if (cell < 0 || !buffer)
    return;
  const QPoint at = canvas.ToBuffer(QPoint(0, 0));
  SchemeLogImages().Draw(*buffer, at.x(), at.y(), LogImagesBase() + cell);
}

void TElement_Sign::Load(TSchemeLoader &filer, TKnot &knot) {
  TVisualElement::Load(filer, knot);
  SetKind(knot.ReadInt(QStringLiteral("Kind"), 0));
}

void TElement_Sign::Save(TSchemeSaver &filer, TKnot &knot) {
  TVisualElement::Save(filer, knot);
  knot.WriteInt(QStringLiteral("Kind"), FKind);
}

void TElement_Sign::Freeing() {
  PortionElementFreeing();
  TVisualElement::Freeing();
}

// ---------------------------------------------------------------------------------------------------------
// TLogRoot

QN_DEFINE_ELEMENT_CLASS(TLogRoot, TTextorElement)

TLogRoot::TLogRoot() {
  SetTextorOptions(TextorOptions() | toInlineElements | toNoNonPrinting | toUnlimitedWidth | toParentWidth |
                   toParentHeight);
  // Everything but tabs: a message text's TAB stays a character of its line.
  SetContentSet(csAll & ~csTabs);
  FMessages.OnAccept = [](TElementMessages &, TElementMessage &message, bool &accept) {
    TLogSettings &settings = LogSettings();
    switch (message.Kind) {
    case mkInformation:
      accept = settings.WriteInformation().Value();
      break;
    case mkHint:
      accept = settings.WriteHints().Value();
      break;
    case mkWarning:
      accept = settings.WriteWarnings().Value();
      break;
    default:
      accept = true;
    }
  };
  FMessages.OnAdd = [this](TElementMessages &, TElementMessage &message) { AppendMessage(message); };
  FMessages.OnClear = [this](TElementMessages &) {
    ClearText();
    FireChanged();
  };
}

TLogRoot::~TLogRoot() {
  // The list outlives nothing it could call back into: its events refer to this element.
  FMessages.OnAccept = nullptr;
  FMessages.OnAdd = nullptr;
  FMessages.OnClear = nullptr;
}

void TLogRoot::GetAcceptedClasses(TElementClassList &list) {
  TTextorElement::GetAcceptedClasses(list);
  AddAcceptedClass(list, &TElement_Sign::Class());
}

void TLogRoot::GetPadding(QMargins &padding) {
  padding = Sheet() ? Sheet()->Canvas().SkinPadding(steSheet) : QMargins();
}

TTextAttributes *TLogRoot::DefaultTextAttributes() { return MessageFontAttributes(); }

TTextAttributes *TLogRoot::AttributesFromKnot(TKnot &knot) {
  if (!knot.FindParam(kElementsParam))
    return nullptr;
  const QString ids = knot.ReadStr(kElementsParam);
  return HyperlinkAttributes(*MessageFontAttributes(), kElementsLinkPrefix + ids);
}

void TLogRoot::LinkActivated(TPortion *portion) {
  if (!portion)
    return;
  const TTextAttributes &attributes = portion->Attributes();
  if (attributes.LinkKind() != lkHyperlink || !attributes.LinkTarget().startsWith(kElementsLinkPrefix))
    return;
  std::vector<std::int32_t> ids;
  for (const QString &part : attributes.LinkTarget().mid(1).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    bool ok = false;
    const int id = part.trimmed().toInt(&ok);
    if (ok)
      ids.push_back(id);
  }
  // The handler may change the log (clear it, add messages): the link is found again by its place.
  const QString target = attributes.LinkTarget();
  const TTextCoordinates at = Textor().PositionToCoordinates({portion->Paragraph(), portion, 0});
  const std::int32_t length = portion->Length();
  if (OnElementsLink)
    OnElementsLink(ids);
  const std::optional<TTextPosition> start = Textor().CoordinatesToPosition(at);
  if (!start || !start->Portion || start->Offset != 0 || start->Portion->Length() != length ||
      start->Portion->Attributes().LinkTarget() != target)
    return;
  if (const auto *rich = dynamic_cast<const TRichTextAttributes *>(&start->Portion->Attributes())) {
    TRichTextAttributes visited;
    visited.Assign(*rich);
    visited.SetColor(kVisitedLinkColor);
    const TTextPosition end{start->Paragraph, start->Portion->Next(), 0};
    Textor().ApplyAttributes({*start, end}, false, SharedOf(visited));
  }
}

void TLogRoot::AppendMessage(TElementMessage &message) {
  if (TSheet *sheet = Sheet())
    sheet->PlaySound(QStringLiteral("diLogMessageSound"));
  // The message as content knots: a paragraph break unless the log is empty, the sign and a space for
  // any kind but information, then each part, a reference part with the element ID it refers to.
  TNodePtr<TKnot> content = MakeNode<TKnot>(QStringLiteral("LoomContent"));
  content->SetAddedOptions(koPositionalChildren);
  const QString chars = QStringLiteral("Chars"), value = QStringLiteral("Value");
  if (!Textor().IsEmpty())
    content->AddChild(QStringLiteral("Br"));
  if (message.Kind != mkInformation) {
    content->AddChild(TElement_Sign::Class().TypeName())->WriteInt(QStringLiteral("Kind"), message.Kind);
    content->AddChild(chars)->WriteStr(value, QStringLiteral(" "));
  }
  for (const TElementMessagePart &part : message.Parts) {
    TKnot *k = content->AddChild(chars);
    k->WriteStr(value, part.Text);
    if (part.PartKind == mpElement)
      k->WriteStr(kElementsParam, part.Data);
  }
  TSheetUpdate update(Sheet());
  if (TScheme *scheme = Scheme()) {
    TSchemeLoader loader(*scheme, nullptr, content.get(), 0, fmDocument);
    LoadContent(loader, *content, Textor().TextEnd());
    loader.Finish();
  }
  FireChanged();
}

void TLogRoot::ClearText() {
  TSheetUpdate update(Sheet());
  Textor().BeginUpdate();
  Textor().Clear();
  Textor().EndUpdate();
}

void TLogRoot::FireChanged() {
  if (OnChanged)
    OnChanged();
}

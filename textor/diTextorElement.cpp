#include "diTextorElement.h"

#include "cuKnot.h"
#include "cuUtils.h"
#include "diCanvas.h"
#include "diFiling.h"
#include "diPalette.h"
#include "diSheet.h"
#include "diSheetSettings.h"

#include <QStringList>

#include <algorithm>
#include <climits>

QN_DEFINE_ABSTRACT_ELEMENT_CLASS(TCustomDropDownElement, TVisualElement)
QN_DEFINE_ELEMENT_CLASS(TTextorElement, TCustomDropDownElement)
namespace InlineText {
QN_DEFINE_ELEMENT_CLASS(TElement_Unaccepted, ::TElement_Unaccepted)
}

namespace {
const QString kChars = QStringLiteral("Chars");
const QString kBr = QStringLiteral("Br");
const QString kValue = QStringLiteral("Value");
const QString kData = QStringLiteral("Data");
const QString kFloating = QStringLiteral("Floating");

QRect EdgesRect(int left, int top, int right, int bottom) { return QRect(QPoint(left, top), QPoint(right, bottom)); }
}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Links

bool IsLinkToken(QStringView token) {
  if (token.size() < kMinLinkLength || token.size() > kMaxLinkLength)
    return false;
  static const char *const schemes[] = {"http", "https", "ftp", "file", "url"};
  for (const char *scheme : schemes) {
    const QLatin1StringView name(scheme);
    if (!token.startsWith(name, Qt::CaseInsensitive))
      continue;
    const QStringView rest = token.mid(name.size());
    if ((rest.startsWith(u"://") || rest.startsWith(u":\\\\")) && rest.size() > 3)
      return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------------------
// TSchemeTextor

TSchemeTextor::TSchemeTextor(TTextorElement *owner) : TTextor(true), FOwner(owner) {}

TParagraphAttributes *TSchemeTextor::DefaultParagraphAttributes() const { return &::DefaultParagraphAttributes(); }

TTextAttributes *TSchemeTextor::DefaultTextAttributes() const {
  if (FOwner && FOwner->Sheet())
    if (TTextAttributes *a = FOwner->DefaultTextAttributes())
      return a;
  return &::DefaultTextAttributes();
}

QRect TSchemeTextor::InlineMargins() const {
  const int vertical = ParagraphBreaksAllowed() ? 1 : 0;
  return EdgesRect(1, vertical, 1, vertical);
}

int TSchemeTextor::LayoutWidth() const {
  if (!FOwner)
    return 0;
  std::int32_t minWidth = 0, maxWidth = 0, minHeight = 0;
  FOwner->GetSizeLimits(minWidth, maxWidth, minHeight);
  QMargins padding;
  FOwner->GetPadding(padding);
  return std::max(1, maxWidth - padding.left() - padding.right());
}

bool TSchemeTextor::SameWord(int a, int b) const {
  if (!FOwner || !FOwner->HasTextorOption(toIdentifierWords))
    return TTextor::SameWord(a, b);
  return a >= 0 && b >= 0 && IsWordCharacter(a) == IsWordCharacter(b);
}

bool TSchemeTextor::ParagraphBreaksAllowed() const { return FOwner && (FOwner->ContentSet() & csParagraphBreaks); }

bool TSchemeTextor::TabsAllowed() const { return FOwner && (FOwner->ContentSet() & csTabs); }

QRect TSchemeTextor::Padding() const {
  if (!FOwner)
    return {};
  QMargins padding;
  FOwner->GetPadding(padding);
  return EdgesRect(padding.left(), padding.top(), padding.right(), padding.bottom());
}

void TSchemeTextor::Changed() {
  if (FOwner && !(FOwner->FStateFlags & tsSuppressChanges) && !FOwner->IsDestroying())
    FOwner->ContentChanged();
}

void TSchemeTextor::DoLayout(bool contentChanged) {
  if (!FOwner) {
    TTextor::DoLayout(contentChanged);
    return;
  }
  TSheetUpdate update(FOwner->Sheet());
  for (TParagraph *p = FirstParagraph(); p; p = p->Next())
    if (!p->LayoutValid())
      FOwner->ParagraphLayout(*p);
  TTextor::DoLayout(contentChanged);
  FOwner->AfterLayout();
}

// ---------------------------------------------------------------------------------------------------------
// TCustomDropDownElement

void TCustomDropDownElement::KeyDown(int &key, Qt::KeyboardModifiers shift) {
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !(shift & Qt::ControlModifier))
    key = 0;
}

void TCustomDropDownElement::KeyPress(char16_t &ch) {
  if (ch == u'\r' && HasDropDown())
    ch = 0;
}

// ---------------------------------------------------------------------------------------------------------
// TTextorElement: life and state

TTextorElement::TTextorElement() : FTextor(std::make_unique<TSchemeTextor>(this)) {
  InitOptions(Options() | efChecked);
  InitVisualOptions(VisualOptions() | voPressable | voFocusable | voCanPaste | voCanSelectAll | voSelectsChildren);
}

TTextorElement::~TTextorElement() = default;

void TTextorElement::Freeing() {
  TCustomDropDownElement::Freeing();
  FTextor->ClearOwner();
  // The portions free their elements through the tree while this element still holds them.
  FTextor.reset(new TSchemeTextor(nullptr));
}

bool TTextorElement::IsEmpty() {
  if (FirstChildElement())
    return false;
  if (!FDefaultText.isNull())
    return FTextor->Text() == FDefaultText;
  return FTextor->IsEmpty();
}

TElement *TTextorElement::DelegationTarget() {
  TElement *e = this;
  while (e && e->IsPart())
    e = e->OwnerElement();
  return e ? e->OwnerElement() : nullptr;
}

TTextorElement *TTextorElement::DelegateTextor() {
  return Delegates() ? dynamic_cast<TTextorElement *>(DelegationTarget()) : nullptr;
}

TVisualElement *TTextorElement::DelegateVisual() {
  return Delegates() ? dynamic_cast<TVisualElement *>(DelegationTarget()) : nullptr;
}

void TTextorElement::OwnerChainChanged() {
  TCustomDropDownElement::OwnerChainChanged();
  if (!Delegates())
    return;
  if (TTextorElement *target = DelegateTextor()) {
    FTextorOptions = (FTextorOptions & ~toDelegatedMask) | (target->FTextorOptions & toDelegatedMask);
    FContentSet = target->FContentSet;
  } else {
    FContentSet = csAll;
  }
}

bool TTextorElement::IsDelegatedNotification(int code) {
  return code == 100 || code == 101 || code == 200 || code == 250;
}

bool TTextorElement::Notification(int code, TNotifyArg a, TNotifyArg b) {
  if (Delegates() && IsDelegatedNotification(code))
    if (TElement *target = DelegationTarget(); target && target->Dispatch(code, a, b))
      return true;
  if (TCustomDropDownElement::Notification(code, a, b))
    return true;
  if (code == tenContentHeight && a) {
    *reinterpret_cast<std::int32_t *>(a) = FContentHeight;
    return true;
  }
  return false;
}

void TTextorElement::ContentChanged() {
  NotifyTargetContentChanged();
  Changed();
}

void TTextorElement::NotifyTargetContentChanged() {
  if (TTextorElement *target = DelegateTextor())
    target->NotifyTargetContentChanged();
}

// ---------------------------------------------------------------------------------------------------------
// Accepted classes

void TTextorElement::GetAcceptedClasses(TElementClassList &list) {
  if (Delegates()) {
    if (TElement *target = DelegationTarget()) {
      TElementClassList classes;
      target->GetAcceptedClasses(classes);
      for (const TElementClass *c : classes)
        if (c->AcceptsOwner(*this))
          AddAcceptedClass(list, c);
    }
    return;
  }
  if (!(FTextorOptions & toInlineElements))
    return;
  TClassesGroups &groups = TClassesGroups::Instance();
  groups.AddGroupClasses(cgBlockElements, list);
  if (FContentSet & 0x1)
    groups.AddGroupClasses(2, list);
}

const TElementClass &TTextorElement::GetUnacceptedClass() { return InlineText::TElement_Unaccepted::Class(); }

void TTextorElement::MapLegacyName(TSchemeFiler &filer, TKnot &knot, QString &name) {
  if (TElement *target = Delegates() ? DelegationTarget() : nullptr)
    if (auto *visual = dynamic_cast<TVisualElement *>(target)) {
      visual->MapLegacyName(filer, knot, name);
      return;
    }
  TCustomDropDownElement::MapLegacyName(filer, knot, name);
}

// ---------------------------------------------------------------------------------------------------------
// Palette

bool TTextorElement::ExecutePaletteItem(TVisualElement &target, TSchemePaletteItem &item, bool state) {
  if (TVisualElement *delegate = DelegateVisual(); delegate && delegate->ExecutePaletteItem(target, item, state))
    return true;
  return TCustomDropDownElement::ExecutePaletteItem(target, item, state);
}

void TTextorElement::GetPaletteItems(TPaletteItemList &list) {
  TVisualElement *delegate = DelegateVisual();
  if (!delegate) {
    TCustomDropDownElement::GetPaletteItems(list);
    return;
  }
  TPaletteItemList theirs;
  delegate->GetPaletteItems(theirs);
  for (TPaletteItem *item : theirs)
    if (!dynamic_cast<TElementPaletteItem *>(item))
      AddPaletteItem(list, item);
  TElementClassList classes;
  CollectAcceptedClasses(classes);
  Palette().AddElementItems(classes, list);
}

void TTextorElement::TunePaletteItem(TPaletteItem &item, TPaletteItemTune &tune) {
  if (TVisualElement *delegate = DelegateVisual())
    delegate->TunePaletteItem(item, tune);
  TCustomDropDownElement::TunePaletteItem(item, tune);
}

// ---------------------------------------------------------------------------------------------------------
// Geometry

bool TTextorElement::GetSkin(TSheetThemeElement &skin) {
  if (FTextorOptions & toContainerSkin) {
    skin = steContainer;
    return true;
  }
  if (FTextorOptions & toFieldSkin) {
    skin = steField;
    return true;
  }
  return false;
}

void TTextorElement::GetPadding(QMargins &padding) {
  TSheetThemeElement skin;
  if (Sheet() && GetSkin(skin))
    padding = Sheet()->Canvas().SkinPadding(skin);
  else
    padding = {};
}

void TTextorElement::GetMargins(QMargins &margins) {
  TSheetThemeElement skin;
  if (Sheet() && GetSkin(skin))
    margins = Sheet()->Canvas().SkinMargins(skin);
  else
    TCustomDropDownElement::GetMargins(margins);
}

void TTextorElement::GetAvailableSize(TVisualElement *child, QSize &size) {
  if (child == this) {
    TCustomDropDownElement::GetAvailableSize(this, size);
    return;
  }
  // Inline elements may take the room of the text.
  std::int32_t minWidth = 0, maxWidth = 0, minHeight = 0;
  GetSizeLimits(minWidth, maxWidth, minHeight);
  QMargins padding;
  GetPadding(padding);
  size = QSize(std::max(0, maxWidth - padding.left() - padding.right()), kUnlimitedWidth);
}

void TTextorElement::GetSizeLimits(std::int32_t &minWidth, std::int32_t &maxWidth, std::int32_t &minHeight) {
  QSize available(INT_MAX, INT_MAX);
  if (TVisualElement *parent = VisualParent())
    parent->GetAvailableSize(this, available);
  TSheetThemeElement skin;
  const std::int32_t defaultMin = (Sheet() && GetSkin(skin)) ? Sheet()->Canvas().SkinZoneWidth(skin) : 10;
  const std::uint32_t o = FTextorOptions;
  if (o & toMinWidth30)
    minWidth = 30;
  else if (o & toMinWidth240)
    minWidth = 240;
  else if (o & toMinWidth480)
    minWidth = 480;
  else if (o & toParentWidth)
    minWidth = std::max<std::int32_t>(available.width(), defaultMin);
  else
    minWidth = defaultMin;
  if (o & toMaxWidth240)
    maxWidth = 240;
  else if (o & toMaxWidth480)
    maxWidth = 480;
  else if (o & toMaxWidth720)
    maxWidth = 720;
  else if (o & toMaxWidth960)
    maxWidth = 960;
  else if (o & toUnlimitedWidth)
    maxWidth = kUnlimitedWidth;
  else
    maxWidth = std::max<std::int32_t>(available.width(), defaultMin);
  maxWidth = std::min(maxWidth, kUnlimitedWidth);
  minWidth = std::min(minWidth, kUnlimitedWidth);
  if (o & toMinHeight60)
    minHeight = 60;
  else if (o & toMinHeight120)
    minHeight = 120;
  else if (o & toMinHeight240)
    minHeight = 240;
  else if (o & toParentHeight)
    minHeight = std::clamp<std::int32_t>(available.height(), 0, kUnlimitedWidth);
  else
    minHeight = 0;
}

TTextAttributes *TTextorElement::DefaultTextAttributes() {
  if (!Sheet())
    return nullptr;
  TSheetSettings &settings = Sheet()->Settings();
  if (FTextorOptions & toFixedFont)
    return &settings.FixedAttributes();
  if (FTextorOptions & toCommentFont)
    return &settings.CommentAttributes();
  if (FTextorOptions & toArtFont)
    return &settings.ArtAttributes();
  return &settings.ValueAttributes();
}

void TTextorElement::UpdateSize() {
  if (!Sheet() || FCreationLock || IsDestroying())
    return;
  std::int32_t minWidth = 0, maxWidth = 0, minHeight = 0;
  GetSizeLimits(minWidth, maxWidth, minHeight);
  QMargins padding;
  GetPadding(padding);
  const int horizontal = padding.left() + padding.right(), vertical = padding.top() + padding.bottom();
  TParagraph *first = FTextor->FirstParagraph(), *last = FTextor->LastParagraph();
  const int firstRowHeight = first->Rows().empty() ? 0 : first->Rows().front().Height();
  const int lastRowHeight = last->Rows().empty() ? 0 : last->Rows().back().Height();
  const int lastRowDescent = last->Rows().empty() ? 0 : last->Rows().back().Descent;
  int contentWidth = FTextor->ContentWidth();
  if ((FTextorOptions & toEmptyMinWidth || IsRequired()) && FTextor->IsEmpty())
    contentWidth = std::max(contentWidth, firstRowHeight * 2 / 3);
  int contentHeight = FTextor->TextHeight();
  if ((FTextorOptions & toIncreaseWorkspaceHeight) && Sheet()->Settings().IncreaseWorkspaceHeight().Value()) {
    QSize available(INT_MAX, INT_MAX);
    if (TVisualElement *parent = VisualParent())
      parent->GetAvailableSize(this, available);
    const qint64 extra = qint64(available.height()) - lastRowHeight - vertical;
    if (extra >= 0 && extra < kUnlimitedWidth)
      contentHeight += int(extra);
  }
  const std::int32_t width = std::max(minWidth, contentWidth + horizontal);
  const std::int32_t height = std::max(minHeight, contentHeight + vertical);
  SetBounds(Left(), Top(), padding.bottom() + lastRowDescent, height, width);
  const std::int32_t cached = firstRowHeight + vertical;
  if (cached != FContentHeight) {
    FContentHeight = cached;
    Notify(tenContentHeightChanged, cached);
  }
}

void TTextorElement::AfterLayout() {
  FStateFlags |= tsInAfterLayout;
  if (!FTextor->CoordinatesToRange(FSelection))
    FSelection = {};
  UpdateSize();
  if (IsFocused())
    Sheet()->UpdateCaret();
  FStateFlags &= std::uint8_t(~tsInAfterLayout);
}

void TTextorElement::Realign(bool sheetChanged, bool settingsChanged, bool heightChanged, bool widthChanged) {
  FTextor->BeginLayoutLock();
  try {
    TCustomDropDownElement::Realign(sheetChanged, settingsChanged, heightChanged, widthChanged);
  } catch (...) {
    FTextor->EndLayoutLock();
    throw;
  }
  if (Sheet()) {
    if (sheetChanged || settingsChanged) {
      FTextor->InvalidateAllLayouts();
    } else if (widthChanged) {
      bool fromParent = false;
      for (TTextorElement *e = this; e && !fromParent; e = e->DelegateTextor())
        fromParent = e->FTextorOptions & toParentWidth;
      std::int32_t minWidth = 0, maxWidth = 0, minHeight = 0;
      GetSizeLimits(minWidth, maxWidth, minHeight);
      if (fromParent && maxWidth < kUnlimitedWidth)
        FTextor->InvalidateAllLayouts();
    }
  }
  FTextor->EndLayoutLock();
  if (sheetChanged && Sheet() && FCreationLock) {
    FCreationLock = false;
    FTextor->EndLayoutLock();
  } else if (sheetChanged && !Sheet() && !FCreationLock) {
    FCreationLock = true;
    FTextor->BeginLayoutLock();
  }
  UpdateSize();
}

void TTextorElement::ChildBoundsChanged(TVisualElement *child, const QRect &oldRect, std::int32_t oldDescent) {
  TCustomDropDownElement::ChildBoundsChanged(child, oldRect, oldDescent);
  if (oldRect.size() == child->BoundsRect().size() && oldDescent == child->Descent())
    return;
  // A new size of an inline element is no change of the content: its row is laid out again, quietly.
  if (auto *link = dynamic_cast<TInlineElementLink *>(child))
    if (TElementPortion *portion = link->Portion()) {
      const std::uint8_t flags = FStateFlags;
      FStateFlags |= tsSuppressChanges;
      portion->Paragraph()->InvalidateLayout();
      FStateFlags = flags;
    }
}

void TTextorElement::InsertVisualChild(TVisualElement *child, TVisualElement *before) {
  FTextor->BeginLayoutLock();
  try {
    TCustomDropDownElement::InsertVisualChild(child, before);
  } catch (...) {
    FTextor->EndLayoutLock();
    throw;
  }
  FTextor->EndLayoutLock();
}

// ---------------------------------------------------------------------------------------------------------
// Painting

void TTextorElement::PaintBackground(TCustomSheetCanvas &canvas) {
  TSheetThemeElement skin;
  if (GetSkin(skin))
    canvas.DrawSkin(skin, ClientRect());
}

void TTextorElement::Paint(TCustomSheetCanvas &canvas, int flags) {
  if (LayoutLocked())
    return;
  PaintBackground(canvas);
  QMargins padding;
  GetPadding(padding);
  int drawFlags = 0;
  if (Sheet() && Sheet()->Settings().NonPrintingCharacters().Value() && !(FTextorOptions & toNoNonPrinting))
    drawFlags |= tdfNonPrinting;
  canvas.Translate(padding.left(), padding.top());
  struct TUntranslate {
    TCustomSheetCanvas &Canvas;
    QMargins By;
    ~TUntranslate() { Canvas.Translate(-By.left(), -By.top()); }
  } untranslate{canvas, padding};
  FTextor->Draw(canvas, flags, drawFlags, FTextor->WholeRange(), false);
}

// ---------------------------------------------------------------------------------------------------------
// Links

namespace {
// The character offset of a position in its paragraph.
std::int32_t OffsetInParagraph(const TTextPosition &position) {
  std::int32_t n = position.Offset;
  for (TPortion *p = position.Paragraph->FirstPortion(); p && p != position.Portion; p = p->Next())
    n += p->Length();
  return n;
}

// The position at a character offset of the paragraph (normal form); the paragraph end past its length.
TTextPosition PositionInParagraph(TParagraph &paragraph, std::int32_t offset) {
  TPortion *p = paragraph.FirstPortion();
  while (p && offset >= p->Length()) {
    offset -= p->Length();
    p = p->Next();
  }
  return p ? TTextPosition{&paragraph, p, offset} : paragraph.End();
}
}  // namespace

void TTextorElement::ParagraphLayout(TParagraph &paragraph) {
  if (TTextorElement *target = DelegateTextor()) {
    target->ParagraphLayout(paragraph);
    return;
  }
  if (!(FTextorOptions & toHyperlinks) || !Sheet() || paragraph.IsEmpty())
    return;
  TTextor &textor = *FTextor;
  TTextPosition at = paragraph.Start();
  for (;;) {
    const TTextRange stretch = textor.TextStretch(at, true, false);
    // The stretch ends before an inline element or at the paragraph end; the next one starts after it.
    const std::int32_t endOffset = stretch.End.AtParagraphEnd() ? -1 : OffsetInParagraph(stretch.End);
    if (!stretch.IsEmpty()) {
      const QString text = textor.RangeText(stretch);
      const std::int32_t base = OffsetInParagraph(stretch.Start);
      textor.ApplyAttributes(stretch, false, nullptr);
      ForEachLinkToken(text, [&](qsizetype start, qsizetype length) {
        const TTextRange link{PositionInParagraph(paragraph, base + std::int32_t(start)),
                              PositionInParagraph(paragraph, base + std::int32_t(start + length))};
        textor.ApplyAttributes(link, false, HyperlinkAttributes(paragraph.TextAttributes(), text.mid(start, length)));
      });
    }
    if (endOffset < 0)
      break;
    at = PositionInParagraph(paragraph, endOffset + 1);
  }
}

void TTextorElement::LinkActivated(TPortion *portion) {
  if (TTextorElement *target = DelegateTextor()) {
    target->LinkActivated(portion);
    return;
  }
  if (!(FTextorOptions & toHyperlinks) || !portion)
    return;
  const TTextAttributes &attributes = portion->Attributes();
  if (attributes.LinkKind() == lkHyperlink)
    OpenLink(attributes.LinkTarget());
}

// ---------------------------------------------------------------------------------------------------------
// Text

void TTextorElement::AppendRangeText(const TTextRange &range, QString &builder) const {
  FTextor->ForEachInRange(range, false, [&](TParagraph *, TPortion *portion, std::int32_t offset,
                                            std::int32_t count, bool &) {
    if (!portion) {
      builder += QStringLiteral("\r\n");
      return;
    }
    if (portion->Kind() == TPortionKind::Element) {
      if (TVisualElement *element = static_cast<TElementPortion *>(portion)->Element())
        element->GetText(builder);
      return;
    }
    const qsizetype old = builder.size();
    builder.resize(old + portion->CopyChars(offset, count, nullptr));
    portion->CopyChars(offset, count, builder.data() + old);
  });
}

void TTextorElement::GetText(QString &builder) {
  TCustomDropDownElement::GetText(builder);
  AppendRangeText(FTextor->WholeRange(), builder);
}

TTextRange TTextorElement::SelectionRange() const {
  if (std::optional<TTextRange> r = FTextor->CoordinatesToRange(FSelection))
    return *r;
  return {FTextor->TextStart(), FTextor->TextStart()};
}

// ---------------------------------------------------------------------------------------------------------
// Focus

void TTextorElement::SelectAll() { FSelection = FTextor->RangeToCoordinates(FTextor->WholeRange()); }

void TTextorElement::Activate() {
  FocusIfNotFocused();
  SelectAll();
}

void TTextorElement::GetFocusData(QString &text) {
  text = QString::asprintf("%d,%d,%d,%d", FSelection.StartIndex, FSelection.StartOffset, FSelection.EndIndex,
                           FSelection.EndOffset);
}

void TTextorElement::SetFocus(bool horizontal, bool forward, const QString &focusData, TVisualElement *fromChild,
                              const QPoint *point) {
  TTextor &textor = *FTextor;
  const auto caretAt = [&](const TTextPosition &p) {
    const TTextCoordinates c = textor.PositionToCoordinates(p);
    FSelection = {c.Index, c.Offset, c.Index, c.Offset};
  };
  if (!focusData.isEmpty()) {
    const QStringList parts = focusData.split(QLatin1Char(','));
    std::int32_t v[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4 && i < parts.size(); ++i) {
      bool ok = false;
      const int n = parts[i].trimmed().toInt(&ok);
      v[i] = ok ? n : 0;
    }
    const TTextCoordinateRange c{v[0], v[1], v[2], v[3]};
    if (textor.CoordinatesToRange(c))
      FSelection = c;
  } else if (point && Sheet() && !FCreationLock) {
    QMargins padding;
    GetPadding(padding);
    if (std::optional<TTextor::THit> hit =
            textor.PositionAtPoint(*point - QPoint(padding.left(), padding.top()), true, true))
      caretAt(hit->Position);
  } else if (auto *link = dynamic_cast<TInlineElementLink *>(fromChild); link && link->Portion()) {
    TTextPosition p{link->Portion()->Paragraph(), link->Portion(), 0};
    caretAt(forward ? textor.NextPosition(p) : p);
  } else {
    caretAt(forward ? textor.TextStart() : textor.TextEnd());
  }
  TCustomDropDownElement::SetFocus(horizontal, forward, focusData, fromChild, point);
}

// ---------------------------------------------------------------------------------------------------------
// Cursor

int TTextorElement::GetCursor(const QPoint &) {
  if (HasDropDown())
    return crTextorFieldDropDownBeam;
  if (!FTextor->ParagraphBreaksAllowed())
    return (FTextorOptions & toInlineElements) ? crTextorFieldElementsBeam : crTextorFieldBeam;
  return (FContentSet & (csTextMask | csTabs)) ? crTextorContainerTextBeam : crTextorContainerBeam;
}

// ---------------------------------------------------------------------------------------------------------
// Search

bool TTextorElement::FindFocusTarget(TFindMode mode, const TFindData &findData, TVisualElement *&fromChild,
                                     TVisualElement *&next, bool forward) {
  TTextor &textor = *FTextor;
  TTextPosition start;
  if (IsFocused()) {
    // The selection kept on the element stands in for the caret and selection of the interaction, which
    // exist exactly while the element is focused. The continue flag says the selection is to be passed
    // over: after a replacement always, on Find when it is itself a match, on Replace never.
    const TTextRange selection = SelectionRange();
    bool passOver;
    if (mode == fmAfterReplace)
      passOver = true;
    else if (mode == fmReplace)
      passOver = false;
    else
      passOver = !selection.IsEmpty() && findData.Matches(textor.RangeText(selection));
    start = forward == passOver ? selection.End : selection.Start;
  } else {
    start = forward ? textor.TextStart() : textor.TextEnd();
  }
  const TTextFindResult found = textor.FindInStretches(start, forward, findData);
  if (found.Match) {
    FocusIfNotFocused();
    FSelection = textor.RangeToCoordinates(*found.Match);
    if (TSheet *sheet = Sheet())
      sheet->SelectionChanged(this);
    return true;
  }
  if (found.Next) {
    next = found.Next;
    fromChild = nullptr;
    return false;
  }
  return TCustomDropDownElement::FindFocusTarget(mode, findData, fromChild, next, forward);
}

// ---------------------------------------------------------------------------------------------------------
// Filing

TTextAttributes *TTextorElement::AttributesFromKnot(TKnot &knot) {
  if (TTextorElement *target = DelegateTextor())
    return target->AttributesFromKnot(knot);
  return nullptr;
}

void TTextorElement::SaveContent(TSchemeSaver &filer, TKnot &knot, const TTextRange *range) {
  // The run being written: its knot, its "Value" parameter and the text that goes into it. The text is
  // stored once when the run ends, so that a long run is not copied again for every chunk.
  TKnot *chars = nullptr;
  TKnotParam *value = nullptr;
  QString text;
  QString data;
  if (TKnot *last = static_cast<TKnot *>(knot.TNode::LastChild()); last && last->Name() == kChars) {
    if (TKnotParam *p = last->FindParam(kValue)) {
      chars = last;
      value = p;
      text = p->Text();
      const TKnotParam *d = last->FindParam(kData);
      data = d ? d->Text() : QString();
    }
  }
  const auto flush = [&] {
    if (value)
      value->SetText(text);
    chars = nullptr;
    value = nullptr;
    text.clear();
  };
  const bool clipboard = filer.Mode() == fmClipboard;
  FTextor->ForEachInRange(range ? *range : FTextor->WholeRange(), false,
                          [&](TParagraph *, TPortion *portion, std::int32_t offset, std::int32_t count, bool &) {
                            if (!portion) {
                              flush();
                              knot.AddChild(kBr)->SetAddedOptions(koSameLine);
                              return;
                            }
                            if (portion->Kind() == TPortionKind::Element) {
                              flush();
                              TVisualElement *element = static_cast<TElementPortion *>(portion)->Element();
                              if (element && !(clipboard && (element->VisualOptions() & voLogSign)))
                                SaveChild(filer, element, knot);
                              return;
                            }
                            const QString &runData = portion->Attributes().Data();
                            if (chars && runData == data) {
                              chars->SetAddedOptions(chars->AddedOptions() | koUniqueParams);
                            } else {
                              flush();
                              chars = knot.AddChild(kChars);
                              value = chars->AddParam(kValue);
                              if (!runData.isEmpty())
                                chars->WriteStr(kData, runData);
                              data = runData;
                            }
                            const qsizetype old = text.size();
                            text.resize(old + portion->CopyChars(offset, count, nullptr));
                            portion->CopyChars(offset, count, text.data() + old);
                          });
  flush();
}

void TTextorElement::SaveContentKnot(TKnot &knot, TFilerMode mode, std::uint8_t options, const TTextRange *range) {
  knot.Clear();
  knot.SetName(QStringLiteral("LoomContent"));
  knot.SetAddedOptions(koPositionalChildren);
  TSchemeSaver saver(mode, &knot, options);
  saver.WriteFormatVersion();
  SaveContent(saver, knot, range);
}

TTextRange TTextorElement::LoadContent(TSchemeLoader &filer, TKnot &knot, const TTextPosition &at) {
  TTextor &textor = *FTextor;
  TSheetUpdate sheetUpdate(Sheet());
  textor.BeginUpdate();
  std::optional<TTextPosition> start;
  TTextPosition end = at;
  const auto note = [&](const TTextRange &r) {
    if (!start)
      start = r.Start;
    end = r.End;
  };
  // The knots of parts are read by the framework's share of Load.
  QStringList partKnots;
  for (TElement *part = FirstChildElement(); part; part = part->NextElement())
    if (part->IsPart() && !part->IsFiledInline(filer)) {
      QString name;
      part->GetKnotName(filer.Mode(), name);
      partKnots.append(name);
    }
  TAcceptedClasses accepted;
  try {
    for (TKnot *k = knot.FirstKnot(); k; k = k->NextKnot()) {
      const QString &name = k->Name();
      if (name == kBr) {
        k->SetAccessed(true);
        note(textor.SplitParagraph(end, nullptr));
      } else if (name == kChars) {
        k->SetAccessed(true);
        TTextAttributes *attributes = AttributesFromKnot(*k);
        const QString value = k->ReadStr(kValue);
        k->HasParam(kData);  // not interpreted, but read
        if (!value.isEmpty())
          note(textor.InsertText(end, value, attributes));
      } else if (partKnots.contains(name)) {
        continue;
      } else if (FTextorOptions & toInlineElements) {
        TElement *element = LoadChild(filer, *k, nullptr, accepted);
        auto *visual = dynamic_cast<TVisualElement *>(element);
        if (!visual) {
          element->Free();
          continue;
        }
        visual->SetVisualParent(this);
        note(textor.InsertElement(end, visual, nullptr));
      } else {
        k->SetAccessed(false);
      }
    }
  } catch (...) {
    textor.EndUpdate();
    throw;
  }
  textor.EndUpdate();
  return {start.value_or(end), end};
}

void TTextorElement::Load(TSchemeLoader &filer, TKnot &knot) {
  TCustomDropDownElement::Load(filer, knot);
  FSelection = {};
  if (!(FTextorOptions & toInlineElements)) {
    QString name = kValue;
    if (IsFiledInline(filer))
      GetKnotName(filer.Mode(), name);
    FTextor->SetText(knot.ReadStr(name));
    return;
  }
  knot.SetAddedOptions(knot.AddedOptions() | koPositionalChildren);
  TKnot *source = &knot;
  if (filer.Mode() == fmSnapshot && FirstChildElement() && FirstChildElement()->IsPart())
    if (TKnot *floating = knot.FindChild(kFloating)) {
      floating->SetAddedOptions(floating->AddedOptions() | koPositionalChildren);
      source = floating;
    }
  FTextor->BeginUpdate();
  try {
    FTextor->Clear();
    LoadContent(filer, *source, FTextor->TextEnd());
  } catch (...) {
    FTextor->EndUpdate();
    throw;
  }
  FTextor->EndUpdate();
}

void TTextorElement::Save(TSchemeSaver &filer, TKnot &knot) {
  TCustomDropDownElement::Save(filer, knot);
  if (!(FTextorOptions & toInlineElements)) {
    if (FTextor->IsEmpty())
      return;
    QString name = kValue;
    if (IsFiledInline(filer))
      GetKnotName(filer.Mode(), name);
    knot.WriteStr(name, FTextor->Text());
    return;
  }
  knot.SetAddedOptions(knot.AddedOptions() | koPositionalChildren);
  if (filer.Mode() == fmSnapshot ? FTextor->IsEmpty() : IsEmpty())
    return;
  TKnot *target = &knot;
  if (filer.Mode() == fmSnapshot && FirstChildElement() && FirstChildElement()->IsPart()) {
    target = knot.AddChild(kFloating);
    target->SetAddedOptions(koPositionalChildren);
  }
  SaveContent(filer, *target, nullptr);
}

// ---------------------------------------------------------------------------------------------------------

void InlineText::TElement_Unaccepted::Freeing() {
  PortionElementFreeing();
  ::TElement_Unaccepted::Freeing();
}

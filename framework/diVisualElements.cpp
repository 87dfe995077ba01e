#include "diVisualElements.h"

#include "cuLocalization.h"
#include "diCanvas.h"
#include "diElementOperations.h"
#include "diFiling.h"
#include "diPalette.h"
#include "diSheet.h"

#include <algorithm>
#include <climits>

QN_DEFINE_ELEMENT_CLASS(TVisualElement, TElement)
QN_DEFINE_ELEMENT_CLASS(TPanelElement, TVisualElement)
QN_DEFINE_ELEMENT_CLASS(TSheetElement, TPanelElement)
QN_DEFINE_ELEMENT_CLASS(TMessagesSignElement, TVisualElement)
QN_DEFINE_ELEMENT_CLASS(TElement_Unaccepted, TVisualElement)

namespace {
std::int32_t RightOf(const QRect &r) { return r.x() + r.width(); }
std::int32_t BottomOf(const QRect &r) { return r.y() + r.height(); }
}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TVisualElement

struct TVisualElement::VisualLinks {
  static TVisualElement *Next(const TVisualElement *e) { return e->FNextVisualSibling; }
  static TVisualElement *Previous(const TVisualElement *e) { return e->FPreviousVisualSibling; }
  static void SetNext(TVisualElement *e, TVisualElement *v) { e->FNextVisualSibling = v; }
  static void SetPrevious(TVisualElement *e, TVisualElement *v) { e->FPreviousVisualSibling = v; }
};
using TVisualChildren = TBidirectionalList<TVisualElement, TVisualElement::VisualLinks>;

bool TVisualElement::SetBounds(std::int32_t left, std::int32_t top, std::int32_t descent, std::int32_t height,
                               std::int32_t width) {
  if (left == FLeft && top == FTop && descent == FDescent && height == FHeight && width == FWidth)
    return false;
  const QRect oldRect = BoundsRect();
  const std::int32_t oldDescent = FDescent;
  Invalidate();
  FLeft = left;
  FTop = top;
  FDescent = descent;
  FHeight = height;
  FWidth = width;
  Invalidate();
  if (oldRect.topLeft() != QPoint(left, top))
    PositionChanged();
  if (FVisualParent)
    FVisualParent->ChildBoundsChanged(this, oldRect, oldDescent);
  if (FSheet && FSheet->RootElement() == this)
    FSheet->SizeChanged();
  BoundsChanged(oldRect, oldDescent);
  return true;
}

void TVisualElement::SetStateBit(std::uint16_t bit, bool on) {
  if (on)
    FVisualState |= bit;
  else
    FVisualState &= std::uint16_t(~bit);
}

void TVisualElement::SetDisabled(bool disabled) {
  if (disabled == IsDisabledOwn())
    return;
  SetStateBit(vsDisabledOwn, disabled);
  DisabledChanged();
  if (!FSheet)
    return;
  // A selected child of a group-selecting container is edited through the container.
  TVisualElement *reported = this;
  if (FVisualParent && (FVisualParent->FVisualOptions & voSelectsChildren) && IsSelected())
    reported = FVisualParent;
  FSheet->EditabilityChanged(reported);
  FSheet->PaletteStateChanged(reported);
}

bool TVisualElement::IsReadOnly() const {
  return (FVisualOptions & voReadOnly) || (FSheet && FSheet->ReadOnly()) || (Scheme() && Scheme()->ReadOnly());
}

void TVisualElement::ChangeDisabled(bool disabled) {
  auto op = MakeNode<TVisualElementDisableOperation>(this, false);
  op->NewDisabled = disabled;
  TSchemeOperation::Execute(std::move(op));
}

void TVisualElement::SetSelected(bool selected) {
  if (selected == IsSelectedOwn())
    return;
  SetStateBit(vsSelectedOwn, selected);
  SelectedChanged();
  if (FVisualParent)
    FVisualParent->ChildSelectedChanged(this);
}

void TVisualElement::SetMarked(bool marked) {
  if (FSheet) {
    FSheet->SetMarked(this, marked);
    return;
  }
  if (marked == IsMarked())
    return;
  SetStateFlag(esMarked, marked);
}

void TVisualElement::SetExternalEditing(bool editing) {
  if (editing == IsExternalEditing())
    return;
  SetStateBit(vsExternalEditing, editing);
  ExternalEditingChanged();
  Invalidate();
}

void TVisualElement::SetRepaintOnActivation(bool repaint) { SetStateBit(vsRepaintOnActivation, repaint); }

void TVisualElement::SetBeingFocused(bool beingFocused) { SetStateBit(vsBeingFocused, beingFocused); }

void TVisualElement::SetVisualOptions(std::uint16_t options) {
  if (options == FVisualOptions)
    return;
  const std::uint16_t old = FVisualOptions;
  const bool wasReadOnly = IsReadOnly();
  FVisualOptions = options;
  if ((old ^ options) & voAutoHide)
    UpdateVisible();
  if (FSheet && IsReadOnly() != wasReadOnly)
    FSheet->EditabilityChanged(this);
}

void TVisualElement::Press(bool pressed) {
  if (!FSheet)
    return;
  if (pressed)
    FSheet->SetPressed(this);
  else if (IsPressed())
    FSheet->SetPressed(nullptr);
}

void TVisualElement::FocusIfNotFocused() {
  if (!IsFocused())
    SetFocus(true, true, QString(), nullptr, nullptr);
}

void TVisualElement::Reveal() {
  TSheetUpdate update(FSheet);
  TSchemeGroup group(Scheme(), QString());
  for (TVisualElement *e = this; e; e = e->NavigationParent())
    if (!e->IsVisible())
      if (TVisualElement *parent = e->NavigationParent())
        parent->ShowChild(e);
}

bool TVisualElement::IsFocused() const { return FSheet && FSheet->Focused() == this; }
bool TVisualElement::IsPressed() const { return FSheet && FSheet->Pressed() == this; }
bool TVisualElement::IsHot() const { return FSheet && FSheet->Hot() == this; }

// ---------------------------------------------------------------------------------------------------------
// The visual tree

TVisualElement *TVisualElement::VisualChildren(int index) const {
  return index < 0 ? nullptr : TVisualChildren::Walk(FFirstVisualChild, index);
}

TVisualElement *TVisualElement::FirstVisibleChild() const {
  TVisualElement *c = FFirstVisualChild;
  while (c && !c->IsVisible())
    c = c->FNextVisualSibling;
  return c;
}

TVisualElement *TVisualElement::LastVisibleChild() const {
  TVisualElement *c = FLastVisualChild;
  while (c && !c->IsVisible())
    c = c->FPreviousVisualSibling;
  return c;
}

TVisualElement *TVisualElement::NextVisibleSibling() const {
  TVisualElement *c = FNextVisualSibling;
  while (c && !c->IsVisible())
    c = c->FNextVisualSibling;
  return c;
}

QPoint TVisualElement::ToSheet(const QPoint &point) const {
  QPoint p = point;
  for (const TVisualElement *e = this; e; e = e->FVisualParent)
    p = e->ToParent(p);
  return p;
}

QPoint TVisualElement::FromSheet(const QPoint &point) const {
  QPoint p = point;
  for (const TVisualElement *e = this; e; e = e->FVisualParent)
    p = e->FromParent(p);
  return p;
}

void TVisualElement::SetSheetDeep(TSheet *sheet) {
  FSheet = sheet;
  for (TVisualElement *c = FFirstVisualChild; c; c = c->FNextVisualSibling)
    c->SetSheetDeep(sheet);
}

void TVisualElement::AttachChild(TVisualElement *child, TSheet *sheet) {
  if (child->FSheet == sheet)
    return;
  if (child->FSheet)
    child->DetachFromSheet();
  child->SetSheetDeep(sheet);
  if (sheet) {
    TSheetUpdate update(sheet);
    child->Realign(true, true, true, true);
  } else {
    child->Realign(true, false, false, false);
  }
}

void TVisualElement::SetVisualParentAt(TVisualElement *parent, TVisualElement *before) {
  if (parent == FVisualParent) {
    if (!parent || before == FNextVisualSibling || before == this)
      return;
    parent->MoveVisualChild(this, before);
    Invalidate();
    return;
  }
  if (TVisualElement *old = FVisualParent) {
    const QRect oldArea = BoundsRect();
    old->RemoveVisualChild(this);
    FVisualParent = nullptr;
    old->InvalidateRect(oldArea);
  }
  FVisualParent = parent;
  if (parent) {
    parent->InsertVisualChild(this, before);
    Invalidate();
  }
  VisualParentChanged();
}

void TVisualElement::InsertVisualChild(TVisualElement *child, TVisualElement *before) {
  if (before && before->FVisualParent != this)
    before = nullptr;
  TVisualChildren::InsertBefore(FFirstVisualChild, FLastVisualChild, child, before);
  ++FVisualChildCount;
  child->FVisualParent = this;
  AttachChild(child, FSheet);
}

void TVisualElement::RemoveVisualChild(TVisualElement *child) {
  TSheet *sheet = FSheet;
  AttachChild(child, nullptr);
  TVisualChildren::Remove(FFirstVisualChild, FLastVisualChild, child);
  --FVisualChildCount;
  if (sheet && (FVisualOptions & voSelectsChildren) && child->IsSelected())
    sheet->SelectionChanged(this);
}

void TVisualElement::MoveVisualChild(TVisualElement *child, TVisualElement *before) {
  if (before && before->FVisualParent != this)
    before = nullptr;
  TVisualChildren::Remove(FFirstVisualChild, FLastVisualChild, child);
  TVisualChildren::InsertBefore(FFirstVisualChild, FLastVisualChild, child, before);
}

void TVisualElement::Freeing() {
  // Marked destroying first, so that nothing below recomputes states or invalidates the dying subtree.
  TElement::Freeing();
  SetVisualParentAt(nullptr, nullptr);
  while (TVisualElement *c = FLastVisualChild)
    c->SetVisualParentAt(nullptr, nullptr);
  if (FMessagesSign)
    FMessagesSign->Free();
}

void TVisualElement::DetachFromSheet() {
  if (FMessagesSign)
    FMessagesSign->Free();
  if (FSheet)
    FSheet->ForgetElement(this);
  for (TVisualElement *c = FFirstVisualChild; c; c = c->FNextVisualSibling)
    c->DetachFromSheet();
}

// ---------------------------------------------------------------------------------------------------------
// Invalidation and hit tests

void TVisualElement::Invalidate() {
  QRect paint;
  GetPaintRect(paint);
  InvalidateRect(paint);
}

void TVisualElement::InvalidateRect(const QRect &rect) {
  if (IsDestroying() || !FSheet || !IsVisible())
    return;
  if (FSheet->Updating()) {
    FSheet->InvalidateAll();
    return;
  }
  QRect paint;
  GetPaintRect(paint);
  const QRect r = rect.intersected(paint);
  if (r.isEmpty())
    return;
  const QRect inParent = r.translated(FLeft, FTop);
  if (FVisualParent)
    FVisualParent->InvalidateRect(inParent);
  else if (FSheet->RootElement() == this)
    FSheet->InvalidateRect(inParent);
}

TVisualElement *TVisualElement::HitTestDeep(const QPoint &point, int flags) {
  if ((!(flags & htSelected) && IsSelected()) || (!(flags & htTransparent) && (FVisualOptions & voMouseTransparent)) ||
      !HitTest(point))
    return nullptr;
  if (flags & htChildren) {
    int childFlags = flags | htSelf;
    if (!(flags & htDeep))
      childFlags &= ~htChildren;
    for (TVisualElement *c = FLastVisualChild; c; c = c->FPreviousVisualSibling)
      if (c->IsVisible())
        if (TVisualElement *hit = c->HitTestDeep(c->FromParent(point), childFlags))
          return hit;
  }
  return (flags & htSelf) ? this : nullptr;
}

bool TVisualElement::HitTest(const QPoint &point) {
  QMargins insets;
  GetHitInsets(insets);
  return ClientRect().contains(point) && ClientRect().marginsRemoved(insets).contains(point);
}

// ---------------------------------------------------------------------------------------------------------
// Effective states

bool TVisualElement::ComputeDisabled() { return IsDisabledOwn() || (FVisualParent && FVisualParent->IsDisabled()); }

bool TVisualElement::ComputeSelected() { return IsSelectedOwn() || (FVisualParent && FVisualParent->IsSelected()); }

bool TVisualElement::ComputeVisible() {
  bool visible = !FVisualParent || (FVisualParent->IsVisible() && FVisualParent->IsChildShown(this));
  if (visible && (FVisualOptions & voAutoHide))
    visible = (Options() & efChecked) && (IsFilledState() || IsBeingFocused() || IsFocused());
  return visible;
}

void TVisualElement::UpdateDisabled() {
  if (IsDestroying())
    return;
  const bool disabled = ComputeDisabled();
  if (disabled == IsDisabled())
    return;
  SetStateBit(vsDisabled, disabled);
  EffectiveDisabledChanged();
  Invalidate();
}

void TVisualElement::UpdateSelected() {
  if (IsDestroying())
    return;
  const bool selected = ComputeSelected();
  if (selected == IsSelected())
    return;
  SetStateBit(vsSelected, selected);
  EffectiveSelectedChanged();
}

void TVisualElement::UpdateVisible() {
  if (IsDestroying())
    return;
  const bool visible = ComputeVisible();
  if (visible == IsVisible())
    return;
  // The area is repainted on both sides of the change: a hidden element invalidates nothing.
  if (!visible)
    Invalidate();
  SetStateBit(vsVisible, visible);
  if (visible)
    Invalidate();
  VisibleChanged();
}

void TVisualElement::EffectiveDisabledChanged() {
  if (FVisualParent)
    FVisualParent->ChildDisabledChanged(this);
  PropagateDisabled();
  if (Options() & efChecked)
    Validate();
}

void TVisualElement::VisibleChanged() {
  if (FVisualParent)
    FVisualParent->ChildVisibleChanged(this);
  PropagateVisible();
  UpdateMessagesSign();
  if (!IsVisible() && FSheet)
    FSheet->ElementHidden(this);
}

void TVisualElement::PropagateDisabled() {
  for (TVisualElement *c = FFirstVisualChild; c; c = c->FNextVisualSibling)
    c->UpdateDisabled();
}

void TVisualElement::PropagateSelected() {
  for (TVisualElement *c = FFirstVisualChild; c; c = c->FNextVisualSibling)
    c->UpdateSelected();
}

void TVisualElement::PropagateVisible() {
  for (TVisualElement *c = FFirstVisualChild; c; c = c->FNextVisualSibling)
    c->UpdateVisible();
}

void TVisualElement::VisualParentChanged() {
  UpdateDisabled();
  UpdateSelected();
  UpdateVisible();
}

void TVisualElement::ChildSelectedChanged(TVisualElement *child) {
  if (FVisualState & vsChildSelectionUpdate)
    FVisualState |= vsChildSelectionChanged;
  else if ((FVisualOptions & voSelectsChildren) && FSheet)
    FSheet->SelectionChanged(this);
}

void TVisualElement::BeginChildSelection() { FVisualState |= vsChildSelectionUpdate; }

void TVisualElement::EndChildSelection() {
  const bool changed = FVisualState & vsChildSelectionChanged;
  FVisualState &= std::uint16_t(~(vsChildSelectionUpdate | vsChildSelectionChanged));
  if (changed)
    ChildSelectedChanged(nullptr);
}

void TVisualElement::FilledChanged() {
  TElement::FilledChanged();
  UpdateMessagesSign();
  if (FVisualOptions & voAutoHide)
    UpdateVisible();
}

void TVisualElement::MessagesChanged() {
  TElement::MessagesChanged();
  UpdateMessagesSign();
}

// ---------------------------------------------------------------------------------------------------------
// Focus and navigation

void TVisualElement::FocusChanged() {
  if (FVisualOptions & voAutoHide)
    UpdateVisible();
}

void TVisualElement::FocusChanging() {
  if (FVisualState & vsRepaintOnActivation)
    ActivationChanged();
}

void TVisualElement::GetCaret(int &kind, QRect &rect) {
  kind = 0;
  rect = QRect();
}

void TVisualElement::GetMargins(QMargins &margins) {
  margins = FSheet ? FSheet->Canvas().SkinMargins(steField) : QMargins();
}

TVisualElement *TVisualElement::NextVisualChild(TVisualElement *current, bool horizontal, bool forward) {
  if (!current)
    return forward ? FFirstVisualChild : FLastVisualChild;
  return forward ? current->FNextVisualSibling : current->FPreviousVisualSibling;
}

TVisualElement *TVisualElement::NavigationParent() {
  if (FVisualParent && FSheet && FVisualParent == FSheet->RootElement())
    return nullptr;
  return FVisualParent;
}

void TVisualElement::Activate() {
  TVisualElement *target = nullptr;
  if (!FindFocusable(true, true, target, false, true))
    return;
  if (target == this)
    FocusIfNotFocused();
  else
    target->Activate();
}

bool TVisualElement::FindFocusable(bool horizontal, bool forward, TVisualElement *&out, bool skipDisabled,
                                   bool visibleOnly) {
  if ((FVisualOptions & voFocusable) && (!visibleOnly || IsVisible()) && (!skipDisabled || !IsDisabled())) {
    out = this;
    return true;
  }
  for (TVisualElement *c = NextVisualChild(nullptr, horizontal, forward); c; c = NextVisualChild(c, horizontal, forward))
    if (c->FindFocusable(horizontal, forward, out, skipDisabled, visibleOnly))
      return true;
  return false;
}

TVisualElement *TVisualElement::FindNextFocusable(bool horizontal, bool forward, TVisualElement *&fromChild,
                                                  bool skipDisabled, bool visibleOnly) {
  fromChild = nullptr;
  for (TVisualElement *current = this;;) {
    TVisualElement *parent = current->NavigationParent();
    if (!parent)
      return nullptr;
    if (parent->FVisualOptions & voFocusable) {
      fromChild = current;
      return parent;
    }
    for (TVisualElement *c = parent->NextVisualChild(current, horizontal, forward); c;
         c = parent->NextVisualChild(c, horizontal, forward)) {
      TVisualElement *found = nullptr;
      if (c->FindFocusable(horizontal, forward, found, skipDisabled, visibleOnly))
        return found;
    }
    current = parent;
  }
}

void TVisualElement::SetFocus(bool horizontal, bool forward, const QString &focusData, TVisualElement *fromChild,
                              const QPoint *point) {
  if (FSheet)
    FSheet->SetFocus(this);
}

void TVisualElement::GetHint(QString &text) {
  text.clear();
  if (IsPart())
    if (TElement *owner = OwnerElement())
      owner->GetPartHint(this, text);
}

void TVisualElement::GetAvailableSize(TVisualElement *child, QSize &size) {
  if (FVisualParent)
    FVisualParent->GetAvailableSize(this, size);
  else
    size = QSize(INT_MAX, INT_MAX);
}

bool TVisualElement::CanPaste() { return (FVisualOptions & voCanPaste) && !IsReadOnly(); }

// ---------------------------------------------------------------------------------------------------------
// Input

void TVisualElement::MouseDown(const QPoint &point, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                               bool doubleClick) {
  if (doubleClick) {
    DoubleClick();
    return;
  }
  if (button == Qt::LeftButton && (FVisualOptions & voPressable)) {
    if ((FVisualOptions & voFocusable) && !IsFocused())
      SetFocus(true, true, QString(), nullptr, &point);
    Press(true);
    return;
  }
  if (FVisualParent)
    FVisualParent->MouseDown(ToParent(point), button, shift, doubleClick);
}

void TVisualElement::MouseUp(const QPoint &point, Qt::MouseButton button, Qt::KeyboardModifiers shift) {
  if (button != Qt::LeftButton || !IsPressed())
    return;
  Press(false);
  if (HitTest(point))
    Click();
}

// ---------------------------------------------------------------------------------------------------------
// Painting and layout

void TVisualElement::PaintElement(TCustomSheetCanvas &canvas, int flags) {
  canvas.Translate(FLeft, FTop);
  struct TUntranslate {
    TCustomSheetCanvas &Canvas;
    QPoint By;
    ~TUntranslate() { Canvas.Translate(-By.x(), -By.y()); }
  } untranslate{canvas, QPoint(FLeft, FTop)};
  Paint(canvas, flags);
  PaintChildren(canvas, flags);
  if (IsDisabled() && !(FVisualParent && FVisualParent->IsDisabled()))
    PaintDisabled(canvas);
  if (IsExternalEditing())
    PaintExternalEditing(canvas);
  if (IsMarked() && !(flags & pfPrinting))
    PaintMark(canvas);
}

void TVisualElement::PaintChild(TCustomSheetCanvas &canvas, int flags, TVisualElement *child) {
  child->PaintElement(canvas, flags);
}

void TVisualElement::PaintChildren(TCustomSheetCanvas &canvas, int flags) {
  for (TVisualElement *c = FFirstVisualChild; c; c = c->FNextVisualSibling)
    if (c->IsVisible() && canvas.IsVisible(c->BoundsRect()))
      PaintChild(canvas, flags, c);
}

void TVisualElement::PaintDisabled(TCustomSheetCanvas &canvas) { canvas.DrawDisabledOverlay(ClientRect()); }

void TVisualElement::PaintExternalEditing(TCustomSheetCanvas &canvas) {
  canvas.DrawSkin(steExternalEditingMode, ClientRect());
}

void TVisualElement::PaintMark(TCustomSheetCanvas &canvas) { canvas.DrawSkin(steMark, ClientRect()); }

void TVisualElement::PositionChanged() {
  for (TVisualElement *c = FFirstVisualChild; c; c = c->FNextVisualSibling)
    c->PositionChanged();
  PlaceMessagesSign();
  if (IsFocused())
    FSheet->UpdateCaret();
}

void TVisualElement::Realign(bool sheetChanged, bool settingsChanged, bool heightChanged, bool widthChanged) {
  const bool all = sheetChanged || settingsChanged;
  for (TVisualElement *c = FFirstVisualChild; c; c = c->FNextVisualSibling)
    if (all || c->IsVisible())
      c->Realign(sheetChanged, settingsChanged, heightChanged, widthChanged);
  if (all && (Options() & efChecked) && Messages())
    Check();
  UpdateMessagesSign();
}

// ---------------------------------------------------------------------------------------------------------
// The messages sign

void TVisualElement::UpdateMessagesSign() {
  const bool wanted = !IsDestroying() && (Options() & efChecked) && FSheet && IsVisible() && !HasNoProblems();
  if (!wanted) {
    if (FMessagesSign)
      FMessagesSign->Free();
    return;
  }
  if (FMessagesSign) {
    FMessagesSign->Invalidate();
  } else {
    TSheetElement *root = FSheet->RootElement();
    auto *sign = CreatePart<TMessagesSignElement>(root);
    sign->FElement = this;
    FMessagesSign = sign;
    sign->SetVisualParent(root);
  }
  PlaceMessagesSign();
}

void TVisualElement::PlaceMessagesSign() {
  if (!FMessagesSign || !FSheet)
    return;
  TVisualElement *sign = FMessagesSign;
  const std::int32_t h = sign->Height();
  QPoint at = FSheet->RootElement()->FromSheet(ToSheet(QPoint(0, -(h / 2) - 1)));
  at.setY(std::max(at.y(), -(h / 4)));
  sign->SetBounds(at.x(), at.y(), sign->Descent(), h, sign->Width());
}

bool TVisualElement::ExecutePaletteItem(TVisualElement &target, TSchemePaletteItem &item, bool state) {
  if (&item != FrameworkPalette().Disable || !(FVisualOptions & voCanDisable))
    return false;
  if (state != IsDisabledOwn())
    ChangeDisabled(state);
  return true;
}

void TVisualElement::GetPaletteItems(TPaletteItemList &list) {
  if (FVisualOptions & voCanDisable)
    AddPaletteItem(list, FrameworkPalette().Disable);
  TElementClassList classes;
  CollectAcceptedClasses(classes);
  Palette().AddElementItems(classes, list);
}

void TVisualElement::GetPaletteItemState(TPaletteItem &item, TPaletteItemState &state) {
  if (&item == FrameworkPalette().Disable)
    state.Checked = IsDisabledOwn();
}

void TVisualElement::TunePaletteItem(TPaletteItem &item, TPaletteItemTune &tune) {
  if (IsPart())
    if (TElement *owner = OwnerElement())
      owner->TunePartPaletteItem(this, item, tune);
}

bool TVisualElement::ShouldSaveChild(TSchemeFiler &filer, TVisualElement *child) {
  if (filer.HasOption(foSkipDisabled) && child->IsDisabledOwn())
    return false;
  if (filer.HasOption(foSkipComments) && (child->Options() & efComment))
    return false;
  return !(filer.HasOption(foSkipUnaccepted) && (child->Options() & efUnaccepted));
}

void TVisualElement::MapLegacyName(TSchemeFiler &filer, TKnot &knot, QString &name) { name = knot.Name(); }

const TElementClass &TVisualElement::GetUnacceptedClass() { return TElement_Unaccepted::Class(); }

TKnot *TVisualElement::SaveChild(TSchemeSaver &filer, TVisualElement *child, TKnot &knot) {
  if (!ShouldSaveChild(filer, child))
    return nullptr;
  if (filer.HasOption(foAskEachElement) && child->ExcludeFromFiling(filer, knot))
    return nullptr;
  TKnot *childKnot = knot.AddChild(child->GetClass().TypeName());
  child->Save(filer, *childKnot);
  return childKnot;
}

TElement *TVisualElement::LoadChild(TSchemeLoader &filer, TKnot &knot, TElement *before,
                                    TAcceptedClasses &accepted) {
  const TElementClass *elementClass = nullptr;
  // Past the nesting cap the knot is kept whole as text, so that no document can exhaust the stack.
  if (filer.FNesting < TSchemeLoader::MaxNesting) {
    if (!accepted.Collected) {
      CollectAcceptedClasses(accepted.Classes);
      accepted.Collected = true;
    }
    QString name;
    MapLegacyName(filer, knot, name);
    for (const TElementClass *c : accepted.Classes)
      if (c->TypeName() == name) {
        elementClass = c;
        break;
      }
  }
  if (!elementClass)
    elementClass = &GetUnacceptedClass();
  knot.SetAccessed(true);  // loading an element from it reads it
  TElement *element = CreateElement(*elementClass, Scheme(), this, before);
  ++filer.FNesting;
  try {
    element->Load(filer, knot);
  } catch (...) {
    --filer.FNesting;
    element->Free();
    throw;
  }
  --filer.FNesting;
  return element;
}

void TVisualElement::Load(TSchemeLoader &filer, TKnot &knot) {
  TElement::Load(filer, knot);
  if (FVisualOptions & voCanDisable)
    SetDisabled(knot.ReadBool(QStringLiteral("Disabled"), false));
  if ((FVisualOptions & voFloating) && !filer.HasOption(foNoPositions))
    SetBounds(knot.ReadInt(QStringLiteral("Left"), 0, 0, 0), knot.ReadInt(QStringLiteral("Top"), 0, 0, 0), FDescent,
              FHeight, FWidth);
}

void TVisualElement::Save(TSchemeSaver &filer, TKnot &knot) {
  TElement::Save(filer, knot);
  if (IsDisabledOwn())
    knot.WriteBool(QStringLiteral("Disabled"), true);
  if ((FVisualOptions & voFloating) && !filer.HasOption(foNoPositions)) {
    knot.WriteInt(QStringLiteral("Left"), FLeft);
    knot.WriteInt(QStringLiteral("Top"), FTop);
  }
}

// ---------------------------------------------------------------------------------------------------------
// TPanelElement

void TPanelElement::Realign(bool sheetChanged, bool settingsChanged, bool heightChanged, bool widthChanged) {
  // The children's size changes during their realign are not followed one by one: the size is computed
  // once at the end.
  FRealigning = true;
  try {
    TVisualElement::Realign(sheetChanged, settingsChanged, heightChanged, widthChanged);
  } catch (...) {
    FRealigning = false;
    throw;
  }
  FRealigning = false;
  UpdateSize();
}

void TPanelElement::GetAvailableSize(TVisualElement *child, QSize &size) {
  TVisualElement::GetAvailableSize(this, size);
  QMargins padding;
  GetPadding(padding);
  size = QSize(size.width() - padding.left() - padding.right(), size.height() - padding.top() - padding.bottom());
}

void TPanelElement::RescanEdges() {
  FMaxRight = 0;
  FMaxBottom = 0;
  for (TVisualElement *c = FirstVisualChild(); c; c = c->NextVisualSibling())
    if (c->IsVisible()) {
      FMaxRight = std::max(FMaxRight, RightOf(c->BoundsRect()));
      FMaxBottom = std::max(FMaxBottom, BottomOf(c->BoundsRect()));
    }
}

void TPanelElement::ApplySize() {
  if (FRealigning || IsDestroying())
    return;
  QMargins padding;
  GetPadding(padding);
  std::int32_t width = FMaxRight > 0 ? FMaxRight + padding.right() : 0;
  std::int32_t height = FMaxBottom > 0 ? FMaxBottom + padding.bottom() : 0;
  if (width == 0)
    width = Width();
  if (height == 0)
    height = Height();
  SetBounds(Left(), Top(), Descent(), height, width);
}

void TPanelElement::UpdateSize() {
  RescanEdges();
  ApplySize();
}

void TPanelElement::InsertVisualChild(TVisualElement *child, TVisualElement *before) {
  TVisualElement::InsertVisualChild(child, before);
  FIndexValid = false;
  if (child->IsVisible()) {
    FMaxRight = std::max(FMaxRight, RightOf(child->BoundsRect()));
    FMaxBottom = std::max(FMaxBottom, BottomOf(child->BoundsRect()));
    ApplySize();
  }
}

void TPanelElement::RemoveVisualChild(TVisualElement *child) {
  TVisualElement::RemoveVisualChild(child);
  FIndexValid = false;
  if (child->IsVisible() && !IsDestroying()) {
    if (RightOf(child->BoundsRect()) >= FMaxRight || BottomOf(child->BoundsRect()) >= FMaxBottom)
      RescanEdges();
    ApplySize();
  }
}

void TPanelElement::MoveVisualChild(TVisualElement *child, TVisualElement *before) {
  TVisualElement::MoveVisualChild(child, before);
  FIndexValid = false;
}

void TPanelElement::ChildBoundsChanged(TVisualElement *child, const QRect &oldRect, std::int32_t oldDescent) {
  FIndexValid = false;
  if (FRealigning || !child->IsVisible())
    return;
  // The edges follow every change, so that they stay right; the panel re-sizes only when the child's size
  // changed (its own layout moves children without re-sizing on each move).
  const QRect now = child->BoundsRect();
  if ((RightOf(oldRect) == FMaxRight && RightOf(now) < FMaxRight) ||
      (BottomOf(oldRect) == FMaxBottom && BottomOf(now) < FMaxBottom)) {
    RescanEdges();
  } else {
    FMaxRight = std::max(FMaxRight, RightOf(now));
    FMaxBottom = std::max(FMaxBottom, BottomOf(now));
  }
  if (oldRect.size() != now.size())
    ApplySize();
}

void TPanelElement::ChildVisibleChanged(TVisualElement *child) {
  TVisualElement::ChildVisibleChanged(child);
  if (FRealigning)
    return;
  const QRect bounds = child->BoundsRect();
  if (child->IsVisible()) {
    FMaxRight = std::max(FMaxRight, RightOf(bounds));
    FMaxBottom = std::max(FMaxBottom, BottomOf(bounds));
  } else if (RightOf(bounds) >= FMaxRight || BottomOf(bounds) >= FMaxBottom) {
    RescanEdges();
  }
  ApplySize();
}

void TPanelElement::VisibleChanged() {
  TVisualElement::VisibleChanged();
  if (IsVisible())
    UpdateSize();
}

void TPanelElement::BuildPaintIndex() {
  FIndex.clear();
  FIndexMaxBottom.clear();
  FIndex.reserve(size_t(VisualChildCount()));
  FIndexMaxBottom.reserve(size_t(VisualChildCount()));
  FOrderedByTop = true;
  std::int32_t maxBottom = INT_MIN;
  for (TVisualElement *c = FirstVisualChild(); c; c = c->NextVisualSibling()) {
    if (!FIndex.empty() && c->Top() < FIndex.back()->Top())
      FOrderedByTop = false;
    maxBottom = std::max(maxBottom, BottomOf(c->BoundsRect()));
    FIndex.push_back(c);
    FIndexMaxBottom.push_back(maxBottom);
  }
  FIndexValid = true;
}

void TPanelElement::PaintChildren(TCustomSheetCanvas &canvas, int flags) {
  if (!FIndexValid)
    BuildPaintIndex();
  if (!FOrderedByTop) {
    TVisualElement::PaintChildren(canvas, flags);
    return;
  }
  // Children before the first one whose running bottom passes the clip's top all end above the clip;
  // from there on, the first child that starts below the clip ends the walk, as all later ones do too.
  const QRect clip = canvas.ClipRect();
  const std::int32_t clipTop = clip.y(), clipBottom = BottomOf(clip);
  const auto first = std::upper_bound(FIndexMaxBottom.begin(), FIndexMaxBottom.end(), clipTop);
  for (size_t i = size_t(first - FIndexMaxBottom.begin()); i < FIndex.size(); ++i) {
    TVisualElement *c = FIndex[i];
    if (c->Top() >= clipBottom)
      break;
    if (c->IsVisible() && canvas.IsVisible(c->BoundsRect()))
      PaintChild(canvas, flags, c);
  }
}

// ---------------------------------------------------------------------------------------------------------
// TSheetElement

void TSheetElement::GetAvailableSize(TVisualElement *child, QSize &size) {
  if (Sheet())
    size = QSize(Sheet()->LimitWidth(), Sheet()->LimitHeight());
  else
    size = QSize(INT_MAX, INT_MAX);
}

void TSheetElement::Paint(TCustomSheetCanvas &canvas, int flags) { canvas.DrawSkin(steSheet, ClientRect()); }

// ---------------------------------------------------------------------------------------------------------
// TMessagesSignElement

TMessagesSignElement::TMessagesSignElement() {
  InitOptions(efTransient);
  InitVisualOptions(voMouseTransparent);
}

void TMessagesSignElement::Freeing() {
  if (FElement) {
    FElement->FMessagesSign = nullptr;
    FElement = nullptr;
  }
  TVisualElement::Freeing();
}

void TMessagesSignElement::Realign(bool sheetChanged, bool settingsChanged, bool heightChanged,
                                   bool widthChanged) {
  TVisualElement::Realign(sheetChanged, settingsChanged, heightChanged, widthChanged);
  if (!(sheetChanged || settingsChanged) || !Sheet())
    return;
  const QSize size = Sheet()->Canvas().SkinSize(steErrorSign);
  SetBounds(Left(), Top(), Descent(), size.height(), size.width());
  if (FElement)
    FElement->PlaceMessagesSign();
}

void TMessagesSignElement::Paint(TCustomSheetCanvas &canvas, int flags) {
  const bool error = FElement && FElement->Messages() && FElement->Messages()->HasKind(1 << mkError);
  canvas.DrawSkinImage(error ? steErrorSign : steNeedValueSign, QPoint(0, 0));
}

void TMessagesSignElement::GetHint(QString &text) {
  text.clear();
  const TElementMessages *messages = FElement ? FElement->Messages() : nullptr;
  if (!messages)
    return;
  for (int i = 0; i < messages->Count(); ++i) {
    if (i > 0)
      text += QStringLiteral("\r\n");
    text += QStringLiteral("\u2022 ") + TElementMessages::MessageText(*messages->Items(i));
  }
}

// ---------------------------------------------------------------------------------------------------------
// TElement_Unaccepted

TElement_Unaccepted::TElement_Unaccepted() { InitOptions(efUnaccepted | efChecked); }

void TElement_Unaccepted::CheckValue() {
  GetMessages().AddElementMessage(
      mkError, FormatString(sidUnsupportedElement, {TElementMessages::CleanArgument(FKnotName)}), QString::number(ID()));
}

void TElement_Unaccepted::Load(TSchemeLoader &filer, TKnot &knot) {
  TVisualElement::Load(filer, knot);
  TKnot *source = &knot;
  if (filer.Mode() == fmSnapshot && knot.Name() == QLatin1String("Unaccepted"))
    source = knot.FirstChild();
  if (source) {
    FLines = source->GetText().split(QStringLiteral("\r\n"));
    if (!FLines.isEmpty() && FLines.back().isEmpty())
      FLines.pop_back();
    FKnotName = source->Name();
    source->SetAccessedDeep(true);
  }
  Validate();
  UpdateSize();
}

QString TElement_Unaccepted::DisplayLine(const QString &line) {
  QString shown = line;
  shown.replace(QLatin1Char('\t'), QString(8, QLatin1Char(' ')));
  if (shown.size() > 100)
    shown = shown.left(97) + QLatin1String("...");
  return shown;
}

void TElement_Unaccepted::Realign(bool sheetChanged, bool settingsChanged, bool heightChanged, bool widthChanged) {
  TVisualElement::Realign(sheetChanged, settingsChanged, heightChanged, widthChanged);
  if (sheetChanged || settingsChanged)
    UpdateSize();
}

void TElement_Unaccepted::UpdateSize() {
  if (!Sheet())
    return;
  TSheetCanvas &canvas = Sheet()->Canvas();
  const int lineHeight = canvas.FixedLineHeight();
  const QMargins padding = canvas.SkinPadding(steUnaccepted);
  int width = 0, lines = 0;
  for (int i = 0; i < FLines.size(); ++i) {
    width = std::max(width, canvas.FixedTextWidth(DisplayLine(FLines[i])));
    if (!FLines[i].isEmpty())
      lines = i + 1;
  }
  if (FLines.isEmpty()) {
    lines = 1;
    width = lineHeight * 2 / 3;
  }
  SetBounds(Left(), Top(), Descent(), lines * lineHeight + padding.top() + padding.bottom(),
            width + padding.left() + padding.right());
}

void TElement_Unaccepted::Paint(TCustomSheetCanvas &canvas, int flags) {
  canvas.DrawSkin(steUnaccepted, ClientRect());
  const int lineHeight = canvas.FixedLineHeight();
  const QMargins padding = canvas.SkinPadding(steUnaccepted);
  const TColor color = canvas.Theme().Fonts(stfFixed).Color;
  for (int i = 0; i < FLines.size(); ++i) {
    const int y = padding.top() + i * lineHeight;
    if (canvas.IsVisible(QRect(0, y, Width(), lineHeight)))
      canvas.TextOutFixed(padding.left(), y, color, DisplayLine(FLines[i]));
  }
}

void TElement_Unaccepted::Save(TSchemeSaver &filer, TKnot &knot) {
  TVisualElement::Save(filer, knot);
  TKnot *target = filer.Mode() == fmSnapshot ? knot.AddChild(QString()) : &knot;
  if (!FLines.isEmpty())
    target->ParseString(FLines.join(QStringLiteral("\r\n")));
}

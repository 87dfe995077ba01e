#include "diSheet.h"

#include "cuDesktop.h"
#include "cuKnot.h"
#include "diCanvas.h"
#include "diFrameworkResources.h"
#include "diSheetSettings.h"
#include "diSoundSettings.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <exception>

TSheet::TSheet(TSheetSettings &settings)
    : FSettings(settings), FCanvas(std::make_unique<TSheetCanvas>(settings)),
      FLeftButtonDown([] { return bool(QGuiApplication::mouseButtons() & Qt::LeftButton); }) {
  FActivationTimer.setSingleShot(true);
  QObject::connect(&FActivationTimer, &QTimer::timeout, [this] { ActivationTimerFired(); });
  QObject::connect(&FScrollTimer, &QTimer::timeout, [this] { ScrollTimerFired(); });
  FRoot.reset(CreateElement<TSheetElement>(nullptr, nullptr));
  FRoot->SetSheetDeep(this);
  {
    TSheetUpdate update(this);
    FRoot->Realign(true, true, true, true);
  }
  FSettings.Subscribe(NotifyMethod<&TSheet::SettingsChanged>, this);
}

TSheet::~TSheet() {
  FSettings.Unsubscribe(NotifyMethod<&TSheet::SettingsChanged>, this);
  FActivationTimer.stop();
  FScrollTimer.stop();
  // Freed while RootElement still answers it: elements that leave the sheet on the way ask for it.
  FRoot->Free();
  (void)FRoot.release();
}

// ---------------------------------------------------------------------------------------------------------
// Updates and requests from elements

void TSheet::Request(std::uint16_t pending, int code, TNotifyArg a) {
  if (Updating())
    FPending |= pending;
  else
    Notify(code, a);
}

void TSheet::EndUpdate() {
  if (FUpdateCount == 0 || --FUpdateCount > 0)
    return;
  if (FPending & (spWidthLimit | spHeightLimit)) {
    const bool heightChanged = FPending & spHeightLimit, widthChanged = FPending & spWidthLimit;
    FPending &= std::uint16_t(~(spWidthLimit | spHeightLimit));
    ++FUpdateCount;
    try {
      FRoot->Realign(false, false, heightChanged, widthChanged);
    } catch (...) {
      --FUpdateCount;
      throw;
    }
    --FUpdateCount;
  }
  // Each flag is cleared before its notification, so that what a subscriber does in turn acts at once.
  auto take = [this](std::uint16_t flag, std::uint16_t alsoClear = 0) {
    if (!(FPending & flag))
      return false;
    FPending &= std::uint16_t(~(flag | alsoClear));
    return true;
  };
  if (take(spSize))
    Notify(shnSizeChanged);
  if (take(spFocus, spSelection | spPalette | spEditability))
    Notify(shnFocusChanged);
  if (take(spCaret))
    UpdateCaret();
  if (take(spBringIntoView))
    Notify(shnBringIntoView);
  if (take(spSelection, spEditability))
    Notify(shnSelectionChanged);
  if (take(spEditability))
    Notify(shnEditabilityChanged);
  if (take(spPalette))
    Notify(shnPaletteChanged);
  if ((FPending & spRepaint) && !Updating()) {
    FPending &= std::uint16_t(~spRepaint);
    Notify(shnRepaint, 0);
  }
}

void TSheet::InvalidateRect(const QRect &rect) {
  if (Updating())
    FPending |= spRepaint;
  else
    Notify(shnRepaint, TNotifyArg(&rect));
}

void TSheet::InvalidateAll() { Request(spRepaint, shnRepaint, 0); }

void TSheet::SizeChanged() { Request(spSize, shnSizeChanged); }

void TSheet::BringIntoView() { Request(spBringIntoView, shnBringIntoView); }

void TSheet::SelectionChanged(TVisualElement *element) {
  if (!element)
    return;
  TVisualElement *parent = element->VisualParent();
  const bool reported = element == FFocused || (element->IsSelected() && parent &&
                                                (parent->VisualOptions() & voSelectsChildren) && parent == FFocused);
  if (reported)
    Request(spSelection, shnSelectionChanged);
}

void TSheet::EditabilityChanged(TVisualElement *element) {
  if (element && element == FFocused)
    Request(spEditability, shnEditabilityChanged);
}

void TSheet::PaletteStateChanged(TVisualElement *element) {
  if (element && element == FFocused)
    Request(spPalette, shnPaletteChanged);
}

void TSheet::UpdateCaret() {
  if (Updating()) {
    FPending |= spCaret;
    return;
  }
  int kind = ckNone;
  QRect rect;
  if (FFocused && FFocused->IsVisible()) {
    FFocused->GetCaret(kind, rect);
    rect.moveTopLeft(FFocused->ToSheet(rect.topLeft()));
  }
  if (kind == ckNone)
    rect = QRect();
  if (kind == FCaretKind && rect == FCaretRect)
    return;
  FCaretKind = kind;
  FCaretRect = rect;
  Notify(shnCaretChanged);
}

void TSheet::UpdateCursor() {
  TVisualElement *target = FPressed ? FPressed : FHot;
  const int cursor = target ? target->GetCursor(target->FromSheet(FMousePoint)) : 0;
  if (cursor == FCursorId)
    return;
  FCursorId = cursor;
  Notify(shnCursorChanged);
}

namespace {
bool IsInside(const TVisualElement *element, const TVisualElement *ancestor) {
  for (; element; element = element->VisualParent())
    if (element == ancestor)
      return true;
  return false;
}
}  // namespace

void TSheet::ForgetElement(TVisualElement *element) {
  if (FPressed == element)
    FPressed = nullptr;
  if (FHot == element)
    FHot = nullptr;
  if (FFocused == element)
    SetFocus(nullptr);
  if (element->IsMarked()) {
    element->SetStateFlag(esMarked, false);
    std::erase(FMarked, element);
  }
  if (FDelayedActivation == element)
    CancelDelayedActivation();
}

void TSheet::ElementHidden(TVisualElement *element) {
  if (FHot == element)
    SetHot(nullptr);
  if (FFocused == element)
    SetFocus(nullptr);
  if (IsInside(FDelayedActivation, element))
    CancelDelayedActivation();
}

// ---------------------------------------------------------------------------------------------------------
// Focus, hover, press, marks

void TSheet::SetFocus(TVisualElement *element) {
  if (element == FFocused || (element && element->Sheet() != this))
    return;
  TSheetUpdate update(this);
  if (element && FRevealOnFocus) {
    element->SetBeingFocused(true);
    if (element->VisualOptions() & voAutoHide)
      element->UpdateVisible();
    try {
      element->Reveal();
    } catch (...) {
      element->SetBeingFocused(false);
      throw;
    }
    element->SetBeingFocused(false);
    if (!element->IsVisible())
      element = nullptr;
  }
  if (element == FFocused)
    return;
  TVisualElement *old = FFocused;
  if (old)
    old->FocusChanging();
  if (element)
    element->FocusChanging();
  FFocused = element;
  if (old)
    old->FocusChanged();
  if (element)
    element->FocusChanged();
  if (FDelayedActivation && !IsInside(FFocused, FDelayedActivation))
    CancelDelayedActivation();
  if (!FFocused || !FFocused->IsMarked())
    ClearMarks();
  UpdateCaret();
  if (FFocused)
    FScrollTimer.start(TimerDelay);
  FPending |= spFocus;
}

void TSheet::SetHot(TVisualElement *element) {
  if (element == FHot)
    return;
  TVisualElement *old = FHot;
  FHot = element;
  if (old)
    old->MouseLeave();
  if (element)
    element->MouseEnter();
  Notify(shnHotChanged);
  UpdateCursor();
}

void TSheet::SetPressed(TVisualElement *element) {
  if (element == FPressed)
    return;
  TVisualElement *old = FPressed;
  FPressed = element;
  if (old)
    old->PressedChanged();
  if (element)
    element->PressedChanged();
  UpdateCursor();
}

void TSheet::SetMarked(TVisualElement *element, bool marked) {
  if (!element || element->Sheet() != this || element->IsMarked() == marked)
    return;
  element->SetStateFlag(esMarked, marked);
  if (marked)
    FMarked.push_back(element);
  else
    std::erase(FMarked, element);
  element->Invalidate();
  if (marked)
    element->Reveal();
}

void TSheet::ClearMarks() {
  while (!FMarked.empty())
    SetMarked(FMarked.front(), false);
}

void TSheet::DelayActivation(TVisualElement *element) {
  if (FDelayedActivation) {
    FActivationTimer.start(TimerDelay);
    return;
  }
  if (!element || element->Sheet() != this)
    return;
  FDelayedActivation = element;
  FActivationTimer.start(TimerDelay);
}

void TSheet::CancelDelayedActivation() {
  FDelayedActivation = nullptr;
  FActivationTimer.stop();
}

void TSheet::ActivationTimerFired() {
  TVisualElement *element = FDelayedActivation;
  CancelDelayedActivation();
  if (element)
    element->Activate();
}

void TSheet::ScrollTimerFired() {
  // While the left button is held (a press that may turn into a drag) the view is not moved.
  if (FLeftButtonDown && FLeftButtonDown())
    return;
  FScrollTimer.stop();
  Notify(shnBringIntoView, 1);
}

// ---------------------------------------------------------------------------------------------------------
// Flags and limits

void TSheet::SetReadOnly(bool readOnly) {
  if (readOnly == FReadOnly)
    return;
  FReadOnly = readOnly;
  Notify(shnReadOnlyChanged);
}

void TSheet::SetActive(bool active) {
  if (active == FActive)
    return;
  FActive = active;
  if (FFocused) {
    if (FFocused->VisualState() & vsRepaintOnActivation)
      FFocused->ActivationChanged();
    if (FFocused->CaretNeedsActivation())
      FFocused->Invalidate();
  }
  Notify(shnActiveChanged);
}

void TSheet::SetScreenPos(int x, int y) {
  if (QPoint(x, y) == FScreenPos)
    return;
  FScreenPos = QPoint(x, y);
  Notify(shnScreenPosChanged);
}

void TSheet::SetLimits(std::int32_t width, std::int32_t height) {
  const bool widthChanged = width != FLimitWidth, heightChanged = height != FLimitHeight;
  if (!widthChanged && !heightChanged)
    return;
  FLimitWidth = width;
  FLimitHeight = height;
  if (Updating()) {
    FPending |= (widthChanged ? spWidthLimit : 0) | (heightChanged ? spHeightLimit : 0);
    return;
  }
  TSheetUpdate update(this);
  FRoot->Realign(false, false, heightChanged, widthChanged);
}

std::int32_t TSheet::ContentWidth() const { return FRoot->Left() + FRoot->Width(); }

std::int32_t TSheet::ContentHeight() const { return FRoot->Top() + FRoot->Height(); }

void TSheet::SettingsChanged(TItfObject *sender, int code, TNotifyArg a, TNotifyArg b) {
  if (code != TProperty::ncChanged)
    return;
  FCanvas->ReloadFonts();
  {
    TSheetUpdate update(this);
    FRoot->Realign(false, true, false, false);
  }
  InvalidateAll();
}

// ---------------------------------------------------------------------------------------------------------
// Input

TVisualElement *TSheet::HitTest(const QPoint &point, bool includeSelected, bool ignoreTransparent) {
  int flags = TVisualElement::htSelf | TVisualElement::htChildren | TVisualElement::htDeep;
  if (includeSelected)
    flags |= TVisualElement::htSelected;
  if (!ignoreTransparent)
    flags |= TVisualElement::htTransparent;
  return FRoot->HitTestDeep(FRoot->FromParent(point), flags);
}

void TSheet::KeyDown(int &key, Qt::KeyboardModifiers shift) {
  if (key == Qt::Key_Escape && FPressed) {
    // Escape ends the pressed element's gesture and is used up by it.
    FPressed->CancelMode();
    key = 0;
    return;
  }
  if (FFocused)
    FFocused->KeyDown(key, shift);
  if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down)
    return;
  if (shift & Qt::ShiftModifier)
    return;
  const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
  const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
  key = 0;
  if (!FFocused)
    return;
  TVisualElement *fromChild = nullptr;
  if (TVisualElement *next = FFocused->FindNextFocusable(horizontal, forward, fromChild, false, true))
    next->SetFocus(horizontal, forward, QString(), fromChild, nullptr);
}

void TSheet::KeyPress(char16_t &ch) {
  if (ch < 32 && ch != 9 && ch != 13) {
    ch = 0;
    return;
  }
  if (FFocused)
    FFocused->KeyPress(ch);
}

void TSheet::KeyUp(int &key, Qt::KeyboardModifiers shift) {
  if (FFocused)
    FFocused->KeyUp(key, shift);
}

void TSheet::MouseDown(const QPoint &point, Qt::MouseButton button, Qt::KeyboardModifiers shift, bool doubleClick) {
  FMousePoint = point;
  TVisualElement *target;
  if (FPressed) {
    target = FFocused;
  } else {
    target = HitTest(point, true, true);
    SetHot(target);
  }
  if (target)
    target->MouseDown(target->FromSheet(point), button, shift, doubleClick);
}

void TSheet::MouseMove(const QPoint &point, Qt::KeyboardModifiers shift) {
  FMousePoint = point;
  TVisualElement *target = FPressed;
  if (!target) {
    target = HitTest(point, true, true);
    SetHot(target);
  }
  if (target)
    target->MouseMove(target->FromSheet(point), shift);
  UpdateCursor();
}

void TSheet::MouseUp(const QPoint &point, Qt::MouseButton button, Qt::KeyboardModifiers shift) {
  FMousePoint = point;
  if (TVisualElement *target = FPressed ? FPressed : FHot)
    target->MouseUp(target->FromSheet(point), button, shift);
}

// ---------------------------------------------------------------------------------------------------------
// Painting

void TSheet::Paint(QPainter *deviceContext, const QRect &rect, int flags) {
  if (rect.isEmpty())
    return;
  if (!FActive)
    flags |= pfInactive;
  FCanvas->BeginPaint(rect);
  try {
    FRoot->PaintElement(*FCanvas, flags);
    if (!(flags & pfNoCaret)) {
      if (FCaretKind == ckFrame)
        FCanvas->DrawCaretFrame(FCaretRect);
      else if (FCaretKind == ckDoubleFrame)
        FCanvas->DrawCaretDoubleFrame(FCaretRect);
    }
  } catch (...) {
    FCanvas->EndPaint(nullptr);
    throw;
  }
  FCanvas->EndPaint(deviceContext);
  if (deviceContext && !(flags & pfNoOverlay))
    PaintOverlay(*deviceContext);
}

void TSheet::PaintOverlay(QPainter &deviceContext) {
  if (!FFocused)
    return;
  deviceContext.save();
  deviceContext.translate(FFocused->ToSheet(QPoint(0, 0)));
  deviceContext.setClipRect(FFocused->ClientRect(), Qt::IntersectClip);
  try {
    FFocused->PaintOverlay(deviceContext);
  } catch (...) {
    deviceContext.restore();
    throw;
  }
  deviceContext.restore();
}

// ---------------------------------------------------------------------------------------------------------
// Session and sounds

void TSheet::SaveSession(TKnot &knot) {
  if (FFocused) {
    knot.WriteInt(QStringLiteral("FocusedElement"), FFocused->TreeIndex());
    knot.WriteStr(QStringLiteral("FocusedElementType"), FFocused->GetClass().ClassName());
    QString data;
    FFocused->GetFocusData(data);
    knot.WriteStr(QStringLiteral("FocusData"), data);
  }
  knot.WriteInt(QStringLiteral("ScreenPosX"), FScreenPos.x());
  knot.WriteInt(QStringLiteral("ScreenPosY"), FScreenPos.y());
}

void TSheet::LoadSession(TKnot &knot) {
  TVisualElement *document = DocumentRoot();
  if (!document)
    return;
  const int index = knot.ReadInt(QStringLiteral("FocusedElement"), -1);
  const QString type = knot.ReadStr(QStringLiteral("FocusedElementType"));
  const QString data = knot.ReadStr(QStringLiteral("FocusData"));
  if (index >= 0) {
    TNode *node = document->Root();
    for (int i = 0; node && i < index; ++i)
      node = node->NextInTree();
    auto *element = dynamic_cast<TVisualElement *>(node);
    if (element && element->Sheet() == this && (element->VisualOptions() & voFocusable) && element->IsVisible() &&
        element->GetClass().ClassName() == type)
      element->SetFocus(true, true, data, nullptr, nullptr);
  }
  SetScreenPos(knot.ReadInt(QStringLiteral("ScreenPosX"), 0), knot.ReadInt(QStringLiteral("ScreenPosY"), 0));
}

void TSheet::PlaySound(const QString &resourceName) {
  if (!SoundSettings().Enabled().Value())
    return;
  QFile file(FrameworkResourcePath(resourceName));
  if (!file.open(QIODevice::ReadOnly))
    return;
  const QByteArray wave = file.readAll();
  if (!wave.isEmpty())
    PlaySoundData(wave);
}

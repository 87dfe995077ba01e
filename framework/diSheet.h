// The sheet: the surface on which one scheme is shown and edited. It owns the root of the visual tree (the
// document root is placed under it), keeps the interaction state of the surface (focus, hover, press,
// marks, caret, read-only and active flags, scroll position, the window's size limits), routes keyboard
// and mouse input to elements, paints through its canvas, batches changes between BeginUpdate and
// EndUpdate and tells its window everything through notification codes (TSheetNotification).
#pragma once

#include "cuClasses.h"
#include "diVisualElements.h"

#include <QPoint>
#include <QRect>
#include <QTimer>

#include <exception>

#include <functional>
#include <memory>
#include <vector>

class QPainter;
class TKnot;
class TSheetCanvas;
class TSheetSettings;

// Notification codes sent to the sheet's subscribers. The argument of shnRepaint is a const QRect * in sheet
// coordinates, 0 for everything; that of shnBringIntoView is 1 when the scroll timer sends it.
enum TSheetNotification {
  shnSizeChanged = 1,
  shnRepaint = 2,
  shnFocusChanged = 3,
  shnPaletteChanged = 4,
  shnCursorChanged = 5,
  shnCaretChanged = 6,
  shnHotChanged = 7,
  shnSelectionChanged = 20,
  shnEditabilityChanged = 21,
  shnBringIntoView = 24,
  shnReadOnlyChanged = 25,
  shnActiveChanged = 26,
  shnScreenPosChanged = 27,
};

// Actions deferred while an update is open (TSheet::Pending).
constexpr std::uint16_t spRepaint = 0x0001;
constexpr std::uint16_t spCaret = 0x0002;
constexpr std::uint16_t spSize = 0x0004;
constexpr std::uint16_t spBringIntoView = 0x0008;
constexpr std::uint16_t spSelection = 0x0010;
constexpr std::uint16_t spFocus = 0x0020;
constexpr std::uint16_t spPalette = 0x0040;
constexpr std::uint16_t spEditability = 0x0080;
constexpr std::uint16_t spWidthLimit = 0x0100;
constexpr std::uint16_t spHeightLimit = 0x0200;

// Caret kinds (TVisualElement::GetCaret).
enum TCaretKind { ckNone = 0, ckFrame = 1, ckDoubleFrame = 2, ckText = 3 };

class TSheet : public TItfObject {
public:
  // The limits until the window sets them.
  static constexpr std::int32_t NoLimit = 0x3FFFFFFF;
  // The delay of the scroll and delayed-activation timers, in milliseconds.
  static constexpr int TimerDelay = 300;

  // Subscribes to `settings` (not owned; it must outlive the sheet) and makes the canvas and the root.
  explicit TSheet(TSheetSettings &settings);
  // Unsubscribes and frees the root (detach the document root first), the canvas and the timers.
  ~TSheet() override;
  TSheet(const TSheet &) = delete;
  TSheet &operator=(const TSheet &) = delete;

  TSheetSettings &Settings() const { return FSettings; }
  TSheetCanvas &Canvas() const { return *FCanvas; }
  TSheetElement *RootElement() const { return FRoot.get(); }
  // The root's first visual child: the document root, or null while none is attached.
  TVisualElement *DocumentRoot() const { return FRoot->FirstVisualChild(); }

  // Nestable. Between the outermost BeginUpdate and EndUpdate requests are recorded in Pending and carried
  // out once at the end, in a fixed order.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  bool Updating() const { return FUpdateCount > 0; }
  std::uint16_t Pending() const { return FPending; }

  TVisualElement *Focused() const { return FFocused; }
  TVisualElement *Hot() const { return FHot; }
  TVisualElement *Pressed() const { return FPressed; }
  // Moves the keyboard focus (null: none). Focusing reveals the element while RevealOnFocus is set; an
  // element that stays hidden is not focused. Clears the marks unless the new element is marked.
  void SetFocus(TVisualElement *element);
  void SetHot(TVisualElement *element);
  void SetPressed(TVisualElement *element);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool readOnly);
  // The sheet's window has the input focus.
  bool Active() const { return FActive; }
  void SetActive(bool active);
  QPoint ScreenPos() const { return FScreenPos; }
  void SetScreenPos(int x, int y);
  std::int32_t LimitWidth() const { return FLimitWidth; }
  std::int32_t LimitHeight() const { return FLimitHeight; }
  void SetLimits(std::int32_t width, std::int32_t height);
  bool RevealOnFocus() const { return FRevealOnFocus; }
  void SetRevealOnFocus(bool reveal) { FRevealOnFocus = reveal; }

  int CaretKind() const { return FCaretKind; }
  QRect CaretRect() const { return FCaretRect; }
  int CursorId() const { return FCursorId; }
  QPoint MousePoint() const { return FMousePoint; }

  // Marks (found elements, drawn with the mark skin).
  const std::vector<TVisualElement *> &Marked() const { return FMarked; }
  void SetMarked(TVisualElement *element, bool marked);
  void ClearMarks();

  // Activates the element after TimerDelay; while one is pending, the timer restarts and the new request
  // is ignored. Focusing away or hiding the element cancels it.
  void DelayActivation(TVisualElement *element);
  TVisualElement *DelayedActivation() const { return FDelayedActivation; }

  // Input from the window; points in sheet coordinates. A key or character set to 0 was consumed.
  void KeyDown(int &key, Qt::KeyboardModifiers shift);
  void KeyPress(char16_t &ch);
  void KeyUp(int &key, Qt::KeyboardModifiers shift);
  void MouseDown(const QPoint &point, Qt::MouseButton button, Qt::KeyboardModifiers shift, bool doubleClick);
  void MouseMove(const QPoint &point, Qt::KeyboardModifiers shift);
  void MouseUp(const QPoint &point, Qt::MouseButton button, Qt::KeyboardModifiers shift);
  // The root's HitTestDeep with htSelf | htChildren | htDeep, plus htSelected when includeSelected and
  // htTransparent unless ignoreTransparent.
  TVisualElement *HitTest(const QPoint &point, bool includeSelected, bool ignoreTransparent);

  // Paints `rect` (sheet coordinates) through the canvas and copies it to `deviceContext` (null copies
  // nothing) at the rect's place: the root element, the caret frame unless pfNoCaret, then the focused
  // element's overlay unless pfNoOverlay. Adds pfInactive while the sheet is not active.
  void Paint(QPainter *deviceContext, const QRect &rect, int flags);
  // The focused element's PaintOverlay with the origin at its place and the clip to its client area.
  void PaintOverlay(QPainter &deviceContext);

  std::int32_t ContentWidth() const;
  std::int32_t ContentHeight() const;

  // View state in the "SheetData" knot: the focused element by pre-order index in its whole element tree
  // and class name, its focus data, and the scroll position.
  void SaveSession(TKnot &knot);
  void LoadSession(TKnot &knot);

  // Search walks (diFind.h; defined in diFind.cpp). Find asks the focused element, and then each element
  // it names, for the next match in the direction (TVisualElement::FindFocusTarget) and gives each named
  // element the focus, until one selects a match (true) or none is named (false). Without a focused
  // element it answers false at once. The walk runs under the wait cursor, in one scheme group and one
  // update, with RevealOnFocus off; at its end RevealOnFocus is restored and, when it was on, the focused
  // element is revealed, and the window is asked to bring the focus into view. The caller reports a
  // failure (TFindData::NotFound).
  bool Find(TFindMode mode, const TFindData &findData, bool forward);
  // In a read-only sheet only beeps. Otherwise, in one scheme group (so one undo step) and one update:
  // Find(fmReplace) selects the nearest match, the selection included, whose element replaces it
  // (ITextElement); with replaceAll every further match found by Find(fmAfterReplace) is replaced as
  // well and the count is reported (string sidReplacementsMade), else that Find only selects the next
  // match. NotFound when the first match is missing, or without replaceAll when no next match follows.
  void Replace(const TFindData &findData, const QString &replaceText, bool replaceAll, bool forward);

  // Plays the framework's WAV resource of that name while the sounds setting is on; a request while
  // another sound plays is dropped, and a missing resource plays nothing.
  void PlaySound(const QString &resourceName);

  // Asks whether the left mouse button is held down (the scroll timer waits while it is); the desktop's
  // button state by default.
  void SetLeftButtonQuery(std::function<bool()> query) { FLeftButtonDown = std::move(query); }
  bool ScrollTimerActive() const { return FScrollTimer.isActive(); }

  // Called by elements.
  void InvalidateRect(const QRect &rect);  // sheet coordinates
  void InvalidateAll();
  void SizeChanged();
  void UpdateCaret();
  void UpdateCursor();
  void SelectionChanged(TVisualElement *element);
  void EditabilityChanged(TVisualElement *element);
  void PaletteStateChanged(TVisualElement *element);
  void ForgetElement(TVisualElement *element);
  void BringIntoView();
  // A visible element became hidden: the sheet stops hovering and focusing it and cancels the delayed
  // activation of it or a descendant.
  void ElementHidden(TVisualElement *element);

private:
  void SettingsChanged(TItfObject *sender, int code, TNotifyArg a, TNotifyArg b);
  void ScrollTimerFired();
  void ActivationTimerFired();
  void CancelDelayedActivation();
  // The update pending flag or the notification at once.
  void Request(std::uint16_t pending, int code, TNotifyArg a = 0);

  TSheetSettings &FSettings;
  std::unique_ptr<TSheetCanvas> FCanvas;
  TNodePtr<TSheetElement> FRoot;
  bool FReadOnly = false;
  bool FActive = false;
  bool FRevealOnFocus = true;
  int FCaretKind = ckNone;
  QRect FCaretRect;
  int FCursorId = 0;
  TVisualElement *FPressed = nullptr;
  TVisualElement *FFocused = nullptr;
  TVisualElement *FHot = nullptr;
  QPoint FMousePoint;
  std::vector<TVisualElement *> FMarked;
  int FUpdateCount = 0;
  std::uint16_t FPending = 0;
  QPoint FScreenPos;
  std::int32_t FLimitWidth = NoLimit;
  std::int32_t FLimitHeight = NoLimit;
  TVisualElement *FDelayedActivation = nullptr;
  QTimer FActivationTimer;
  QTimer FScrollTimer;
  std::function<bool()> FLeftButtonDown;
};

// RAII bracket of BeginUpdate and EndUpdate (closed also when an exception leaves the scope); nothing for
// a null sheet.
class TSheetUpdate {
public:
  explicit TSheetUpdate(TSheet *sheet) : FSheet(sheet), FExceptions(std::uncaught_exceptions()) {
    if (FSheet)
      FSheet->BeginUpdate();
  }
  // A failure of EndUpdate's notifications passes on, unless the scope is left by another exception.
  ~TSheetUpdate() noexcept(false) {
    if (!FSheet)
      return;
    if (std::uncaught_exceptions() == FExceptions) {
      FSheet->EndUpdate();
      return;
    }
    try {
      FSheet->EndUpdate();
    } catch (...) {
    }
  }
  TSheetUpdate(const TSheetUpdate &) = delete;
  TSheetUpdate &operator=(const TSheetUpdate &) = delete;

private:
  TSheet *FSheet;
  int FExceptions;
};

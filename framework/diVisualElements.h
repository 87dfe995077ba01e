// Visual elements: every element that occupies a rectangle of a sheet. An element has a position and size
// in its visual parent, lives in a visual tree separate from the ownership tree, paints itself through the
// sheet canvas, answers hit tests, receives input from its sheet (diSheet.h), can take the focus, can be
// disabled, selected, marked and hidden, and shows its validation problems with a floating sign.
// Also here: the panel that sizes itself to its children, the sheet's own root element, the messages sign
// and the element that keeps knots no kind accepted.
#pragma once

#include "diClasses.h"
#include "diFind.h"

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <Qt>

#include <vector>

#include <cstdint>

class TSchemePaletteItem;
struct TPaletteItemState;

// Visual options (TVisualElement::VisualOptions), fixed by each kind's constructor.
constexpr std::uint16_t voCanDisable = 0x0001;  // the Disabled command applies and "Disabled" is filed
constexpr std::uint16_t voPressable = 0x0002;
constexpr std::uint16_t voFocusable = 0x0004;
constexpr std::uint16_t voCanPaste = 0x0008;
constexpr std::uint16_t voCanSelectAll = 0x0010;
constexpr std::uint16_t voFloating = 0x0020;  // "Left"/"Top" are filed
constexpr std::uint16_t voMouseTransparent = 0x0040;
constexpr std::uint16_t voReadOnly = 0x0080;
constexpr std::uint16_t voSelectsChildren = 0x0800;
constexpr std::uint16_t voAutoHide = 0x2000;

constexpr std::uint16_t voLogSign = 0x1000;  // left out of a text's clipboard copy

// Visual states (TVisualElement::VisualState).
constexpr std::uint16_t vsVisible = 0x0001;  // effective
constexpr std::uint16_t vsDisabledOwn = 0x0002;
constexpr std::uint16_t vsDisabled = 0x0004;  // effective: own, or the visual parent's effective
constexpr std::uint16_t vsSelectedOwn = 0x0008;
constexpr std::uint16_t vsSelected = 0x0010;  // effective
constexpr std::uint16_t vsChildSelectionUpdate = 0x0020;
constexpr std::uint16_t vsChildSelectionChanged = 0x0040;
constexpr std::uint16_t vsExternalEditing = 0x0080;
constexpr std::uint16_t vsBeingFocused = 0x0100;  // set by the sheet while it focuses the element
constexpr std::uint16_t vsRepaintOnActivation = 0x0200;

// Paint flags: the window is not active, printing, selections not drawn, no caret, printing (with 0x04),
// no focused-element overlay.
constexpr int pfInactive = 0x01, pfPrinting = 0x04, pfNoSelections = 0x08, pfNoCaret = 0x10, pfPrinter = 0x20,
              pfNoOverlay = 0x40;

class QObject;
class QPainter;
class TCustomSheetCanvas;
class TMessagesSignElement;
class TSheet;

// The accepted classes a container collects once for all the children of one load.
struct TAcceptedClasses {
  bool Collected = false;
  TElementClassList Classes;
};

class TVisualElement : public TElement {
  QN_ELEMENT_CLASS(TVisualElement)
public:
  TVisualElement() = default;
  TVisualElement(const TVisualElement &) = delete;
  TVisualElement &operator=(const TVisualElement &) = delete;

  std::int32_t Left() const { return FLeft; }
  std::int32_t Top() const { return FTop; }
  std::int32_t Width() const { return FWidth; }
  std::int32_t Height() const { return FHeight; }
  // How far the bottom reaches below the text baseline when the element stands in a line of text.
  std::int32_t Descent() const { return FDescent; }
  QRect BoundsRect() const { return QRect(FLeft, FTop, FWidth, FHeight); }
  QRect ClientRect() const { return QRect(0, 0, FWidth, FHeight); }
  // Stores the five values and, when any changed, invalidates the old and the new area, tells the element
  // (PositionChanged when it moved, BoundsChanged last), its visual parent (ChildBoundsChanged) and, for
  // the sheet's root, the sheet. Answers whether any changed.
  bool SetBounds(std::int32_t left, std::int32_t top, std::int32_t descent, std::int32_t height,
                 std::int32_t width);

  std::uint16_t VisualState() const { return FVisualState; }
  std::uint16_t VisualOptions() const { return FVisualOptions; }
  // Stores the options; recomputes visibility when voAutoHide changed and tells the sheet when IsReadOnly
  // changed.
  void SetVisualOptions(std::uint16_t options);
  bool IsDisabledOwn() const { return FVisualState & vsDisabledOwn; }
  // Sets the element's own disabled state directly (no operation) and recomputes the effective state of
  // the element and its visual descendants.
  void SetDisabled(bool disabled);
  // voReadOnly, or the sheet is read-only, or the scheme is read-only.
  bool IsReadOnly() const;
  // Not validated while effectively disabled.
  bool CanCheck() override { return !IsDisabled(); }

  // Filing of a container's free children. SaveChild answers the child's new knot under `knot` (named by
  // its type name), or null when the child is not filed. LoadChild creates the element for `knot` inside
  // this container before `before`: the first accepted class whose type name equals the (mapped) knot
  // name, else GetUnacceptedClass; below the loader's nesting cap always the latter, which keeps the whole
  // knot as text. An element whose load raises is freed and the error passes on.
  TKnot *SaveChild(TSchemeSaver &filer, TVisualElement *child, TKnot &knot);
  TElement *LoadChild(TSchemeLoader &filer, TKnot &knot, TElement *before, TAcceptedClasses &accepted);

  // False for a child left out by the filer's options: foSkipDisabled and disabled by itself,
  // foSkipComments and efComment, foSkipUnaccepted and efUnaccepted.
  virtual bool ShouldSaveChild(TSchemeFiler &filer, TVisualElement *child);
  // The name a child knot is looked up by; the base gives the knot's own name.
  virtual void MapLegacyName(TSchemeFiler &filer, TKnot &knot, QString &name);
  // The class of elements that keep knots this container does not accept.
  virtual const TElementClass &GetUnacceptedClass();

  // Palette hooks (diPalette). ExecutePaletteItem runs `item` for `target` (this element, or one that
  // hands its commands to this one) with the new checked state and answers whether it was handled; the
  // base handles the Disabled item when the element has voCanDisable, changing its own disabled state by
  // an undoable operation when the state differs. GetPaletteItems adds the items the element offers: the
  // base adds the Disabled
  // item with voCanDisable, then the element items of the accepted classes. GetPaletteItemState answers
  // whether an item is enabled and checked on this element: the base checks the Disabled item while the
  // element is disabled by itself. AdjustGroupPaletteItems receives the commands common to a group
  // selection of the element's children; the base keeps them. TunePaletteItem adjusts how an item is shown
  // on the element: a part asks its owner's TunePartPaletteItem, others change nothing.
  virtual bool ExecutePaletteItem(TVisualElement &target, TSchemePaletteItem &item, bool state);
  virtual void GetPaletteItems(TPaletteItemList &list);
  virtual void GetPaletteItemState(TPaletteItem &item, TPaletteItemState &state);
  virtual void AdjustGroupPaletteItems(TPaletteItemList &list) {}
  virtual void TunePaletteItem(TPaletteItem &item, TPaletteItemTune &tune);

  // The framework's share, then "Disabled" (with voCanDisable) and "Left"/"Top" (with voFloating, unless
  // the filer has foNoPositions).
  void Load(TSchemeLoader &filer, TKnot &knot) override;
  void Save(TSchemeSaver &filer, TKnot &knot) override;

  // ------------------------------------------------------------------------------------------------------
  // The visual tree. It is separate from the ownership tree: an element is placed in a visual parent with
  // SetVisualParent, and belongs to the sheet of that parent's tree (set for the whole subtree at once).
  TSheet *Sheet() const { return FSheet; }
  TVisualElement *VisualParent() const { return FVisualParent; }
  TVisualElement *FirstVisualChild() const { return FFirstVisualChild; }
  TVisualElement *LastVisualChild() const { return FLastVisualChild; }
  TVisualElement *NextVisualSibling() const { return FNextVisualSibling; }
  TVisualElement *PreviousVisualSibling() const { return FPreviousVisualSibling; }
  int VisualChildCount() const { return FVisualChildCount; }
  // Counting from the first child; null past the end.
  TVisualElement *VisualChildren(int index) const;
  TVisualElement *FirstVisibleChild() const;
  TVisualElement *LastVisibleChild() const;
  TVisualElement *NextVisibleSibling() const;
  // The link fields of the visual sibling list, for the list algorithms of cuClasses.
  struct VisualLinks;
  // SetVisualParentAt(parent, none).
  void SetVisualParent(TVisualElement *parent) { SetVisualParentAt(parent, nullptr); }

  // Coordinates: ToParent adds Left and Top; ToSheet and FromSheet apply that along the whole visual
  // parent chain (up to and including the sheet's root element).
  QPoint ToParent(const QPoint &point) const { return point + QPoint(FLeft, FTop); }
  QPoint FromParent(const QPoint &point) const { return point - QPoint(FLeft, FTop); }
  QPoint ToSheet(const QPoint &point) const;
  QPoint FromSheet(const QPoint &point) const;

  // Asks the sheet to repaint the element's paint rectangle, or `rect` (own coordinates) within it.
  // Nothing without a sheet, while hidden or destroying; while the sheet updates, one full repaint at its
  // end takes the place of every invalidation.
  void Invalidate();
  void InvalidateRect(const QRect &rect);

  // Hit-test flags: the element itself may be returned, look into children, children also look into
  // theirs, effectively selected elements may be hit, mouse-transparent elements may be hit.
  static constexpr int htSelf = 0x01, htChildren = 0x02, htDeep = 0x04, htSelected = 0x08, htTransparent = 0x10;
  // The deepest element at `point` (own coordinates) that the flags allow, topmost children first; null
  // when there is none.
  TVisualElement *HitTestDeep(const QPoint &point, int flags);

  // Answers about the element's sheet: focused, pressed, hovered.
  bool IsFocused() const;
  bool IsPressed() const;
  bool IsHot() const;
  bool IsVisible() const { return FVisualState & vsVisible; }
  bool IsDisabled() const { return FVisualState & vsDisabled; }
  bool IsSelectedOwn() const { return FVisualState & vsSelectedOwn; }
  bool IsSelected() const { return FVisualState & vsSelected; }
  bool IsMarked() const { return State() & esMarked; }
  bool IsExternalEditing() const { return FVisualState & vsExternalEditing; }
  bool IsBeingFocused() const { return FVisualState & vsBeingFocused; }

  // Creates and executes the undoable operation that sets the own disabled state.
  void ChangeDisabled(bool disabled);
  void SetSelected(bool selected);
  // Marked elements are drawn with the mark skin and listed by the sheet; marking reveals the element.
  void SetMarked(bool marked);
  void SetExternalEditing(bool editing);
  void SetRepaintOnActivation(bool repaint);
  void SetBeingFocused(bool beingFocused);
  // True makes this element the sheet's pressed one; false releases it when it is.
  void Press(bool pressed);
  void FocusIfNotFocused();
  // Shows every hidden element from this one up the navigation parent chain.
  void Reveal();

  // Recompute an effective state and react when it changed.
  void UpdateDisabled();
  void UpdateSelected();
  void UpdateVisible();
  // While a child-selection update is open, children's selection changes are collected into one report.
  void BeginChildSelection();
  void EndChildSelection();

  // The full paint of the element in its visual parent's coordinates: its own drawing, its children, and
  // the overlays of its states (one disabled overlay for a whole disabled subtree, external editing, the
  // mark unless printing).
  void PaintElement(TCustomSheetCanvas &canvas, int flags);
  // Creates, moves or frees the messages sign as the element's problems, visibility and place require.
  void UpdateMessagesSign();
  // The sign that shows the element's problems, or null; owned by the sheet's root element.
  TMessagesSignElement *MessagesSign() const { return FMessagesSign; }

  // ------------------------------------------------------------------------------------------------------
  // Virtual operations of visual elements (the hooks kinds override); see each one's contract.

  // Called last by SetBounds.
  virtual void BoundsChanged(const QRect &oldRect, std::int32_t oldDescent) {}
  // False hides a child (a collapsed container's content).
  virtual bool IsChildShown(TVisualElement *child) { return true; }
  virtual bool ComputeDisabled();
  virtual bool ComputeSelected();
  virtual bool ComputeVisible();
  // On the old and the new pressed element.
  virtual void PressedChanged() {}
  virtual void ChildBoundsChanged(TVisualElement *child, const QRect &oldRect, std::int32_t oldDescent) {}
  virtual void ChildDisabledChanged(TVisualElement *child) {}
  virtual void ChildVisibleChanged(TVisualElement *child) {}
  // A child's own selection changed (null: several, at the end of a child-selection update).
  virtual void ChildSelectedChanged(TVisualElement *child);
  virtual void DisabledChanged() { UpdateDisabled(); }
  // The point (own coordinates) hits the element: inside the client rectangle shrunk by GetHitInsets.
  virtual bool HitTest(const QPoint &point);
  virtual bool Paste() { return false; }
  virtual void ExternalEditingChanged() {}
  // After the sheet's focus moved, on the old and the new element.
  virtual void FocusChanged();
  // Before the sheet's focus moves, on both.
  virtual void FocusChanging();
  // The caret the sheet shows for the focused element, in own coordinates.
  virtual void GetCaret(int &kind, QRect &rect);
  // True: the element is repainted whenever the sheet's window gains or loses activation while focused.
  virtual bool CaretNeedsActivation() { return false; }
  // The skin steField's margins; zero without a sheet.
  virtual void GetMargins(QMargins &margins);
  virtual void GetHitInsets(QMargins &insets) { insets = {}; }
  virtual void GetPadding(QMargins &padding) { padding = {}; }
  virtual void GetPaintRect(QRect &rect) { rect = ClientRect(); }
  // The next child in navigation order after `current` (the first or last with none).
  virtual TVisualElement *NextVisualChild(TVisualElement *current, bool horizontal, bool forward);
  // The visual parent, but none for the sheet's root element.
  virtual TVisualElement *NavigationParent();
  // Link and unlink a visual child, attaching it to this element's sheet or detaching it.
  virtual void InsertVisualChild(TVisualElement *child, TVisualElement *before);
  virtual void RemoveVisualChild(TVisualElement *child);
  virtual void MoveVisualChild(TVisualElement *child, TVisualElement *before);
  virtual void EffectiveDisabledChanged();
  virtual void EffectiveSelectedChanged() { PropagateSelected(); }
  virtual void VisibleChanged();
  // Makes a hidden child visible (a collapsed container expands).
  virtual void ShowChild(TVisualElement *child) {}
  virtual void PaintChild(TCustomSheetCanvas &canvas, int flags, TVisualElement *child);
  // Every visible child whose bounds meet the canvas clip.
  virtual void PaintChildren(TCustomSheetCanvas &canvas, int flags);
  // The kind's own drawing, in own coordinates.
  virtual void Paint(TCustomSheetCanvas &canvas, int flags) {}
  virtual void PaintDisabled(TCustomSheetCanvas &canvas);
  virtual void PaintExternalEditing(TCustomSheetCanvas &canvas);
  virtual void PaintMark(TCustomSheetCanvas &canvas);
  // Left or Top of the element or of an ancestor changed.
  virtual void PositionChanged();
  virtual void ActivationChanged() {}
  virtual bool VisualChildNotification(TVisualElement *child, int code, TNotifyArg p, TNotifyArg &result) {
    return false;
  }
  virtual void SelectedChanged() { UpdateSelected(); }
  // Layout: children first (all of them when attached, detached or the settings changed, else the visible
  // ones), then the element's own check and its messages sign. Kinds compute their size after calling it.
  virtual void Realign(bool sheetChanged, bool settingsChanged, bool heightChanged, bool widthChanged);
  // The sheet forgets the subtree (focus, hover, press, marks, delayed activation); signs are freed.
  virtual void DetachFromSheet();
  virtual void PropagateDisabled();
  virtual void PropagateSelected();
  virtual void PropagateVisible();
  virtual void VisualParentChanged();
  // Escape while the element is pressed.
  virtual void CancelMode() {}
  virtual bool CanDelete() { return false; }
  virtual bool CanCopyText() { return false; }
  virtual bool CanCopy() { return false; }
  virtual bool CanPaste();
  virtual void Delete() {}
  virtual bool ContextPopup(QObject *window, const QPoint &screenPoint) { return false; }
  virtual void CopyText() {}
  virtual void Copy() {}
  // The mouse cursor at `point` (own coordinates); 0 is the default arrow.
  virtual int GetCursor(const QPoint &point) { return 0; }
  // Files dropped on the window while the element is focused; false lets the window beep.
  virtual bool DropFiles(const QStringList &fileNames) { return false; }
  // Focuses the first focusable element inside.
  virtual void Activate();
  virtual bool FindFocusable(bool horizontal, bool forward, TVisualElement *&out, bool skipDisabled,
                             bool visibleOnly);
  virtual void GetHint(QString &text);
  // The room `child` may take; the sheet's root answers the sheet's limits.
  virtual void GetAvailableSize(TVisualElement *child, QSize &size);
  // The next element to focus from this one; `fromChild` receives the element of the starting chain whose
  // navigation parent is the result (null when the result is no ancestor).
  virtual TVisualElement *FindNextFocusable(bool horizontal, bool forward, TVisualElement *&fromChild,
                                            bool skipDisabled, bool visibleOnly);
  // One step of a search walk (diFind.h, TSheet::Find): answers true when the element holds the next
  // match in the direction, has selected it and taken the focus. Otherwise `next` names the element to
  // visit next (none ends the walk) and `fromChild` the child of `next` the walk leaves, as
  // FindNextFocusable gives them. The base holds no text: `next` is FindNextFocusable(true, forward,
  // fromChild, SkipDisabled, VisibleOnly of the find data), replaced by none when it lies outside the
  // find data's Scope.
  virtual bool FindFocusTarget(TFindMode mode, const TFindData &findData, TVisualElement *&fromChild,
                               TVisualElement *&next, bool forward);
  // Keyboard input from the sheet; setting the key (character) to 0 consumes it.
  virtual void KeyDown(int &key, Qt::KeyboardModifiers shift) {}
  virtual void KeyPress(char16_t &ch) {}
  virtual void KeyUp(int &key, Qt::KeyboardModifiers shift) {}
  virtual void Click() {}
  virtual void DoubleClick() {}
  // Mouse input from the sheet, points in own coordinates.
  virtual void MouseDown(const QPoint &point, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                         bool doubleClick);
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  virtual void MouseMove(const QPoint &point, Qt::KeyboardModifiers shift) {}
  virtual void MouseUp(const QPoint &point, Qt::MouseButton button, Qt::KeyboardModifiers shift);
  // Drawing over the finished window picture while focused; origin and clip are the element's.
  virtual void PaintOverlay(QPainter &deviceContext) {}
  // A text from which SetFocus can restore the exact focus place.
  virtual void GetFocusData(QString &text) { text.clear(); }
  virtual void SelectAll() {}
  // The sheet focuses this element. Kinds place their caret from the focus data, the point (a press,
  // own coordinates), the child the focus leaves or, with none of these, the direction.
  virtual void SetFocus(bool horizontal, bool forward, const QString &focusData, TVisualElement *fromChild,
                        const QPoint *point);
  // Places the element in `parent`'s visual children before `before` (at the end when null); a null
  // parent takes it out of its visual parent.
  virtual void SetVisualParentAt(TVisualElement *parent, TVisualElement *before);

  void FilledChanged() override;
  void MessagesChanged() override;

protected:
  // For constructors: the visual options, stored without the reactions of SetVisualOptions.
  void InitVisualOptions(std::uint16_t options) { FVisualOptions = options; }
  // Takes the element out of its visual parent, detaches its visual children (last first; they are not
  // freed) and frees its messages sign, then leaves the scheme.
  void Freeing() override;

private:
  friend class TMessagesSignElement;
  friend class TSheet;
  // Sets the sheet on the whole visual subtree.
  void SetSheetDeep(TSheet *sheet);
  // Attaches a child that was just linked in (or detaches one just unlinked) when its sheet differs.
  void AttachChild(TVisualElement *child, TSheet *sheet);
  void SetStateBit(std::uint16_t bit, bool on);
  void PlaceMessagesSign();

  TSheet *FSheet = nullptr;
  TVisualElement *FVisualParent = nullptr;
  TVisualElement *FFirstVisualChild = nullptr;
  TVisualElement *FLastVisualChild = nullptr;
  TVisualElement *FNextVisualSibling = nullptr;
  TVisualElement *FPreviousVisualSibling = nullptr;
  int FVisualChildCount = 0;
  TMessagesSignElement *FMessagesSign = nullptr;
  std::int32_t FLeft = 0;
  std::int32_t FTop = 0;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  std::int32_t FDescent = 3;
  std::uint16_t FVisualState = vsVisible;
  std::uint16_t FVisualOptions = 0;
};

// A container whose size follows its visible children: the greatest right and bottom edges plus the right
// and bottom padding (a size that comes out 0 keeps the current one). The children stand at positions of
// their own. The size is computed once per Realign and kept up incrementally as single children change;
// painting finds the children that meet the clip by binary search while they are ordered by Top.
class TPanelElement : public TVisualElement {
  QN_ELEMENT_CLASS(TPanelElement)
public:
  TPanelElement() = default;

  void Realign(bool sheetChanged, bool settingsChanged, bool heightChanged, bool widthChanged) override;
  // Own available size less the padding.
  void GetAvailableSize(TVisualElement *child, QSize &size) override;
  void PaintChildren(TCustomSheetCanvas &canvas, int flags) override;
  void InsertVisualChild(TVisualElement *child, TVisualElement *before) override;
  void RemoveVisualChild(TVisualElement *child) override;
  void MoveVisualChild(TVisualElement *child, TVisualElement *before) override;
  void ChildBoundsChanged(TVisualElement *child, const QRect &oldRect, std::int32_t oldDescent) override;
  void ChildVisibleChanged(TVisualElement *child) override;
  void VisibleChanged() override;

protected:
  // Recomputes the size from every visible child and applies it.
  void UpdateSize();

private:
  // The greatest right and bottom edges of the visible children, kept up as they change.
  void RescanEdges();
  void ApplySize();
  // The paint index: the children in visual order with the running maximum of their bottom edges, and
  // whether their tops never decrease. Rebuilt on the next paint after any child moved or changed.
  void BuildPaintIndex();

  std::int32_t FMaxRight = 0, FMaxBottom = 0;
  bool FRealigning = false;
  bool FIndexValid = false;
  bool FOrderedByTop = false;
  std::vector<TVisualElement *> FIndex;
  std::vector<std::int32_t> FIndexMaxBottom;
};

// The root of a sheet's visual tree: a panel that draws the skin steSheet and hands the sheet its
// invalidations, its size and its limits.
class TSheetElement : public TPanelElement {
  QN_ELEMENT_CLASS(TSheetElement)
public:
  TSheetElement() = default;

  // The sheet's limits.
  void GetAvailableSize(TVisualElement *child, QSize &size) override;
  void Paint(TCustomSheetCanvas &canvas, int flags) override;
};

// The small floating sign that shows an element's problems: a part of the sheet's root element, placed
// just above the top-left of its element, transient and mouse transparent. Freeing it clears its
// element's reference.
class TMessagesSignElement : public TVisualElement {
  QN_ELEMENT_CLASS(TMessagesSignElement)
public:
  TMessagesSignElement();

  // The element whose messages it shows; not owned.
  TVisualElement *Element() const { return FElement; }
  // Its size is the cut of the skin steErrorSign.
  void Realign(bool sheetChanged, bool settingsChanged, bool heightChanged, bool widthChanged) override;
  // steErrorSign for an element with an error, steNeedValueSign otherwise.
  void Paint(TCustomSheetCanvas &canvas, int flags) override;
  // "• " and each message's text, one per line.
  void GetHint(QString &text) override;

protected:
  void Freeing() override;

private:
  friend class TVisualElement;
  TVisualElement *FElement = nullptr;
};

// An element whose knot no kind accepted where it stood. It keeps the knot's complete text, writes it back
// unchanged (a snapshot wraps it in an "Unaccepted" knot) and reports itself as an error.
class TElement_Unaccepted : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_Unaccepted)
public:
  TElement_Unaccepted();

  // The stored text, one entry per line, and the name of its knot.
  const QStringList &Lines() const { return FLines; }
  const QString &KnotName() const { return FKnotName; }

  bool IsFilled() override { return true; }
  void CheckValue() override;
  void Load(TSchemeLoader &filer, TKnot &knot) override;
  void Save(TSchemeSaver &filer, TKnot &knot) override;

  // The lines as displayed: tabs as 8 spaces, lines over 100 characters cut to 100 ending in "...".
  static QString DisplayLine(const QString &line);
  // Its display: the skin steUnaccepted over the bounds, the lines in the fixed font inside the skin's
  // padding; sized to them.
  void Realign(bool sheetChanged, bool settingsChanged, bool heightChanged, bool widthChanged) override;
  void Paint(TCustomSheetCanvas &canvas, int flags) override;

private:
  void UpdateSize();

  QStringList FLines;
  QString FKnotName;
};

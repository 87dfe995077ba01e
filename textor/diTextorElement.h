// The textor element: the visual element that hosts a rich text (the document root, comments, captions,
// contents and table cells are all textor elements), the textor bound to it, and the element side of
// drop-down lists it derives from.
//
// Inline elements are free children of the textor element (the element tree owns them) and at the same
// time element portions of its text. Kinds that stand in text inherit TInlineElementLink (diRichTextor.h)
// and call PortionElementFreeing from their Freeing before the base Freeing, so that an element freed by
// the tree takes its portion with it; unknown knots in text load as InlineText::TElement_Unaccepted, which does.
//
// Content format (option toInlineElements): the element knot gets koPositionalChildren and holds, in text
// order, "Chars" knots (parameter "Value" with TAB for tab stops, "Data" when the run's attributes carry
// a data string), "Br" between two paragraphs (written on the line of the knot before it) and the inline
// elements under their type names. Snapshots of an element whose first child element is a part keep the
// content in a child knot "Floating". Without toInlineElements the plain text is the parameter "Value".
#pragma once

#include "diTextor.h"
#include "diThemes.h"
#include "diVisualElements.h"

#include <QString>

#include <cstdint>
#include <memory>

class TSchemeLoader;
class TSchemeSaver;
class TTextorElement;

// Visual options of drop-down elements.
constexpr std::uint16_t voHasDropDown = 0x0100;        // the element opens a list
constexpr std::uint16_t voNoDropDownOnFocus = 0x0200;  // not opened by "DropDownOnFocusNew"

// Textor element options (TTextorElement::TextorOptions).
constexpr std::uint32_t toInlineElements = 0x00000001;   // inline elements; content stored as content knots
constexpr std::uint32_t toRichFormat = 0x00000002;
constexpr std::uint32_t toHyperlinks = 0x00000004;       // links detected on layout and opened on activation
constexpr std::uint32_t toValueSound = 0x00000008;
constexpr std::uint32_t toNoNonPrinting = 0x00000010;    // never show non-printing characters
constexpr std::uint32_t toIdentifierWords = 0x00000020;
constexpr std::uint32_t toOwnParagraph = 0x00000040;
constexpr std::uint32_t toDelegate = 0x00000080;         // options and behaviour from the delegation target
constexpr std::uint32_t toEmptyMinWidth = 0x00000400;    // empty: two thirds of the first row height wide
constexpr std::uint32_t toFieldSkin = 0x00000800;        // padding, margins and background of steField
constexpr std::uint32_t toContainerSkin = 0x00001000;    // padding, margins and background of steContainer
constexpr std::uint32_t toFixedFont = 0x00002000;        // default text attributes of stfFixed
constexpr std::uint32_t toArtFont = 0x00004000;          // of stfArt
constexpr std::uint32_t toCommentFont = 0x00008000;      // of stfComment
constexpr std::uint32_t toIncreaseWorkspaceHeight = 0x00010000;
constexpr std::uint32_t toMaxWidth240 = 0x00020000;
constexpr std::uint32_t toMaxWidth480 = 0x00040000;
constexpr std::uint32_t toMaxWidth720 = 0x00080000;
constexpr std::uint32_t toMaxWidth960 = 0x00100000;
constexpr std::uint32_t toUnlimitedWidth = 0x00200000;
constexpr std::uint32_t toMinWidth30 = 0x00400000;
constexpr std::uint32_t toMinWidth240 = 0x00800000;
constexpr std::uint32_t toMinWidth480 = 0x01000000;
constexpr std::uint32_t toParentWidth = 0x02000000;      // minimum width: what the parent makes available
constexpr std::uint32_t toMinHeight60 = 0x04000000;
constexpr std::uint32_t toMinHeight120 = 0x08000000;
constexpr std::uint32_t toMinHeight240 = 0x10000000;
constexpr std::uint32_t toParentHeight = 0x20000000;     // minimum height: what the parent makes available
// The option bits a delegating element takes from its target.
constexpr std::uint32_t toDelegatedMask = 0x003EE067;

// Content set bits.
constexpr std::uint32_t csTabs = 0x10;
constexpr std::uint32_t csParagraphBreaks = 0x20;
constexpr std::uint32_t csTextMask = 0x4F;  // none of these: no text at all
constexpr std::uint32_t csAll = 127;

// State flags (TTextorElement::StateFlags).
constexpr std::uint8_t tsSuppressChanges = 0x01;
constexpr std::uint8_t tsRestoringSelection = 0x02;
constexpr std::uint8_t tsInAfterLayout = 0x04;

// Cursor ids of text (TVisualElement::GetCursor). The window layer registers the cursor images under these
// ids, each from the cursor resource of the constant's name.
constexpr int crTextorFieldBeam = 10;           // a field without paragraph breaks
constexpr int crTextorFieldElementsBeam = 11;   // such a field with inline elements
constexpr int crTextorFieldDropDownBeam = 12;   // an element with a drop-down list
constexpr int crTextorContainerBeam = 13;       // paragraph breaks, no text content
constexpr int crTextorContainerTextBeam = 14;   // paragraph breaks and text
constexpr int crTextorLeftZone = 15;
constexpr int crTextorDragMove = 16;
constexpr int crTextorDragCopy = 17;

// Notification codes: asked of any textor element (argument a: std::int32_t * receiving the cached content
// height), and sent to its subscribers when that height changed (argument a: the new height).
constexpr int tenContentHeight = 10;
constexpr int tenContentHeightChanged = 11;

// The maximum width of an element with toUnlimitedWidth.
constexpr std::int32_t kUnlimitedWidth = 0x3FFFFFFF;

// The length limits of a detected link, and whether `token` (a run without TAB, space, '"', '<', '>') is
// one: a scheme of http, https, ftp, file, url (any letter case) directly followed by "://" or ":\\" and
// at least one more character.
constexpr int kMinLinkLength = 7;
constexpr int kMaxLinkLength = 2057;
bool IsLinkToken(QStringView token);
// Calls `found(start, length)` for every link token of `text`, in order.
template <class F> void ForEachLinkToken(QStringView text, F found) {
  const auto delimits = [](QChar c) {
    return c == u'\t' || c == u' ' || c == u'"' || c == u'<' || c == u'>';
  };
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n) {
    while (i < n && delimits(text[i]))
      ++i;
    qsizetype j = i;
    while (j < n && !delimits(text[j]))
      ++j;
    if (j > i && IsLinkToken(text.mid(i, j - i)))
      found(i, j - i);
    i = j;
  }
}

// ---------------------------------------------------------------------------------------------------------
// TSchemeTextor: the textor of a textor element. Its rules (breaks, tabs, widths, margins, attributes)
// come from the element; it is created with its layout lock taken once (released when the element is
// first realigned on a sheet). The owner is not owned; it is cleared when the element is freed.

class TSchemeTextor : public TTextor {
public:
  explicit TSchemeTextor(TTextorElement *owner);

  TTextorElement *Owner() const { return FOwner; }
  void ClearOwner() { FOwner = nullptr; }

  // With the owner's toIdentifierWords, a boundary lies exactly where word characters and other characters
  // meet (spaces get no special treatment, so a word does not take the spaces after it); else the
  // textor's rule.
  bool SameWord(int a, int b) const override;
  TParagraphAttributes *DefaultParagraphAttributes() const override;
  // The element's DefaultTextAttributes while it is on a sheet, else the process default.
  TTextAttributes *DefaultTextAttributes() const override;
  // Left and right 1; top and bottom 1 when paragraph breaks are allowed, else 0.
  QRect InlineMargins() const override;
  // The element's maximum width less its left and right padding.
  int LayoutWidth() const override;
  bool ParagraphBreaksAllowed() const override;
  bool TabsAllowed() const override;
  QRect Padding() const override;

protected:
  // The element's ContentChanged unless it suppresses change notifications.
  void Changed() override;
  // Inside a sheet update: the element's ParagraphLayout for every paragraph about to be laid out, the
  // layout, then the element's AfterLayout.
  void DoLayout(bool contentChanged) override;

private:
  TTextorElement *FOwner;
};

// ---------------------------------------------------------------------------------------------------------
// TCustomDropDownElement: the element side of drop-down lists. No kind of this program opens one, so of
// its key rules only the consumption of a plain Enter takes effect.

class TCustomDropDownElement : public TVisualElement {
  QN_ELEMENT_CLASS(TCustomDropDownElement)
public:
  // Whether the element took the chosen item (base: false).
  virtual bool SelectDropDownItem(TNode *item) { return false; }
  bool HasDropDown() const { return VisualOptions() & voHasDropDown; }
  // The item to show as current in a list under `root` (base: none).
  virtual TNode *CurrentDropDownItem(TNode *root) { return nullptr; }

  // Enter without Ctrl is consumed (it opens the list of an element that has one).
  void KeyDown(int &key, Qt::KeyboardModifiers shift) override;
  // A CR is consumed while the element has a list.
  void KeyPress(char16_t &ch) override;
};

// ---------------------------------------------------------------------------------------------------------
// TTextorElement.

class TTextorElement : public TCustomDropDownElement {
  QN_ELEMENT_CLASS(TTextorElement)
public:
  TTextorElement();
  ~TTextorElement() override;

  TSchemeTextor &Textor() const { return *FTextor; }
  std::uint32_t TextorOptions() const { return FTextorOptions; }
  bool HasTextorOption(std::uint32_t option) const { return FTextorOptions & option; }
  // For kinds' constructors and tests; a delegating element overwrites the delegated bits whenever its
  // owner chain changes.
  void SetTextorOptions(std::uint32_t options) { FTextorOptions = options; }
  std::uint32_t ContentSet() const { return FContentSet; }
  void SetContentSet(std::uint32_t contentSet) { FContentSet = contentSet; }
  bool AllowsText() const { return FContentSet & csTextMask; }
  // The value that counts as empty for a plain textor; null when absent.
  const QString &DefaultText() const { return FDefaultText; }
  void SetDefaultText(const QString &text) { FDefaultText = text; }
  std::uint8_t StateFlags() const { return FStateFlags; }
  // First row height plus top and bottom padding, as of the last size update.
  std::int32_t ContentHeight() const { return FContentHeight; }

  // The selection, in coordinates (kept here until the interaction takes it over; focus data reads and
  // sets it). A range that no longer converts counts as the caret at the text start.
  const TTextCoordinateRange &Selection() const { return FSelection; }
  void SetSelection(const TTextCoordinateRange &selection) { FSelection = selection; }
  TTextRange SelectionRange() const;

  // The text of `range` as copy-as-text gives it: characters, TAB per tab stop, the GetText of each
  // inline element and CR LF per paragraph end inside the range.
  void AppendRangeText(const TTextRange &range, QString &builder) const;

  // Content filing. SaveContent writes the range (null: the whole text) as content knots appended under
  // `knot`; LoadContent reads the content children of `knot` into the text at `at` and answers the range
  // they took. Both run inside one textor update; loading also inside one sheet update.
  virtual void SaveContent(TSchemeSaver &filer, TKnot &knot, const TTextRange *range);
  TTextRange LoadContent(TSchemeLoader &filer, TKnot &knot, const TTextPosition &at);
  // `knot` becomes "LoomContent" with koPositionalChildren, "FormatVersion" and the content of `range`
  // (null: the whole text), saved in `mode` with `options`.
  void SaveContentKnot(TKnot &knot, TFilerMode mode, std::uint8_t options, const TTextRange *range);

  // Virtual operations of textor elements.
  virtual void ParagraphLayout(TParagraph &paragraph);
  // The attributes of the characters of a "Chars" knot being read; null: the paragraph's. A delegating
  // element asks its target.
  virtual TTextAttributes *AttributesFromKnot(TKnot &knot);
  // Width, height and baseline from the laid-out text and the limits.
  virtual void UpdateSize();
  // The attributes of the theme font chosen by the options (stfValue without a font bit); on a sheet only.
  virtual TTextAttributes *DefaultTextAttributes();
  // The owner of the first element, walking up from this one, that is not a part.
  virtual TElement *DelegationTarget();
  virtual bool GetSkin(TSheetThemeElement &skin);
  virtual void GetSizeLimits(std::int32_t &minWidth, std::int32_t &maxWidth, std::int32_t &minHeight);
  // A link of the text was activated: with toHyperlinks its target is opened (OpenLink of cuUtils); a
  // delegating element passes it to its target.
  virtual void LinkActivated(TPortion *portion);
  virtual bool IsDelegatedNotification(int code);
  virtual void PaintBackground(TCustomSheetCanvas &canvas);
  // The textor's content changed (unless suppressed): NotifyTargetContentChanged, then Changed.
  virtual void ContentChanged();
  virtual void NotifyTargetContentChanged();
  // After every layout of the textor: the selection re-validated, the size updated, the caret shown.
  virtual void AfterLayout();

  // The delegation target when this element delegates and it is a textor element, else null.
  TTextorElement *DelegateTextor();
  // The delegation target when this element delegates and it is a visual element, else null.
  TVisualElement *DelegateVisual();
  bool Delegates() const { return FTextorOptions & toDelegate; }

  // Overrides.
  bool IsFilled() override { return !FTextor->IsEmpty(); }
  bool IsEmpty() override;
  void OwnerChainChanged() override;
  void GetAcceptedClasses(TElementClassList &list) override;
  const TElementClass &GetUnacceptedClass() override;
  void MapLegacyName(TSchemeFiler &filer, TKnot &knot, QString &name) override;
  void Load(TSchemeLoader &filer, TKnot &knot) override;
  void Save(TSchemeSaver &filer, TKnot &knot) override;
  void GetText(QString &builder) override;
  void ChildBoundsChanged(TVisualElement *child, const QRect &oldRect, std::int32_t oldDescent) override;
  void GetMargins(QMargins &margins) override;
  void GetPadding(QMargins &padding) override;
  void InsertVisualChild(TVisualElement *child, TVisualElement *before) override;
  // Nothing: inline elements are painted by their portions.
  void PaintChildren(TCustomSheetCanvas &canvas, int flags) override {}
  void Paint(TCustomSheetCanvas &canvas, int flags) override;
  void Realign(bool sheetChanged, bool settingsChanged, bool heightChanged, bool widthChanged) override;
  void GetAvailableSize(TVisualElement *child, QSize &size) override;
  void Activate() override;
  void SelectAll() override;
  // A delegating element lets its target execute and tune items first, and offers its target's items
  // except the element-insertion ones, followed by its own insertion items.
  bool ExecutePaletteItem(TVisualElement &target, TSchemePaletteItem &item, bool state) override;
  void GetPaletteItems(TPaletteItemList &list) override;
  void TunePaletteItem(TPaletteItem &item, TPaletteItemTune &tune) override;
  // One step of a search walk: searches the text (FindInStretches) from the selection while focused, else
  // from the text's edge in the direction; a match is selected (caret at its end) and the element
  // focused. An inline element that can take the focus on the way is named as the next element to visit.
  bool FindFocusTarget(TFindMode mode, const TFindData &findData, TVisualElement *&fromChild,
                       TVisualElement *&next, bool forward) override;
  // The text beam of the element's kind of content (the crTextor... ids): the drop-down beam for an element
  // with a list; without paragraph breaks the field beam, with inline elements its "elements" variant;
  // with paragraph breaks the container beam, its text variant when text is allowed.
  int GetCursor(const QPoint &point) override;
  void GetFocusData(QString &text) override;
  void SetFocus(bool horizontal, bool forward, const QString &focusData, TVisualElement *fromChild,
                const QPoint *point) override;

protected:
  bool Notification(int code, TNotifyArg a, TNotifyArg b) override;
  // Clears the textor's owner and frees the textor, whose element portions free the inline elements,
  // before the children are freed; so no portion ever refers to a freed element.
  void Freeing() override;

private:
  friend class TSchemeTextor;
  bool LayoutLocked() const { return FCreationLock || FTextor->LayingOut(); }

  std::unique_ptr<TSchemeTextor> FTextor;
  QString FDefaultText;
  std::uint32_t FContentSet = csAll;
  std::uint32_t FTextorOptions = 0;
  std::uint8_t FStateFlags = 0;
  bool FCreationLock = true;  // the textor's creation lock is held
  std::int32_t FContentHeight = 0;
  TTextCoordinateRange FSelection;
};

// An element whose knot no kind accepted inside a text: kept and written back like the framework's
// unaccepted element (whose type name, "Unaccepted", it shares, so that snapshots wrap and unwrap it the
// same way), and standing in the text as an element portion.
namespace InlineText {
class TElement_Unaccepted final : public ::TElement_Unaccepted, public TInlineElementLink {
  QN_ELEMENT_CLASS(TElement_Unaccepted)
protected:
  void Freeing() override;
};
}  // namespace InlineText

// The content of a textor: paragraphs of portions, the positions and ranges that address them, their
// coordinates and the iteration over a range.
//
// A textor holds a doubly linked list of paragraphs; a paragraph holds a doubly linked list of portions. A
// portion is a run of positions sharing one kind and one attribute slot: characters (TTextPortion), tab
// stops (TTabStopsPortion) or exactly one inline element (TElementPortion). Runs are never merged: after a
// deletion or a join, neighbours of equal class and attributes may coexist.
//
// Ownership: the textor owns its paragraphs, a paragraph its portions. An inline element is owned by the
// element tree only; its portion refers to it. Freeing the portion asks the tree to free the element, and
// an element freed by the tree frees its portion; whichever side starts clears the link first, so neither
// runs twice.
#pragma once

#include "diTextorAttributes.h"

#include <QPoint>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class TTextor;
class TParagraph;
class TPortion;
class TElementPortion;
class TVisualElement;

// A position in normal form: Offset < Portion->Length(), or Portion null (the paragraph end) and Offset 0.
struct TTextPosition {
  TParagraph *Paragraph = nullptr;
  TPortion *Portion = nullptr;
  std::int32_t Offset = 0;

  bool operator==(const TTextPosition &) const = default;
  // Turns (portion, its length) into (next portion, 0); a null next portion is the paragraph end.
  void Normalize();
  bool AtParagraphEnd() const { return Portion == nullptr; }
};

struct TTextRange {
  TTextPosition Start, End;
  bool operator==(const TTextRange &) const = default;
  bool IsEmpty() const { return Start == End; }
};

// Paragraph index (0 for the first) and character offset: the lengths of the earlier portions of the
// paragraph plus the position's offset. They survive the rebuilding of portions.
struct TTextCoordinates {
  std::int32_t Index = 0, Offset = 0;
  bool operator==(const TTextCoordinates &) const = default;
};

struct TTextCoordinateRange {
  std::int32_t StartIndex = 0, StartOffset = 0, EndIndex = 0, EndOffset = 0;
  bool operator==(const TTextCoordinateRange &) const = default;
};

// What an insertion brings into a portion of matching class: code units, tab stops or one element.
struct TPortionContent {
  QStringView Text;
  std::int32_t Stops = 0;
  TVisualElement *Element = nullptr;
};

// The link an inline element keeps to its portion. Element kinds that can stand in text inherit it and
// call PortionElementFreeing from their Freeing hook, so that an element freed by the tree frees its
// portion.
class TInlineElementLink {
public:
  TElementPortion *Portion() const { return FPortion; }

protected:
  ~TInlineElementLink() = default;
  void PortionElementFreeing();

private:
  friend class TElementPortion;
  TElementPortion *FPortion = nullptr;
};

enum class TPortionKind { Text, TabStops, Element };

class TPortion {
public:
  TPortion(const TPortion &) = delete;
  TPortion &operator=(const TPortion &) = delete;
  virtual ~TPortion();

  virtual TPortionKind Kind() const = 0;
  TParagraph *Paragraph() const { return FParagraph; }
  std::int32_t Length() const { return FLength; }
  TPortion *Next() const { return FNext; }
  TPortion *Previous() const { return FPrevious; }
  // The own attribute slot (null: the paragraph's text attributes apply).
  TTextAttributes *OwnAttributes() const { return FAttributes.Get(); }
  // The own attributes, else the paragraph's effective text attributes.
  const TTextAttributes &Attributes() const;

  // Advances x over `count` positions from `index`; x is relative to the row's left offset.
  virtual void Measure(int &x, std::int32_t index, std::int32_t count) const = 0;
  // True when `attributes` is the portion's own attribute instance (identity, null included).
  virtual bool SameAttributes(const TTextAttributes *attributes) const { return attributes == FAttributes.Get(); }
  // The code unit at index: TAB for a tab stop, -1 for an element.
  virtual int CharAt(std::int32_t index) const = 0;
  // The position index (from `index`) whose cell contains `target`, or with `nearest` the nearer cell
  // boundary; -1 when the target lies at or beyond the end of the `count` positions, x then advanced over
  // them. `down` and `current` are the mouse-down and current points of a drag in progress, else null.
  virtual std::int32_t HitTest(int &x, int target, const QPoint *down, const QPoint *current, bool nearest,
                               std::int32_t count, std::int32_t index) const = 0;
  // Writes the plain text of `count` positions from `index` to `destination` (when not null); returns the
  // number of code units.
  virtual std::int32_t CopyChars(std::int32_t index, std::int32_t count, QChar *destination) const = 0;
  // Ascent and descent this portion needs in a row.
  virtual void Metrics(int &ascent, int &descent) const;
  // Inserts content of this portion's class at index; returns the number of positions inserted.
  virtual std::int32_t Insert(std::int32_t index, const TPortionContent &content) = 0;
  // Draws `count` positions from `index` at x (textor coordinates, advanced over them) on `baseline`;
  // `rowLeft` is the row's left offset, from which tab stops count. Flags: tdfSelected,
  // tdfSecondSelectColor, tdfNonPrinting.
  virtual void Draw(TCustomSheetCanvas &canvas, int paintState, int flags, std::int32_t count, std::int32_t index,
                    int baseline, int &x, const QRect &rowRect, int rowLeft) const = 0;

protected:
  TPortion(TParagraph &paragraph, TPortion *before, TTextAttributes *attributes);
  // Removes `count` positions from index (the caller invalidates the layout).
  virtual void DeleteRange(std::int32_t index, std::int32_t count) = 0;
  // A new empty portion of the same class and attributes right after this one.
  virtual TPortion *CreateAfter() = 0;
  // Moves positions [index, Length) to the empty `tail` of the same class.
  virtual void SplitOff(TPortion &tail, std::int32_t index) = 0;

  std::int32_t FLength = 0;

private:
  friend class TParagraph;
  friend struct TPortionLinks;
  TParagraph *FParagraph = nullptr;
  TAttributesRef<TTextAttributes> FAttributes;
  TPortion *FNext = nullptr, *FPrevious = nullptr;
};

class TTextPortion final : public TPortion {
public:
  TTextPortion(TParagraph &paragraph, TPortion *before, TTextAttributes *attributes)
      : TPortion(paragraph, before, attributes) {}
  TPortionKind Kind() const override { return TPortionKind::Text; }
  const QString &Text() const { return FText; }
  void Measure(int &x, std::int32_t index, std::int32_t count) const override;
  int CharAt(std::int32_t index) const override { return FText.at(index).unicode(); }
  std::int32_t HitTest(int &x, int target, const QPoint *down, const QPoint *current, bool nearest,
                       std::int32_t count, std::int32_t index) const override;
  std::int32_t CopyChars(std::int32_t index, std::int32_t count, QChar *destination) const override;
  std::int32_t Insert(std::int32_t index, const TPortionContent &content) override;

  void Draw(TCustomSheetCanvas &canvas, int paintState, int flags, std::int32_t count, std::int32_t index,
            int baseline, int &x, const QRect &rowRect, int rowLeft) const override;
protected:
  void DeleteRange(std::int32_t index, std::int32_t count) override;
  TPortion *CreateAfter() override;
  void SplitOff(TPortion &tail, std::int32_t index) override;

private:
  QString FText;
};

class TTabStopsPortion final : public TPortion {
public:
  TTabStopsPortion(TParagraph &paragraph, TPortion *before, TTextAttributes *attributes)
      : TPortion(paragraph, before, attributes) {}
  TPortionKind Kind() const override { return TPortionKind::TabStops; }
  // The effective attributes' tab width, at least 1 pixel (a font whose average width is 0 has none).
  int TabWidth() const;
  void Measure(int &x, std::int32_t index, std::int32_t count) const override;
  int CharAt(std::int32_t) const override { return 9; }
  std::int32_t HitTest(int &x, int target, const QPoint *down, const QPoint *current, bool nearest,
                       std::int32_t count, std::int32_t index) const override;
  std::int32_t CopyChars(std::int32_t index, std::int32_t count, QChar *destination) const override;
  std::int32_t Insert(std::int32_t index, const TPortionContent &content) override;

  void Draw(TCustomSheetCanvas &canvas, int paintState, int flags, std::int32_t count, std::int32_t index,
            int baseline, int &x, const QRect &rowRect, int rowLeft) const override;
protected:
  void DeleteRange(std::int32_t index, std::int32_t count) override { FLength -= count; }
  TPortion *CreateAfter() override;
  void SplitOff(TPortion &tail, std::int32_t index) override;
};

// Dragging takes in an inline element once the pointer is this far inside it.
constexpr int kElementDragInside = 40;

class TElementPortion final : public TPortion {
public:
  TElementPortion(TParagraph &paragraph, TPortion *before, TTextAttributes *attributes)
      : TPortion(paragraph, before, attributes) {}
  // Asks the element tree to free the element (unless the tree is freeing it already).
  ~TElementPortion() override;
  TPortionKind Kind() const override { return TPortionKind::Element; }
  TVisualElement *Element() const { return FElement; }
  // Width of the element plus the textor's left and right inline margins.
  int CellWidth() const;
  bool SameAttributes(const TTextAttributes *) const override { return false; }
  void Measure(int &x, std::int32_t index, std::int32_t count) const override;
  int CharAt(std::int32_t) const override { return -1; }
  std::int32_t HitTest(int &x, int target, const QPoint *down, const QPoint *current, bool nearest,
                       std::int32_t count, std::int32_t index) const override;
  std::int32_t CopyChars(std::int32_t, std::int32_t, QChar *) const override { return 0; }
  void Metrics(int &ascent, int &descent) const override;
  // Takes content.Element as its element and links it back; answers 1.
  std::int32_t Insert(std::int32_t index, const TPortionContent &content) override;
  // Places the element at x (textor coordinates of the cell's left edge) on a row with `baseline`.
  void PlaceInRow(int x, int baseline, const QRect &padding);
  void MoveBy(int dx, int dy);

  void Draw(TCustomSheetCanvas &canvas, int paintState, int flags, std::int32_t count, std::int32_t index,
            int baseline, int &x, const QRect &rowRect, int rowLeft) const override;
protected:
  void DeleteRange(std::int32_t, std::int32_t) override {}
  TPortion *CreateAfter() override;
  void SplitOff(TPortion &, std::int32_t) override {}

private:
  friend class TInlineElementLink;
  // The tree is freeing the element: forget it and free this portion.
  void ElementFreeing();
  TVisualElement *FElement = nullptr;
};

// One row of a laid-out paragraph. A row's top is the bottom of the row before it (in the same paragraph,
// else the last row of the previous paragraph, else 0); its baseline is Bottom - Descent. Its end equals
// the next row's start; the last row ends at the paragraph end.
struct TRow {
  TTextPosition Start, End;
  int Ascent = 0, Descent = 0;
  int Bottom = 0;  // y of the bottom edge in textor coordinates
  int Width = 0;   // advance width of the row's content
  // Character offset of Start in the paragraph.
  std::int32_t StartOffset = 0;
  // The last character offset the wrapping read to end this row (the position that no longer fitted);
  // the row depends on the characters from its start up to here only. The last row reads to the end.
  std::int32_t ReadTo = INT32_MAX;
  bool operator==(const TRow &) const = default;
  int Height() const { return Ascent + Descent; }
  int Top() const { return Bottom - Height(); }
  int Baseline() const { return Bottom - Descent; }
};

// One chunk of an iteration: `Portion` null is a paragraph end. Setting `stop` ends the iteration.
using TChunkCallback =
    std::function<void(TParagraph *paragraph, TPortion *portion, std::int32_t offset, std::int32_t count, bool &stop)>;

class TParagraph {
public:
  TParagraph(const TParagraph &) = delete;
  TParagraph &operator=(const TParagraph &) = delete;

  TTextor &Textor() const { return *FTextor; }
  TParagraph *Next() const { return FNext; }
  TParagraph *Previous() const { return FPrevious; }
  TPortion *FirstPortion() const { return FFirstPortion; }
  TPortion *LastPortion() const { return FLastPortion; }
  bool IsEmpty() const { return FFirstPortion == nullptr; }
  std::int32_t TotalLength() const;

  TParagraphAttributes *OwnParagraphAttributes() const { return FParagraphAttributes.Get(); }
  TTextAttributes *OwnTextAttributes() const { return FTextAttributes.Get(); }
  // The own paragraph attributes, else the textor's default, else the process-wide default.
  const TParagraphAttributes &ParagraphAttributes() const;
  // The own text attributes, else the textor's default text attributes.
  const TTextAttributes &TextAttributes() const;
  void SetParagraphAttributes(TParagraphAttributes *attributes);
  void SetTextAttributes(TTextAttributes *attributes);

  TTextPosition Start() { return {this, FFirstPortion, 0}; }
  TTextPosition End() { return {this, nullptr, 0}; }

  // The rows of the last layout; at least one once laid out.
  const std::vector<TRow> &Rows() const { return FRows; }
  int Top() const { return FRows.empty() ? 0 : FRows.front().Top(); }
  int Bottom() const { return FRows.empty() ? 0 : FRows.back().Bottom; }
  // The row's left offset in textor coordinates (alignment, indents; the first row adds the first indent).
  int RowLeft(std::size_t row) const;
  // Breaks all portions into rows that fit `width` (<= 0: no wrapping), stacked below the previous
  // paragraph, and places the inline elements; the layout and the position become valid.
  void Layout(int width, const QRect &padding);
  // Nothing when layout and position are valid; a shift to the previous paragraph's bottom when only the
  // position is invalid; a re-wrap of the changed rows when the changes since the last layout are known
  // and width and padding are unchanged (the rows equal those of Layout); else Layout.
  void EnsureLayout(int width, const QRect &padding);
  // Moves every row and inline element down by delta.
  void Shift(int delta);

  bool LayoutValid() const { return FLayoutValid; }
  bool PositionValid() const { return FPositionValid; }
  // The rows no longer reflect the portions and the next layout wraps the whole paragraph; the textor
  // hears that its content changed.
  void InvalidateLayout();
  void InvalidatePosition();

  // Creates a portion of `kind` before `before` (null: at the end) with `attributes` referenced.
  TPortion *CreatePortion(TPortionKind kind, TPortion *before, TTextAttributes *attributes);
  // Unlinks and frees the portion (an element portion frees its element through the tree).
  void FreePortion(TPortion *portion);
  // Frees every portion, keeping the paragraph.
  void Clear();
  // Moves `portion` from its paragraph to this one, before `before` (null: the end); the object stays.
  void AdoptPortion(TPortion *portion, TPortion *before);
  // Index 0 answers the portion itself; otherwise a new portion of the same class and attributes right
  // after it takes the positions from index on, and is answered.
  TPortion *Split(TPortion *portion, std::int32_t index);
  // Assigns the portion's slot; invalidates the layout when it changed.
  void SetPortionAttributes(TPortion *portion, TTextAttributes *attributes);
  // count <= 0 does nothing.
  void DeleteChars(TPortion *portion, std::int32_t index, std::int32_t count);
  // Inserts content into `portion` at index and invalidates the layout; answers the positions inserted.
  std::int32_t InsertInto(TPortion *portion, std::int32_t index, const TPortionContent &content);

  // Reports the chunks from (startPortion, startOffset) to (endPortion, endOffset); a null end portion is
  // the paragraph end, reported only with includeEnd. Answers false when a callback stopped it.
  bool ForEachChunk(TPortion *startPortion, std::int32_t startOffset, TPortion *endPortion,
                    std::int32_t endOffset, bool includeEnd, const TChunkCallback &callback);

private:
  friend class TTextor;
  friend class TPortion;
  friend struct TParagraphLinks;
  TParagraph(TTextor &textor, TParagraph *before);
  ~TParagraph();

  // Character offset of the portion's start.
  std::int32_t OffsetOf(const TPortion *portion) const;
  // Records that `portion` (null: none) starts at `offset`, for OffsetOf. Every change of a portion's
  // length or of the list either keeps the recorded pair true or replaces it.
  void KeepOffset(const TPortion *portion, std::int32_t offset);
  // True when a change recorded now can still spare the next layout the rows it does not touch: rows
  // exist, and the changes since they were made are known and not too many to be worth tracking.
  bool TracksChanges() const;
  // Like InvalidateLayout, recording (only when TracksChanges) that at character offset `at` `removed`
  // characters were replaced by `inserted` ones (equal counts: changed in place).
  void InvalidateLayoutAt(std::int32_t at, std::int32_t removed, std::int32_t inserted);
  // Wraps from row `first` (its start offset and the rows before it valid) until the new row breaks meet
  // the old ones behind the changed characters; keeps the old rows from there, shifted.
  void Rewrap(std::size_t first, const QRect &padding);
  // Wraps from (portion, offset), at character offset `startOffset`, appending rows to `rows` from y;
  // `firstRow` tells whether the first of them is the paragraph's first row. When `meet` is set it is
  // asked at every row break whether the wrap may stop there; the wrap then answers true.
  bool Wrap(std::vector<TRow> &rows, bool firstRow, TPortion *portion, std::int32_t offset, std::int32_t startOffset,
            int y, const std::function<bool(std::int32_t)> &meet);
  // Places the inline elements of rows [from, to).
  void PlaceElements(std::size_t from, std::size_t to, const QRect &padding);

  TTextor *FTextor;
  TAttributesRef<TParagraphAttributes> FParagraphAttributes;
  TAttributesRef<TTextAttributes> FTextAttributes;
  TParagraph *FNext = nullptr, *FPrevious = nullptr;
  TPortion *FFirstPortion = nullptr, *FLastPortion = nullptr;
  std::vector<TRow> FRows;
  int FLayoutWidth = 0;
  QRect FLayoutPadding;
  bool FLayoutValid = false, FPositionValid = false;
  // The characters changed since the last layout, when known: in current offsets, [FChangeFrom,
  // FChangeTo) may differ from before, the characters from FChangeTo on are those that stood
  // FChangeDelta earlier, and those before FChangeFrom are unchanged.
  bool FChangeKnown = false;
  std::int32_t FChangeFrom = 0, FChangeTo = 0, FChangeDelta = 0;
  int FChangeCount = 0;
  // A portion and its offset known to be true, or null.
  mutable const TPortion *FOffsetPortion = nullptr;
  mutable std::int32_t FOffsetValue = 0;
};

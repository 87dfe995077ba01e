// TTextor: the rich-text model. The paragraphs of portions with the operations that change them, the
// locks that batch changes into one layout request and one change notification, the character steps, the
// word rules and the text stretches. It knows nothing of screens or keys.
//
// Every content operation runs inside BeginUpdate/EndUpdate, so a compound change is laid out and
// notified once.
#pragma once

#include "diRichTextor.h"

#include <QRect>

class TFindData;

// What TTextor::FindInStretches found: the match, or else the element inside the text to visit next (an
// inline element, or an element inside one, that can take the focus), or neither when the search reached
// the text's edge.
struct TTextFindResult {
  std::optional<TTextRange> Match;
  TVisualElement *Next = nullptr;
};

// A word character of the word rules: a letter, a decimal digit or '_'.
bool IsWordCharacter(int c);

class TTextor {
public:
  // Starts with one empty paragraph; `layoutLocked` takes the layout lock once.
  explicit TTextor(bool layoutLocked = false);
  TTextor(const TTextor &) = delete;
  TTextor &operator=(const TTextor &) = delete;
  virtual ~TTextor();

  TParagraph *FirstParagraph() const { return FFirstParagraph; }
  TParagraph *LastParagraph() const { return FLastParagraph; }
  int ParagraphCount() const;

  // A break is allowed between the characters a and b (negative: an inline element).
  virtual bool CanBreak(int a, int b) const { return a < 0 || b < 0 || a == 0x20 || a == 9; }
  // True when no word boundary lies between character a and the following character b.
  virtual bool SameWord(int a, int b) const;
  virtual TParagraphAttributes *DefaultParagraphAttributes() const { return nullptr; }
  virtual TTextAttributes *DefaultTextAttributes() const { return nullptr; }
  virtual QRect InlineMargins() const { return {}; }
  virtual int LayoutWidth() const { return 0; }
  virtual bool ParagraphBreaksAllowed() const { return false; }
  virtual bool TabsAllowed() const { return false; }
  // The owner element's padding around the text (base: none).
  virtual QRect Padding() const { return {}; }

  // Locks.
  void BeginLayoutLock() { ++FLayoutLockCount; }
  void EndLayoutLock();
  void BeginUpdate();
  void EndUpdate();
  void RequestLayout(bool contentChanged);
  // Every paragraph whose layout becomes invalid calls this.
  void ContentChanged();
  bool LayingOut() const { return FLayingOut; }
  // Every paragraph's layout becomes invalid (the width or the defaults changed), laid out once.
  void InvalidateAllLayouts();

  // Geometry of the laid-out rows (textor coordinates; x of a position relative to the row's left offset).
  struct TRowRef {
    TParagraph *Paragraph = nullptr;
    std::size_t Index = 0;
    const TRow &Row() const { return Paragraph->Rows()[Index]; }
    bool operator==(const TRowRef &) const = default;
  };
  struct THit {
    TTextPosition Position;
    bool Inside = false;
  };
  int TextHeight() const { return FLastParagraph->Bottom(); }
  // The largest row left offset + row width + right indent of its paragraph.
  int ContentWidth() const;
  int XOfPosition(const TRowRef &row, const TTextPosition &position) const;
  // The row whose span holds the position; at a wrap point the earlier row, or with preferNext the next.
  TRowRef RowOfPosition(const TTextPosition &position, bool preferNext) const;
  // The row with top <= y < bottom; outside the text the first or last row when clamping, else none.
  std::optional<TRowRef> RowAtY(int y, bool clamp) const;
  // Left of the row gives its start, at or beyond its width its end, both outside; else the hit cell.
  THit PositionAtX(const TRowRef &row, int x, bool nearest, const QPoint *down = nullptr,
                   const QPoint *current = nullptr) const;
  // RowAtY and PositionAtX; without a row (only possible without clamping) none.
  std::optional<THit> PositionAtPoint(const QPoint &point, bool clamp, bool nearest, const QPoint *down = nullptr,
                                      const QPoint *current = nullptr) const;
  QRect CaretRect(const TRowRef &row, const TTextPosition &position, int caretWidth) const;

  // Draws the part of `range` on the rows that meet the canvas's clip rectangle (textor coordinates):
  // the paragraph decorations, the chunks at their measured positions, and for a paragraph end inside
  // the range a 5-pixel box after its last character (selected with tdfSelected and showParagraphEnd,
  // U+00B6 in it with tdfNonPrinting when a paragraph follows).
  void Draw(TCustomSheetCanvas &canvas, int paintState, int flags, const TTextRange &range,
            bool showParagraphEnd) const;

  // Content.
  void Clear();
  void SetText(const QString &text);
  QString Text() const;
  bool IsEmpty() const { return FFirstParagraph == FLastParagraph && FFirstParagraph->IsEmpty(); }
  TTextPosition TextStart() const { return FFirstParagraph->Start(); }
  TTextPosition TextEnd() const { return FLastParagraph->End(); }
  TTextRange WholeRange() const { return {TextStart(), TextEnd()}; }

  TTextRange InsertText(const TTextPosition &position, QStringView text, TTextAttributes *attributes);
  TTextRange InsertTabs(const TTextPosition &position, std::int32_t count, TTextAttributes *attributes);
  // The element must already be in the element tree (the tree owns it).
  TTextRange InsertElement(const TTextPosition &position, TVisualElement *element, TTextAttributes *attributes);
  TTextRange SplitParagraph(const TTextPosition &position, TTextAttributes *attributes);
  TTextPosition DeleteRange(const TTextRange &range);
  TTextRange ApplyAttributes(const TTextRange &range, bool includeEnd, TTextAttributes *attributes);
  TTextRange TextStretch(const TTextPosition &position, bool forward, bool crossParagraphs) const;
  // Re-reads all text under the current tab and paragraph-break rules; run attributes are dropped.
  void ReinterpretText();

  // Plain text of a range: TAB per tab stop, nothing for an element, CR LF per paragraph end inside it.
  QString RangeText(const TTextRange &range) const;
  // Reports the chunks of the range, including the paragraph ends inside it and, with includeLastEnd,
  // the last one. Answers false when a callback stopped it.
  bool ForEachInRange(const TTextRange &range, bool includeLastEnd, const TChunkCallback &callback) const;

  // Coordinates.
  int ParagraphIndex(const TParagraph *paragraph) const;
  TParagraph *ParagraphAt(int index) const;
  TTextCoordinates PositionToCoordinates(const TTextPosition &position) const;
  TTextCoordinateRange RangeToCoordinates(const TTextRange &range) const;
  std::optional<TTextPosition> CoordinatesToPosition(const TTextCoordinates &coordinates) const;
  std::optional<TTextRange> CoordinatesToRange(const TTextCoordinateRange &coordinates) const;

  // Order and steps.
  bool IsBefore(const TTextPosition &a, const TTextPosition &b) const;
  bool InRange(const TTextPosition &position, const TTextRange &range) const;
  bool AtParagraphEdge(const TTextPosition &position, bool forward) const;
  bool AtTextEdge(const TTextPosition &position, bool forward) const;
  TTextPosition NextPosition(const TTextPosition &position) const;
  TTextPosition PreviousPosition(const TTextPosition &position) const;
  // The character after the position and the position after it; none at a paragraph end.
  std::optional<std::pair<int, TTextPosition>> CharAfter(const TTextPosition &position) const;
  // The character before the position and its position; none at a paragraph start.
  std::optional<std::pair<int, TTextPosition>> CharBefore(const TTextPosition &position) const;
  std::optional<TTextPosition> NextPortionStart(const TTextPosition &position, bool crossParagraphs) const;
  std::optional<TTextPosition> PreviousPortionStart(const TTextPosition &position, bool crossParagraphs) const;
  TTextPosition WordStartBefore(const TTextPosition &position) const;
  TTextPosition WordEndAfter(const TTextPosition &position) const;

  // Search (diTextorFind.cpp): scans the text from `start` in the direction for findData.FindText,
  // compared with findData.Matches, one text stretch at a time, so that a match never spans an inline
  // element or a paragraph break but may span runs of different attributes. An inline element met on
  // the way that can take the focus itself or inside (FindFocusable, horizontal, in the direction, with
  // the find data's SkipDisabled and VisibleOnly) ends the scan and is answered as Next, so that the walk
  // goes on inside it before the text after it; any other is passed over. The first match in the
  // direction is answered as a range in normal form; an empty find text matches nothing.
  TTextFindResult FindInStretches(const TTextPosition &start, bool forward, const TFindData &findData) const;

protected:
  // The content changed (called once per outermost update).
  virtual void Changed() {}
  // Lays out the paragraphs whose layout or position is invalid and shifts the later ones.
  virtual void DoLayout(bool contentChanged);

private:
  friend class TParagraph;
  TParagraph *CreateParagraph(TParagraph *before);
  void FreeParagraph(TParagraph *paragraph);
  TTextRange InsertContent(const TTextPosition &position, TPortionKind kind, const TPortionContent &content,
                           TTextAttributes *attributes);

  TParagraph *FFirstParagraph = nullptr, *FLastParagraph = nullptr;
  // The paragraphs in order, for binary searches by y; rebuilt on first use after a paragraph came or went.
  mutable std::vector<TParagraph *> FParagraphIndex;
  mutable bool FParagraphIndexValid = false;
  std::int32_t FUpdateCount = 0, FLayoutLockCount = 0;
  bool FChangePending = false, FLayoutPending = false, FLayingOut = false, FDestroying = false;
};

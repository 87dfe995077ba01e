#include "diRichTextor.h"

#include "cuClasses.h"
#include "diTextor.h"
#include "diCanvas.h"
#include "diVisualElements.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <algorithm>
#include <cstdlib>

struct TPortionLinks {
  static TPortion *Next(const TPortion *p) { return p->FNext; }
  static TPortion *Previous(const TPortion *p) { return p->FPrevious; }
  static void SetNext(TPortion *p, TPortion *v) { p->FNext = v; }
  static void SetPrevious(TPortion *p, TPortion *v) { p->FPrevious = v; }
};
using TPortionList = TBidirectionalList<TPortion, TPortionLinks>;

void TTextPosition::Normalize() {
  if (Portion && Offset >= Portion->Length()) {
    Portion = Portion->Next();
    Offset = 0;
  }
}

// ---------------------------------------------------------------------------------------------------------

TPortion::TPortion(TParagraph &paragraph, TPortion *before, TTextAttributes *attributes) : FParagraph(&paragraph) {
  FAttributes.Assign(attributes);
  TPortionList::InsertBefore(paragraph.FFirstPortion, paragraph.FLastPortion, this, before);
}

TPortion::~TPortion() = default;

const TTextAttributes &TPortion::Attributes() const {
  return FAttributes ? *FAttributes : FParagraph->TextAttributes();
}

void TPortion::Metrics(int &ascent, int &descent) const {
  const TTextAttributes &a = Attributes();
  ascent = a.Ascent();
  descent = a.Descent();
}

// ---------------------------------------------------------------------------------------------------------

void TTextPortion::Measure(int &x, std::int32_t index, std::int32_t count) const {
  x += Attributes().TextWidth(FText, index, count);
}

std::int32_t TTextPortion::HitTest(int &x, int target, const QPoint *, const QPoint *, bool nearest,
                                   std::int32_t count, std::int32_t index) const {
  const TTextAttributes &a = Attributes();
  auto width = [&](std::int32_t n) { return n <= 0 ? 0 : a.TextWidth(FText, index, n); };
  const int w = width(count);
  const int r = target - x;
  if (r >= w) {
    x += w;
    return -1;
  }
  std::int32_t i = w > 0 ? std::max(0, MulDiv(r, count, w)) : 0;
  if (i >= count)
    i = count - 1;
  int c = width(i);
  int n = i < count - 1 ? width(i + 1) : w;
  while (c > r && i > 0) {
    --i;
    n = c;
    c = width(i);
  }
  std::int32_t d;
  for (;;) {
    d = i + ((nearest && c + (n - c) / 2 < r) ? 1 : 0);
    if (r < n || i >= count - 1)
      break;
    ++i;
    c = n;
    n = i < count - 1 ? width(i + 1) : w;
  }
  return index + d;
}

std::int32_t TTextPortion::CopyChars(std::int32_t index, std::int32_t count, QChar *destination) const {
  if (destination)
    std::copy_n(FText.constData() + index, count, destination);
  return count;
}

std::int32_t TTextPortion::Insert(std::int32_t index, const TPortionContent &content) {
  // A portion's first text is taken at its exact size: an insertion would reserve room to grow, and a
  // loaded document consists almost entirely of portions that never grow again.
  if (FText.isEmpty())
    FText = content.Text.toString();
  else
    FText.insert(index, content.Text);
  FLength = std::int32_t(FText.size());
  return std::int32_t(content.Text.size());
}

void TTextPortion::DeleteRange(std::int32_t index, std::int32_t count) {
  FText.remove(index, count);
  FLength = std::int32_t(FText.size());
}

TPortion *TTextPortion::CreateAfter() { return new TTextPortion(*Paragraph(), Next(), OwnAttributes()); }

void TTextPortion::SplitOff(TPortion &tail, std::int32_t index) {
  auto &t = static_cast<TTextPortion &>(tail);
  t.FText = FText.mid(index);
  t.FLength = std::int32_t(t.FText.size());
  FText.truncate(index);
  FLength = index;
}

// ---------------------------------------------------------------------------------------------------------

int TTabStopsPortion::TabWidth() const { return std::max(1, Attributes().TabWidth()); }

void TTabStopsPortion::Measure(int &x, std::int32_t, std::int32_t count) const {
  if (count <= 0)
    return;
  const int tab = TabWidth();
  x = tab * (x / tab + count);
}

std::int32_t TTabStopsPortion::HitTest(int &x, int target, const QPoint *, const QPoint *, bool nearest,
                                       std::int32_t count, std::int32_t index) const {
  const int tab = TabWidth();
  for (std::int32_t k = 0; k < count; ++k) {
    const int s = tab * (x / tab + 1);
    if (target < s)
      return index + k + ((nearest && s - (s - x) / 2 < target) ? 1 : 0);
    x = s;
  }
  return -1;
}

std::int32_t TTabStopsPortion::CopyChars(std::int32_t, std::int32_t count, QChar *destination) const {
  if (destination)
    std::fill_n(destination, count, QChar(9));
  return count;
}

std::int32_t TTabStopsPortion::Insert(std::int32_t, const TPortionContent &content) {
  FLength += content.Stops;
  return content.Stops;
}

TPortion *TTabStopsPortion::CreateAfter() { return new TTabStopsPortion(*Paragraph(), Next(), OwnAttributes()); }

void TTabStopsPortion::SplitOff(TPortion &tail, std::int32_t index) {
  static_cast<TTabStopsPortion &>(tail).FLength = FLength - index;
  FLength = index;
}

// ---------------------------------------------------------------------------------------------------------

void TInlineElementLink::PortionElementFreeing() {
  if (TElementPortion *portion = FPortion) {
    FPortion = nullptr;
    portion->ElementFreeing();
  }
}

TElementPortion::~TElementPortion() {
  if (TVisualElement *element = FElement) {
    FElement = nullptr;
    if (auto *link = dynamic_cast<TInlineElementLink *>(element))
      link->FPortion = nullptr;
    element->Free();
  }
}

void TElementPortion::ElementFreeing() {
  FElement = nullptr;
  Paragraph()->FreePortion(this);
}

int TElementPortion::CellWidth() const {
  const QRect m = Paragraph()->Textor().InlineMargins();
  return (FElement ? FElement->Width() : 0) + m.left() + m.right();
}

void TElementPortion::Measure(int &x, std::int32_t, std::int32_t count) const {
  if (count > 0)
    x += CellWidth();
}

std::int32_t TElementPortion::HitTest(int &x, int target, const QPoint *down, const QPoint *current, bool nearest,
                                      std::int32_t, std::int32_t) const {
  const int c = CellWidth();
  if (target >= x + c) {
    x += c;
    return -1;
  }
  if (!nearest)
    return 0;
  int d = c / 2;
  if (down && current) {
    // The desktop's drag threshold, the same in both directions.
    const int threshold = QGuiApplication::styleHints()->startDragDistance();
    const bool still = std::abs(current->x() - down->x()) <= threshold &&
                       std::abs(current->y() - down->y()) <= threshold;
    if (!still)
      d = current->x() < down->x() ? std::max(d, c - kElementDragInside) : std::min(d, kElementDragInside);
  }
  return x + d < target ? 1 : 0;
}

void TElementPortion::Metrics(int &ascent, int &descent) const {
  const QRect m = Paragraph()->Textor().InlineMargins();
  const int height = FElement ? FElement->Height() : 0;
  const int elementDescent = FElement ? FElement->Descent() : 0;
  ascent = height + m.top() - elementDescent;
  descent = elementDescent + m.bottom();
}

std::int32_t TElementPortion::Insert(std::int32_t, const TPortionContent &content) {
  FElement = content.Element;
  if (auto *link = dynamic_cast<TInlineElementLink *>(FElement))
    link->FPortion = this;
  FLength = 1;
  return 1;
}

TPortion *TElementPortion::CreateAfter() { return new TElementPortion(*Paragraph(), Next(), OwnAttributes()); }

// ---------------------------------------------------------------------------------------------------------

TParagraph::TParagraph(TTextor &textor, TParagraph *before) : FTextor(&textor) {}

TParagraph::~TParagraph() {
  TPortionList::RemoveAndFreeAll(FFirstPortion, FLastPortion, [](TPortion *p) { delete p; });
}

std::int32_t TParagraph::TotalLength() const {
  std::int32_t n = 0;
  for (TPortion *p = FFirstPortion; p; p = p->Next())
    n += p->Length();
  return n;
}

const TTextAttributes &TParagraph::TextAttributes() const {
  if (FTextAttributes)
    return *FTextAttributes;
  if (TTextAttributes *a = FTextor->DefaultTextAttributes())
    return *a;
  return ::DefaultTextAttributes();
}

void TParagraph::SetParagraphAttributes(TParagraphAttributes *attributes) {
  if (FParagraphAttributes.Assign(attributes))
    InvalidateLayout();
}

void TParagraph::SetTextAttributes(TTextAttributes *attributes) {
  if (FTextAttributes.Assign(attributes))
    InvalidateLayout();
}

void TParagraph::InvalidateLayout() {
  FLayoutValid = false;
  FChangeKnown = false;
  FTextor->ContentChanged();
}

// Beyond this many changes between two layouts, finding each change's offset (a walk over the portions
// unless the edits come in order) may cost more than it saves; the next layout then wraps the whole
// paragraph.
constexpr int kTrackedChanges = 1024;

std::int32_t TParagraph::OffsetOf(const TPortion *portion) const {
  // Edits come mostly in order (a range's portions one after the other), so the walk starts at the
  // portion answered last when the wanted one follows it.
  if (FOffsetPortion) {
    std::int32_t n = FOffsetValue;
    for (const TPortion *p = FOffsetPortion; p; p = p->Next()) {
      if (p == portion) {
        FOffsetValue = n;
        FOffsetPortion = portion;
        return n;
      }
      n += p->Length();
    }
  }
  std::int32_t n = 0;
  for (TPortion *p = FFirstPortion; p && p != portion; p = p->Next())
    n += p->Length();
  FOffsetPortion = portion;
  FOffsetValue = n;
  return n;
}

void TParagraph::KeepOffset(const TPortion *portion, std::int32_t offset) {
  FOffsetPortion = portion;
  FOffsetValue = offset;
}

bool TParagraph::TracksChanges() const {
  return !FRows.empty() && (FLayoutValid || (FChangeKnown && FChangeCount < kTrackedChanges));
}

void TParagraph::InvalidateLayoutAt(std::int32_t at, std::int32_t removed, std::int32_t inserted) {
  if (!TracksChanges()) {
    InvalidateLayout();
    return;
  }
  if (FLayoutValid) {
    FChangeKnown = true;
    FChangeCount = 1;
    FChangeFrom = at;
    FChangeTo = at + inserted;
    FChangeDelta = inserted - removed;
  } else {
    // Both spans in current offsets: the recorded one becomes the smallest span holding it and the new
    // change, in the offsets after the new change.
    ++FChangeCount;
    FChangeTo = FChangeTo >= at + removed ? FChangeTo - removed + inserted : at + inserted;
    FChangeFrom = std::min(FChangeFrom, at);
    FChangeDelta += inserted - removed;
  }
  FLayoutValid = false;
  FTextor->ContentChanged();
}

void TParagraph::InvalidatePosition() {
  FPositionValid = false;
  FTextor->RequestLayout(false);
}

TPortion *TParagraph::CreatePortion(TPortionKind kind, TPortion *before, TTextAttributes *attributes) {
  TPortion *p;
  switch (kind) {
  case TPortionKind::Text:
    p = new TTextPortion(*this, before, attributes);
    break;
  case TPortionKind::TabStops:
    p = new TTabStopsPortion(*this, before, attributes);
    break;
  default:
    p = new TElementPortion(*this, before, attributes);
    break;
  }
  // An empty portion moves no offset.
  InvalidateLayoutAt(TracksChanges() ? OffsetOf(p) : 0, 0, 0);
  return p;
}

void TParagraph::FreePortion(TPortion *portion) {
  const bool track = TracksChanges();
  const std::int32_t at = track ? OffsetOf(portion) : 0, length = portion->Length();
  TPortion *next = portion->Next();
  TPortionList::Remove(FFirstPortion, FLastPortion, portion);
  KeepOffset(track ? next : nullptr, at);
  delete portion;
  InvalidateLayoutAt(at, length, 0);
}

void TParagraph::Clear() {
  if (!FFirstPortion)
    return;
  FTextor->BeginUpdate();
  TPortionList::RemoveAndFreeAll(FFirstPortion, FLastPortion, [](TPortion *p) { delete p; });
  KeepOffset(nullptr, 0);
  InvalidateLayout();
  FTextor->EndUpdate();
}

void TParagraph::AdoptPortion(TPortion *portion, TPortion *before) {
  TParagraph *from = portion->FParagraph;
  const std::int32_t length = portion->Length();
  const bool track = from->TracksChanges();
  const std::int32_t at = track ? from->OffsetOf(portion) : 0;
  TPortion *next = portion->Next();
  TPortionList::Remove(from->FFirstPortion, from->FLastPortion, portion);
  from->KeepOffset(track ? next : nullptr, at);
  from->InvalidateLayoutAt(at, length, 0);
  portion->FParagraph = this;
  TPortionList::InsertBefore(FFirstPortion, FLastPortion, portion, before);
  // The portion answered last keeps its offset only when it lies before the new one.
  if (FOffsetPortion != portion->Previous())
    KeepOffset(nullptr, 0);
  InvalidateLayoutAt(TracksChanges() ? OffsetOf(portion) : 0, 0, length);
}

TPortion *TParagraph::Split(TPortion *portion, std::int32_t index) {
  if (index <= 0)
    return portion;
  TPortion *tail = portion->CreateAfter();
  portion->SplitOff(*tail, index);
  // The characters and the offsets of the other portions stay; the rows' positions are found again
  // from their offsets.
  InvalidateLayoutAt(TracksChanges() ? OffsetOf(tail) : 0, 0, 0);
  return tail;
}

void TParagraph::SetPortionAttributes(TPortion *portion, TTextAttributes *attributes) {
  if (portion->FAttributes.Assign(attributes))
    InvalidateLayoutAt(TracksChanges() ? OffsetOf(portion) : 0, portion->Length(), portion->Length());
}

void TParagraph::DeleteChars(TPortion *portion, std::int32_t index, std::int32_t count) {
  if (count <= 0)
    return;
  const bool track = TracksChanges();
  const std::int32_t at = track ? OffsetOf(portion) : 0;
  portion->DeleteRange(index, count);
  KeepOffset(track ? portion : nullptr, at);
  InvalidateLayoutAt(at + index, count, 0);
}

std::int32_t TParagraph::InsertInto(TPortion *portion, std::int32_t index, const TPortionContent &content) {
  const bool track = TracksChanges();
  const std::int32_t at = track ? OffsetOf(portion) : 0;
  const std::int32_t n = portion->Insert(index, content);
  KeepOffset(track ? portion : nullptr, at);
  InvalidateLayoutAt(at + index, 0, n);
  return n;
}

bool TParagraph::ForEachChunk(TPortion *startPortion, std::int32_t startOffset, TPortion *endPortion,
                              std::int32_t endOffset, bool includeEnd, const TChunkCallback &callback) {
  bool stop = false;
  if (!startPortion) {
    if (includeEnd)
      callback(this, nullptr, 0, 0, stop);
    return !stop;
  }
  if (startPortion == endPortion) {
    if (endOffset - startOffset > 0)
      callback(this, startPortion, startOffset, endOffset - startOffset, stop);
    return !stop;
  }
  // The next portion is taken before each callback, which may free the current one.
  TPortion *p = startPortion;
  TPortion *next = p->Next();
  if (p->Length() - startOffset > 0)
    callback(this, p, startOffset, p->Length() - startOffset, stop);
  for (p = next; !stop && p && p != endPortion; p = next) {
    next = p->Next();
    if (p->Length() > 0)
      callback(this, p, 0, p->Length(), stop);
  }
  if (stop)
    return false;
  if (endPortion) {
    if (endOffset > 0)
      callback(this, endPortion, 0, endOffset, stop);
  } else if (includeEnd) {
    callback(this, nullptr, 0, 0, stop);
  }
  return !stop;
}

// ---------------------------------------------------------------------------------------------------------
// Rows

const TParagraphAttributes &TParagraph::ParagraphAttributes() const {
  if (FParagraphAttributes)
    return *FParagraphAttributes;
  if (TParagraphAttributes *a = FTextor->DefaultParagraphAttributes())
    return *a;
  return ::DefaultParagraphAttributes();
}

int TParagraph::RowLeft(std::size_t row) const {
  const TParagraphAttributes &p = ParagraphAttributes();
  const int width = FRows[row].Width;
  if (p.Alignment() == paRight)
    return FLayoutWidth - p.RightIndent() - width;
  int a = p.LeftIndent(TextAttributes());
  if (p.Alignment() == paCenter)
    a += (FLayoutWidth - (a + p.RightIndent() + width)) / 2;
  if (row == 0)
    a += p.FirstIndent();
  return a;
}

void TElementPortion::PlaceInRow(int x, int baseline, const QRect &padding) {
  if (!FElement)
    return;
  const QRect m = Paragraph()->Textor().InlineMargins();
  FElement->SetBounds(x + padding.left() + m.left(), baseline + padding.top() - FElement->Height() + FElement->Descent(),
                      FElement->Descent(), FElement->Height(), FElement->Width());
}

void TElementPortion::MoveBy(int dx, int dy) {
  if (FElement)
    FElement->SetBounds(FElement->Left() + dx, FElement->Top() + dy, FElement->Descent(), FElement->Height(),
                        FElement->Width());
}

// The wrapping walks the positions once in order, keeping the last break candidate of the current row
// (the position before which a break is allowed, with the row's width and metrics up to it). When a
// position no longer fits, the row ends at that candidate, or, without one, before the position that does
// not fit; a row always takes at least one position. The next row starts at the row's end and the walk
// goes on from there, so the next row takes the metrics of every portion it holds and measures x (and the
// tab stops) from its own start. Only the positions after the last candidate are walked twice.
//
// A row therefore depends only on the characters from its start to the position that did not fit
// (ReadTo), and on whether it is the paragraph's first row: the rows from a given start are the same
// whatever came before. Rewrap relies on both.
bool TParagraph::Wrap(std::vector<TRow> &rows, bool firstRow, TPortion *portion, std::int32_t offset,
                      std::int32_t startOffset, int y, const std::function<bool(std::int32_t)> &meet) {
  const int width = FLayoutWidth;
  const TTextAttributes &t = TextAttributes();
  const TParagraphAttributes &pa = ParagraphAttributes();
  const bool wrapping = width > 0;
  auto available = [&](bool first) {
    return std::max(1, width - pa.LeftIndent(t) - (first ? pa.FirstIndent() : 0) - pa.RightIndent());
  };
  TTextor &textor = *FTextor;

  TPortion *rowPortion = portion;
  std::int32_t rowOffset = offset, rowStart = startOffset;
  TPortion *p = rowPortion;
  std::int32_t i = rowOffset, at = rowStart;  // at: the character offset of (p, i)
  int x = 0, ascent = t.Ascent(), descent = t.Descent();
  bool portionCounted = false, rowHasPositions = false, hasCandidate = false;
  int previousChar = 0;
  TPortion *candidatePortion = nullptr;
  std::int32_t candidateOffset = 0, candidateAt = 0;
  int candidateX = 0, candidateAscent = 0, candidateDescent = 0;
  int limit = available(firstRow);
  while (p) {
    if (i >= p->Length()) {
      p = p->Next();
      i = 0;
      portionCounted = false;
      continue;
    }
    const int c = p->CharAt(i);
    if (rowHasPositions && textor.CanBreak(previousChar, c)) {
      hasCandidate = true;
      candidatePortion = p;
      candidateOffset = i;
      candidateAt = at;
      candidateX = x;
      candidateAscent = ascent;
      candidateDescent = descent;
    }
    int nx = x;
    p->Measure(nx, i, 1);
    if (wrapping && nx > limit && rowHasPositions) {
      if (!hasCandidate) {
        candidatePortion = p;
        candidateOffset = i;
        candidateAt = at;
        candidateX = x;
        candidateAscent = ascent;
        candidateDescent = descent;
      }
      y += candidateAscent + candidateDescent;
      rows.push_back({{this, rowPortion, rowOffset},
                      {this, candidatePortion, candidateOffset},
                      candidateAscent,
                      candidateDescent,
                      y,
                      candidateX,
                      rowStart,
                      at});
      rowPortion = p = candidatePortion;
      rowOffset = i = candidateOffset;
      rowStart = at = candidateAt;
      if (meet && meet(rowStart))
        return true;
      x = 0;
      ascent = t.Ascent();
      descent = t.Descent();
      portionCounted = rowHasPositions = hasCandidate = false;
      limit = available(false);
      continue;
    }
    if (!portionCounted) {
      int a, d;
      p->Metrics(a, d);
      ascent = std::max(ascent, a);
      descent = std::max(descent, d);
      portionCounted = true;
    }
    x = nx;
    previousChar = c;
    rowHasPositions = true;
    ++i;
    ++at;
  }
  y += ascent + descent;
  rows.push_back({{this, rowPortion, rowOffset}, End(), ascent, descent, y, x, rowStart, INT32_MAX});
  return false;
}

void TParagraph::PlaceElements(std::size_t from, std::size_t to, const QRect &padding) {
  for (std::size_t r = from; r < to; ++r) {
    const TRow &row = FRows[r];
    const int left = RowLeft(r);
    int rx = 0;
    for (TPortion *q = row.Start.Portion; q && q != row.End.Portion; q = q->Next()) {
      const std::int32_t start = q == row.Start.Portion ? row.Start.Offset : 0;
      if (q->Kind() == TPortionKind::Element)
        static_cast<TElementPortion *>(q)->PlaceInRow(left + rx, row.Baseline(), padding);
      q->Measure(rx, start, q->Length() - start);
    }
  }
}

void TParagraph::Layout(int width, const QRect &padding) {
  FRows.clear();
  FLayoutWidth = width;
  FLayoutPadding = padding;
  Wrap(FRows, true, FFirstPortion, 0, 0, FPrevious ? FPrevious->Bottom() : 0, {});
  PlaceElements(0, FRows.size(), padding);
  FLayoutValid = FPositionValid = true;
  FChangeKnown = false;
}

// Row `first` is the first whose ReadTo reaches the changed characters: the rows before it read only
// unchanged characters, so a full layout makes them again. From its start the rows are made anew until
// one ends at an offset E behind the changed characters where an old row (not the first) started at
// E - delta: a full layout would make from E the same rows as the old ones from there, so those are kept
// with their offsets, positions and bottoms moved.
void TParagraph::Rewrap(std::size_t first, const QRect &padding) {
  // Portions may have been split, freed or replaced at the changed offsets and behind them, so the
  // positions from there on are found from the offsets. Every change lies at or after FChangeFrom in the
  // offsets of its time, and the rows before `first` start before it: their positions still hold.
  TPortion *q = FFirstPortion;
  std::int32_t base = 0;
  auto locate = [&](std::int32_t offset) -> TTextPosition {
    while (q && base + q->Length() <= offset) {
      base += q->Length();
      q = q->Next();
    }
    return {this, q, q ? offset - base : 0};
  };
  FRows[first].Start = locate(FRows[first].StartOffset);
  if (first > 0)
    FRows[first - 1].End = FRows[first].Start;

  const std::int32_t delta = FChangeDelta, changeTo = FChangeTo;
  // The candidates for a meeting: the old rows from `first` on, in order, never the paragraph's first row
  // (its available width differs).
  std::size_t k = std::max<std::size_t>(first, 1);
  auto meet = [&](std::int32_t offset) {
    if (offset < changeTo)
      return false;
    const std::int32_t old = offset - delta;
    while (k < FRows.size() && FRows[k].StartOffset < old)
      ++k;
    return k < FRows.size() && FRows[k].StartOffset == old;
  };
  std::vector<TRow> fresh;
  const TRow &start = FRows[first];
  const bool met = Wrap(fresh, first == 0, start.Start.Portion, start.Start.Offset, start.StartOffset, start.Top(),
                        meet);
  if (!met) {
    FRows.resize(first);
    FRows.insert(FRows.end(), fresh.begin(), fresh.end());
    PlaceElements(first, FRows.size(), padding);
    return;
  }

  const TTextPosition at = fresh.back().End;
  const int dy = fresh.back().Bottom - FRows[k].Top();
  // Replace old rows [first, k) by the fresh ones.
  const std::size_t replaced = k - first;
  if (fresh.size() > replaced)
    FRows.insert(FRows.begin() + std::ptrdiff_t(k), fresh.size() - replaced, TRow{});
  else
    FRows.erase(FRows.begin() + std::ptrdiff_t(first + fresh.size()), FRows.begin() + std::ptrdiff_t(k));
  std::copy(fresh.begin(), fresh.end(), FRows.begin() + std::ptrdiff_t(first));

  q = at.Portion;
  // Walk on from the meeting position (offset of the first kept row's new start).
  base = (FRows[first + fresh.size()].StartOffset + delta) - at.Offset;
  for (std::size_t r = first + fresh.size(); r < FRows.size(); ++r) {
    TRow &row = FRows[r];
    row.StartOffset += delta;
    if (row.ReadTo != INT32_MAX)
      row.ReadTo += delta;
    row.Bottom += dy;
    row.Start = locate(row.StartOffset);
    FRows[r - 1].End = row.Start;
  }
  FRows.back().End = End();
  PlaceElements(first, first + fresh.size(), padding);
  if (dy != 0)
    for (TPortion *e = at.Portion; e; e = e->Next())
      if (e->Kind() == TPortionKind::Element)
        static_cast<TElementPortion *>(e)->MoveBy(0, dy);
}

void TParagraph::EnsureLayout(int width, const QRect &padding) {
  if (FLayoutValid && FPositionValid)
    return;
  if (FLayoutValid && !FRows.empty() && width == FLayoutWidth) {
    Shift((FPrevious ? FPrevious->Bottom() : 0) - Top());
    FPositionValid = true;
    return;
  }
  if (FChangeKnown && !FRows.empty() && width == FLayoutWidth && padding == FLayoutPadding) {
    Shift((FPrevious ? FPrevious->Bottom() : 0) - Top());
    std::size_t first = 0;
    while (first + 1 < FRows.size() && FRows[first].ReadTo < FChangeFrom)
      ++first;
    Rewrap(first, padding);
    FLayoutValid = FPositionValid = true;
    FChangeKnown = false;
    return;
  }
  Layout(width, padding);
}

void TParagraph::Shift(int delta) {
  if (delta == 0)
    return;
  for (TRow &row : FRows)
    row.Bottom += delta;
  for (TPortion *p = FFirstPortion; p; p = p->Next())
    if (p->Kind() == TPortionKind::Element)
      static_cast<TElementPortion *>(p)->MoveBy(0, delta);
}

// ---------------------------------------------------------------------------------------------------------
// Drawing

namespace {
// Draws `mark` centred over the cell of width `cellWidth` at x, unselected.
void DrawMark(TCustomSheetCanvas &canvas, int paintState, const TTextAttributes &a, QChar mark, int x, int cellWidth,
              int baseline, const QRect &rowRect) {
  const QString text(mark);
  a.DrawText(canvas, paintState, 0, text, 0, 1, x + (cellWidth - a.TextWidth(text)) / 2, baseline, rowRect);
}
} // namespace

void TTextPortion::Draw(TCustomSheetCanvas &canvas, int paintState, int flags, std::int32_t count,
                        std::int32_t index, int baseline, int &x, const QRect &rowRect, int) const {
  const TTextAttributes &a = Attributes();
  const int start = x;
  x += a.DrawText(canvas, paintState, flags, FText, index, count, x, baseline, rowRect);
  if (!(flags & tdfNonPrinting))
    return;
  const int spaceWidth = a.TextWidth(u" ");
  int at = start;
  for (std::int32_t i = index; i < index + count; ++i) {
    const QChar c = FText.at(i);
    if (c == u' ' || c == QChar(0xA0))
      DrawMark(canvas, paintState, a, c == u' ' ? QChar(0xB7) : QChar(0xB0), at, spaceWidth, baseline, rowRect);
    at += a.TextWidth(FText, i, 1);
  }
}

void TTabStopsPortion::Draw(TCustomSheetCanvas &canvas, int paintState, int flags, std::int32_t count,
                            std::int32_t, int baseline, int &x, const QRect &rowRect, int rowLeft) const {
  const TTextAttributes &a = Attributes();
  const int tab = TabWidth();
  for (std::int32_t k = 0; k < count; ++k) {
    const int next = rowLeft + tab * ((x - rowLeft) / tab + 1);
    a.DrawBlank(canvas, paintState, flags, next - x, rowRect, x);
    if (flags & tdfNonPrinting) {
      const QString mark(QChar(0xAC));
      a.DrawText(canvas, paintState, 0, mark, 0, 1, x, baseline, rowRect);
    }
    x = next;
  }
}

// The cell (the element with the inline margins, the row's height) gets the attributes' background, the
// element paints itself where the layout placed it, and a selection is blended over both.
void TElementPortion::Draw(TCustomSheetCanvas &canvas, int paintState, int flags, std::int32_t count,
                           std::int32_t, int, int &x, const QRect &rowRect, int) const {
  if (count <= 0)
    return;
  const QRect cell(x, rowRect.top(), CellWidth(), rowRect.height());
  Attributes().FillBackground(canvas, paintState, flags, cell);
  if (FElement && FElement->IsVisible()) {
    // The element's bounds are in the owner's coordinates, which are the textor's shifted by the padding.
    const QRect padding = Paragraph()->Textor().Padding();
    canvas.Translate(-padding.left(), -padding.top());
    struct TUntranslate {
      TCustomSheetCanvas &Canvas;
      QPoint By;
      ~TUntranslate() { Canvas.Translate(By.x(), By.y()); }
    } untranslate{canvas, padding.topLeft()};
    FElement->PaintElement(canvas, paintState);
  }
  if (flags & tdfSelected)
    canvas.DrawSelection(cell, !(flags & tdfSecondSelectColor));
  x = cell.right() + 1;
}

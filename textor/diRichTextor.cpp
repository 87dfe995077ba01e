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
  InvalidateLayout();
  return p;
}

void TParagraph::FreePortion(TPortion *portion) {
  TPortionList::Remove(FFirstPortion, FLastPortion, portion);
  delete portion;
  InvalidateLayout();
}

void TParagraph::Clear() {
  if (!FFirstPortion)
    return;
  FTextor->BeginUpdate();
  TPortionList::RemoveAndFreeAll(FFirstPortion, FLastPortion, [](TPortion *p) { delete p; });
  InvalidateLayout();
  FTextor->EndUpdate();
}

void TParagraph::AdoptPortion(TPortion *portion, TPortion *before) {
  TParagraph *from = portion->FParagraph;
  TPortionList::Remove(from->FFirstPortion, from->FLastPortion, portion);
  from->InvalidateLayout();
  portion->FParagraph = this;
  TPortionList::InsertBefore(FFirstPortion, FLastPortion, portion, before);
  InvalidateLayout();
}

TPortion *TParagraph::Split(TPortion *portion, std::int32_t index) {
  if (index <= 0)
    return portion;
  TPortion *tail = portion->CreateAfter();
  portion->SplitOff(*tail, index);
  InvalidateLayout();
  return tail;
}

void TParagraph::SetPortionAttributes(TPortion *portion, TTextAttributes *attributes) {
  if (portion->FAttributes.Assign(attributes))
    InvalidateLayout();
}

void TParagraph::DeleteChars(TPortion *portion, std::int32_t index, std::int32_t count) {
  if (count <= 0)
    return;
  portion->DeleteRange(index, count);
  InvalidateLayout();
}

std::int32_t TParagraph::InsertInto(TPortion *portion, std::int32_t index, const TPortionContent &content) {
  const std::int32_t n = portion->Insert(index, content);
  InvalidateLayout();
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
void TParagraph::Layout(int width, const QRect &padding) {
  FRows.clear();
  FLayoutWidth = width;
  const TTextAttributes &t = TextAttributes();
  const TParagraphAttributes &pa = ParagraphAttributes();
  const bool wrapping = width > 0;
  auto available = [&](bool first) {
    return std::max(1, width - pa.LeftIndent(t) - (first ? pa.FirstIndent() : 0) - pa.RightIndent());
  };
  int y = FPrevious ? FPrevious->Bottom() : 0;
  TTextor &textor = *FTextor;

  TPortion *rowPortion = FFirstPortion;
  std::int32_t rowOffset = 0;
  TPortion *p = rowPortion;
  std::int32_t i = 0;
  int x = 0, ascent = t.Ascent(), descent = t.Descent();
  bool portionCounted = false, rowHasPositions = false, hasCandidate = false;
  int previousChar = 0;
  TPortion *candidatePortion = nullptr;
  std::int32_t candidateOffset = 0;
  int candidateX = 0, candidateAscent = 0, candidateDescent = 0;
  int limit = available(true);
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
        candidateX = x;
        candidateAscent = ascent;
        candidateDescent = descent;
      }
      y += candidateAscent + candidateDescent;
      FRows.push_back({{this, rowPortion, rowOffset},
                       {this, candidatePortion, candidateOffset},
                       candidateAscent,
                       candidateDescent,
                       y,
                       candidateX});
      rowPortion = p = candidatePortion;
      rowOffset = i = candidateOffset;
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
  }
  y += ascent + descent;
  FRows.push_back({{this, rowPortion, rowOffset}, End(), ascent, descent, y, x});

  for (std::size_t r = 0; r < FRows.size(); ++r) {
    const TRow &row = FRows[r];
    const int left = RowLeft(r);
    int rx = 0;
    for (TPortion *q = row.Start.Portion; q && q != row.End.Portion; q = q->Next()) {
      const std::int32_t from = q == row.Start.Portion ? row.Start.Offset : 0;
      if (q->Kind() == TPortionKind::Element)
        static_cast<TElementPortion *>(q)->PlaceInRow(left + rx, row.Baseline(), padding);
      q->Measure(rx, from, q->Length() - from);
    }
  }
  FLayoutValid = FPositionValid = true;
}

void TParagraph::EnsureLayout(int width, const QRect &padding) {
  if (FLayoutValid && FPositionValid)
    return;
  if (FLayoutValid && !FRows.empty() && width == FLayoutWidth) {
    Shift((FPrevious ? FPrevious->Bottom() : 0) - Top());
    FPositionValid = true;
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

void TElementPortion::Draw(TCustomSheetCanvas &canvas, int paintState, int flags, std::int32_t count,
                           std::int32_t, int, int &x, const QRect &rowRect, int) const {
  if (count <= 0)
    return;
  const QRect cell(x, rowRect.top(), CellWidth(), rowRect.height());
  Attributes().FillBackground(canvas, paintState, flags, cell);
  // The element stands at its own place in the owner's coordinates, which include the padding the
  // canvas is shifted by for the text.
  if (FElement && FElement->IsVisible()) {
    const QRect padding = Paragraph()->Textor().Padding();
    canvas.Translate(-padding.left(), -padding.top());
    FElement->PaintElement(canvas, paintState);
    canvas.Translate(padding.left(), padding.top());
  }
  if (flags & tdfSelected)
    canvas.DrawSelection(cell, !(flags & tdfSecondSelectColor));
  x = cell.right() + 1;
}

#include "diTextor.h"

#include "cuClasses.h"
#include "diCanvas.h"

#include <QChar>

#include <algorithm>

struct TParagraphLinks {
  static TParagraph *Next(const TParagraph *p) { return p->FNext; }
  static TParagraph *Previous(const TParagraph *p) { return p->FPrevious; }
  static void SetNext(TParagraph *p, TParagraph *v) { p->FNext = v; }
  static void SetPrevious(TParagraph *p, TParagraph *v) { p->FPrevious = v; }
};
using TParagraphList = TBidirectionalList<TParagraph, TParagraphLinks>;

namespace {
// Updates batched for the lifetime of the scope.
struct TUpdateScope {
  TTextor &Textor;
  explicit TUpdateScope(TTextor &textor) : Textor(textor) { Textor.BeginUpdate(); }
  ~TUpdateScope() { Textor.EndUpdate(); }
};
} // namespace

TTextor::TTextor(bool layoutLocked) {
  if (layoutLocked)
    FLayoutLockCount = 1;
  CreateParagraph(nullptr);
}

TTextor::~TTextor() {
  FDestroying = true;
  ++FUpdateCount;
  ++FLayoutLockCount;
  TParagraphList::RemoveAndFreeAll(FFirstParagraph, FLastParagraph, [](TParagraph *p) { delete p; });
}

int TTextor::ParagraphCount() const {
  int n = 0;
  for (TParagraph *p = FFirstParagraph; p; p = p->Next())
    ++n;
  return n;
}

TParagraph *TTextor::CreateParagraph(TParagraph *before) {
  auto *p = new TParagraph(*this, before);
  TParagraphList::InsertBefore(FFirstParagraph, FLastParagraph, p, before);
  FParagraphIndexValid = false;
  p->InvalidateLayout();
  return p;
}

void TTextor::FreeParagraph(TParagraph *paragraph) {
  TParagraph *next = paragraph->Next();
  TParagraphList::Remove(FFirstParagraph, FLastParagraph, paragraph);
  FParagraphIndexValid = false;
  delete paragraph;
  if (next)
    next->InvalidatePosition();
  ContentChanged();
}

// ---------------------------------------------------------------------------------------------------------
// Locks

void TTextor::EndLayoutLock() {
  if (--FLayoutLockCount == 0 && FLayoutPending) {
    FLayoutPending = false;
    RequestLayout(FChangePending);
  }
}

void TTextor::BeginUpdate() {
  ++FUpdateCount;
  ++FLayoutLockCount;
}

void TTextor::EndUpdate() {
  EndLayoutLock();
  if (--FUpdateCount == 0 && FChangePending) {
    FChangePending = false;
    Changed();
  }
}

void TTextor::RequestLayout(bool contentChanged) {
  if (FLayingOut || FDestroying)
    return;
  if (FLayoutLockCount <= 0) {
    FLayingOut = true;
    DoLayout(contentChanged);
    FLayingOut = false;
  } else {
    FLayoutPending = true;
  }
}

void TTextor::ContentChanged() {
  RequestLayout(true);
  if (FLayingOut || FDestroying)
    return;
  if (FUpdateCount == 0)
    Changed();
  else
    FChangePending = true;
}

// ---------------------------------------------------------------------------------------------------------
// Content

void TTextor::Clear() {
  TUpdateScope update(*this);
  while (FLastParagraph != FFirstParagraph)
    FreeParagraph(FLastParagraph);
  FFirstParagraph->Clear();
}

void TTextor::SetText(const QString &text) {
  TUpdateScope update(*this);
  Clear();
  InsertText(TextEnd(), text, nullptr);
}

QString TTextor::Text() const { return RangeText(WholeRange()); }

TTextRange TTextor::InsertContent(const TTextPosition &position, TPortionKind kind, const TPortionContent &content,
                                  TTextAttributes *attributes) {
  TUpdateScope update(*this);
  TParagraph *paragraph = position.Paragraph;
  TPortion *p = position.Portion;
  TTextRange result{position, position};
  auto accepts = [&](TPortion *q) { return q && q->Kind() == kind && q->SameAttributes(attributes); };
  TPortion *target;
  std::int32_t at;
  if (accepts(p)) {
    target = p;
    at = position.Offset;
  } else if (TPortion *previous = p ? p->Previous() : paragraph->LastPortion();
             position.Offset == 0 && accepts(previous)) {
    target = previous;
    at = previous->Length();
    result.Start = {paragraph, previous, at};
  } else {
    TPortion *before = p ? paragraph->Split(p, position.Offset) : nullptr;
    target = paragraph->CreatePortion(kind, before, attributes);
    at = 0;
    result.Start = {paragraph, target, 0};
  }
  const std::int32_t n = paragraph->InsertInto(target, at, content);
  result.End = {paragraph, target, at + n};
  result.End.Normalize();
  return result;
}

TTextRange TTextor::InsertText(const TTextPosition &position, QStringView text, TTextAttributes *attributes) {
  if (text.isEmpty())
    return {position, position};
  TUpdateScope update(*this);
  const bool breaks = ParagraphBreaksAllowed(), tabs = TabsAllowed();
  if (!breaks && !tabs)
    return InsertContent(position, TPortionKind::Text, {text, 0, nullptr}, attributes);
  std::optional<TTextPosition> start;
  TTextPosition end = position;
  auto note = [&](const TTextRange &r) {
    if (!start)
      start = r.Start;
    end = r.End;
  };
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar c = text[i];
    if (breaks && (c == u'\r' || c == u'\n')) {
      // CR LF and LF CR are one break; two equal line-break characters are two.
      const QChar other = c == u'\r' ? u'\n' : u'\r';
      i += (i + 1 < n && text[i + 1] == other) ? 2 : 1;
      note(SplitParagraph(end, attributes));
      continue;
    }
    qsizetype j = i;
    if (tabs && c == u'\t') {
      while (j < n && text[j] == u'\t')
        ++j;
      note(InsertContent(end, TPortionKind::TabStops, {{}, std::int32_t(j - i), nullptr}, attributes));
    } else {
      while (j < n && !(tabs && text[j] == u'\t') && !(breaks && (text[j] == u'\r' || text[j] == u'\n')))
        ++j;
      note(InsertContent(end, TPortionKind::Text, {text.mid(i, j - i), 0, nullptr}, attributes));
    }
    i = j;
  }
  return {*start, end};
}

TTextRange TTextor::InsertTabs(const TTextPosition &position, std::int32_t count, TTextAttributes *attributes) {
  if (count <= 0)
    return {position, position};
  return InsertContent(position, TPortionKind::TabStops, {{}, count, nullptr}, attributes);
}

TTextRange TTextor::InsertElement(const TTextPosition &position, TVisualElement *element,
                                  TTextAttributes *attributes) {
  return InsertContent(position, TPortionKind::Element, {{}, 0, element}, attributes);
}

TTextRange TTextor::SplitParagraph(const TTextPosition &position, TTextAttributes *attributes) {
  TUpdateScope update(*this);
  TParagraph *p = position.Paragraph;
  TParagraph *n = CreateParagraph(p->Next());
  bool moved = false;
  if (position.Portion) {
    TPortion *from = p->Split(position.Portion, position.Offset);
    while (from) {
      TPortion *next = from->Next();
      n->AdoptPortion(from, nullptr);
      from = next;
    }
    moved = true;
  }
  n->SetParagraphAttributes(p->OwnParagraphAttributes());
  n->SetTextAttributes(moved ? p->OwnTextAttributes() : attributes);
  if (TParagraph *after = n->Next())
    after->InvalidatePosition();
  return {p->End(), n->Start()};
}

TTextPosition TTextor::DeleteRange(const TTextRange &range) {
  TUpdateScope update(*this);
  TParagraph *p1 = range.Start.Paragraph, *p2 = range.End.Paragraph;
  TTextPosition result = range.Start;
  ForEachInRange(range, false, [&](TParagraph *paragraph, TPortion *portion, std::int32_t offset,
                                   std::int32_t count, bool &) {
    if (!portion) {
      if (paragraph != p1 && paragraph != p2)
        FreeParagraph(paragraph);
      return;
    }
    if (offset == 0 && count == portion->Length()) {
      if (result.Portion == portion)
        result = {result.Paragraph, portion->Next(), 0};
      paragraph->FreePortion(portion);
    } else {
      paragraph->DeleteChars(portion, offset, count);
      if (result.Portion == portion)
        result.Normalize();
    }
  });
  if (p1 != p2) {
    if (result.AtParagraphEnd())
      result = {p1, p2->FirstPortion(), 0};
    while (TPortion *q = p2->FirstPortion())
      p1->AdoptPortion(q, nullptr);
    FreeParagraph(p2);
  }
  return result;
}

TTextRange TTextor::ApplyAttributes(const TTextRange &range, bool includeEnd, TTextAttributes *attributes) {
  TUpdateScope update(*this);
  TTextRange result = range;
  ForEachInRange(range, includeEnd, [&](TParagraph *paragraph, TPortion *portion, std::int32_t offset,
                                        std::int32_t count, bool &) {
    if (!portion) {
      paragraph->SetTextAttributes(attributes);
      return;
    }
    TPortion *chunk = portion;
    if (offset + count < portion->Length()) {
      TPortion *tail = paragraph->Split(portion, offset + count);
      if (result.End.Portion == portion && result.End.Offset == offset + count)
        result.End = {paragraph, tail, 0};
    }
    if (offset > 0) {
      chunk = paragraph->Split(portion, offset);
      if (result.Start.Portion == portion && result.Start.Offset == offset)
        result.Start = {paragraph, chunk, 0};
    }
    paragraph->SetPortionAttributes(chunk, attributes);
  });
  return result;
}

TTextRange TTextor::TextStretch(const TTextPosition &position, bool forward, bool crossParagraphs) const {
  auto isElement = [](TPortion *p) { return p && p->Kind() == TPortionKind::Element; };
  TTextRange r{position, position};
  if (forward) {
    while (isElement(r.Start.Portion) && r.Start.Offset == 0)
      r.Start = {r.Start.Paragraph, r.Start.Portion->Next(), 0};
    r.End = r.Start;
    while (!(isElement(r.End.Portion) && r.End.Offset == 0)) {
      std::optional<TTextPosition> next = NextPortionStart(r.End, crossParagraphs);
      if (!next)
        break;
      r.End = *next;
    }
  } else {
    auto before = [](const TTextPosition &p) -> TPortion * {
      return p.Offset > 0 ? nullptr : p.Portion ? p.Portion->Previous() : p.Paragraph->LastPortion();
    };
    while (isElement(before(r.End)))
      r.End = {r.End.Paragraph, before(r.End), 0};
    r.Start = r.End;
    for (;;) {
      if (r.Start.Offset > 0) {
        r.Start.Offset = 0;
        continue;
      }
      TPortion *previous = before(r.Start);
      if (isElement(previous))
        break;
      if (previous) {
        r.Start = {r.Start.Paragraph, previous, 0};
        continue;
      }
      if (!crossParagraphs || !r.Start.Paragraph->Previous())
        break;
      r.Start = r.Start.Paragraph->Previous()->End();
    }
  }
  return r;
}

void TTextor::ReinterpretText() {
  TUpdateScope update(*this);
  TTextPosition at = TextStart();
  for (;;) {
    TTextRange stretch = TextStretch(at, true, true);
    if (!stretch.IsEmpty()) {
      const QString text = RangeText(stretch);
      at = DeleteRange(stretch);
      at = InsertText(at, text, nullptr).End;
    } else {
      at = stretch.End;
    }
    // The next stretch skips the element that ended this one.
    if (AtTextEdge(at, true))
      break;
  }
}

// ---------------------------------------------------------------------------------------------------------
// Iteration

bool TTextor::ForEachInRange(const TTextRange &range, bool includeLastEnd, const TChunkCallback &callback) const {
  TParagraph *last = range.End.Paragraph;
  for (TParagraph *p = range.Start.Paragraph; p;) {
    TParagraph *next = p->Next();
    const bool isFirst = p == range.Start.Paragraph, isLast = p == last;
    TPortion *startPortion = isFirst ? range.Start.Portion : p->FirstPortion();
    const std::int32_t startOffset = isFirst ? range.Start.Offset : 0;
    TPortion *endPortion = isLast ? range.End.Portion : nullptr;
    const std::int32_t endOffset = isLast ? range.End.Offset : 0;
    if (!p->ForEachChunk(startPortion, startOffset, endPortion, endOffset, !isLast || includeLastEnd, callback))
      return false;
    if (isLast)
      break;
    p = next;
  }
  return true;
}

QString TTextor::RangeText(const TTextRange &range) const {
  qsizetype size = 0;
  ForEachInRange(range, false, [&](TParagraph *, TPortion *portion, std::int32_t offset, std::int32_t count, bool &) {
    size += portion ? portion->CopyChars(offset, count, nullptr) : 2;
  });
  QString text(size, Qt::Uninitialized);
  QChar *out = text.data();
  ForEachInRange(range, false, [&](TParagraph *, TPortion *portion, std::int32_t offset, std::int32_t count, bool &) {
    if (portion) {
      out += portion->CopyChars(offset, count, out);
    } else {
      *out++ = u'\r';
      *out++ = u'\n';
    }
  });
  return text;
}

// ---------------------------------------------------------------------------------------------------------
// Coordinates

int TTextor::ParagraphIndex(const TParagraph *paragraph) const {
  int i = 0;
  for (TParagraph *p = FFirstParagraph; p && p != paragraph; p = p->Next())
    ++i;
  return i;
}

TParagraph *TTextor::ParagraphAt(int index) const {
  if (index < 0)
    return nullptr;
  TParagraph *p = FFirstParagraph;
  while (p && index-- > 0)
    p = p->Next();
  return p;
}

static std::int32_t OffsetInParagraph(const TTextPosition &position) {
  std::int32_t n = position.Offset;
  for (TPortion *p = position.Paragraph->FirstPortion(); p && p != position.Portion; p = p->Next())
    n += p->Length();
  return n;
}

TTextCoordinates TTextor::PositionToCoordinates(const TTextPosition &position) const {
  return {ParagraphIndex(position.Paragraph), OffsetInParagraph(position)};
}

TTextCoordinateRange TTextor::RangeToCoordinates(const TTextRange &range) const {
  const int startIndex = ParagraphIndex(range.Start.Paragraph);
  int endIndex = startIndex;
  for (TParagraph *p = range.Start.Paragraph; p && p != range.End.Paragraph; p = p->Next())
    ++endIndex;
  return {startIndex, OffsetInParagraph(range.Start), endIndex, OffsetInParagraph(range.End)};
}

std::optional<TTextPosition> TTextor::CoordinatesToPosition(const TTextCoordinates &coordinates) const {
  TParagraph *paragraph = ParagraphAt(coordinates.Index);
  if (!paragraph || coordinates.Offset < 0)
    return std::nullopt;
  std::int32_t offset = coordinates.Offset;
  TPortion *p = paragraph->FirstPortion();
  while (p && offset >= p->Length()) {
    offset -= p->Length();
    p = p->Next();
  }
  if (!p && offset > 0)
    return std::nullopt;
  return TTextPosition{paragraph, p, offset};
}

std::optional<TTextRange> TTextor::CoordinatesToRange(const TTextCoordinateRange &c) const {
  std::optional<TTextPosition> start = CoordinatesToPosition({c.StartIndex, c.StartOffset});
  std::optional<TTextPosition> end = CoordinatesToPosition({c.EndIndex, c.EndOffset});
  if (!start || !end)
    return std::nullopt;
  return TTextRange{*start, *end};
}

// ---------------------------------------------------------------------------------------------------------
// Order and steps

bool TTextor::IsBefore(const TTextPosition &a, const TTextPosition &b) const {
  if (a.Paragraph != b.Paragraph) {
    for (TParagraph *p = a.Paragraph->Next(); p; p = p->Next())
      if (p == b.Paragraph)
        return true;
    return false;
  }
  if (a.Portion != b.Portion) {
    if (!a.Portion)
      return false;
    if (!b.Portion)
      return true;
    for (TPortion *p = a.Portion->Next(); p; p = p->Next())
      if (p == b.Portion)
        return true;
    return false;
  }
  return a.Offset < b.Offset;
}

bool TTextor::InRange(const TTextPosition &position, const TTextRange &range) const {
  return !IsBefore(position, range.Start) && IsBefore(position, range.End);
}

bool TTextor::AtParagraphEdge(const TTextPosition &position, bool forward) const {
  return forward ? position.AtParagraphEnd() : position == position.Paragraph->Start();
}

bool TTextor::AtTextEdge(const TTextPosition &position, bool forward) const {
  return AtParagraphEdge(position, forward) &&
         position.Paragraph == (forward ? FLastParagraph : FFirstParagraph);
}

TTextPosition TTextor::NextPosition(const TTextPosition &position) const {
  if (position.Portion) {
    TTextPosition r{position.Paragraph, position.Portion, position.Offset + 1};
    r.Normalize();
    return r;
  }
  if (TParagraph *next = position.Paragraph->Next())
    return next->Start();
  return position;
}

TTextPosition TTextor::PreviousPosition(const TTextPosition &position) const {
  if (position.Offset > 0)
    return {position.Paragraph, position.Portion, position.Offset - 1};
  TPortion *previous = position.Portion ? position.Portion->Previous() : position.Paragraph->LastPortion();
  if (previous)
    return {position.Paragraph, previous, previous->Length() - 1};
  if (TParagraph *p = position.Paragraph->Previous())
    return p->End();
  return position;
}

std::optional<std::pair<int, TTextPosition>> TTextor::CharAfter(const TTextPosition &position) const {
  if (!position.Portion)
    return std::nullopt;
  TTextPosition after{position.Paragraph, position.Portion, position.Offset + 1};
  after.Normalize();
  return std::pair{position.Portion->CharAt(position.Offset), after};
}

std::optional<std::pair<int, TTextPosition>> TTextor::CharBefore(const TTextPosition &position) const {
  TTextPosition at;
  if (position.Offset > 0) {
    at = {position.Paragraph, position.Portion, position.Offset - 1};
  } else {
    TPortion *previous = position.Portion ? position.Portion->Previous() : position.Paragraph->LastPortion();
    if (!previous)
      return std::nullopt;
    at = {position.Paragraph, previous, previous->Length() - 1};
  }
  return std::pair{at.Portion->CharAt(at.Offset), at};
}

std::optional<TTextPosition> TTextor::NextPortionStart(const TTextPosition &position, bool crossParagraphs) const {
  if (position.Portion)
    return TTextPosition{position.Paragraph, position.Portion->Next(), 0};
  if (crossParagraphs && position.Paragraph->Next())
    return position.Paragraph->Next()->Start();
  return std::nullopt;
}

std::optional<TTextPosition> TTextor::PreviousPortionStart(const TTextPosition &position,
                                                           bool crossParagraphs) const {
  TPortion *previous = position.Portion ? position.Portion->Previous() : position.Paragraph->LastPortion();
  if (previous)
    return TTextPosition{position.Paragraph, previous, 0};
  if (crossParagraphs && position.Paragraph->Previous())
    return position.Paragraph->Previous()->End();
  return std::nullopt;
}

// ---------------------------------------------------------------------------------------------------------
// Words

bool IsWordCharacter(int c) {
  const QChar ch{char16_t(c)};
  return ch.isLetter() || ch.category() == QChar::Number_DecimalDigit || c == '_';
}

static bool IsSpaceChar(int c) {
  if (c == 0x20 || (c >= 0x09 && c <= 0x0D) || c == 0xA0 || c == 0x85)
    return true;
  const QChar::Category k = QChar{char16_t(c)}.category();
  return k == QChar::Separator_Space || k == QChar::Separator_Line || k == QChar::Separator_Paragraph;
}

bool TTextor::SameWord(int a, int b) const {
  if (a < 0 || b < 0)
    return false;
  if (IsSpaceChar(b))
    return true;
  return IsWordCharacter(a) == IsWordCharacter(b) && !IsSpaceChar(a);
}

TTextPosition TTextor::WordStartBefore(const TTextPosition &position) const {
  TTextPosition at = position;
  std::optional<std::pair<int, TTextPosition>> after = CharAfter(at);
  int c;
  if (after) {
    c = after->first;
  } else {
    if (at.Paragraph != FLastParagraph)
      return at;
    std::optional<std::pair<int, TTextPosition>> before = CharBefore(at);
    if (!before)
      return at;
    c = before->first;
    at = before->second;
  }
  while (std::optional<std::pair<int, TTextPosition>> b = CharBefore(at)) {
    if (!SameWord(b->first, c))
      break;
    at = b->second;
    c = b->first;
  }
  return at;
}

TTextPosition TTextor::WordEndAfter(const TTextPosition &position) const {
  std::optional<std::pair<int, TTextPosition>> first = CharAfter(position);
  if (!first)
    return position;
  int c = first->first;
  TTextPosition at = first->second;
  while (std::optional<std::pair<int, TTextPosition>> d = CharAfter(at)) {
    if (!SameWord(c, d->first))
      break;
    at = d->second;
    c = d->first;
  }
  return at;
}

// ---------------------------------------------------------------------------------------------------------
// Layout and geometry

void TTextor::InvalidateAllLayouts() {
  BeginLayoutLock();
  for (TParagraph *p = FFirstParagraph; p; p = p->Next()) {
    p->FLayoutValid = false;
    p->FChangeKnown = false;
    RequestLayout(false);
  }
  EndLayoutLock();
}

// Paragraphs whose layout or position is invalid are laid out; the valid ones after them are shifted by
// the accumulated change of height.
void TTextor::DoLayout(bool) {
  const int width = LayoutWidth();
  const QRect padding = Padding();
  int sum = 0;
  for (TParagraph *p = FFirstParagraph; p; p = p->Next()) {
    if (!p->LayoutValid() || !p->PositionValid()) {
      int old;
      if (!p->Rows().empty()) {
        old = p->Bottom();
        sum = 0;
      } else {
        old = p->Previous() ? p->Previous()->Bottom() : 0;
      }
      p->EnsureLayout(width, padding);
      sum += p->Bottom() - old;
    } else if (sum != 0) {
      p->Shift(sum);
    }
  }
}

int TTextor::ContentWidth() const {
  int result = 0;
  for (TParagraph *p = FFirstParagraph; p; p = p->Next())
    for (std::size_t r = 0; r < p->Rows().size(); ++r)
      result = std::max(result, p->RowLeft(r) + p->Rows()[r].Width + p->ParagraphAttributes().RightIndent());
  return result;
}

int TTextor::XOfPosition(const TRowRef &ref, const TTextPosition &position) const {
  const TRow &row = ref.Row();
  if (position == row.End)
    return row.Width;
  int x = 0;
  ForEachInRange({row.Start, position}, false,
                 [&](TParagraph *, TPortion *portion, std::int32_t offset, std::int32_t count, bool &) {
                   if (portion)
                     portion->Measure(x, offset, count);
                 });
  return x;
}

TTextor::TRowRef TTextor::RowOfPosition(const TTextPosition &position, bool preferNext) const {
  TParagraph *p = position.Paragraph;
  const std::vector<TRow> &rows = p->Rows();
  if (position.AtParagraphEnd() || rows.size() == 1)
    return {p, rows.size() - 1};
  for (std::size_t r = 0; r < rows.size(); ++r) {
    // The position lies in [start, end] of row r when it is not before its start and not after its end.
    if (IsBefore(rows[r].End, position))
      continue;
    if (preferNext && position == rows[r].End && r + 1 < rows.size())
      return {p, r + 1};
    return {p, r};
  }
  return {p, rows.size() - 1};
}

std::optional<TTextor::TRowRef> TTextor::RowAtY(int y, bool clamp) const {
  const int total = TextHeight();
  if (y < 0 || y >= total) {
    if (!clamp)
      return std::nullopt;
    return y < 0 ? TRowRef{FFirstParagraph, 0} : TRowRef{FLastParagraph, FLastParagraph->Rows().size() - 1};
  }
  // The paragraph, then the row, by binary search over the cached bottoms.
  if (!FParagraphIndexValid) {
    FParagraphIndex.clear();
    for (TParagraph *q = FFirstParagraph; q; q = q->Next())
      FParagraphIndex.push_back(q);
    FParagraphIndexValid = true;
  }
  TParagraph *p = *std::upper_bound(FParagraphIndex.begin(), FParagraphIndex.end(), y,
                                    [](int v, const TParagraph *q) { return v < q->Bottom(); });
  const std::vector<TRow> &rows = p->Rows();
  auto it = std::upper_bound(rows.begin(), rows.end(), y, [](int v, const TRow &r) { return v < r.Bottom; });
  return TRowRef{p, std::size_t(it - rows.begin())};
}

TTextor::THit TTextor::PositionAtX(const TRowRef &ref, int x, bool nearest, const QPoint *down,
                                   const QPoint *current) const {
  const TRow &row = ref.Row();
  x -= ref.Paragraph->RowLeft(ref.Index);
  if (x < 0)
    return {row.Start, false};
  if (x >= row.Width)
    return {row.End, false};
  THit hit{row.End, false};
  int at = 0;
  ForEachInRange({row.Start, row.End}, false,
                 [&](TParagraph *paragraph, TPortion *portion, std::int32_t offset, std::int32_t count, bool &stop) {
                   if (!portion)
                     return;
                   const std::int32_t i = portion->HitTest(at, x, down, current, nearest, count, offset);
                   if (i < 0)
                     return;
                   hit.Position = {paragraph, portion, i};
                   hit.Position.Normalize();
                   hit.Inside = true;
                   stop = true;
                 });
  return hit;
}

std::optional<TTextor::THit> TTextor::PositionAtPoint(const QPoint &point, bool clamp, bool nearest,
                                                      const QPoint *down, const QPoint *current) const {
  std::optional<TRowRef> row = RowAtY(point.y(), clamp);
  if (!row)
    return std::nullopt;
  return PositionAtX(*row, point.x(), nearest, down, current);
}

QRect TTextor::CaretRect(const TRowRef &ref, const TTextPosition &position, int caretWidth) const {
  const TRow &row = ref.Row();
  const int left = ref.Paragraph->RowLeft(ref.Index) + XOfPosition(ref, position) - caretWidth / 2;
  return QRect(QPoint(left, row.Top()), QPoint(left + caretWidth - 1, row.Bottom - 1));
}

// ---------------------------------------------------------------------------------------------------------
// Drawing

// The width of the box a paragraph end occupies after the last character.
constexpr int kParagraphEndWidth = 5;

void TTextor::Draw(TCustomSheetCanvas &canvas, int paintState, int flags, const TTextRange &range,
                   bool showParagraphEnd) const {
  if (range.IsEmpty())
    return;
  const QRect clip = canvas.ClipRect();
  // The part of the range on the rows the clip meets: when empty, nothing is drawn (not even the
  // decorations) unless non-printing marks or a selected paragraph-end box may show.
  std::optional<TTextPosition> firstShown;
  TTextPosition lastShown;
  for (TParagraph *p = range.Start.Paragraph; p && p->Top() <= clip.bottom(); p = p->Next()) {
    if (p->Bottom() > clip.top())
      for (const TRow &row : p->Rows())
        if (row.Bottom > clip.top() && row.Top() <= clip.bottom()) {
          if (!firstShown)
            firstShown = row.Start;
          lastShown = row.End;
        }
    if (p == range.End.Paragraph)
      break;
  }
  if (!firstShown)
    return;
  if (!(flags & tdfNonPrinting) && !((flags & tdfSelected) && showParagraphEnd)) {
    const TTextPosition &from = IsBefore(range.Start, *firstShown) ? *firstShown : range.Start;
    const TTextPosition &to = IsBefore(lastShown, range.End) ? lastShown : range.End;
    if (!IsBefore(from, to))
      return;
  }
  const int width = LayoutWidth();
  for (TParagraph *p = range.Start.Paragraph; p; p = p->Next()) {
    if (p->Rows().empty() || p->Top() >= clip.bottom() + 1) {
      if (p == range.End.Paragraph)
        break;
      continue;
    }
    if (p->Bottom() > clip.top()) {
      const TRow &first = p->Rows().front();
      p->ParagraphAttributes().DrawDecoration(canvas, paintState, first.Height(), p->RowLeft(0), p->TextAttributes(),
                                              QRect(0, p->Top(), width, p->Bottom() - p->Top()));
      const bool endInRange = p != range.End.Paragraph;
      for (std::size_t r = 0; r < p->Rows().size(); ++r) {
        const TRow &row = p->Rows()[r];
        if (row.Bottom <= clip.top() || row.Top() > clip.bottom())
          continue;
        // The part of the range inside the row.
        TTextPosition from = row.Start, to = row.End;
        if (p == range.Start.Paragraph && IsBefore(from, range.Start))
          from = range.Start;
        if (p == range.End.Paragraph && IsBefore(range.End, to))
          to = range.End;
        if (IsBefore(to, from))
          continue;
        const int left = p->RowLeft(r);
        const QRect rowRect(left, row.Top(), std::max(row.Width, 0) + kParagraphEndWidth, row.Height());
        if (left > clip.right() || left + row.Width + kParagraphEndWidth < clip.left())
          continue;
        int x = left + XOfPosition({p, r}, from);
        ForEachInRange({from, to}, false,
                       [&](TParagraph *, TPortion *portion, std::int32_t offset, std::int32_t count, bool &stop) {
                         if (!portion)
                           return;
                         portion->Draw(canvas, paintState, flags, count, offset, row.Baseline(), x, rowRect, left);
                         stop = x > clip.right();
                       });
        if (r + 1 == p->Rows().size() && endInRange) {
          const QRect box(left + row.Width, row.Top(), kParagraphEndWidth, row.Height());
          if (showParagraphEnd && (flags & tdfSelected))
            canvas.DrawSelection(box, !(paintState & 0x01));
          if ((flags & tdfNonPrinting) && p->Next()) {
            const QString mark(QChar(0xB6));
            p->TextAttributes().DrawText(canvas, paintState, 0, mark, 0, 1, box.left(), row.Baseline(), rowRect);
          }
        }
      }
    }
    if (p == range.End.Paragraph)
      break;
  }
}

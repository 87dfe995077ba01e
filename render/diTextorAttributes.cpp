#include "diTextorAttributes.h"

#include "cuClasses.h"
#include "diCanvas.h"

#include <QHashFunctions>

#include <typeinfo>
#include <unordered_map>

// The registry: every registered instance of every attribute class in one list, newest first, and an
// index by value hash that finds the same instance a walk of the list would find first.
struct TAttributesRegistry {
  struct TLinks {
    static TAttributes *Next(const TAttributes *a) { return a->FRegistryNext; }
    static void SetNext(TAttributes *a, TAttributes *next) { a->FRegistryNext = next; }
    static TAttributes *Previous(const TAttributes *a) { return a->FRegistryPrevious; }
    static void SetPrevious(TAttributes *a, TAttributes *previous) { a->FRegistryPrevious = previous; }
  };
  using TList = TBidirectionalList<TAttributes, TLinks>;

  TAttributes *First = nullptr, *Last = nullptr;
  std::unordered_multimap<size_t, TAttributes *> Index;
  std::uint64_t NextSequence = 1;
  int Count = 0;
  // The process-wide defaults, each holding one reference.
  TRichParagraphAttributes *DefaultParagraph = nullptr;
  TRichTextAttributes *DefaultText = nullptr;

  static TAttributesRegistry &Instance() {
    static TAttributesRegistry registry;
    return registry;
  }

  // The defaults are released, then whatever is left is freed.
  ~TAttributesRegistry() {
    if (DefaultParagraph)
      DefaultParagraph->Release();
    if (DefaultText)
      DefaultText->Release();
    TList::RemoveAndFreeAll(First, Last, [](TAttributes *a) {
      a->FRegistered = false;
      delete a;
    });
  }

  // Of the registered instances Equal to `query`, the newest (the first of a walk from the list head).
  TAttributes *Find(const TAttributes &query, size_t hash) const {
    TAttributes *found = nullptr;
    auto [from, to] = Index.equal_range(hash);
    for (auto it = from; it != to; ++it)
      if ((!found || it->second->FSequence > found->FSequence) && it->second->Equals(query))
        found = it->second;
    return found;
  }

  void Insert(TAttributes *a, size_t hash) {
    a->FRegistered = true;
    a->FHash = hash;
    a->FSequence = NextSequence++;
    TList::InsertBefore(First, Last, a, First);
    Index.emplace(hash, a);
    ++Count;
  }

  void Remove(TAttributes *a) {
    auto [from, to] = Index.equal_range(a->FHash);
    for (auto it = from; it != to; ++it)
      if (it->second == a) {
        Index.erase(it);
        break;
      }
    TList::Remove(First, Last, a);
    a->FRegistered = false;
    --Count;
  }
};

// ---------------------------------------------------------------------------------------------------------

TAttributes::~TAttributes() = default;

void TAttributes::Assign(const TAttributes &) { CheckChangeable(); }

bool TAttributes::Equals(const TAttributes &other) const { return typeid(*this) == typeid(other); }

size_t TAttributes::ValueHash() const { return typeid(*this).hash_code(); }

void TAttributes::CheckChangeable() const {
  if (FRegistered)
    throw EException(QStringLiteral("Shared attributes cannot be changed"));
}

TAttributes *TAttributes::Shared() {
  if (FRegistered)
    return this;
  TAttributesRegistry &registry = TAttributesRegistry::Instance();
  const size_t hash = ValueHash();
  if (TAttributes *found = registry.Find(*this, hash))
    return found;
  std::unique_ptr<TAttributes> fresh = Create();
  fresh->Assign(*this);
  TAttributes *result = fresh.release();
  registry.Insert(result, hash);
  return result;
}

void TAttributes::Release() {
  Q_ASSERT(FRefCount > 0);
  if (--FRefCount == 0 && FRegistered) {
    TAttributesRegistry::Instance().Remove(this);
    delete this;
  }
}

int TAttributes::RegisteredCount() { return TAttributesRegistry::Instance().Count; }

// ---------------------------------------------------------------------------------------------------------

void TTextAttributes::Assign(const TAttributes &source) {
  TAttributes::Assign(source);
  if (auto *s = dynamic_cast<const TTextAttributes *>(&source)) {
    FData = s->FData;
    FLinkKind = s->FLinkKind;
    FLinkTarget = s->FLinkTarget;
  }
}

bool TTextAttributes::Equals(const TAttributes &other) const {
  if (!TAttributes::Equals(other))
    return false;
  const auto &o = static_cast<const TTextAttributes &>(other);
  return FData == o.FData && FLinkKind == o.FLinkKind && FLinkTarget == o.FLinkTarget;
}

size_t TTextAttributes::ValueHash() const { return qHashMulti(TAttributes::ValueHash(), FData, FLinkKind, FLinkTarget); }

void TTextAttributes::SetData(const QString &data) {
  CheckChangeable();
  FData = data;
}

void TTextAttributes::SetLinkKind(int kind) {
  CheckChangeable();
  FLinkKind = std::uint8_t(kind);
}

void TTextAttributes::SetLinkTarget(const QString &target) {
  CheckChangeable();
  FLinkTarget = target;
}

// ---------------------------------------------------------------------------------------------------------

void TParagraphAttributes::Assign(const TAttributes &source) {
  TAttributes::Assign(source);
  if (auto *s = dynamic_cast<const TParagraphAttributes *>(&source))
    FAlignment = s->FAlignment;
}

bool TParagraphAttributes::Equals(const TAttributes &other) const {
  return TAttributes::Equals(other) && FAlignment == static_cast<const TParagraphAttributes &>(other).FAlignment;
}

size_t TParagraphAttributes::ValueHash() const { return qHashMulti(TAttributes::ValueHash(), FAlignment); }

void TParagraphAttributes::SetAlignment(int alignment) {
  CheckChangeable();
  FAlignment = std::uint8_t(alignment);
}

void TParagraphAttributes::DrawDecoration(TCustomSheetCanvas &, int, int, int, const TTextAttributes &,
                                          const QRect &) const {}

// ---------------------------------------------------------------------------------------------------------

void TRichTextAttributes::Assign(const TAttributes &source) {
  TTextAttributes::Assign(source);
  if (auto *s = dynamic_cast<const TRichTextAttributes *>(&source)) {
    FBackgroundColor = s->FBackgroundColor;
    FFontName = s->FFontName;
    FCharset = s->FCharset;
    FColor = s->FColor;
    FPitch = s->FPitch;
    FSize = s->FSize;
    FStyle = s->FStyle;
    FFont = s->FFont;  // the same face, size, style and pitch
  }
}

bool TRichTextAttributes::Equals(const TAttributes &other) const {
  if (!TTextAttributes::Equals(other))
    return false;
  const auto &o = static_cast<const TRichTextAttributes &>(other);
  return FBackgroundColor == o.FBackgroundColor && FFontName == o.FFontName && FCharset == o.FCharset &&
         FColor == o.FColor && FPitch == o.FPitch && FSize == o.FSize && FStyle == o.FStyle;
}

size_t TRichTextAttributes::ValueHash() const {
  return qHashMulti(TTextAttributes::ValueHash(), FBackgroundColor, FFontName, FCharset, FColor, FPitch, FSize,
                    FStyle);
}

void TRichTextAttributes::SetBackgroundColor(TColor color) {
  CheckChangeable();
  FBackgroundColor = color;
}

void TRichTextAttributes::SetFontName(const QString &name) {
  CheckChangeable();
  if (name != FFontName)
    FFont = nullptr;
  FFontName = name;
}

void TRichTextAttributes::SetCharset(int charset) {
  CheckChangeable();
  FCharset = charset;
}

void TRichTextAttributes::SetColor(TColor color) {
  CheckChangeable();
  FColor = color;
}

void TRichTextAttributes::SetPitch(int pitch) {
  CheckChangeable();
  if (pitch != FPitch)
    FFont = nullptr;
  FPitch = std::uint8_t(pitch);
}

void TRichTextAttributes::SetSize(int size) {
  CheckChangeable();
  if (size != FSize)
    FFont = nullptr;
  FSize = size;
}

void TRichTextAttributes::SetStyle(int style) {
  CheckChangeable();
  if (style != FStyle)
    FFont = nullptr;
  FStyle = style;
}

const TLogicalFont &TRichTextAttributes::Font() const {
  if (!FFont)
    FFont = &LogicalFont(FFontName, FSize, FStyle, FPitch);
  return *FFont;
}

int TRichTextAttributes::TextWidth(QStringView text, qsizetype index, qsizetype count) const {
  if (count <= 0)
    return 0;
  return Font().TextWidth(text, index, count);
}

void TRichTextAttributes::FillBackground(TCustomSheetCanvas &canvas, int, int, const QRect &rect) const {
  if (FBackgroundColor != clNone)
    canvas.FillRect(rect, FBackgroundColor);
}

void TRichTextAttributes::DrawBlank(TCustomSheetCanvas &canvas, int paintState, int flags, int width,
                                   const QRect &rowRect, int x) const {
  const QRect rect(x, rowRect.top(), width, rowRect.height());
  FillBackground(canvas, paintState, flags, rect);
  if (flags & tdfSelected)
    canvas.DrawSelection(rect, !(flags & tdfSecondSelectColor));
}

int TRichTextAttributes::DrawText(TCustomSheetCanvas &canvas, int paintState, int flags, QStringView text,
                                  qsizetype index, qsizetype count, int x, int baseline, const QRect &rowRect) const {
  if (count <= 0)
    return 0;
  const TLogicalFont &font = Font();
  const int width = font.TextWidth(text, index, count);
  const QRect rect(x, rowRect.top(), width, rowRect.height());
  FillBackground(canvas, paintState, flags, rect);
  font.DrawText(canvas.DeviceContext(), x, baseline, text, index, count, QColorFromPlatform(FColor));
  if (flags & tdfSelected)
    canvas.DrawSelection(rect, !(flags & tdfSecondSelectColor));
  return width;
}

// ---------------------------------------------------------------------------------------------------------

void TRichParagraphAttributes::Assign(const TAttributes &source) {
  TParagraphAttributes::Assign(source);
  if (auto *s = dynamic_cast<const TRichParagraphAttributes *>(&source)) {
    FBackgroundColor = s->FBackgroundColor;
    FFirstIndent = s->FFirstIndent;
    FLeftIndent = s->FLeftIndent;
    std::copy(std::begin(s->FExtra), std::end(s->FExtra), std::begin(FExtra));
    FBullet = s->FBullet;
    FRightIndent = s->FRightIndent;
  }
}

bool TRichParagraphAttributes::Equals(const TAttributes &other) const {
  if (!TParagraphAttributes::Equals(other))
    return false;
  const auto &o = static_cast<const TRichParagraphAttributes &>(other);
  return FBackgroundColor == o.FBackgroundColor && FFirstIndent == o.FFirstIndent && FLeftIndent == o.FLeftIndent &&
         std::equal(std::begin(FExtra), std::end(FExtra), std::begin(o.FExtra)) && FBullet == o.FBullet &&
         FRightIndent == o.FRightIndent;
}

size_t TRichParagraphAttributes::ValueHash() const {
  return qHashMulti(TParagraphAttributes::ValueHash(), FBackgroundColor, FFirstIndent, FLeftIndent, FExtra[0],
                    FExtra[1], FExtra[2], FBullet, FRightIndent);
}

void TRichParagraphAttributes::SetBackgroundColor(TColor color) {
  CheckChangeable();
  FBackgroundColor = color;
}

void TRichParagraphAttributes::SetFirstIndent(int pixels) {
  CheckChangeable();
  FFirstIndent = pixels;
}

void TRichParagraphAttributes::SetLeftIndent(int pixels) {
  CheckChangeable();
  FLeftIndent = pixels;
}

void TRichParagraphAttributes::SetRightIndent(int pixels) {
  CheckChangeable();
  FRightIndent = pixels;
}

void TRichParagraphAttributes::SetBullet(bool bullet) {
  CheckChangeable();
  FBullet = bullet;
}

void TRichParagraphAttributes::SetExtra(int i, int value) {
  CheckChangeable();
  FExtra[i] = value;
}

int TRichParagraphAttributes::LeftIndent(const TTextAttributes &text) const {
  return FLeftIndent + (FBullet ? text.TabWidth() : 0);
}

void TRichParagraphAttributes::DrawDecoration(TCustomSheetCanvas &canvas, int paintState, int firstRowHeight,
                                              int firstRowLeft, const TTextAttributes &text,
                                              const QRect &paragraphRect) const {
  if (FBackgroundColor != clNone) {
    const QRect narrowed = paragraphRect.adjusted(FLeftIndent, 0, -FRightIndent, 0);
    if (narrowed.width() > 0 && narrowed.height() > 0)
      canvas.FillRect(narrowed, FBackgroundColor);
  }
  if (FBullet) {
    static const QString bullet(QChar(0x2022));
    const int x = firstRowLeft - text.TabWidth() / 2;
    const int top = paragraphRect.top();
    const QRect row(x, top, text.TextWidth(bullet), firstRowHeight);
    text.DrawText(canvas, paintState, 0, bullet, 0, 1, x, top + firstRowHeight - text.Descent(), row);
  }
}

// ---------------------------------------------------------------------------------------------------------

TRichParagraphAttributes &DefaultParagraphAttributes() {
  TAttributesRegistry &registry = TAttributesRegistry::Instance();
  if (!registry.DefaultParagraph) {
    TRichParagraphAttributes fresh;
    registry.DefaultParagraph = SharedOf(fresh);
    registry.DefaultParagraph->AddRef();
  }
  return *registry.DefaultParagraph;
}

TRichTextAttributes &DefaultTextAttributes() {
  TAttributesRegistry &registry = TAttributesRegistry::Instance();
  if (!registry.DefaultText) {
    TRichTextAttributes fresh;
    registry.DefaultText = SharedOf(fresh);
    registry.DefaultText->AddRef();
  }
  return *registry.DefaultText;
}

TRichTextAttributes *FontAttributes(const QString &face, int size, TColor color, int style) {
  TRichTextAttributes temporary;
  temporary.SetFontName(face);
  temporary.SetSize(size);
  temporary.SetColor(color);
  temporary.SetStyle(style);
  return SharedOf(temporary);
}

TRichTextAttributes *HyperlinkAttributes(const TTextAttributes &base, const QString &linkText) {
  TRichTextAttributes temporary;
  temporary.Assign(base);
  temporary.SetColor(clBlue);
  temporary.SetStyle(temporary.Style() | fsUnderline);
  temporary.SetLinkKind(lkHyperlink);
  temporary.SetLinkTarget(linkText);
  return SharedOf(temporary);
}

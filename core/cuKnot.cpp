#include "cuKnot.h"

#include "cuCodeWriters.h"
#include "cuLocalization.h"
#include "cuSlotPool.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <limits>
#include <typeinfo>

// ---------------------------------------------------------------------------------------------------------
// Conversions

bool KnotStrToInt(QStringView text, int &value) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n && text[i] == u' ')
    ++i;
  bool negative = false;
  if (i < n && (text[i] == u'-' || text[i] == u'+'))
    negative = text[i++] == u'-';
  bool hex = false;
  if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n)
    return false;
  uint64_t magnitude = 0;
  for (; i < n; ++i) {
    char16_t c = text[i].unicode();
    int digit;
    if (c >= u'0' && c <= u'9')
      digit = c - u'0';
    else if (hex && c >= u'a' && c <= u'f')
      digit = c - u'a' + 10;
    else if (hex && c >= u'A' && c <= u'F')
      digit = c - u'A' + 10;
    else
      return false;
    magnitude = magnitude * (hex ? 16 : 10) + uint64_t(digit);
    if (magnitude > 0xFFFFFFFFull)
      return false;
  }
  if (hex) {
    // Hexadecimal is a 32-bit pattern, so that colours such as $FF000000 read as written.
    uint32_t bits = uint32_t(magnitude);
    value = int32_t(negative ? 0u - bits : bits);
    return true;
  }
  if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull))
    return false;
  value = negative ? int32_t(0u - uint32_t(magnitude)) : int32_t(magnitude);
  return true;
}

char16_t Windows1252ToUnicode(uint8_t byte) {
  static const char16_t high[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  return byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char16_t(byte);
}

bool IsValidUtf8(QByteArrayView bytes) {
  const uint8_t *s = reinterpret_cast<const uint8_t *>(bytes.data());
  const uint8_t *end = s + bytes.size();
  while (s < end) {
    // ASCII runs eight bytes at a time.
    while (end - s >= 8) {
      uint64_t word;
      std::memcpy(&word, s, 8);
      if (word & 0x8080808080808080ull)
        break;
      s += 8;
    }
    if (s >= end)
      break;
    uint8_t c = *s;
    if (c < 0x80) {
      ++s;
      continue;
    }
    int more;
    uint32_t min;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      more = 1, min = 0x80, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2, min = 0x800, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3, min = 0x10000, cp = c & 0x07;
    } else {
      return false;
    }
    if (end - s <= more)
      return false;
    for (int k = 1; k <= more; ++k) {
      if ((s[k] & 0xC0) != 0x80)
        return false;
      cp = (cp << 6) | (s[k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000))
      return false;
    s += more + 1;
  }
  return true;
}

namespace {

constexpr int SmallNumberCount = 1024;

// Exact comparison of names, inline: names are short, and the lookups of knots and parameters by name
// compare many of them.
bool SameName(const QString &a, QStringView b) {
  return a.size() == b.size() && std::memcmp(a.constData(), b.data(), size_t(b.size()) * sizeof(QChar)) == 0;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9')
    return c - u'0';
  if (c >= u'a' && c <= u'f')
    return c - u'a' + 10;
  if (c >= u'A' && c <= u'F')
    return c - u'A' + 10;
  return -1;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Allocation

namespace {

// The pools live until the process ends, since knots may still be freed while it exits.
template <class T> TSlotPool &PoolOf() {
  static TSlotPool *const pool = new TSlotPool(sizeof(T));
  return *pool;
}

// Objects of exactly type T come from T's pool, except in the sanitizer build; anything else (a size of a
// class derived from T) from the general allocator.
template <class T> void *AllocateObject(std::size_t size) {
  static_assert(alignof(T) <= alignof(void *), "pool slots are aligned like pointers");
  if constexpr (!AddressSanitizerBuild)
    if (size == sizeof(T))
      return PoolOf<T>().Allocate();
  return ::operator new(size);
}

template <class T> void ReleaseObject(void *object, std::size_t size) {
  if constexpr (!AddressSanitizerBuild)
    if (size == sizeof(T)) {
      PoolOf<T>().Release(object);
      return;
    }
  ::operator delete(object);
}

}  // namespace

void *TKnotParam::operator new(std::size_t size) { return AllocateObject<TKnotParam>(size); }
void TKnotParam::operator delete(void *object, std::size_t size) { ReleaseObject<TKnotParam>(object, size); }
void *TKnot::operator new(std::size_t size) { return AllocateObject<TKnot>(size); }
void TKnot::operator delete(void *object, std::size_t size) { ReleaseObject<TKnot>(object, size); }

// ---------------------------------------------------------------------------------------------------------
// TKnotParam

const QString &TKnotParam::Text() const {
  static const QString none;
  const QString *text = std::get_if<QString>(&FValue);
  return text ? *text : none;
}

const QByteArray &TKnotParam::Bytes() const {
  static const QByteArray none;
  if (const QByteArray *bytes = std::get_if<QByteArray>(&FValue))
    return *bytes;
  if (const QByteArray *const *ref = std::get_if<const QByteArray *>(&FValue))
    return **ref;
  return none;
}

QString TKnotParam::TextValue() const {
  switch (Kind()) {
    case pkText:
      return std::get<QString>(FValue);
    case pkBinary:
    case pkBinaryRef:
      return QString::fromLatin1(Bytes().toHex().toUpper());
    case pkNone:
      break;
  }
  return QString();
}

QString TKnotParam::Path() const { return FKnot->Path() + QLatin1Char('.') + FName; }

// ---------------------------------------------------------------------------------------------------------
// TKnot: structure

namespace {

bool IsKnot(const TNode *node) { return typeid(*node) == typeid(TKnot) || dynamic_cast<const TKnot *>(node); }

// The node after `n`'s subtree in pre-order, staying below `stop`.
TNode *NextAfterSubtree(TNode *n, const TNode *stop) {
  for (; n && n != stop; n = n->Owner())
    if (n->Next())
      return n->Next();
  return nullptr;
}

}  // namespace

TKnot::~TKnot() { ClearParams(); }

void TKnot::OwnerChanged() {
  TNode *owner = TNode::Owner();
  if (owner && IsKnot(owner))
    SetInheritedOptions(static_cast<TKnot *>(owner)->FInheritedOptions);
}

void TKnot::ChildInserting(TNode *child, TNode *before) {
  if (!IsKnot(child))
    throw EException(QStringLiteral("A knot can hold only knots"));
}

void TKnot::SetInheritedOptions(uint16_t options) {
  if (FInheritedOptions == options)
    return;
  for (TNode *n = this; n; n = n->NextInTree(this))
    static_cast<TKnot *>(n)->FInheritedOptions = options;
}

void TKnot::SetAccessed(bool accessed) {
  if (accessed)
    FState |= ksAccessed;
  else
    FState &= uint8_t(~ksAccessed);
}

void TKnot::SetAccessedDeep(bool accessed) {
  for (TNode *n = this; n; n = n->NextInTree(this)) {
    TKnot *k = static_cast<TKnot *>(n);
    k->SetAccessed(accessed);
    for (TKnotParam *p = k->FFirstParam; p; p = p->FNext)
      p->FAccessed = accessed;
  }
}

TKnot *TKnot::AddChild(const QString &name) {
  TKnot *child = new TKnot(name);
  child->SetOwner(this);
  return child;
}

TKnot *TKnot::GetKnot(const QString &name) {
  TKnot *k = FindChild(name);
  return k ? k : AddChild(name)->MarkAccessed();
}

TKnot *TKnot::FindChild(const QString &name) { return FindChildAfter(name, nullptr); }

TKnot *TKnot::FindChildAfter(const QString &name, const TKnot *after) {
  for (TKnot *k = after ? after->NextKnot() : FirstKnot(); k; k = k->NextKnot())
    if (SameName(k->FName, name))
      return k->MarkAccessed();
  return nullptr;
}

TKnot *TKnot::FindNextNamed(const QString &name) {
  for (TKnot *k = NextKnot(); k; k = k->NextKnot())
    if (SameName(k->FName, name))
      return k->MarkAccessed();
  return nullptr;
}

TKnot *TKnot::FindPath(const QString &path, bool create) {
  TKnot *k = this;
  for (QStringView name : QStringView(path).split(u'.')) {
    const QString n = name.toString();
    k = create ? k->GetKnot(n) : k->FindChild(n);
    if (!k)
      return nullptr;
  }
  return k;
}

TKnot *TKnot::FirstChild() {
  TKnot *k = FirstKnot();
  return k ? k->MarkAccessed() : nullptr;
}

TKnot *TKnot::LastChild() {
  TKnot *k = static_cast<TKnot *>(TNode::LastChild());
  return k ? k->MarkAccessed() : nullptr;
}

TKnot *TKnot::NextSibling() {
  TKnot *k = NextKnot();
  return k ? k->MarkAccessed() : nullptr;
}

TKnot *TKnot::Owner() {
  TNode *o = TNode::Owner();
  return o && IsKnot(o) ? static_cast<TKnot *>(o)->MarkAccessed() : nullptr;
}

void TKnot::Clear() {
  FName.clear();
  FAddedOptions = FRemovedOptions = 0;
  ClearParams();
  ClearChildren();
  FState = 0;
}

void TKnot::ClearParams() {
  TKnotParam *p = FFirstParam;
  FFirstParam = FLastParam = nullptr;
  while (p) {
    TKnotParam *next = p->FNext;
    delete p;
    p = next;
  }
}

void TKnot::CopyFrom(const TKnot &source) {
  // Pre-order over the source with the path of (source, copy) pairs from the top to the current knot.
  std::vector<std::pair<const TNode *, TKnot *>> path;
  for (const TNode *n = &source; n; n = n->NextInTree(&source)) {
    const TKnot *s = static_cast<const TKnot *>(n);
    TKnot *d = this;
    if (n != &source) {
      while (path.back().first != n->Owner())
        path.pop_back();
      d = path.back().second->AddChild(s->FName);
    } else {
      d->FName = s->FName;
    }
    d->FAddedOptions = s->FAddedOptions;
    d->FRemovedOptions = s->FRemovedOptions;
    for (const TKnotParam *p = s->FFirstParam; p; p = p->FNext)
      d->AppendParam(p->FName)->FValue = p->FValue;
    path.emplace_back(n, d);
  }
}

void TKnot::Assign(const TKnot &source) {
  if (&source == this)
    return;
  // Copy first: the source may lie inside this knot's own subtree.
  TNodePtr<TKnot> copy(new TKnot);
  copy->FInheritedOptions = FInheritedOptions;
  copy->CopyFrom(source);
  Clear();
  FName = copy->FName;
  FAddedOptions = copy->FAddedOptions;
  FRemovedOptions = copy->FRemovedOptions;
  FFirstParam = std::exchange(copy->FFirstParam, nullptr);
  FLastParam = std::exchange(copy->FLastParam, nullptr);
  for (TKnotParam *p = FFirstParam; p; p = p->FNext)
    p->FKnot = this;
  while (TNode *child = copy->TNode::FirstChild())
    child->SetOwner(this);
}

bool TKnot::IsEmpty() const {
  // Empty when no knot of the subtree has parameters, and none of them holds children under
  // koPositionalChildren.
  for (const TNode *n = this; n; n = n->NextInTree(this)) {
    const TKnot *k = static_cast<const TKnot *>(n);
    if (k->FFirstParam || (k->HasChildren() && (k->Options() & koPositionalChildren)))
      return false;
  }
  return true;
}

QString TKnot::Path() const {
  std::vector<const TKnot *> chain;
  for (const TKnot *k = this; k; k = k->OwnerKnot())
    chain.push_back(k);
  QString path = chain.back()->FName;
  for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) {
    const TKnot *k = *it;
    path += QLatin1Char('.') + k->FName;
    if (k->OwnerKnot()->Options() & koPositionalChildren)
      path += QLatin1Char('[') + QString::number(k->IndexInOwner() + 1) + QLatin1Char(']');
  }
  return path;
}

bool TKnot::CollectUnaccessed(std::vector<TKnot *> &knots, std::vector<TKnotParam *> &params, bool testSelf) {
  const size_t before = knots.size() + params.size();
  TNode *n = this;
  while (n) {
    TKnot *k = static_cast<TKnot *>(n);
    if ((n != this || testSelf) && !k->IsAccessed()) {
      knots.push_back(k);
      n = n == this ? nullptr : NextAfterSubtree(n, this);
      continue;
    }
    for (TKnotParam *p = k->FFirstParam; p; p = p->FNext)
      if (!p->FAccessed)
        params.push_back(p);
    n = n->NextInTree(this);
  }
  return knots.size() + params.size() > before;
}

// ---------------------------------------------------------------------------------------------------------
// TKnot: parameters

TKnotParam *TKnot::AppendParam(const QString &name) {
  TKnotParam *p = new TKnotParam(this, name);
  FLastParam = TKnotParam::List::Append(FFirstParam, FLastParam, p);
  return p;
}

TKnotParam *TKnot::AddParam(const QString &name) { return AppendParam(name); }

int TKnot::ParamCount() const {
  int n = 0;
  for (TKnotParam *p = FFirstParam; p; p = p->FNext)
    ++n;
  return n;
}

TKnotParam *TKnot::FindParam(QStringView name) const {
  for (TKnotParam *p = FFirstParam; p; p = p->FNext)
    if (SameName(p->FName, name))
      return p;
  return nullptr;
}

bool TKnot::HasParam(QStringView name) {
  TKnotParam *p = FindParam(name);
  if (p)
    p->FAccessed = true;
  return p;
}

TKnotParam *TKnot::ParamForWrite(const QString &name) {
  if (Options() & koUniqueParams)
    if (TKnotParam *p = FindParam(name))
      return p;
  return AppendParam(name);
}

QString TKnot::ReadStr(QStringView name, const QString &defaultValue) {
  TKnotParam *p = FindParam(name);
  if (!p)
    return defaultValue;
  p->FAccessed = true;
  return p->TextValue();
}

int TKnot::ReadInt(QStringView name, int defaultValue, int min, int max) {
  TKnotParam *p = FindParam(name);
  if (!p)
    return defaultValue;
  p->FAccessed = true;
  int value;
  // A text is converted where it lies; only the binary kinds need their digits made.
  if (!(p->Kind() == pkText ? KnotStrToInt(p->Text(), value) : KnotStrToInt(p->TextValue(), value)))
    return defaultValue;
  if (min != max && (value < min || value > max))
    return defaultValue;
  return value;
}

bool TKnot::ReadBool(QStringView name, bool defaultValue) {
  TKnotParam *p = FindParam(name);
  if (!p)
    return defaultValue;
  p->FAccessed = true;
  // Only a text can be "1" or "0": no value gives "", and binary values give an even number of digits.
  if (p->Kind() != pkText)
    return defaultValue;
  const QString &text = p->Text();
  if (text == u"1")
    return true;
  if (text == u"0")
    return false;
  return defaultValue;
}

bool TKnot::ReadBinary(QStringView name, QByteArray &bytes) {
  TKnotParam *p = FindParam(name);
  if (!p)
    return true;
  p->FAccessed = true;
  switch (p->Kind()) {
    case pkNone:
      return true;
    case pkBinary:
    case pkBinaryRef:
      bytes = p->Bytes();
      return true;
    case pkText:
      break;
  }
  const QString &text = std::get<QString>(p->FValue);
  if (text.size() % 2)
    return false;
  bytes.resize(text.size() / 2);
  const char16_t *s = reinterpret_cast<const char16_t *>(text.constData());
  char *d = bytes.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    int high = HexDigit(s[2 * i]), low = HexDigit(s[2 * i + 1]);
    if (high < 0 || low < 0) {
      bytes.clear();
      return false;
    }
    d[i] = char(high << 4 | low);
  }
  return true;
}

void TKnot::WriteStr(const QString &name, const QString &text) { ParamForWrite(name)->SetText(text); }
namespace {
// Small numbers (positions, counts, flags) are most of what documents store; their texts are made once and
// shared, so that writing one costs no allocation. Larger values are formatted each time.
const QString &SmallNumberText(int value) {
  static const std::vector<QString> texts = [] {
    std::vector<QString> t(SmallNumberCount);
    for (int i = 0; i < SmallNumberCount; ++i)
      t[size_t(i)] = QString::number(i);
    return t;
  }();
  return texts[size_t(value)];
}
}  // namespace

void TKnot::WriteInt(const QString &name, int value) {
  ParamForWrite(name)->SetText(value >= 0 && value < SmallNumberCount ? SmallNumberText(value)
                                                                     : QString::number(value));
}
void TKnot::WriteBool(const QString &name, bool value) {
  ParamForWrite(name)->SetText(value ? QStringLiteral("1") : QStringLiteral("0"));
}
void TKnot::WriteBinary(const QString &name, const QByteArray &bytes) { ParamForWrite(name)->SetBinary(bytes); }
void TKnot::WriteBinaryRef(const QString &name, const QByteArray &bytes) {
  ParamForWrite(name)->SetBinaryRef(bytes);
}

// ---------------------------------------------------------------------------------------------------------
// TKnot: window placement

namespace {
bool HasSizeableBorder(TFormBorderStyle style) { return style == bsSizeable; }
bool StoresSize(TFormBorderStyle style) { return style == bsNone || style == bsSizeable || style == bsSizeToolWin; }
int ClampToInt(qint64 v) {
  return int(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
}  // namespace

void TKnot::SavePlacement(const TFormGeometry &form) {
  const TFormBorderStyle style = form.BorderStyle();
  if (HasSizeableBorder(style) && form.HasMaximizeButton())
    WriteBool(QStringLiteral("Maximized"), form.IsMaximized());
  // A maximized window keeps the normal bounds stored before.
  if (form.IsMaximized())
    return;
  const QRect bounds = form.Bounds();
  WriteInt(QStringLiteral("Left"), bounds.left());
  WriteInt(QStringLiteral("Top"), bounds.top());
  if (StoresSize(style)) {
    WriteInt(QStringLiteral("Width"), bounds.width());
    WriteInt(QStringLiteral("Height"), bounds.height());
  }
}

// A stored position that does not keep the window inside the virtual desktop is ignored (not clamped);
// the ranges start at the desktop's own left and top, which are negative when monitors lie left of or
// above the primary one.
void TKnot::RestorePlacement(TFormGeometry &form) {
  const TFormBorderStyle style = form.BorderStyle();
  if (HasSizeableBorder(style) && form.HasMaximizeButton() && ReadBool(u"Maximized", false)) {
    form.Maximize();
    return;
  }
  if (!HasParam(u"Left"))
    return;
  const QRect bounds = form.Bounds();
  int width = bounds.width(), height = bounds.height();
  if (StoresSize(style)) {
    // Sizes that would carry the window's edges out of the coordinate range keep the current ones.
    constexpr int maxExtent = 1 << 30;
    width = ReadInt(u"Width", width, 0, 0);
    height = ReadInt(u"Height", height, 0, 0);
    if (width < -maxExtent || width > maxExtent)
      width = bounds.width();
    if (height < -maxExtent || height > maxExtent)
      height = bounds.height();
  }
  const QRect desktop = form.VirtualDesktop();
  const int left = ReadInt(u"Left", bounds.left(), desktop.left(),
                           ClampToInt(qint64(desktop.left()) + desktop.width() - width));
  const int top = ReadInt(u"Top", bounds.top(), desktop.top(),
                          ClampToInt(qint64(desktop.top()) + desktop.height() - height));
  form.SetBounds(QRect(left, top, width, height));
}

// ---------------------------------------------------------------------------------------------------------
// TKnot: text

QString TKnot::GetText() const { return KnotText(*this); }

QByteArray TKnot::ToBytes(TTextEncoding encoding) const {
  return KnotUtf8(*this, encoding == teUtf8);
}

void TKnot::SaveToStream(QIODevice &stream, TTextEncoding encoding) const {
  const QByteArray bytes = ToBytes(encoding);
  if (stream.write(bytes) != bytes.size())
    throw EException(stream.errorString());
}

void TKnot::SaveToFile(const QString &fileName, TTextEncoding encoding, const TTempFileNamer &namer) const {
  AtomicWriteFile(fileName, ToBytes(encoding), namer);
}

void TKnot::LoadFromStream(QIODevice &stream) {
  const QByteArray bytes = stream.readAll();
  LoadFromBytes(bytes);
}

void TKnot::LoadFromFile(const QString &fileName) {
  QFile file(fileName);
  if (!file.exists())
    throw EException(FormatString(sidFileNotFound, {fileName}));
  if (!file.open(QIODevice::ReadOnly))
    throw EException(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw EException(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
  LoadFromBytes(bytes);
}

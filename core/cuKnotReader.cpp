// The lenient knot reader. It works on code units of the text as stored (UTF-16, or bytes of UTF-8 or
// Windows-1252): every delimiter is ASCII and characters above 255 are never delimiters, so a name or a
// value is found without decoding and decoded once, when it is copied out.
//
// Document: Clear(); an empty text is damaged. After whitespace a "<" must follow. "<?" skips one
// declaration (to the next "?", then ">", then "<"; one missing is damage). Then one element is parsed
// into the knot itself; anything but whitespace after it is damage.
//
// Element (at its "<"):
//  1. one unit on, skip whitespace; at the end fail; at "<" fail and read the content from there;
//  2. read a name (up to whitespace, quote, "/", "<", "=" or ">"): the knot's name first (empty: fail),
//     then attribute names (empty: nothing); an attribute name directly followed by "=" takes a value:
//     the run up to whitespace, "/" or ">" outside quotes; a run of two or more units in quotes loses
//     them; the value is then decoded (below);
//  3. at the end fail; 4. "/" then whitespace then ">" closes the element; anything else fails, and
//     returns at "<", else goes on with step 1; 5. ">" starts the content; 6. anything else: step 1.
// Content: skip whitespace (at the end fail); a unit other than "<" fails and skips to the next "<";
// "</" + the exact name + ">" ends the element and skips to the next "<"; anything else (a failed end tag
// too) is a child element. Nesting deeper than KnotMaxDepth stops the reader and fails.
// Decoding a value: pairs of adjacent quotes are collapsed from the end while quotes are counted; then,
// unless the tree has koRawValues (its writer never produces references), "&#N;" (N from 0 to 65535, read
// like ReadInt), "&quot;", "&lt;", "&gt;" and "&amp;" are replaced; other references stay as they are.
//
// The reader keeps its own stack of open elements, so neither depth nor any input can exhaust the
// machine stack; every step moves forward, so it cannot hang.
#include "cuKnot.h"

#include <QStringDecoder>

#include <cstring>
#include <vector>

namespace {

// Unit classes below 256: whitespace, name delimiters, value delimiters outside quotes.
enum : uint8_t { ucSpace = 1, ucNameEnd = 2, ucValueEnd = 4 };
struct TUnitTable {
  uint8_t Class[256] = {};
  constexpr TUnitTable() {
    for (char c : {'\t', '\n', '\r', ' '})
      Class[uint8_t(c)] |= ucSpace | ucNameEnd | ucValueEnd;
    for (char c : {'"', '/', '<', '=', '>'})
      Class[uint8_t(c)] |= ucNameEnd;
    for (char c : {'/', '>'})
      Class[uint8_t(c)] |= ucValueEnd;
  }
};
constexpr TUnitTable Units;

template <class U> inline bool Is(U c, uint8_t cls) { return c < 256 && (Units.Class[c] & cls); }

// How each storage turns a run of units into a string.
struct TUtf16Units {
  using Unit = char16_t;
  static QString Make(const Unit *s, qsizetype n) { return QString(reinterpret_cast<const QChar *>(s), n); }
  static const Unit *Find(const Unit *s, const Unit *end, Unit c) {
    qsizetype at = QStringView(s, end - s).indexOf(QChar(c));
    return at < 0 ? end : s + at;
  }
};
struct TUtf8Units {
  using Unit = uint8_t;
  static QString Make(const Unit *s, qsizetype n) {
    // QString::fromUtf8 drops a leading byte order mark, which here is a character of the value.
    if (n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF)
      return QChar(0xFEFF) + QString::fromUtf8(reinterpret_cast<const char *>(s) + 3, n - 3);
    return QString::fromUtf8(reinterpret_cast<const char *>(s), n);
  }
  static const Unit *Find(const Unit *s, const Unit *end, Unit c) {
    const void *at = std::memchr(s, c, size_t(end - s));
    return at ? static_cast<const Unit *>(at) : end;
  }
};
struct TWindows1252Units : TUtf8Units {
  static QString Make(const Unit *s, qsizetype n) {
    QString text(n, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < n; ++i)
      d[i] = Windows1252ToUnicode(s[i]);
    return text;
  }
};

// Collapses adjacent quote pairs scanning from the end: where a unit and the one before it are both
// quotes one is dropped, the count falls by two and the scan goes on two units further; it stops when the
// count reaches zero or the start is reached.
QString CollapseQuotes(const QString &v, int quotes) {
  const qsizetype n = v.size();
  QString out(n, Qt::Uninitialized);
  const QChar *s = v.constData();
  QChar *d = out.data();
  qsizetype w = n, i = n - 1;
  while (i >= 0) {
    if (quotes <= 0) {
      w -= i + 1;
      std::memcpy(static_cast<void *>(d + w), s, size_t(i + 1) * sizeof(QChar));
      break;
    }
    if (i > 0 && s[i] == u'"' && s[i - 1] == u'"') {
      d[--w] = u'"';
      i -= 2;
      quotes -= 2;
    } else {
      d[--w] = s[i--];
    }
  }
  return out.mid(w);
}

bool DecodeReference(QStringView name, QChar &c) {
  if (name.startsWith(u'#')) {
    int code;
    if (!KnotStrToInt(name.mid(1), code) || code < 0 || code > 0xFFFF)
      return false;
    c = QChar(char16_t(code));
    return true;
  }
  if (name == u"quot")
    c = u'"';
  else if (name == u"lt")
    c = u'<';
  else if (name == u"gt")
    c = u'>';
  else if (name == u"amp")
    c = u'&';
  else
    return false;
  return true;
}

// Replaces recognised references; an unrecognised one stays and the search goes on one character after
// its "&", a replaced one after its ";" (so "&amp;lt;" gives "&lt;").
QString DecodeReferences(const QString &v) {
  QString out;
  const qsizetype n = v.size();
  qsizetype copied = 0, semicolon = -1;
  for (qsizetype amp = v.indexOf(u'&'); amp >= 0; amp = v.indexOf(u'&', amp + 1)) {
    if (semicolon <= amp)
      semicolon = v.indexOf(u';', amp + 1);
    if (semicolon < 0)
      break;
    QChar c;
    if (semicolon == amp + 1 || !DecodeReference(QStringView(v).mid(amp + 1, semicolon - amp - 1), c))
      continue;
    if (out.isEmpty())
      out.reserve(n);
    out.append(QStringView(v).mid(copied, amp - copied));
    out.append(c);
    copied = semicolon + 1;
    amp = semicolon;
  }
  if (copied == 0)
    return v;
  out.append(QStringView(v).mid(copied));
  return out;
}

}  // namespace

struct TKnotReader {
  template <class Traits> static void Parse(TKnot &root, const typename Traits::Unit *text, qsizetype count);
};

namespace {

template <class Traits> class TParser {
  using Unit = typename Traits::Unit;

public:
  TParser(const Unit *text, qsizetype count, bool raw)
      : p(text), end(text + count), FRaw(raw), FSlots(count < 4096 ? 16 : 256) {}

  // Answers whether the text was whole.
  bool Document(TKnot &root);

private:
  struct TOpen {
    TKnot *Knot;
    const Unit *Name;
    qsizetype NameLength;
  };
  enum TStart { stDone, stContent };

  void SkipSpace() {
    while (p < end && Is(*p, ucSpace))
      ++p;
  }
  const Unit *SkipSpace(const Unit *q) const {
    while (q < end && Is(*q, ucSpace))
      ++q;
    return q;
  }
  TStart StartTag(TOpen &open);
  void ReadValue(TKnotParam &param);
  const QString &Intern(const Unit *s, qsizetype n);

  const Unit *p;
  const Unit *const end;
  const bool FRaw;
  bool FWhole = true;

  // Names repeat all over a file: the last name seen in each hash slot (a power of two of them, fewer for
  // short texts) is shared instead of being decoded and allocated again.
  struct TSlot {
    Unit Units[24];
    qsizetype Length = -1;
    QString Name;
  };
  std::vector<TSlot> FSlots;
};

template <class Traits> const QString &TParser<Traits>::Intern(const Unit *s, qsizetype n) {
  static thread_local QString scratch;
  if (n > qsizetype(std::size(TSlot{}.Units))) {
    scratch = Traits::Make(s, n);
    return scratch;
  }
  uint32_t h = 2166136261u;
  for (qsizetype i = 0; i < n; ++i)
    h = (h ^ s[i]) * 16777619u;
  TSlot &slot = FSlots[(h ^ (h >> 8)) & (FSlots.size() - 1)];
  if (slot.Length == n && std::memcmp(slot.Units, s, size_t(n) * sizeof(Unit)) == 0)
    return slot.Name;
  std::memcpy(slot.Units, s, size_t(n) * sizeof(Unit));
  slot.Length = n;
  slot.Name = Traits::Make(s, n);
  return slot.Name;
}

template <class Traits> void TParser<Traits>::ReadValue(TKnotParam &param) {
  const Unit *start = p;
  int quotes = 0;
  bool amp = false;
  while (p < end) {
    Unit c = *p;
    if (c == '"') {
      // Inside quotes only the closing quote matters: jump to it.
      ++quotes;
      const Unit *close = Traits::Find(p + 1, end, Unit('"'));
      if (!amp && Traits::Find(p + 1, close, Unit('&')) != close)
        amp = true;
      if (close == end) {
        p = end;
        FWhole = false;
        return;
      }
      ++quotes;
      p = close + 1;
      continue;
    }
    if (c == '&')
      amp = true;
    else if (Is(c, ucValueEnd))
      break;
    ++p;
  }
  qsizetype n = p - start;
  if (n == 0)
    return;
  const Unit *s = start;
  if (n >= 2 && s[0] == '"' && s[n - 1] == '"') {
    ++s;
    n -= 2;
    quotes -= 2;
  }
  QString value = Traits::Make(s, n);
  if (quotes > 0)
    value = CollapseQuotes(value, quotes);
  if (amp && !FRaw)
    value = DecodeReferences(value);
  param.SetText(value);
}

template <class Traits> typename TParser<Traits>::TStart TParser<Traits>::StartTag(TOpen &open) {
  bool named = false;
  for (;;) {
    ++p;
    SkipSpace();
    if (p >= end) {
      FWhole = false;
      return stDone;
    }
    if (*p == '<') {
      FWhole = false;
      return stContent;
    }
    const Unit *name = p;
    while (p < end && !Is(*p, ucNameEnd))
      ++p;
    if (!named) {
      if (p == name) {
        FWhole = false;
      } else {
        open.Knot->SetName(Intern(name, p - name));
        open.Name = name;
        open.NameLength = p - name;
        named = true;
      }
    } else if (p > name) {
      TKnotParam *param = open.Knot->AddParam(Intern(name, p - name));
      if (p < end && *p == '=') {
        ++p;
        ReadValue(*param);
      }
    }
    if (p >= end) {
      FWhole = false;
      return stDone;
    }
    if (*p == '/') {
      ++p;
      SkipSpace();
      if (p >= end) {
        FWhole = false;
        return stDone;
      }
      if (*p == '>') {
        ++p;
        return stDone;
      }
      FWhole = false;
      if (*p == '<')
        return stDone;
      continue;
    }
    if (*p == '>') {
      ++p;
      return stContent;
    }
  }
}

template <class Traits> bool TParser<Traits>::Document(TKnot &root) {
  if (p >= end)
    return false;
  SkipSpace();
  if (p >= end || *p != '<')
    return false;
  const Unit *q = SkipSpace(p + 1);
  if (q < end && *q == '?') {
    q = Traits::Find(q, end, Unit('?'));
    if (q < end)
      q = Traits::Find(q, end, Unit('>'));
    if (q < end)
      q = Traits::Find(q, end, Unit('<'));
    if (q >= end)
      return false;
    p = q;
  }

  std::vector<TOpen> stack;
  TOpen top{&root, nullptr, 0};
  if (StartTag(top) == stContent)
    stack.push_back(top);
  while (!stack.empty()) {
    SkipSpace();
    if (p >= end) {
      FWhole = false;
      stack.pop_back();
      continue;
    }
    if (*p != '<') {
      FWhole = false;
      p = Traits::Find(p, end, Unit('<'));
      if (p >= end) {
        stack.pop_back();
        continue;
      }
    }
    const TOpen &open = stack.back();
    q = SkipSpace(p + 1);
    if (q < end && *q == '/') {
      const Unit *r = SkipSpace(q + 1);
      const qsizetype n = open.NameLength;
      if (end - r > n && (n == 0 || std::memcmp(r, open.Name, size_t(n) * sizeof(Unit)) == 0) && r[n] == '>') {
        p = Traits::Find(r + n + 1, end, Unit('<'));
        stack.pop_back();
        continue;
      }
      FWhole = false;
    }
    if (stack.size() >= size_t(KnotMaxDepth)) {
      FWhole = false;
      p = end;
      continue;
    }
    TOpen child{open.Knot->AddChild(QString()), nullptr, 0};
    if (StartTag(child) == stContent)
      stack.push_back(child);
  }
  SkipSpace();
  return FWhole && p >= end;
}

}  // namespace

template <class Traits> void TKnotReader::Parse(TKnot &root, const typename Traits::Unit *text, qsizetype count) {
  root.Clear();
  TParser<Traits> parser(text, count, root.Options() & koRawValues);
  if (!parser.Document(root))
    root.FState |= ksParseError;
}

void TKnot::ParseText(const QChar *characters, qsizetype count) {
  TKnotReader::Parse<TUtf16Units>(*this, reinterpret_cast<const char16_t *>(characters), count);
}

void TKnot::LoadFromBytes(QByteArrayView bytes) {
  const uint8_t *s = reinterpret_cast<const uint8_t *>(bytes.data());
  const qsizetype n = bytes.size();
  if (n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF) {
    TKnotReader::Parse<TUtf8Units>(*this, s + 3, n - 3);
  } else if (n >= 2 && ((s[0] == 0xFF && s[1] == 0xFE) || (s[0] == 0xFE && s[1] == 0xFF))) {
    QStringDecoder decoder(s[0] == 0xFF ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    const QString text = decoder.decode(bytes.sliced(2));
    ParseString(text);
  } else if (IsValidUtf8(bytes)) {
    TKnotReader::Parse<TUtf8Units>(*this, s, n);
  } else {
    TKnotReader::Parse<TWindows1252Units>(*this, s, n);
  }
}

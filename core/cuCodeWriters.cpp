#include "cuCodeWriters.h"

#include "cuKnot.h"

#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Writing knot K with effective options O:
//  1. the switches are saved; indentation is on unless O has koNoIndent, line breaks unless koNoLineBreaks;
//  2. "<name params/>" without children, else "<name params>", a line break, the children one level
//     deeper (empty ones left out under koSkipEmptyChildren), and "</name>"; never a space before ">";
//  3. after K, when it has an owner, a line break unless its next sibling has koSameLine;
//  4. the switches are restored.
// Parameters: " name" without value, else " name=" and the value, in double quotes unless O has
// koBareValues and the value needs none. XML style turns characters 1 to 31 and lone surrogates into
// "&#N;" and escapes the quote, "&", "<" and ">"; it needs quotes for a space. Raw style (koRawValues)
// only doubles quotes and turns a lone surrogate into U+FFFD, the one character it cannot carry; it needs
// quotes for space, TAB, CR, LF, quote, "/" and ">". Binary values are upper-case hexadecimal digits.

namespace {

enum : uint8_t { ecXml = 1, ecRaw = 2, eqXml = 4, eqRaw = 8 };
struct TEscapeTable {
  uint8_t Class[128] = {};
  constexpr TEscapeTable() {
    for (int c = 1; c < 32; ++c)
      Class[c] |= ecXml;
    for (char c : {'"', '&', '<', '>'})
      Class[uint8_t(c)] |= ecXml;
    Class[uint8_t('"')] |= ecRaw;
    Class[uint8_t(' ')] |= eqXml;
    for (char c : {' ', '\t', '\r', '\n', '"', '/', '>'})
      Class[uint8_t(c)] |= eqRaw;
  }
};
constexpr TEscapeTable Escapes;

bool IsHigh(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c < 0xE000; }
bool IsSurrogate(char16_t c) { return c >= 0xD800 && c < 0xE000; }

bool NeedsQuotes(QStringView v, bool raw) {
  const uint8_t bit = raw ? eqRaw : eqXml;
  for (QChar c : v)
    if (c.unicode() < 128 && (Escapes.Class[c.unicode()] & bit))
      return true;
  return false;
}

// The XML reference of a character ("&quot;", "&#9;", ...) into `out`; answers its length.
int XmlReference(char16_t c, char *out) {
  const char *named = c == u'"' ? "&quot;" : c == u'&' ? "&amp;" : c == u'<' ? "&lt;" : c == u'>' ? "&gt;" : nullptr;
  if (named) {
    int n = int(std::strlen(named));
    std::memcpy(out, named, size_t(n));
    return n;
  }
  char digits[8];
  int k = 0;
  for (unsigned v = c; v; v /= 10)
    digits[k++] = char('0' + v % 10);
  int n = 0;
  out[n++] = '&';
  out[n++] = '#';
  while (k)
    out[n++] = digits[--k];
  out[n++] = ';';
  return n;
}

enum TPlainSet { psNames, psRaw, psXml };

// Length of the run from `s` that needs neither escaping nor encoding: ASCII without the characters the
// set escapes (none for names, the quote in raw style, the quote, "&", "<", ">" and controls 1 to 31 in XML
// style). With `out` the run is also stored there as bytes; `out` must have room for max(n, 8) bytes,
// since eight units are handled at a time where the processor allows.
#if defined(__SSE2__)
// All ones in the 16-bit lanes of `x` that hold a unit of the plain set.
template <TPlainSet set> inline __m128i PlainLanes(__m128i x) {
  const __m128i zero = _mm_setzero_si128();
  __m128i plain = _mm_cmpeq_epi16(_mm_and_si128(x, _mm_set1_epi16(short(0xFF80))), zero);
  if (set == psNames)
    return plain;
  __m128i special = _mm_cmpeq_epi16(x, _mm_set1_epi16('"'));
  if (set == psXml) {
    special = _mm_or_si128(special, _mm_cmpeq_epi16(x, _mm_set1_epi16('&')));
    special = _mm_or_si128(special, _mm_cmpeq_epi16(x, _mm_set1_epi16('<')));
    special = _mm_or_si128(special, _mm_cmpeq_epi16(x, _mm_set1_epi16('>')));
    // Controls 1 to 31; the character 0 stays as it is.
    special = _mm_or_si128(special,
                           _mm_andnot_si128(_mm_cmpeq_epi16(x, zero), _mm_cmplt_epi16(x, _mm_set1_epi16(0x20))));
  }
  return _mm_andnot_si128(special, plain);
}
#endif

// Length of the run from `s` that needs neither escaping nor encoding: ASCII without the characters the
// set escapes (none for names, the quote in raw style, the quote, "&", "<", ">" and controls 1 to 31 in XML
// style). With `out` the run is also stored there as bytes; `out` must have room for n bytes. Sixteen
// units are looked at a time where the processor allows.
template <TPlainSet set> qsizetype PlainAsciiRun(const char16_t *s, qsizetype n, char *out = nullptr) {
  qsizetype i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i + 8));
    if (out)
      _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(a, b));
    const __m128i plain = _mm_packs_epi16(PlainLanes<set>(a), PlainLanes<set>(b));
    const int mask = _mm_movemask_epi8(plain);
    if (mask != 0xFFFF)
      return i + __builtin_ctz(~unsigned(mask));
  }
#endif
  constexpr uint8_t bit = set == psXml ? ecXml : set == psRaw ? ecRaw : 0;
  for (; i < n && s[i] < 128 && !(Escapes.Class[s[i]] & bit); ++i)
    if (out)
      out[i] = char(s[i]);
  return i;
}

qsizetype PlainValueRun(const char16_t *s, qsizetype n, bool raw, char *out = nullptr) {
  return raw ? PlainAsciiRun<psRaw>(s, n, out) : PlainAsciiRun<psXml>(s, n, out);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TUtf16Text

void TUtf16Text::AppendText(QStringView text) {
  const qsizetype start = FText.size();
  FText.append(text);
  char16_t *d = reinterpret_cast<char16_t *>(FText.data()) + start;
  for (qsizetype i = 0, n = text.size(); i < n; ++i) {
    if (!IsSurrogate(d[i]))
      continue;
    if (IsHigh(d[i]) && i + 1 < n && IsLow(d[i + 1]))
      ++i;
    else
      d[i] = 0xFFFD;
  }
}

void TUtf16Text::AppendValue(QStringView v, bool raw) {
  const char16_t *s = v.utf16();
  const qsizetype n = v.size();
  qsizetype i = 0;
  while (i < n) {
    qsizetype run = PlainValueRun(s + i, n - i, raw);
    // Characters from U+0080 on are copied as they are unless they are lone surrogates.
    while (i + run < n && s[i + run] >= 128 && !IsSurrogate(s[i + run])) {
      ++run;
      run += PlainValueRun(s + i + run, n - i - run, raw);
    }
    FText.append(QStringView(s + i, run));
    i += run;
    if (i >= n)
      break;
    const char16_t c = s[i];
    if (IsHigh(c) && i + 1 < n && IsLow(s[i + 1])) {
      FText.append(QStringView(s + i, 2));
      i += 2;
      continue;
    }
    if (raw) {
      FText.append(c == u'"' ? QStringView(u"\"\"") : QStringView(u"\uFFFD"));
    } else {
      char reference[12];
      FText.append(QLatin1StringView(reference, XmlReference(c, reference)));
    }
    ++i;
  }
}

void TUtf16Text::AppendHex(const QByteArray &bytes) {
  static const char16_t digits[] = u"0123456789ABCDEF";
  const qsizetype at = FText.size();
  FText.resize(at + 2 * bytes.size());
  char16_t *d = reinterpret_cast<char16_t *>(FText.data()) + at;
  for (char b : bytes) {
    *d++ = digits[uint8_t(b) >> 4];
    *d++ = digits[uint8_t(b) & 15];
  }
}

// ---------------------------------------------------------------------------------------------------------
// TUtf8Text

namespace {

// Encodes one code point; answers the end of the bytes written.
char *EncodeUtf8(uint32_t cp, char *d) {
  if (cp < 0x80) {
    *d++ = char(cp);
  } else if (cp < 0x800) {
    *d++ = char(0xC0 | cp >> 6);
    *d++ = char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *d++ = char(0xE0 | cp >> 12);
    *d++ = char(0x80 | ((cp >> 6) & 0x3F));
    *d++ = char(0x80 | (cp & 0x3F));
  } else {
    *d++ = char(0xF0 | cp >> 18);
    *d++ = char(0x80 | ((cp >> 12) & 0x3F));
    *d++ = char(0x80 | ((cp >> 6) & 0x3F));
    *d++ = char(0x80 | (cp & 0x3F));
  }
  return d;
}

}  // namespace

void TUtf8Text::AppendText(QStringView text) {
  const char16_t *s = text.utf16();
  const qsizetype n = text.size();
  char *d = Room(3 * n);
  for (qsizetype i = 0; i < n; ++i) {
    const qsizetype run = PlainAsciiRun<psNames>(s + i, n - i, d);
    d += run;
    i += run;
    if (i >= n)
      break;
    char16_t c = s[i];
    if (!IsSurrogate(c)) {
      d = EncodeUtf8(c, d);
    } else if (IsHigh(c) && i + 1 < n && IsLow(s[i + 1])) {
      d = EncodeUtf8(0x10000 + ((uint32_t(c) - 0xD800) << 10) + (s[i + 1] - 0xDC00), d);
      ++i;
    } else {
      d = EncodeUtf8(0xFFFD, d);
    }
  }
  FSize = d - FBytes.data();
}

void TUtf8Text::AppendValue(QStringView v, bool raw) {
  const char16_t *s = v.utf16();
  const qsizetype n = v.size();
  // At most eight bytes per unit ("&#56320;" for a lone surrogate).
  char *d = Room(8 * n);
  qsizetype i = 0;
  while (i < n) {
    const qsizetype run = PlainValueRun(s + i, n - i, raw, d);
    d += run;
    i += run;
    if (i >= n)
      break;
    const char16_t c = s[i];
    if (c >= 128 && !IsSurrogate(c)) {
      d = EncodeUtf8(c, d);
    } else if (IsHigh(c) && i + 1 < n && IsLow(s[i + 1])) {
      d = EncodeUtf8(0x10000 + ((uint32_t(c) - 0xD800) << 10) + (s[i + 1] - 0xDC00), d);
      ++i;
    } else if (raw) {
      if (c == u'"') {
        *d++ = '"';
        *d++ = '"';
      } else {
        d = EncodeUtf8(0xFFFD, d);
      }
    } else {
      d += XmlReference(c, d);
    }
    ++i;
  }
  FSize = d - FBytes.data();
}

void TUtf8Text::AppendHex(const QByteArray &bytes) {
  static const char digits[] = "0123456789ABCDEF";
  char *d = Room(2 * bytes.size());
  for (char b : bytes) {
    *d++ = digits[uint8_t(b) >> 4];
    *d++ = digits[uint8_t(b) & 15];
  }
  FSize = d - FBytes.data();
}

// ---------------------------------------------------------------------------------------------------------
// The knot writer

namespace {

template <class Sink> void WriteParams(Sink &out, const TKnot &k, uint16_t options) {
  const bool raw = options & koRawValues, bare = options & koBareValues;
  for (const TKnotParam *p = k.FirstParam(); p; p = p->Next()) {
    out.AppendAscii(" ", 1);
    out.AppendText(p->Name());
    switch (p->Kind()) {
      case pkNone:
        break;
      case pkText: {
        const QString &text = p->Text();
        const bool quoted = !bare || NeedsQuotes(text, raw);
        out.AppendAscii("=\"", quoted ? 2 : 1);
        out.AppendValue(text, raw);
        if (quoted)
          out.AppendAscii("\"", 1);
        break;
      }
      case pkBinary:
      case pkBinaryRef:
        out.AppendAscii("=\"", bare ? 1 : 2);
        out.AppendHex(p->Bytes());
        if (!bare)
          out.AppendAscii("\"", 1);
        break;
    }
  }
}

// The walk keeps its own stack, so any depth is safe.
template <class Sink> auto WriteKnot(const TKnot &root, TCodeWriter<Sink> &w) {
  struct TFrame {
    const TKnot *Knot;
    const TKnot *NextChild;
    bool Indentation, LineBreaks;
  };
  std::vector<TFrame> stack;

  auto finish = [&](const TKnot *k, bool indentation, bool lineBreaks) {
    if (k->OwnerKnot()) {
      const TKnot *next = k->NextKnot();
      if (!next || !(next->Options() & koSameLine))
        w.LineBreak();
    }
    w.Indentation = indentation;
    w.LineBreaks = lineBreaks;
  };
  auto enter = [&](const TKnot *k) {
    const uint16_t o = k->Options();
    const bool indentation = w.Indentation, lineBreaks = w.LineBreaks;
    w.Indentation = !(o & koNoIndent);
    w.LineBreaks = !(o & koNoLineBreaks);
    Sink &out = w.Out();
    out.AppendAscii("<", 1);
    out.AppendText(k->Name());
    WriteParams(out, *k, o);
    if (const TKnot *child = k->FirstKnot()) {
      out.AppendAscii(">", 1);
      w.LineBreak();
      ++w.Level;
      stack.push_back({k, child, indentation, lineBreaks});
    } else {
      out.AppendAscii("/>", 2);
      finish(k, indentation, lineBreaks);
    }
  };

  enter(&root);
  while (!stack.empty()) {
    TFrame &f = stack.back();
    const bool skipEmpty = f.Knot->Options() & koSkipEmptyChildren;
    const TKnot *child = f.NextChild;
    while (child && skipEmpty && child->IsEmpty())
      child = child->NextKnot();
    if (child) {
      f.NextChild = child->NextKnot();
      enter(child);
      continue;
    }
    const TFrame done = f;
    stack.pop_back();
    --w.Level;
    Sink &out = w.Out();
    out.AppendAscii("</", 2);
    out.AppendText(done.Knot->Name());
    out.AppendAscii(">", 1);
    finish(done.Knot, done.Indentation, done.LineBreaks);
  }
  return w.TakeText();
}

}  // namespace

QString KnotText(const TKnot &knot) {
  TCodeWriter<TUtf16Text> w;
  return WriteKnot(knot, w);
}

QByteArray KnotUtf8(const TKnot &knot, bool byteOrderMark) {
  TCodeWriter<TUtf8Text> w;
  if (byteOrderMark)
    w.RawSink().AppendAscii("\xEF\xBB\xBF", 3);
  QByteArray bytes = WriteKnot(knot, w);
  bytes.squeeze();
  return bytes;
}

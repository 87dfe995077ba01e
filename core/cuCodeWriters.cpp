#include "cuCodeWriters.h"

#include "cuKnot.h"

#include <vector>

namespace {

// Characters the value escaping looks at: bit 1 in XML style, bit 2 in raw style; bit 4 and 8 mark the
// characters that need quotes in XML and in raw style.
enum : uint8_t { ecXml = 1, ecRaw = 2, eqXml = 4, eqRaw = 8 };
struct TEscapeTable {
  uint8_t Class[256] = {};
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

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// Index of the first character that escaping changes (lone surrogates included) at or after `from`, or
// the length; `needsQuotes` collects the quote rule over the characters passed.
qsizetype ScanValue(QStringView v, qsizetype from, uint8_t escapeBit, uint8_t quoteBit, bool &needsQuotes) {
  const char16_t *s = v.utf16();
  const qsizetype n = v.size();
  for (qsizetype i = from; i < n; ++i) {
    char16_t c = s[i];
    if (c < 256) {
      uint8_t k = Escapes.Class[c];
      if (k & quoteBit)
        needsQuotes = true;
      if (k & escapeBit)
        return i;
    } else if (c >= 0xD800 && c < 0xE000) {
      if (IsHighSurrogate(c) && i + 1 < n && IsLowSurrogate(s[i + 1]))
        ++i;
      else
        return i;
    }
  }
  return n;
}

// Appends the escaped value to `out`; answers whether it needs quotes.
bool AppendEscaped(QString &out, QStringView v, bool raw) {
  const uint8_t escapeBit = raw ? ecRaw : ecXml, quoteBit = raw ? eqRaw : eqXml;
  bool needsQuotes = false;
  qsizetype done = 0;
  for (;;) {
    qsizetype at = ScanValue(v, done, escapeBit, quoteBit, needsQuotes);
    out.append(v.mid(done, at - done));
    if (at == v.size())
      return needsQuotes;
    char16_t c = v[at].unicode();
    if (raw) {
      out.append(c == u'"' ? QStringView(u"\"\"") : QStringView(u"\uFFFD"));
    } else {
      switch (c) {
        case u'"': out.append(u"&quot;"); break;
        case u'&': out.append(u"&amp;"); break;
        case u'<': out.append(u"&lt;"); break;
        case u'>': out.append(u"&gt;"); break;
        default:  // controls 1 to 31 and lone surrogates
          out.append(u"&#");
          out.append(QString::number(int(c)));
          out.append(u';');
      }
    }
    done = at + 1;
  }
}

void AppendHex(QString &out, const QByteArray &bytes) {
  static const char16_t digits[] = u"0123456789ABCDEF";
  qsizetype at = out.size();
  out.resize(at + 2 * bytes.size());
  char16_t *d = reinterpret_cast<char16_t *>(out.data()) + at;
  for (char b : bytes) {
    *d++ = digits[uint8_t(b) >> 4];
    *d++ = digits[uint8_t(b) & 15];
  }
}

void WriteParams(TCodeWriter &w, const TKnot &k, uint16_t options) {
  const bool raw = options & koRawValues, bare = options & koBareValues;
  QString &out = w.Buffer();
  QString scratch;
  for (const TKnotParam *p = k.FirstParam(); p; p = p->Next()) {
    out.append(u' ');
    out.append(p->Name());
    switch (p->Kind()) {
      case pkNone:
        break;
      case pkText: {
        out.append(u'=');
        // Escape into the output after a placeholder quote, which is dropped again for a bare value.
        qsizetype quoteAt = out.size();
        out.append(u'"');
        bool needsQuotes = AppendEscaped(out, p->Text(), raw);
        if (needsQuotes || !bare)
          out.append(u'"');
        else
          out.remove(quoteAt, 1);
        break;
      }
      case pkBinary:
      case pkBinaryRef:
        out.append(bare ? QStringView(u"=") : QStringView(u"=\""));
        AppendHex(out, p->Bytes());
        if (!bare)
          out.append(u'"');
        break;
    }
  }
}

struct TFrame {
  const TKnot *Knot;
  const TKnot *NextChild;
  bool Indentation, LineBreaks;
};

}  // namespace

// Writing knot K with effective options O:
//  1. the switches are saved; indentation is on unless O has koNoIndent, line breaks unless koNoLineBreaks;
//  2. "<name params/>" without children, else "<name params>", a line break, the children one level
//     deeper (empty ones left out under koSkipEmptyChildren), and "</name>"; never a space before the ">";
//  3. after K, when it has an owner, a line break unless its next sibling has koSameLine;
//  4. the switches are restored.
// Values: XML style turns characters 1 to 31 and lone surrogates into "&#N;" and escapes the quote, "&",
// "<" and ">"; it needs quotes for a space. Raw style (koRawValues) only doubles quotes and turns a lone
// surrogate into U+FFFD, the one character it cannot carry; it needs quotes for space, TAB, CR, LF, quote,
// "/" and ">". Values that need none are bare under koBareValues. Binary values are hexadecimal digits.
// The walk keeps its own stack, so any depth is safe.
QString KnotText(const TKnot &root) {
  TCodeWriter w;
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
    w.Append(u'<');
    w.Buffer().append(k->Name());
    WriteParams(w, *k, o);
    if (const TKnot *child = k->FirstKnot()) {
      w.Buffer().append(u'>');
      w.LineBreak();
      ++w.Level;
      stack.push_back({k, child, indentation, lineBreaks});
    } else {
      w.Buffer().append(u"/>");
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
    w.Append(QLatin1StringView("</"));
    w.Buffer().append(done.Knot->Name());
    w.Buffer().append(u'>');
    finish(done.Knot, done.Indentation, done.LineBreaks);
  }
  return w.TakeText();
}

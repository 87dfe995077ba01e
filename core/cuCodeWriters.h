// Line-oriented text writers: a text built line by line with a nesting level, and the knot writer on top.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <cstring>

class TKnot;

// A text of lines held in `Sink` (TUtf16Text or TUtf8Text). Appending goes to the last line; appending to
// an empty line at a level above 0 with indentation on writes one TAB per level first. A line break starts
// a new empty line while line breaks are on. TakeText() ends every line, the last one included, with
// CR LF.
template <class Sink> class TCodeWriter {
public:
  int Level = 0;
  bool Indentation = true;
  bool LineBreaks = true;

  // Call before appending to the line through Out().
  Sink &Out() {
    if (FLineEmpty) {
      FLineEmpty = false;
      if (Indentation && Level > 0)
        FSink.AppendRepeated('\t', Level);
    }
    return FSink;
  }
  void LineBreak() {
    if (!LineBreaks)
      return;
    FSink.AppendAscii("\r\n", 2);
    FLineEmpty = true;
  }
  auto TakeText() {
    FSink.AppendAscii("\r\n", 2);
    FLineEmpty = true;
    return FSink.Take();
  }
  Sink &RawSink() { return FSink; }

private:
  Sink FSink;
  bool FLineEmpty = true;
};

// A growing UTF-16 text.
class TUtf16Text {
public:
  void AppendAscii(const char *s, qsizetype n) { FText.append(QLatin1StringView(s, n)); }
  void AppendRepeated(char c, qsizetype n) { FText.append(QString(n, QLatin1Char(c))); }
  // Appends the text; a lone surrogate becomes U+FFFD (used for names, which are never escaped).
  void AppendText(QStringView text);
  // Appends a value in XML style (raw == false) or raw style (see KnotText).
  void AppendValue(QStringView value, bool raw);
  void AppendHex(const QByteArray &bytes);
  QString Take() { return std::move(FText); }

private:
  QString FText;
};

// A growing UTF-8 text, encoded as it is written.
class TUtf8Text {
public:
  void AppendAscii(const char *s, qsizetype n) {
    char *d = Room(n);
    std::memcpy(d, s, size_t(n));
    FSize += n;
  }
  void AppendRepeated(char c, qsizetype n) {
    char *d = Room(n);
    std::memset(d, c, size_t(n));
    FSize += n;
  }
  void AppendText(QStringView text);
  void AppendValue(QStringView value, bool raw);
  void AppendHex(const QByteArray &bytes);
  QByteArray Take() {
    FBytes.resize(FSize);
    FSize = 0;
    return std::move(FBytes);
  }

private:
  // Room for n more bytes at the end; answers where they go.
  char *Room(qsizetype n) {
    if (FSize + n > FBytes.size())
      FBytes.resize(std::max<qsizetype>(FSize + n, 2 * FBytes.size() + 4096));
    return FBytes.data() + FSize;
  }
  QByteArray FBytes;  // its size is the capacity; FSize bytes are written
  qsizetype FSize = 0;
};

// The knot and its subtree as text (the rules are in cuCodeWriters.cpp).
QString KnotText(const TKnot &knot);
// The same text encoded as UTF-8, after the byte order mark when `byteOrderMark` is set.
QByteArray KnotUtf8(const TKnot &knot, bool byteOrderMark);

// Line-oriented text writers: a text built line by line with a nesting level, and the knot writer on top.
#pragma once

#include <QString>
#include <QStringView>

class TKnot;

// A text of lines. Appending goes to the last line; appending to an empty line at a level above 0 with
// indentation on writes one TAB per level first. A line break starts a new empty line while line breaks
// are on. Text() ends every line, the last one included, with CR LF.
class TCodeWriter {
public:
  int Level = 0;
  bool Indentation = true;
  bool LineBreaks = true;

  void Reserve(qsizetype characters) { FText.reserve(characters); }
  void Append(QStringView text) {
    if (text.isEmpty())
      return;
    BeginAppend();
    FText.append(text);
  }
  void Append(QLatin1StringView text) {
    BeginAppend();
    FText.append(text);
  }
  void Append(QChar c) {
    BeginAppend();
    FText.append(c);
  }
  void LineBreak() {
    if (!LineBreaks)
      return;
    FText.append(u"\r\n");
    FLineEmpty = true;
  }
  // The raw buffer of the last line; text appended through it is not indented (call BeginAppend first).
  QString &Buffer() { return FText; }
  void BeginAppend() {
    if (FLineEmpty) {
      FLineEmpty = false;
      if (Indentation && Level > 0)
        FText.append(QString(Level, u'\t'));
    }
  }
  // Ends the last line and hands the text over; the writer is empty afterwards.
  QString TakeText() {
    FText.append(u"\r\n");
    FLineEmpty = true;
    return std::move(FText);
  }

private:
  QString FText;
  bool FLineEmpty = true;
};

// Writes `knot` and its subtree in the knot text form (see cuKnot.cpp for the rules).
QString KnotText(const TKnot &knot);

// The process-wide lookup of interface texts by string id, in the current interface language.
//
// Each language has one string table, shipped as the resource ":/lang/<code>.txt" (core/lang/<code>.txt):
// UTF-8 text, one entry per line, the decimal string id, a TAB and the text. Empty lines and lines
// starting with "#" are ignored, a CR before the line end is dropped, and inside a text "\n", "\r", "\t"
// and "\\" stand for a line break, a carriage return, a TAB and a backslash; every other character,
// no-break spaces included, is taken as it is. A table is read the first time a text of its language is
// asked for.
#pragma once

#include "cuClasses.h"
#include "cuStrings.h"

#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// A language by its 16-bit language identifier (1033 English, 1031 German, ...); 0 means none.
using TLanguageId = quint16;
using TStringTable = QHash<int, QString>;

constexpr TLanguageId langEnglish = 1033;

// Parses the text of one string table. Lines that cannot be read are skipped and described in `errors`
// (when given), one English text per line ("line 7: no TAB after the id"); a repeated id keeps its first text.
TStringTable ParseStringTable(const QByteArray &utf8, QStringList *errors = nullptr);

// The first "%k" of `text` replaced by the k-th argument, for k = 1, 2, ... in that order, so that an
// argument containing "%2" can be hit by the next step; a placeholder without argument stays.
QString SubstitutePlaceholders(QString text, const QStringList &arguments);

class TLocalization : public TItfObject {
public:
  // Sent by SetLanguage and SetFallbackLanguage when the value changed; subscribers reload their texts.
  static constexpr int ncLanguageChanged = 1;

  // The one instance, created on first use (it also registers the tables' resources) and freed at
  // process end. It starts with no current language and English as the fallback, so that texts asked for
  // before the start-up sets the language (and in tools that never set one) are English.
  static TLocalization &Instance();

  TLanguageId Language() const { return FLanguage; }
  TLanguageId FallbackLanguage() const { return FFallbackLanguage; }
  void SetLanguage(TLanguageId language);
  void SetFallbackLanguage(TLanguageId language);
  // Applies a stored language code (the settings' Language): the language of that code, or the fallback
  // language when the code is empty or unknown.
  void SetLanguageCode(const QString &code) { SetLanguage(LanguageCodeToId(code).value_or(FFallbackLanguage)); }

  // The text of `id` in Language(); when that is empty, the text in FallbackLanguage() (unless it is 0
  // or the same language). A missing text is the empty string.
  QString LoadString(int id) const;
  // The text in exactly that language (empty when missing).
  QString LoadStringIn(int id, TLanguageId language) const;
  // LoadString(id) with its placeholders replaced as SubstitutePlaceholders does.
  QString FormatString(int id, const QStringList &arguments) const;

  // The identifier of a language code ("DEU" -> 1031; exact, upper case), or nothing for an unknown code.
  static std::optional<TLanguageId> LanguageCodeToId(const QString &code);
  // The codes of the languages whose table holds their own name (string 2011), in ascending order of
  // language identifier.
  QStringList AvailableLanguages() const;
  // The code a first start chooses: the only available language when there is just one, otherwise the
  // language of the user's locale (QLocale::system()) when it is one of ours, else "ENU".
  QString DefaultLanguageCode() const { return DefaultLanguageCodeFor(QLocale::system()); }
  QString DefaultLanguageCodeFor(const QLocale &locale) const;

private:
  TLocalization();
  const TStringTable &Table(TLanguageId language) const;

  TLanguageId FLanguage = 0;
  TLanguageId FFallbackLanguage = langEnglish;
  mutable QHash<TLanguageId, TStringTable> FTables;
};

inline TLocalization &Localization() { return TLocalization::Instance(); }

// Shorthands for the instance's lookups.
inline QString LoadString(int id) { return Localization().LoadString(id); }
inline QString FormatString(int id, const QStringList &arguments) {
  return Localization().FormatString(id, arguments);
}

#include "cuLocalization.h"

#include <QFile>
#include <QStringDecoder>
#include <QtDebug>

#include <array>

namespace {

struct TLanguageEntry {
  const char *Code;
  TLanguageId Id;
  QLocale::Language Locale;
};

// The interface languages in ascending order of identifier. The code names the language's table and is
// what the settings store; the locale language decides the first start's choice.
constexpr std::array<TLanguageEntry, 11> Languages{{
    {"DEU", 1031, QLocale::German},
    {"ENU", 1033, QLocale::English},
    {"ESP", 1034, QLocale::Spanish},
    {"FRA", 1036, QLocale::French},
    {"ITA", 1040, QLocale::Italian},
    {"JPN", 1041, QLocale::Japanese},
    {"NLD", 1043, QLocale::Dutch},
    {"PLK", 1045, QLocale::Polish},
    {"PTB", 1046, QLocale::Portuguese},
    {"RUS", 1049, QLocale::Russian},
    {"CHS", 2052, QLocale::Chinese},
}};

const TLanguageEntry *EntryOf(TLanguageId id) {
  for (const TLanguageEntry &e : Languages)
    if (e.Id == id)
      return &e;
  return nullptr;
}

// Decodes the escapes of one text; false when it holds an unknown escape or ends in a lone backslash
// (the text then keeps those characters as they are).
bool Unescape(QStringView raw, QString &text) {
  bool ok = true;
  text.clear();
  text.reserve(raw.size());
  for (qsizetype i = 0; i < raw.size(); ++i) {
    const QChar c = raw[i];
    if (c != u'\\') {
      text += c;
      continue;
    }
    const QChar next = i + 1 < raw.size() ? raw[i + 1] : QChar();
    switch (next.unicode()) {
    case 'n': text += u'\n'; break;
    case 'r': text += u'\r'; break;
    case 't': text += u'\t'; break;
    case '\\': text += u'\\'; break;
    default:
      ok = false;
      text += c;
      continue;
    }
    ++i;
  }
  return ok;
}

}  // namespace

TStringTable ParseStringTable(const QByteArray &utf8, QStringList *errors) {
  auto report = [errors](int line, const QString &what) {
    if (errors)
      errors->append(QStringLiteral("line %1: %2").arg(line).arg(what));
  };
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString all = decoder.decode(utf8);
  if (decoder.hasError())
    report(0, QStringLiteral("the text is not valid UTF-8"));

  TStringTable table;
  int lineNumber = 0;
  for (QStringView line : QStringView(all).split(u'\n')) {
    ++lineNumber;
    if (line.endsWith(u'\r'))
      line.chop(1);
    if (line.isEmpty() || line.startsWith(u'#'))
      continue;
    const qsizetype tab = line.indexOf(u'\t');
    if (tab < 0) {
      report(lineNumber, QStringLiteral("no TAB after the id"));
      continue;
    }
    const QStringView digits = line.first(tab);
    bool isNumber = !digits.isEmpty() && digits.size() <= 9;
    for (QChar c : digits)
      isNumber = isNumber && c >= u'0' && c <= u'9';
    if (!isNumber) {
      report(lineNumber, QStringLiteral("the id is not a non-negative decimal number"));
      continue;
    }
    const int id = digits.toInt();
    QString text;
    if (!Unescape(line.sliced(tab + 1), text))
      report(lineNumber, QStringLiteral("unknown escape (only \\n, \\r, \\t and \\\\ exist)"));
    if (table.contains(id)) {
      report(lineNumber, QStringLiteral("id %1 appears again").arg(id));
      continue;
    }
    table.insert(id, text);
  }
  return table;
}

QString SubstitutePlaceholders(QString text, const QStringList &arguments) {
  for (qsizetype k = 1; k <= arguments.size(); ++k) {
    const QString placeholder = QLatin1Char('%') + QString::number(k);
    const qsizetype at = text.indexOf(placeholder);
    if (at >= 0)
      text.replace(at, placeholder.size(), arguments[k - 1]);
  }
  return text;
}

TLocalization::TLocalization() {
  // The tables live in the core library's resources; a static library's resources are linked in only
  // when something refers to them, which this call does.
  Q_INIT_RESOURCE(cuLanguages);
}

TLocalization &TLocalization::Instance() {
  static TLocalization instance;
  return instance;
}

void TLocalization::SetLanguage(TLanguageId language) {
  if (language == FLanguage)
    return;
  FLanguage = language;
  Notify(ncLanguageChanged);
}

void TLocalization::SetFallbackLanguage(TLanguageId language) {
  if (language == FFallbackLanguage)
    return;
  FFallbackLanguage = language;
  Notify(ncLanguageChanged);
}

const TStringTable &TLocalization::Table(TLanguageId language) const {
  auto found = FTables.constFind(language);
  if (found != FTables.cend())
    return *found;
  TStringTable table;
  if (const TLanguageEntry *entry = EntryOf(language)) {
    QFile file(QStringLiteral(":/lang/%1.txt").arg(QLatin1StringView(entry->Code)));
    if (file.open(QIODevice::ReadOnly)) {
      QStringList errors;
      table = ParseStringTable(file.readAll(), &errors);
      for (const QString &e : errors)
        qWarning("string table %s, %s", entry->Code, qPrintable(e));
    }
  }
  return *FTables.insert(language, std::move(table));
}

QString TLocalization::LoadStringIn(int id, TLanguageId language) const {
  return Table(language).value(id);
}

QString TLocalization::LoadString(int id) const {
  QString text = LoadStringIn(id, FLanguage);
  if (text.isEmpty() && FFallbackLanguage != 0 && FFallbackLanguage != FLanguage)
    text = LoadStringIn(id, FFallbackLanguage);
  return text;
}

QString TLocalization::FormatString(int id, const QStringList &arguments) const {
  return SubstitutePlaceholders(LoadString(id), arguments);
}

std::optional<TLanguageId> TLocalization::LanguageCodeToId(const QString &code) {
  for (const TLanguageEntry &e : Languages)
    if (code == QLatin1StringView(e.Code))
      return e.Id;
  return std::nullopt;
}

QStringList TLocalization::AvailableLanguages() const {
  QStringList codes;
  for (const TLanguageEntry &e : Languages)
    if (!LoadStringIn(sidLanguageName, e.Id).isEmpty())
      codes.append(QLatin1StringView(e.Code));
  return codes;
}

QString TLocalization::DefaultLanguageCodeFor(const QLocale &locale) const {
  const QStringList available = AvailableLanguages();
  if (available.size() == 1)
    return available.first();
  for (const TLanguageEntry &e : Languages)
    if (e.Locale == locale.language())
      return QLatin1StringView(e.Code);
  return QStringLiteral("ENU");
}

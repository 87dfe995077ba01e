#include "pfDesktopEntry.h"

#include <QFile>
#include <QUrl>

namespace {

QString Unescape(const QString &raw) {
  QString out;
  out.reserve(raw.size());
  for (qsizetype i = 0; i < raw.size(); ++i) {
    const QChar c = raw[i];
    if (c != QLatin1Char('\\') || i + 1 == raw.size()) {
      out += c;
      continue;
    }
    const QChar next = raw[++i];
    switch (next.unicode()) {
    case 's': out += QLatin1Char(' '); break;
    case 'n': out += QLatin1Char('\n'); break;
    case 't': out += QLatin1Char('\t'); break;
    case 'r': out += QLatin1Char('\r'); break;
    case '\\': out += QLatin1Char('\\'); break;
    default:  // not a string escape (list separators, for one): kept for the caller
      out += c;
      out += next;
    }
  }
  return out;
}

// A target as a file path (%f) or as an address (%u).
QString AsFile(const QString &target) {
  const QUrl url(target);
  return url.isLocalFile() ? url.toLocalFile() : target;
}
QString AsAddress(const QString &target) {
  return target.startsWith(QLatin1Char('/')) ? QString::fromLatin1(QUrl::fromLocalFile(target).toEncoded()) : target;
}

}  // namespace

std::optional<TDesktopEntry> TDesktopEntry::Load(const QString &fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    return std::nullopt;
  return Parse(file.readAll());
}

std::optional<TDesktopEntry> TDesktopEntry::Parse(const QByteArray &text) {
  TDesktopEntry entry;
  bool inGroup = false, seenGroup = false;
  for (const QByteArray &rawLine : text.split('\n')) {
    const QString line = QString::fromUtf8(rawLine).trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
      continue;
    if (line.startsWith(QLatin1Char('['))) {
      if (inGroup)
        break;  // only the first "[Desktop Entry]" group counts
      inGroup = line == QLatin1String("[Desktop Entry]");
      seenGroup = seenGroup || inGroup;
      continue;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (!inGroup || equals <= 0)
      continue;
    const QString key = line.left(equals).trimmed();
    if (!entry.FKeys.contains(key))  // a repeated key is an error in the file; the first one is kept
      entry.FKeys.insert(key, line.mid(equals + 1).trimmed());
  }
  if (!seenGroup)
    return std::nullopt;
  return entry;
}

QString TDesktopEntry::Value(const QString &key) const { return Unescape(FKeys.value(key)); }

QString TDesktopEntry::LocalizedValue(const QString &key, const QStringList &locales) const {
  for (const QString &locale : locales) {
    const QString localized = key + QLatin1Char('[') + locale + QLatin1Char(']');
    if (FKeys.contains(localized))
      return Value(localized);
  }
  return Value(key);
}

QStringList TDesktopEntry::ListValue(const QString &key) const {
  const QString value = Value(key);
  QStringList items;
  QString item;
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] == QLatin1Char('\\') && i + 1 < value.size() && value[i + 1] == QLatin1Char(';')) {
      item += QLatin1Char(';');
      ++i;
    } else if (value[i] == QLatin1Char(';')) {
      if (!item.isEmpty())
        items.append(item);
      item.clear();
    } else {
      item += value[i];
    }
  }
  if (!item.isEmpty())
    items.append(item);
  return items;
}

QStringList DesktopLocales() {
  for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QString value = qEnvironmentVariable(name);
    if (!value.isEmpty())
      return DesktopLocalesOf(value);
  }
  return {};
}

QStringList DesktopLocalesOf(const QString &locale) {
  // lang_COUNTRY.ENCODING@MODIFIER; the encoding plays no part in the lookup.
  QString rest = locale;
  QString modifier;
  const qsizetype at = rest.indexOf(QLatin1Char('@'));
  if (at >= 0) {
    modifier = rest.mid(at + 1);
    rest.truncate(at);
  }
  const qsizetype dot = rest.indexOf(QLatin1Char('.'));
  if (dot >= 0)
    rest.truncate(dot);
  QString language = rest, country;
  const qsizetype underscore = rest.indexOf(QLatin1Char('_'));
  if (underscore >= 0) {
    language = rest.left(underscore);
    country = rest.mid(underscore + 1);
  }
  if (language.isEmpty() || language == QLatin1String("C") || language == QLatin1String("POSIX"))
    return {};
  QStringList locales;
  if (!country.isEmpty() && !modifier.isEmpty())
    locales << language + QLatin1Char('_') + country + QLatin1Char('@') + modifier;
  if (!country.isEmpty())
    locales << language + QLatin1Char('_') + country;
  if (!modifier.isEmpty())
    locales << language + QLatin1Char('@') + modifier;
  locales << language;
  return locales;
}

std::optional<QStringList> SplitCommandLine(const QString &commandLine) {
  QStringList arguments;
  QString current;
  bool inArgument = false, quoted = false;
  for (qsizetype i = 0; i < commandLine.size(); ++i) {
    const QChar c = commandLine[i];
    if (quoted) {
      if (c == QLatin1Char('"')) {
        quoted = false;
      } else if (c == QLatin1Char('\\') && i + 1 < commandLine.size() &&
                 QStringView(u"\"`$\\").contains(commandLine[i + 1])) {
        current += commandLine[++i];
      } else {
        current += c;
      }
    } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
      if (inArgument)
        arguments.append(current);
      current.clear();
      inArgument = false;
    } else if (c == QLatin1Char('"')) {
      quoted = inArgument = true;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (quoted)
    return std::nullopt;
  if (inArgument)
    arguments.append(current);
  if (arguments.isEmpty())
    return std::nullopt;
  return arguments;
}

std::optional<QStringList> ExpandCommandLine(const QString &commandLine, const QStringList &targets) {
  const std::optional<QStringList> split = SplitCommandLine(commandLine);
  if (!split)
    return std::nullopt;
  QStringList argv;
  bool targetsPlaced = false;
  for (const QString &argument : *split) {
    if (argument == QLatin1String("%F") || argument == QLatin1String("%U")) {
      for (const QString &target : targets)
        argv.append(argument == QLatin1String("%F") ? AsFile(target) : AsAddress(target));
      targetsPlaced = true;
      continue;
    }
    QString expanded;
    bool hadCode = false;
    for (qsizetype i = 0; i < argument.size(); ++i) {
      if (argument[i] != QLatin1Char('%') || i + 1 == argument.size()) {
        expanded += argument[i];
        continue;
      }
      const QChar code = argument[++i];
      if (code == QLatin1Char('%')) {
        expanded += QLatin1Char('%');
        continue;
      }
      hadCode = true;
      if (code == QLatin1Char('f') || code == QLatin1Char('F') || code == QLatin1Char('u') || code == QLatin1Char('U')) {
        targetsPlaced = true;
        if (!targets.isEmpty())
          expanded += (code == QLatin1Char('f') || code == QLatin1Char('F')) ? AsFile(targets[0]) : AsAddress(targets[0]);
      }
      // %i, %c, %k and the deprecated codes describe the entry, which a bare command line no longer has.
    }
    if (hadCode && expanded.isEmpty())
      continue;
    argv.append(expanded);
  }
  if (!targetsPlaced)
    argv += targets;
  if (argv.isEmpty())
    return std::nullopt;
  return argv;
}

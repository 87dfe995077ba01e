// Desktop entries (the ".desktop" files through which applications announce themselves) and the command
// lines in their "Exec" key.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class TDesktopEntry {
public:
  // Reads the "[Desktop Entry]" group of the file; none when it cannot be read or has no such group.
  static std::optional<TDesktopEntry> Load(const QString &fileName);
  // Parses the text of a desktop file.
  static std::optional<TDesktopEntry> Parse(const QByteArray &text);

  bool Has(const QString &key) const { return FKeys.contains(key); }
  // A value with the escapes \s \n \t \r \\ resolved; empty when the key is missing.
  QString Value(const QString &key) const;
  // The value of the first of key[locale] for the given locales (most specific first) that exists, else Value(key).
  QString LocalizedValue(const QString &key, const QStringList &locales) const;
  bool BoolValue(const QString &key) const { return Value(key) == QLatin1String("true"); }
  // A list value: items separated by ";" (an escaped "\;" belongs to the item), empty items dropped.
  QStringList ListValue(const QString &key) const;

private:
  QHash<QString, QString> FKeys;  // raw values, keyed by the key with its locale suffix
};

// The locales whose translations a desktop entry should show, most specific first, for the value of
// LC_ALL, LC_MESSAGES or LANG (the first one set): "de_DE.UTF-8@euro" gives de_DE@euro, de_DE, de@euro, de.
QStringList DesktopLocales();
QStringList DesktopLocalesOf(const QString &locale);

// The arguments of an "Exec" command line (its string escapes already resolved by TDesktopEntry::Value):
// split at spaces and tabs outside double quotes, where \" \` \$ \\ stand for the character after the
// backslash. None when a quote is left open or nothing remains.
std::optional<QStringList> SplitCommandLine(const QString &commandLine);

// The argument vector that starts `commandLine` for `targets` (local file paths or addresses): %f and %u
// take the first target (addresses for %u, file paths for %f, a path given to %u as a file: address),
// %F and %U standing alone take all of them, %% is a percent sign, and every other field code is
// dropped (an argument that was only a field code disappears). Without %f, %F, %u or %U the targets are
// appended. None when the line cannot be split.
std::optional<QStringList> ExpandCommandLine(const QString &commandLine, const QStringList &targets);

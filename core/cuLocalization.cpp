#include "cuLocalization.h"

#include <QHash>

QString LoadString(int id) {
  static const QHash<int, QString> english = {
      {sidFileNotFound, QStringLiteral("File not found: %1")},
      {sidDataCorrupt, QStringLiteral("Data provided are corrupt")},
      {sidNewerFormat, QStringLiteral("The format of\u00A0the data provided is\u00A0of\u00A0a\u00A0newer version\u00A0\u2014 "
                                      "perhaps you should update the program version")},
      {sidNodeNotRead, QStringLiteral("Node \"%1\" was not read")},
      {sidAttributeNotRead, QStringLiteral("Attribute \"%1\" was not read")},
      {sidValueMustBeSet, QStringLiteral("The value must be [set]")},
      {sidUnsupportedElement, QStringLiteral("[Unsupported] element \"%1\" in this editor")},
  };
  return english.value(id);
}

QString FormatString(int id, const QStringList &arguments) {
  QString text = LoadString(id);
  for (int k = 1; k <= arguments.size(); ++k) {
    const QString placeholder = QLatin1Char('%') + QString::number(k);
    int at = text.indexOf(placeholder);
    if (at >= 0)
      text.replace(at, placeholder.size(), arguments[k - 1]);
  }
  return text;
}

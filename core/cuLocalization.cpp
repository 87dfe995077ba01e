#include "cuLocalization.h"

#include <QHash>

QString LoadString(int id) {
  static const QHash<int, QString> english = {
      {sidFileNotFound, QStringLiteral("File not found: %1")},
      {sidPathNotFound, QStringLiteral("Path not found: %1")},
      {sidApplicationTitle, QStringLiteral("Quillnote")},
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

#include "diDataElementSettings.h"

#include <QStandardPaths>

TExternalEditorSettings::TExternalEditorSettings(TProperty *owner, QString name)
    : TProperty(owner, std::move(name)),
      FDefaultAction(new TEnumProperty(this, QStringLiteral("DefaultAction"),
                                       {QString(), QStringLiteral("CustomEditor"), QStringLiteral("None")})),
      FCustomEditor(new TStringProperty(this, QStringLiteral("CustomEditor"), QString())) {}

TDataElementSettings::TDataElementSettings(TProperty *owner)
    : TProperty(owner, QStringLiteral("Data")),
      FBitmaps(new TExternalEditorSettings(this, QStringLiteral("ExternalEditorBitmaps"))),
      FIcons(new TExternalEditorSettings(this, QStringLiteral("ExternalEditorIcons"))),
      FCursors(new TExternalEditorSettings(this, QStringLiteral("ExternalEditorCursors"))),
      FMetafiles(new TExternalEditorSettings(this, QStringLiteral("ExternalEditorMetafiles"))),
      FOther(new TExternalEditorSettings(this, QStringLiteral("ExternalEditorOther"))) {}

bool TDataElementSettings::Notification(int code, TNotifyArg a, TNotifyArg b) {
  if (code == ncResetDefaults)
    FBitmaps->CustomEditor().SetValue(DefaultBitmapEditor());
  return TProperty::Notification(code, a, b);
}

QString DefaultBitmapEditor() {
  for (const char *program : {"kolourpaint", "pinta", "krita", "gimp"}) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(program));
    if (!path.isEmpty())
      return path;
  }
  return QString();
}

TDataElementSettings &DataElementSettings() {
  static const TNodePtr<TDataElementSettings> instance(new TDataElementSettings(nullptr));
  return *instance;
}

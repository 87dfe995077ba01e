#include "unSettings.h"

#include "cuLocalization.h"

TGeneralSettings::TGeneralSettings(TProperty *owner)
    : TProperty(owner, QStringLiteral("General")),
      FLanguage(new TStringProperty(this, QStringLiteral("Language"), QString())),
      FAutoStart(new TBooleanProperty(this, QStringLiteral("AutoStart"), false)),
      FShowInTray(new TBooleanProperty(this, QStringLiteral("ShowInTray"), true)),
      FShowByHotKey(new TBooleanProperty(this, QStringLiteral("ShowByHotKey"), true)),
      FHotKey(new TStringProperty(this, QStringLiteral("HotKey"), QStringLiteral("Ctrl+Shift+E"))),
      FHideByEsc(new TBooleanProperty(this, QStringLiteral("HideByEsc"), true)),
      FHideToTrayByMinimizeButton(new TBooleanProperty(this, QStringLiteral("HideToTrayByMinimizeButton"), false)),
      FDataFileName(new TStringProperty(this, QStringLiteral("DataFileName"), QString())),
      FBackupFileName(new TStringProperty(this, QStringLiteral("BackupFileName"), QString())) {}

void TGeneralSettings::SetFileDefaults(const QString &folder, const QString &baseName) {
  FDataFileName->SetDefault(folder + baseName + QStringLiteral(".qnt"));
  FBackupFileName->SetDefault(folder + baseName + QStringLiteral("Backup.qnt"));
}

bool TGeneralSettings::Notification(int code, TNotifyArg a, TNotifyArg b) {
  if (code == ncResetDefaults)
    FLanguage->SetValue(Localization().DefaultLanguageCode());
  return TProperty::Notification(code, a, b);
}

TSearchSettings::TSearchSettings(TProperty *owner)
    : TProperty(owner, QStringLiteral("Search")),
      FCaseSensitiveByDefault(new TBooleanProperty(this, QStringLiteral("CaseSensitiveByDefault"), false)),
      FVisibleOnlyByDefault(new TBooleanProperty(this, QStringLiteral("VisibleOnlyByDefault"), false)),
      FEnabledOnlyByDefault(new TBooleanProperty(this, QStringLiteral("EnabledOnlyByDefault"), false)) {}

TSettings::TSettings()
    : TProperty(nullptr, QString()),
      FGeneral(new TGeneralSettings(this)),
      FSheet(new TSheetSettings(this, QStringLiteral("Sheet"))),
      FSearch(new TSearchSettings(this)),
      FPrint(new TPrintSettings(this)),
      FMisc(new TMiscSettings(this)) {}

// The application's settings tree, stored in the settings file.
//
// TSettings is the root; its own children are, in this order, General, Sheet, Search, Print and Misc.
// The settings nodes of other units are process-wide singletons (NamingSettings(), LogSettings(),
// DataElementSettings(), SheetFormSettings(), PaletteFormSettings()) that the owner of the tree attaches
// after creating it and detaches, in the reverse order, before freeing it: "Data", "Naming" and "Log" at
// the end of Sheet, "SheetForm" and "PaletteForm" at the end of the root.
//
// Loading and saving: LoadFromKnot(root knot of the settings file) and SaveToKnot(that root knot); on a
// first run (no settings file) ResetToDefaults() sets the defaults computed at run time.
#pragma once

#include "cuProps.h"
#include "diSheetSettings.h"

class TGeneralSettings : public TProperty {
public:
  explicit TGeneralSettings(TProperty *owner);

  // The interface language's code ("ENU", "DEU", ...); empty until a first run sets the user's default.
  TStringProperty &Language() const { return *FLanguage; }
  // The program starts with the user's session.
  TBooleanProperty &AutoStart() const { return *FAutoStart; }
  TBooleanProperty &ShowInTray() const { return *FShowInTray; }
  TBooleanProperty &ShowByHotKey() const { return *FShowByHotKey; }
  // The shortcut text of the hotkey that shows the window ("Ctrl+Shift+E").
  TStringProperty &HotKey() const { return *FHotKey; }
  TBooleanProperty &HideByEsc() const { return *FHideByEsc; }
  TBooleanProperty &HideToTrayByMinimizeButton() const { return *FHideToTrayByMinimizeButton; }
  // The data file and its backup; their defaults are set by SetFileDefaults.
  TStringProperty &DataFileName() const { return *FDataFileName; }
  TStringProperty &BackupFileName() const { return *FBackupFileName; }

  // Makes `folder` (ending with a separator) + `baseName` + ".qnt" and `folder` + `baseName` +
  // "Backup.qnt" the defaults of DataFileName and BackupFileName; their values stay.
  void SetFileDefaults(const QString &folder, const QString &baseName);

protected:
  // On the reset to defaults (first run) Language becomes the user's default language code.
  bool Notification(int code, TNotifyArg a, TNotifyArg b) override;

private:
  TStringProperty *FLanguage;
  TBooleanProperty *FAutoStart;
  TBooleanProperty *FShowInTray;
  TBooleanProperty *FShowByHotKey;
  TStringProperty *FHotKey;
  TBooleanProperty *FHideByEsc;
  TBooleanProperty *FHideToTrayByMinimizeButton;
  TStringProperty *FDataFileName;
  TStringProperty *FBackupFileName;
};

// Which options the find and replace dialogs start with.
class TSearchSettings : public TProperty {
public:
  explicit TSearchSettings(TProperty *owner);

  TBooleanProperty &CaseSensitiveByDefault() const { return *FCaseSensitiveByDefault; }
  TBooleanProperty &VisibleOnlyByDefault() const { return *FVisibleOnlyByDefault; }
  TBooleanProperty &EnabledOnlyByDefault() const { return *FEnabledOnlyByDefault; }

private:
  TBooleanProperty *FCaseSensitiveByDefault;
  TBooleanProperty *FVisibleOnlyByDefault;
  TBooleanProperty *FEnabledOnlyByDefault;
};

// A group without keys of its own.
class TMiscSettings : public TProperty {
public:
  explicit TMiscSettings(TProperty *owner) : TProperty(owner, QStringLiteral("Misc")) {}
};

class TSettings : public TProperty {
public:
  TSettings();

  TGeneralSettings &General() const { return *FGeneral; }
  TSheetSettings &Sheet() const { return *FSheet; }
  TSearchSettings &Search() const { return *FSearch; }
  TPrintSettings &Print() const { return *FPrint; }
  TMiscSettings &Misc() const { return *FMisc; }

private:
  TGeneralSettings *FGeneral;
  TSheetSettings *FSheet;
  TSearchSettings *FSearch;
  TPrintSettings *FPrint;
  TMiscSettings *FMisc;
};

// The application data module: the settings tree with the settings file, and the session file. One
// instance (Global()) lives from the start of the entry sequence until after the main window is gone.
#pragma once

#include "baAppCmpns.h"
#include "cuClasses.h"
#include "unFileLayout.h"

#include <QString>

#include <memory>

class TSettings;

class TGlobal {
public:
  // The creation steps: the interface language set to English, the settings tree built with the other
  // units' settings nodes attached, the file names of `layout` and the defaults of the data and backup
  // file names, both files loaded, the tree read (or, on a first run, reset to its computed defaults
  // and marked for saving), empty file names replaced by their defaults, the folders of the data and
  // backup files created, and the language applied and followed from then on.
  explicit TGlobal(TFileLayout layout);
  // Stops following the language, detaches the other units' nodes in the reverse order and frees the tree.
  ~TGlobal();
  TGlobal(const TGlobal &) = delete;
  TGlobal &operator=(const TGlobal &) = delete;

  const TFileLayout &Layout() const { return FLayout; }
  TSettings &Settings() const { return *FSettings; }
  TSessionFile &SettingsFile() { return FSettingsFile; }
  TSessionFile &SessionFile() { return FSessionFile; }

  // The settings must be written at exit.
  bool SettingsModified() const { return FSettingsModified; }
  void SetSettingsModified(bool modified) { FSettingsModified = modified; }
  // Writes the tree into the settings file's knot tree, writes the file, empties the knot tree and clears
  // SettingsModified. A file that cannot be written is left as it was.
  void SaveSettings();
  // Writes the session file (its folder created first when missing).
  void SaveSessionFile();

  // The data file and the backup file as paths: DataFileName and BackupFileName of the settings, a
  // relative name taken from the folder of the default data file. An empty backup name means no backup.
  QString DataFileName() const;
  QString BackupFileName() const;

private:
  void LanguageNotified(TItfObject *sender, int code, TNotifyArg a, TNotifyArg b);
  void ApplyLanguage();

  TFileLayout FLayout;
  TSessionFile FSettingsFile;
  TSessionFile FSessionFile;
  TNodePtr<TSettings> FSettings;
  bool FSettingsModified = false;
};

// The one instance while it exists.
TGlobal &Global();

// The single-instance test for the files of `layout`: true when another start already runs with them
// (it was asked to show its window), false when this one is the instance from now on.
bool FindRunningInstance(const TFileLayout &layout);

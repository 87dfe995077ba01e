// The applications the desktop associates with a file type, after the XDG rules: desktop entries in
// the "applications" folders of $XDG_DATA_HOME and $XDG_DATA_DIRS (the first file of a desktop ID hides
// later ones), their MimeType keys, and the [Default Applications], [Added Associations] and [Removed
// Associations] groups of the mimeapps.list files in $XDG_CONFIG_HOME, $XDG_CONFIG_DIRS and those
// "applications" folders, each folder's desktop-specific lists ($XDG_CURRENT_DESKTOP) first.
#pragma once

#include "cuDesktop.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct TDesktopApplication {
  QString Id;           // the desktop ID ("org.example.Paint.desktop")
  QString Name;         // in the user's language where the entry has it
  QString CommandLine;  // the Exec key, string escapes resolved; what TShell::StartProgram accepts
};

class TMimeApps {
public:
  // The folders, desktops and locale named by the environment, with the base directory defaults.
  static TMimeApps FromEnvironment();
  TMimeApps(QStringList configDirs, QStringList dataDirs, QStringList desktops, QStringList locales);

  // The application that opens files of `mimeType`: the first installed entry of a [Default
  // Applications] list, trying the type and then its parent types, else the most preferred associated
  // one. Entries marked NoDisplay count here (many handlers are hidden from menus).
  std::optional<TDesktopApplication> DefaultApplication(const QString &mimeType);
  // The applications for files with `extension`: for each of its types and then their parent types,
  // the association order of the mimeapps lists followed by the entries' own MimeType keys, without
  // entries that are hidden, not for display, missing their TryExec or Exec program, or repeat a
  // command line already listed. Default is the index of DefaultApplication of the first type, or -1.
  TApplicationList ApplicationsForExtension(const QString &extension);

private:
  struct TAssociations {
    QHash<QString, QStringList> Default, Added, Removed;  // by MIME type; lists of desktop IDs
  };
  struct TListFile {
    TAssociations Groups;
    int FirstFolder = 0;  // its removals and additions concern desktop files of this folder and later ones
  };
  struct TEntry {
    TDesktopApplication Application;
    QStringList MimeTypes;
    int Folder = 0;
    bool Hidden = false;     // Hidden=true, or not an application: treated as not installed
    bool Listed = false;     // may appear in lists: not NoDisplay, TryExec and the program found
    bool Runnable = false;   // the command line can be started
  };

  void Scan();
  const TEntry *Installed(const QString &id);
  QString Canonical(const QString &mimeType);
  std::optional<QString> DefaultId(const QString &mimeType);
  QStringList OrderedIds(const QString &mimeType);
  QStringList TypeAndParents(const QString &mimeType);

  QStringList FApplicationFolders;
  std::vector<TListFile> FLists;  // in precedence order
  QStringList FLocales;
  bool FScanned = false;
  QHash<QString, TEntry> FEntries;  // by desktop ID, the first file found for each
  QStringList FIds;                 // desktop IDs by folder, then by name
  QHash<QString, QString> FCanonical;
};

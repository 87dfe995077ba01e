// Where the program's files live. In the portable layout everything lies next to the executable, named
// after its base name. When the program folder does not take a new file, the XDG layout puts the
// settings and session files into $XDG_CONFIG_HOME/quillnote/ and the default data and backup files into
// $XDG_DATA_HOME/quillnote/, with the same names.
#pragma once

#include <QString>

struct TFileLayout {
  bool Portable = true;
  QString ProgramFolder;  // with a trailing "/"
  QString BaseName;       // the executable's name without folder and extension
  QString SettingsFileName;
  QString SessionFileName;
  QString DefaultDataFileName;    // <base name>.qnt
  QString DefaultBackupFileName;  // <base name>Backup.qnt

  // The folder of the default data file, with a trailing "/": relative data and backup file names
  // (and bare file names) are taken from there.
  QString DataFolder() const;
  // `fileName` made absolute against DataFolder() when it is relative; absolute names stay as they are.
  QString ResolveDataPath(const QString &fileName) const;
  // The single-instance key: the hex SHA-1 of the canonical path of the settings file, so that starts
  // that would use the same settings file (and so the same data file) are one instance.
  QString InstanceKey() const;
};

// The layout for the executable `programFileName`: portable when a file can be created in its folder
// (tried by creating and removing an exclusive temporary file), XDG otherwise.
TFileLayout DecideFileLayout(const QString &programFileName);

// $XDG_CONFIG_HOME and $XDG_DATA_HOME, or their defaults when unset or not absolute; no trailing "/".
QString ConfigHome();
QString DataHome();
// The folder of recovery files written when the document cannot be saved at the end of a session.
QString RecoveryFolder();

// The canonical form of `path` when it exists; otherwise that of its deepest existing folder followed by
// the rest of the path.
QString CanonicalPath(const QString &path);

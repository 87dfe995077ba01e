// The session-file component (a knot file next to the program, loaded once and written back) and the
// form-placement component that stores a window's position and size in it.
#pragma once

#include "cuKnot.h"

#include <QString>

enum TLoadState { lsNotLoaded, lsNotFound, lsUnreadable, lsLoaded };

// Notification of a TSessionFile to its subscribers: it is being destroyed (references must be dropped).
constexpr int snSessionFileFreeing = 1;

// Owns the root knot of one settings or session file (inherited options koSettingsFileOptions).
class TSessionFile : public TItfObject {
public:
  TSessionFile();
  ~TSessionFile() override;

  const QString &FileName() const { return FFileName; }
  void SetFileName(const QString &path) { FFileName = path; }
  // The file's extension ("settings", "session"), from which the application builds FileName.
  const QString &CommandLineSearchExt() const { return FCommandLineSearchExt; }
  void SetCommandLineSearchExt(const QString &ext) { FCommandLineSearchExt = ext; }
  TLoadState LoadState() const { return FLoadState; }
  TKnot &Knot() const { return *FKnot; }

  // Reads FileName into Knot. Errors are not reported: LoadState tells lsNotFound or lsUnreadable (the
  // file exists but cannot be read); a damaged text still counts as lsLoaded.
  void Load();
  // Names the root after the file name without folder and extension and writes the file (UTF-8 without
  // byte order mark, atomically). A file that cannot be written is simply not updated.
  void Save();

private:
  QString FFileName;
  QString FCommandLineSearchExt;
  TLoadState FLoadState = lsNotLoaded;
  TNodePtr<TKnot> FKnot;
};

// Stores and restores one form's placement in a session file, under the knot named after the form (below
// KnotPath, a FindPath path, when it is set). The window binding calls FormCreated after the form's own
// initialisation and FormCloseQuery before the form's own close-query work.
class TFormPlace {
public:
  // `form` (may be nullptr: no form) must outlive the component; `formName` is the form's name
  // ("MainForm", "SettingsForm").
  TFormPlace(TFormGeometry *form, const QString &formName);
  ~TFormPlace();
  TFormPlace(const TFormPlace &) = delete;
  TFormPlace &operator=(const TFormPlace &) = delete;

  TSessionFile *SessionFile() const { return FSessionFile; }
  // The reference is dropped by itself when the session file is destroyed.
  void SetSessionFile(TSessionFile *sessionFile);
  const QString &KnotPath() const { return FKnotPath; }
  void SetKnotPath(const QString &path) { FKnotPath = path; }

  // The form's knot, or nullptr without form or session file.
  TKnot *PlaceKnot();
  void FormCreated();
  void FormCloseQuery();

private:
  void SessionFileNotified(TItfObject *sender, int code, TNotifyArg a, TNotifyArg b);

  TFormGeometry *FForm;
  QString FFormName;
  QString FKnotPath;
  TSessionFile *FSessionFile = nullptr;
};

// The session-file component (a knot file next to the program, loaded once and written back), the
// form-placement component that stores a window's position and size in it, and the open/save dialog
// component with its file filters.
#pragma once

#include "cuKnot.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>

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

// ---------------------------------------------------------------------------------------------------------
// File filters and the open/save dialog.

// One file type offered by the dialogs.
class TFileFilter {
public:
  QString FileExt = QStringLiteral("txt");  // without the point
  QString Text;                             // description; empty: the extension in upper case
  bool UseForOpen = true;
  bool UseForSave = true;

  // Text, or the extension in upper case when Text is empty.
  QString Description() const;
  // The description followed by " (*." , the lower-case extension and ")".
  QString DisplayName() const;
};

// The filters of one dialog, in the order they were added. References stay valid as filters are added.
class TFileFilters {
public:
  TFileFilter &Add();
  TFileFilter &Add(const QString &ext, const QString &text);
  int Count() const { return int(FItems.size()); }
  TFileFilter &Items(int index) { return FItems.at(std::size_t(index)); }
  const TFileFilter &Items(int index) const { return FItems.at(std::size_t(index)); }

private:
  std::deque<TFileFilter> FItems;
};

// A filter list in the dialog form "text|patterns|text|patterns..." (patterns separated by ";"), with one
// default extension per entry (empty for "All Files").
struct TBuiltFilter {
  QString Filter;
  QStringList DefaultExts;
};

// TOpenSaveDialog::Options.
constexpr std::uint8_t osoOpenNoAllFiles = 0x01;
constexpr std::uint8_t osoSaveNoAllFiles = 0x02;
constexpr std::uint8_t osoNoMergeOpenFilters = 0x04;
constexpr std::uint8_t osoDefaultFilterAll = 0x08;

// Asks for a file name with the desktop's open or save dialog (FileDialogs of cuDesktop), offering the
// file filters.
class TOpenSaveDialog {
public:
  TFileFilters &FileFilters() { return FFileFilters; }
  const TFileFilters &FileFilters() const { return FFileFilters; }
  const QString &FileName() const { return FFileName; }
  void SetFileName(const QString &name) { FFileName = name; }
  std::uint8_t Options() const { return FOptions; }
  void SetOptions(std::uint8_t options) { FOptions = options; }
  const QString &Title() const { return FTitle; }
  void SetTitle(const QString &title) { FTitle = title; }

  // The filters used for opening (UseForOpen) or saving (UseForSave). With `merge`, filters whose
  // descriptions are equal ignoring case form one entry listing all their extensions. "All Files (*.*)"
  // goes first and/or last as asked.
  TBuiltFilter BuildFilter(bool forOpen, bool merge, bool addAllFirst, bool addAllLast) const;

  // Shows the open dialog (only an existing file can be chosen) with FileName preset when not empty. OK
  // stores the chosen file in FileName and answers true; cancel answers false and keeps FileName.
  bool ExecuteOpen();
  // Shows the save dialog, which asks before replacing a file; a name typed without extension gets the
  // first extension of the first entry. OK and cancel as for ExecuteOpen.
  bool ExecuteSave();

private:
  TFileFilters FFileFilters;
  QString FFileName;
  std::uint8_t FOptions = 0;
  QString FTitle;
};

// Converts a dialog-form filter list ("text|patterns|...") into Qt's name filter syntax: entries separated
// by ";;", each the entry's text followed by its patterns in parentheses, separated by spaces, so that
// a dialog that hides the pattern group shows the text unchanged. "*.*" becomes "*": an entry such as
// "All Files (*.*)" keeps its text and matches every file, also names without a point. A text without a
// pattern part is dropped.
QString ToQtFileFilter(const QString &filter);

// The facilities of the desktop that the layers use, as small interfaces. `core` holds only QtCore, so it
// declares them here; platform/ implements them with Qt and the desktop's own services, the executables
// install those implementations at start, and tests install headless fakes (tests/support/testFakes.h).
// Every accessor raises EException when nothing is installed: that is a programming error.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

// ---------------------------------------------------------------------------------------------------------
// Message boxes, the wait cursor and the beep.

// Buttons and icon of a message box (combine one button set, one icon and one default button).
enum : int {
  mbOk = 0x0000,
  mbOkCancel = 0x0001,
  mbYesNoCancel = 0x0003,
  mbYesNo = 0x0004,
  mbRetryCancel = 0x0005,
  mbButtonsMask = 0x000F,
  mbIconError = 0x0010,
  mbIconQuestion = 0x0020,
  mbIconWarning = 0x0030,
  mbIconInformation = 0x0040,
  mbIconMask = 0x00F0,
  mbDefButton2 = 0x0100,
  mbDefButton3 = 0x0200,
  mbDefButtonMask = 0x0F00,
};

// The button that closed a message box. Closing the box without a button (Esc, the title bar) answers
// Cancel where the box has one, No where it has No but no Cancel, and OK for a box with only OK.
enum : int { idOk = 1, idCancel = 2, idRetry = 4, idYes = 6, idNo = 7 };

class TUserInterface {
public:
  virtual ~TUserInterface() = default;
  // Shows a modal box over the active window (kept above other windows when that window stays on top)
  // and answers the button pressed. The text and caption are shown as given.
  virtual int MessageBox(const QString &text, const QString &caption, int flags) = 0;
  // Shows (true) or takes away (false) the busy cursor over every window of the program. Calls come in
  // pairs, never nested: the nesting counter lives in BeginWait/EndWait (cuUtils).
  virtual void SetWaitCursor(bool waiting) = 0;
  // The desktop's default alert sound.
  virtual void Beep() = 0;
};

// ---------------------------------------------------------------------------------------------------------
// Launching documents, programs and addresses; the applications registered for a file type.

struct TLaunchResult {
  enum TStatus {
    lrOk,             // launched
    lrFileNotFound,   // the file or the program does not exist
    lrPathNotFound,   // its folder does not exist
    lrNoAssociation,  // no application is registered for the file's type (ShellOpen then offers the chooser)
    lrNoChooser,      // the desktop offers no application chooser
    lrFailed,         // anything else; Reason says what
  };
  TStatus Status = lrFailed;
  QString Reason;  // a short English description of the failure, empty on success
  bool Ok() const { return Status == lrOk; }
};

// Parallel lists of display names and of commands (a program path or a desktop entry's command line,
// each accepted by TShell::StartProgram), with the index of the desktop's default application or -1.
struct TApplicationList {
  QStringList Names;
  QStringList Commands;
  int Default = -1;
};

class TShell {
public:
  virtual ~TShell() = default;
  // Opens an existing file or folder with the application the desktop associates with its type.
  virtual TLaunchResult OpenDocument(const QString &path) = 0;
  // Lets the user choose the application that opens `path` (the desktop's "Open with" chooser).
  virtual TLaunchResult ChooseApplication(const QString &path) = 0;
  // Starts `program` with `arguments`, each passed to it as one argument and never seen by a shell.
  // `program` is an executable (a path, or a name found on the PATH) or a command of TApplicationList;
  // a command's file placeholder receives the arguments, and without one they are appended.
  virtual TLaunchResult StartProgram(const QString &program, const QStringList &arguments) = 0;
  // Opens `address` in the user's web browser. Callers pass only http, https and ftp addresses.
  virtual bool OpenAddress(const QUrl &address) = 0;
  // The applications registered for files with this extension (without the point), default first
  // where the desktop names one.
  virtual TApplicationList ApplicationsFor(const QString &extension) = 0;
};

// ---------------------------------------------------------------------------------------------------------
// The open and save dialogs.

struct TFileDialogRequest {
  QString Title;
  // Qt name filters separated by ";;" (ToQtFileFilter of baAppCmpns). The text of an entry is what
  // precedes its last parenthesised pattern group; the dialog shows that text without the group.
  QString Filter;
  QString FileName;       // preset file name; empty for none
  QString DefaultSuffix;  // save dialog: appended to a name chosen without extension; empty for none
};

class TFileDialogs {
public:
  virtual ~TFileDialogs() = default;
  // Modal dialogs over the active window. On OK the chosen path goes into `fileName` and the answer is
  // true; on cancel the answer is false and `fileName` is left as it was. The open dialog accepts only an
  // existing file; the save dialog asks before replacing one.
  virtual bool ChooseFileToOpen(const TFileDialogRequest &request, QString &fileName) = 0;
  virtual bool ChooseFileToSave(const TFileDialogRequest &request, QString &fileName) = 0;
};

// ---------------------------------------------------------------------------------------------------------
// One running instance per key.

class TSingleInstance {
public:
  virtual ~TSingleInstance() = default;
  // Tries to become the instance for `key` (a file-name-safe text). True: this process holds the key until
  // the object is destroyed or the process ends, however it ends. False: another process holds it and was
  // asked to show its window; the call returns once the request was delivered or could not be.
  virtual bool Acquire(const QString &key) = 0;
  // Called on the main loop whenever a later start asks this instance to show itself; empty ignores them.
  virtual void SetActivationHandler(std::function<void()> handler) = 0;
};

// ---------------------------------------------------------------------------------------------------------
// Sound playback.

class TSound {
public:
  virtual ~TSound() = default;
  // A sound of the program is still playing.
  virtual bool IsPlaying() const = 0;
  // Starts playing `wave` (the bytes of a WAV file) and returns at once; the sound plays on in the
  // background. A call while a sound plays, bytes that are no playable WAV file and a desktop without an
  // audio device play nothing; none of them fails or waits.
  virtual void Start(const QByteArray &wave) = 0;
};

// Plays `wave` unless a sound of the program is still playing, in which case the request is dropped (a
// sound never cuts another one short and requests do not queue up). Answers whether it was started.
bool PlaySoundData(const QByteArray &wave);

// ---------------------------------------------------------------------------------------------------------
// Installation. Each Install function takes ownership, makes the object current and hands back the one
// it replaces (null when there was none), so that a test can put the previous one back.

std::unique_ptr<TUserInterface> InstallUserInterface(std::unique_ptr<TUserInterface> userInterface);
std::unique_ptr<TShell> InstallShell(std::unique_ptr<TShell> shell);
std::unique_ptr<TSingleInstance> InstallSingleInstance(std::unique_ptr<TSingleInstance> singleInstance);
std::unique_ptr<TSound> InstallSound(std::unique_ptr<TSound> sound);
std::unique_ptr<TFileDialogs> InstallFileDialogs(std::unique_ptr<TFileDialogs> fileDialogs);

TUserInterface &UserInterface();
TShell &Shell();
TSingleInstance &SingleInstance();
TSound &Sound();
TFileDialogs &FileDialogs();

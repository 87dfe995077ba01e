// The file-system seam every file write of the program goes through, and the atomic replacement of a file
// built on it. Tests install a fake (SetFileSystem) to inject a full disk, a failing fsync or rename, or a
// read-only folder, which chmod cannot simulate for a process running as root.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The primitive operations, POSIX-shaped. Each answers 0 on success or an errno value on failure; the
// caller turns that value into the system's text (SystemErrorText).
class TFileSystem {
public:
  using THandle = int;
  virtual ~TFileSystem() = default;

  // Creates `path`, which must not exist yet, open for writing. `permissions` (the low 12 bits of a mode)
  // are set exactly when given, else the default 0666 less the umask applies. EEXIST tells the caller to
  // try another name.
  virtual int CreateExclusive(const QString &path, int permissions, THandle &handle) = 0;
  // Writes all `size` bytes or fails (a short write counts as a failure).
  virtual int Write(THandle handle, const char *data, qint64 size) = 0;
  // Flushes the file's data and metadata to the device (fsync).
  virtual int Sync(THandle handle) = 0;
  virtual int Close(THandle handle) = 0;
  // Replaces `to` by `from` in one step (rename); both lie in the same folder.
  virtual int Rename(const QString &from, const QString &to) = 0;
  virtual int Remove(const QString &path) = 0;
  // Makes a rename in `folder` durable (fsync of the folder itself).
  virtual int SyncFolder(const QString &folder) = 0;
};

// The process-wide instance: the POSIX implementation unless a test installed another.
TFileSystem &FileSystem();
// Installs `fileSystem` (not owned; nullptr restores the POSIX one) and answers the previous instance.
TFileSystem *SetFileSystem(TFileSystem *fileSystem);
// The file system of the operating system itself.
TFileSystem &PosixFileSystem();

// The system's text for an errno value ("No space left on device").
QString SystemErrorText(int error);

// Names the temporary file of attempt n (1, 2, 3, ...) in `folder` (no trailing separator) for the target
// file name `targetName` (without folder). A name that exists already makes the writer try the next n.
using TTempFileNamer = std::function<QString(const QString &folder, const QString &targetName, int attempt)>;
// The default scheme: a hidden ".<target name>.<n>.tmp" beside the target.
QString DefaultTempFileName(const QString &folder, const QString &targetName, int attempt);

// Replaces the content of `fileName` by `data` so that a crash or a failure at any moment leaves either
// the old file or the new one whole: a temporary file is created exclusively in the target's folder,
// written, fsynced and closed, renamed over the target, and the folder is fsynced. The new file keeps the
// permission bits of the file it replaces. A symbolic link is followed: the file it points to is replaced,
// the link stays. On any failure the temporary file is removed, the old file is untouched, and EException
// is raised with the text "Cannot create file "<name>". <system's reason>".
void AtomicWriteFile(const QString &fileName, const QByteArray &data, const TTempFileNamer &namer = DefaultTempFileName);

#include "cuFileSystem.h"

#include "cuClasses.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TPosixFileSystem final : public TFileSystem {
public:
  int CreateExclusive(const QString &path, int permissions, THandle &handle) override {
    const QByteArray native = QFile::encodeName(path);
    int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
      return errno;
    if (permissions >= 0 && ::fchmod(fd, mode_t(permissions & 07777)) != 0) {
      int error = errno;
      ::close(fd);
      ::unlink(native.constData());
      return error;
    }
    handle = fd;
    return 0;
  }
  int Write(THandle handle, const char *data, qint64 size) override {
    while (size > 0) {
      ssize_t n = ::write(handle, data, size_t(size));
      if (n < 0) {
        if (errno == EINTR)
          continue;
        return errno;
      }
      if (n == 0)
        return ENOSPC;
      data += n;
      size -= n;
    }
    return 0;
  }
  int Sync(THandle handle) override { return ::fsync(handle) == 0 ? 0 : errno; }
  int Close(THandle handle) override { return ::close(handle) == 0 ? 0 : errno; }
  int Rename(const QString &from, const QString &to) override {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ? 0 : errno;
  }
  int Remove(const QString &path) override { return ::unlink(QFile::encodeName(path).constData()) == 0 ? 0 : errno; }
  int SyncFolder(const QString &folder) override {
    int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
      return errno;
    int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // Some file systems cannot sync a folder at all; the rename is then as durable as they make it.
    return error == EINVAL || error == ENOTSUP ? 0 : error;
  }
};

TFileSystem *installed = nullptr;

// Follows symbolic links to the path that is finally written; a dangling link names the file to create.
int ResolveLinks(const QString &fileName, QString &resolved) {
  resolved = QFileInfo(fileName).absoluteFilePath();
  for (int hops = 0; hops < 40; ++hops) {
    QFileInfo info(resolved);
    if (!info.isSymLink())
      return 0;
    resolved = info.symLinkTarget();
  }
  return ELOOP;
}

[[noreturn]] void RaiseCreateError(const QString &fileName, int error) {
  throw EException(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, SystemErrorText(error)));
}

}  // namespace

TFileSystem &PosixFileSystem() {
  static TPosixFileSystem posix;
  return posix;
}

TFileSystem &FileSystem() { return installed ? *installed : PosixFileSystem(); }

TFileSystem *SetFileSystem(TFileSystem *fileSystem) {
  TFileSystem *previous = &FileSystem();
  installed = fileSystem;
  return previous;
}

QString SystemErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString DefaultTempFileName(const QString &folder, const QString &targetName, int attempt) {
  return folder + QStringLiteral("/.") + targetName + QLatin1Char('.') + QString::number(attempt) +
         QStringLiteral(".tmp");
}

void AtomicWriteFile(const QString &fileName, const QByteArray &data, const TTempFileNamer &namer) {
  QString target;
  if (int error = ResolveLinks(fileName, target))
    RaiseCreateError(fileName, error);
  const QFileInfo targetInfo(target);
  const QString folder = targetInfo.absolutePath();
  int permissions = -1;
  struct stat old;
  if (::stat(QFile::encodeName(target).constData(), &old) == 0 && S_ISREG(old.st_mode))
    permissions = int(old.st_mode & 07777);

  TFileSystem &fs = FileSystem();
  TFileSystem::THandle handle = -1;
  QString temp;
  int error = EEXIST;
  for (int attempt = 1; error == EEXIST && attempt <= 100000; ++attempt) {
    temp = namer(folder, targetInfo.fileName(), attempt);
    error = fs.CreateExclusive(temp, permissions, handle);
  }
  if (error)
    RaiseCreateError(fileName, error);

  error = fs.Write(handle, data.constData(), data.size());
  if (!error)
    error = fs.Sync(handle);
  int closeError = fs.Close(handle);
  if (!error)
    error = closeError;
  if (!error)
    error = fs.Rename(temp, target);
  if (error) {
    fs.Remove(temp);
    RaiseCreateError(fileName, error);
  }
  if (int folderError = fs.SyncFolder(folder))
    RaiseCreateError(fileName, folderError);
}

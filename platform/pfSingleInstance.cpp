#include "pfSingleInstance.h"

#include "cuUtils.h"

#include <QFile>
#include <QSocketNotifier>
#include <QtDebug>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A folder only this user may enter: a directory (not a link to one), owned by the user, closed to others.
bool IsPrivateFolder(const QString &folder) {
  struct stat info {};
  return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

bool SocketAddress(const QString &path, sockaddr_un &address) {
  const QByteArray native = QFile::encodeName(path);
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (size_t(native.size()) >= sizeof address.sun_path)
    return false;
  std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
  return true;
}

// Asks the holder listening at `path` to show itself; a holder that does not listen (yet) is not asked.
void RequestActivation(const QString &path) {
  sockaddr_un address;
  if (!SocketAddress(path, address))
    return;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0)
    return;
  ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
  ::close(fd);
}

}  // namespace

TLocalSingleInstance::TLocalSingleInstance() = default;

TLocalSingleInstance::~TLocalSingleInstance() {
  FNotifier.reset();
  if (FServerFd >= 0) {
    ::close(FServerFd);
    ::unlink(QFile::encodeName(FSocketPath).constData());
  }
  // The lock file stays: removing it would let a start that already opened it lock a file nobody else sees.
  if (FLockFd >= 0)
    ::close(FLockFd);
}

QString TLocalSingleInstance::RuntimeFolder() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (runtime.startsWith(QLatin1Char('/'))) {
    struct stat info {};
    // The runtime folder may be reached through a link; what counts is the folder itself.
    if (::stat(QFile::encodeName(runtime).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == ::getuid() && (info.st_mode & 077) == 0)
      return runtime.endsWith(QLatin1Char('/')) ? runtime : runtime + QLatin1Char('/');
  }
  const QString folder = TempFolder() + QStringLiteral("quillnote-runtime-%1").arg(::getuid());
  ::mkdir(QFile::encodeName(folder).constData(), 0700);
  return IsPrivateFolder(folder) ? folder + QLatin1Char('/') : QString();
}

bool TLocalSingleInstance::Acquire(const QString &key) {
  const QString folder = RuntimeFolder();
  if (folder.isEmpty()) {
    qWarning("Quillnote: no private runtime folder; other instances are not detected");
    return true;
  }
  const QString base = folder + QLatin1String("quillnote-") + key;
  const int fd = ::open(QFile::encodeName(base + QLatin1String(".lock")).constData(),
                        O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    qWarning("Quillnote: cannot open the instance lock: %s", std::strerror(errno));
    return true;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) {
      RequestActivation(base + QLatin1String(".socket"));
      return false;
    }
    qWarning("Quillnote: cannot take the instance lock: %s", std::strerror(error));
    return true;
  }
  FLockFd = fd;
  Listen(base + QLatin1String(".socket"));
  return true;
}

void TLocalSingleInstance::Listen(const QString &socketPath) {
  sockaddr_un address;
  if (!SocketAddress(socketPath, address)) {
    qWarning("Quillnote: the runtime folder's path is too long for the activation socket");
    return;
  }
  // Holding the lock makes any socket file at this path a leftover of a holder that ended.
  ::unlink(address.sun_path);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0) {
    qWarning("Quillnote: cannot listen for activation requests: %s", std::strerror(errno));
    if (fd >= 0)
      ::close(fd);
    return;
  }
  FServerFd = fd;
  FSocketPath = socketPath;
  FNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this] { AcceptRequests(); });
}

void TLocalSingleInstance::AcceptRequests() {
  for (;;) {
    const int client = ::accept4(FServerFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0)
      return;  // nothing more waiting (EAGAIN), or the request went away
    ucred peer{};
    socklen_t length = sizeof peer;
    const bool sameUser = ::getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
    ::close(client);
    if (sameUser && FHandler)
      FHandler();
  }
}

void TLocalSingleInstance::SetActivationHandler(std::function<void()> handler) { FHandler = std::move(handler); }

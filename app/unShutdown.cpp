#include "unShutdown.h"

#include "cuClasses.h"
#include "cuUtils.h"
#include "unFileLayout.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

QString WriteRecoveryFile(TShutdownDocument &document, const QString &baseName) {
  const QString folder = RecoveryFolder();
  if (!QDir().mkpath(folder))
    throw EException(QStringLiteral("Cannot create the folder \"%1\"").arg(folder));
  // The name reserves the place: created exclusively, then replaced by the document's own atomic write.
  QString pattern = baseName;
  pattern.replace(QLatin1Char('%'), QLatin1Char('_'));
  TUniqueFile reserved = CreateUniqueFile(pattern + QLatin1String("Recovery%d"), QStringLiteral("qnt"), folder);
  reserved.File->close();
  try {
    document.SaveCopy(reserved.Path);
  } catch (...) {
    QFile::remove(reserved.Path);
    throw;
  }
  return reserved.Path;
}

namespace {

constexpr int CaughtSignals[] = {SIGTERM, SIGINT, SIGHUP};
int SignalPipe = -1;  // the write end, for the handler
struct sigaction PreviousActions[std::size(CaughtSignals)];

extern "C" void OnShutdownSignal(int signal) {
  const int saved = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  [[maybe_unused]] const ssize_t written = ::write(SignalPipe, &number, 1);
  errno = saved;
}

}  // namespace

TShutdownSignals::TShutdownSignals(std::function<void(int)> onSignal) : FOnSignal(std::move(onSignal)) {
  if (SignalPipe >= 0)
    throw EException(QStringLiteral("The shutdown signals are caught already"));
  if (::pipe2(FPipe, O_CLOEXEC | O_NONBLOCK) != 0)
    throw EException(QStringLiteral("Cannot create the signal pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
  SignalPipe = FPipe[1];
  FNotifier = std::make_unique<QSocketNotifier>(FPipe[0], QSocketNotifier::Read);
  QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this] { ReadSignals(); });
  struct sigaction action {};
  action.sa_handler = OnShutdownSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (size_t i = 0; i < std::size(CaughtSignals); ++i)
    ::sigaction(CaughtSignals[i], &action, &PreviousActions[i]);
}

TShutdownSignals::~TShutdownSignals() {
  for (size_t i = 0; i < std::size(CaughtSignals); ++i)
    ::sigaction(CaughtSignals[i], &PreviousActions[i], nullptr);
  SignalPipe = -1;
  FNotifier.reset();
  ::close(FPipe[0]);
  ::close(FPipe[1]);
}

void TShutdownSignals::ReadSignals() {
  unsigned char numbers[16];
  ssize_t n;
  while ((n = ::read(FPipe[0], numbers, sizeof numbers)) > 0)
    for (ssize_t i = 0; i < n; ++i)
      FOnSignal(numbers[i]);
}

#include "pfShell.h"

#include "pfDesktopEntry.h"
#include "pfMimeApps.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QWindow>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Starts the argument vector detached from this process; its first element is the program.
TLaunchResult Start(const QStringList &argv) {
  QString program = argv.first();
  if (!program.contains(QLatin1Char('/')))
    program = QStandardPaths::findExecutable(program);
  const QFileInfo info(program);
  if (program.isEmpty() || !info.exists())
    return {TLaunchResult::lrFileNotFound, {}};
  if (!info.isFile() || !info.isExecutable())
    return {TLaunchResult::lrFailed, QStringLiteral("not an executable program")};
  QProcess process;
  process.setProgram(info.absoluteFilePath());
  process.setArguments(argv.mid(1));
  process.setStandardInputFile(QProcess::nullDevice());
  if (!process.startDetached())
    return {TLaunchResult::lrFailed, process.errorString()};
  return {TLaunchResult::lrOk, {}};
}

TLaunchResult StartCommandLine(const QString &commandLine, const QStringList &targets) {
  const std::optional<QStringList> argv = ExpandCommandLine(commandLine, targets);
  if (!argv)
    return {TLaunchResult::lrFailed, QStringLiteral("the application's command line is damaged")};
  return Start(*argv);
}

// The portal names the window a dialog belongs to as "x11:<window id in hex>"; empty when unknown.
QString ParentWindow() {
  if (QGuiApplication::platformName() != QLatin1String("xcb"))
    return {};
  const QWindow *window = QGuiApplication::focusWindow();
  return window ? QStringLiteral("x11:%1").arg(window->winId(), 0, 16) : QString();
}

}  // namespace

TLaunchResult TXdgShell::OpenDocument(const QString &path) {
  const QString type = QMimeDatabase().mimeTypeForFile(path).name();
  const std::optional<TDesktopApplication> application = TMimeApps::FromEnvironment().DefaultApplication(type);
  if (!application)
    return {TLaunchResult::lrNoAssociation, QStringLiteral("no application is registered for files of the type %1").arg(type)};
  return StartCommandLine(application->CommandLine, {QFileInfo(path).absoluteFilePath()});
}

TLaunchResult TXdgShell::ChooseApplication(const QString &path) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected())
    return {TLaunchResult::lrNoChooser, QStringLiteral("no desktop session bus")};
  // The portal takes the file as an open descriptor, so it opens exactly the file meant here.
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return {TLaunchResult::lrFileNotFound, {}};
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
      QStringLiteral("org.freedesktop.portal.OpenURI"), QStringLiteral("OpenFile"));
  call << ParentWindow() << QVariant::fromValue(QDBusUnixFileDescriptor(fd))
       << QVariantMap{{QStringLiteral("ask"), true}};
  ::close(fd);  // the descriptor object holds its own copy
  const QDBusMessage reply = bus.call(call, QDBus::Block, 25000);
  if (reply.type() == QDBusMessage::ReplyMessage)
    return {TLaunchResult::lrOk, {}};
  const QString error = reply.errorName();
  if (error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
      error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
      error == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
      error == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface") ||
      error == QLatin1String("org.freedesktop.DBus.Error.UnknownObject"))
    return {TLaunchResult::lrNoChooser, QStringLiteral("no application chooser is available")};
  return {TLaunchResult::lrFailed, reply.errorMessage()};
}

TLaunchResult TXdgShell::StartProgram(const QString &program, const QStringList &arguments) {
  // A path to an existing file is the program itself, spaces in its name included; anything else is a
  // command line of a desktop entry (or a bare program name, which splits into itself).
  const QFileInfo info(program);
  if (program.isEmpty())
    return {TLaunchResult::lrFileNotFound, {}};
  if (info.isFile())
    return Start(QStringList{info.absoluteFilePath()} + arguments);
  if (!SplitCommandLine(program))
    return {TLaunchResult::lrFileNotFound, {}};
  return StartCommandLine(program, arguments);
}

bool TXdgShell::OpenAddress(const QUrl &address) {
  // The browser is the handler of the address's scheme, or else that of web pages.
  TMimeApps associations = TMimeApps::FromEnvironment();
  std::optional<TDesktopApplication> browser =
      associations.DefaultApplication(QLatin1String("x-scheme-handler/") + address.scheme().toLower());
  if (!browser)
    browser = associations.DefaultApplication(QStringLiteral("x-scheme-handler/http"));
  return browser && StartCommandLine(browser->CommandLine, {QString::fromLatin1(address.toEncoded())}).Ok();
}

TApplicationList TXdgShell::ApplicationsFor(const QString &extension) {
  return TMimeApps::FromEnvironment().ApplicationsForExtension(extension);
}

// Starts copies of the built program on an X server of the test's own (Xvfb, which picks a free display)
// and checks what a user sees and what lands on disk: one instance per program file, the second start
// bringing the first window back and writing nothing, and the files written at the end.
#include "testSupport.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int StartTimeout = 20000;  // the sanitizer build starts slowly

// An X server on a display it chose itself, for the lifetime of the object.
class TXServer {
public:
  TXServer() {
    FProcess.setProgram(QStandardPaths::findExecutable(QStringLiteral("Xvfb")));
    FProcess.setArguments({"-displayfd", "1", "-nolisten", "tcp", "-noreset", "-screen", "0", "1280x800x24"});
    FProcess.setProcessChannelMode(QProcess::SeparateChannels);
    FProcess.start();
    if (!FProcess.waitForStarted(5000))
      return;
    QElapsedTimer timer;
    timer.start();
    while (!FProcess.canReadLine() && timer.elapsed() < 10000)
      FProcess.waitForReadyRead(200);
    const QByteArray line = FProcess.readLine().trimmed();
    if (!line.isEmpty())
      FDisplay = QStringLiteral(":") + QString::fromLatin1(line);
  }
  ~TXServer() {
    FProcess.terminate();
    if (!FProcess.waitForFinished(3000))
      FProcess.kill();
    FProcess.waitForFinished(1000);
  }
  const QString &Display() const { return FDisplay; }

private:
  QProcess FProcess;
  QString FDisplay;
};

// Everything in a folder with size and modification time, to tell whether anything was written there.
QStringList Snapshot(const QString &folder) {
  QStringList entries;
  QDir dir(folder);
  for (const QFileInfo &info : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
    entries << QStringLiteral("%1 %2 %3").arg(info.fileName()).arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
  return entries;
}

class ProgramOnX : public ::testing::Test {
protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty())
      GTEST_SKIP() << "Xvfb, xdotool or xwininfo is not installed";
    FServer = std::make_unique<TXServer>();
    ASSERT_FALSE(FServer->Display().isEmpty()) << "Xvfb did not start";
    ASSERT_TRUE(FArea.isValid());
    ::chmod(FArea.path().toUtf8().constData(), 0755);  // an unprivileged user must reach the folders in it
  }

  // A new folder in the test area (0755) holding a copy of the program.
  QString ProgramCopy(const QString &name) {
    const QString folder = FArea.path() + QLatin1Char('/') + name;
    EXPECT_TRUE(QDir().mkpath(folder));
    const QString program = folder + QLatin1String("/QuillnotePortable");
    EXPECT_TRUE(QFile::copy(QStringLiteral(QN_PROGRAM_PATH), program));
    return program;
  }
  QString Folder(const QString &name) {
    const QString folder = FArea.path() + QLatin1Char('/') + name;
    QDir().mkpath(folder);
    return folder;
  }

  // The environment of a program start: this display, Qt choosing its platform itself, the C locale,
  // and private homes, so that nothing outside the test area is read or written.
  QProcessEnvironment Environment(const QString &home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), FServer->Display());
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("LANGUAGE"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QLatin1String("/config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QLatin1String("/data"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QLatin1String("/runtime"));
    QDir().mkpath(home + QLatin1String("/runtime"));
    ::chmod((home + QLatin1String("/runtime")).toUtf8().constData(), 0700);
    return environment;
  }

  std::unique_ptr<QProcess> Start(const QString &program, const QProcessEnvironment &environment,
                                  const std::function<void()> &inChild = {}) {
    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(FArea.path());
    if (inChild)
      process->setChildProcessModifier(inChild);
    process->start();
    EXPECT_TRUE(process->waitForStarted(5000)) << program.toStdString();
    return process;
  }

  // Output of an X tool on this display.
  QString Tool(const QString &tool, const QStringList &arguments, int timeout = 5000) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), FServer->Display());
    process.setProcessEnvironment(environment);
    process.start(tool, arguments);
    process.waitForFinished(timeout);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
  }

  // The visible window captioned "Quillnote" of that process, waiting for it; empty when none came.
  QString WindowOf(const QProcess &process) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < StartTimeout) {
      const QString found = Tool(QStringLiteral("xdotool"), {"search", "--all", "--onlyvisible", "--pid",
                                                             QString::number(process.processId()), "--name", "^Quillnote$"});
      if (!found.isEmpty())
        return found.section(QLatin1Char('\n'), 0, 0);
      if (process.state() != QProcess::Running)
        return {};
      QThread::msleep(100);
    }
    return {};
  }

  bool IsViewable(const QString &window) {
    return Tool(QStringLiteral("xwininfo"), {"-id", window}).contains(QLatin1String("Map State: IsViewable"));
  }

  // Waits up to `ms` for `condition`.
  static bool Eventually(const std::function<bool()> &condition, int ms = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
      if (timer.elapsed() > ms)
        return false;
      QThread::msleep(50);
    }
    return true;
  }

  // SIGTERM, then the orderly end: exit code 0.
  static void Terminate(QProcess &process) {
    ::kill(pid_t(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(StartTimeout));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  }

  std::unique_ptr<TXServer> FServer;
  QTemporaryDir FArea;
};

TEST_F(ProgramOnX, OneInstancePerProgramFile) {
  const QString program = ProgramCopy(QStringLiteral("first"));
  const QString folder = QFileInfo(program).absolutePath();
  const QString home = Folder(QStringLiteral("home"));
  const QProcessEnvironment environment = Environment(home);

  auto first = Start(program, environment);
  const QString window = WindowOf(*first);
  ASSERT_FALSE(window.isEmpty()) << first->readAllStandardError().toStdString();

  // Hidden: the second start must bring it back.
  Tool(QStringLiteral("xdotool"), {"windowunmap", "--sync", window});
  ASSERT_FALSE(IsViewable(window));
  const QStringList before = Snapshot(folder) + Snapshot(home + QLatin1String("/config")) + Snapshot(home + QLatin1String("/data"));

  QElapsedTimer timer;
  timer.start();
  auto second = Start(program, environment);
  ASSERT_TRUE(second->waitForFinished(2000)) << "the second start did not end within two seconds";
  EXPECT_LT(timer.elapsed(), 2000);
  EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
  EXPECT_EQ(Snapshot(folder) + Snapshot(home + QLatin1String("/config")) + Snapshot(home + QLatin1String("/data")), before);

  EXPECT_TRUE(Eventually([&] { return IsViewable(window); })) << "the first window was not mapped again";
  EXPECT_TRUE(Eventually([&] { return Tool(QStringLiteral("xdotool"), {"getwindowfocus"}) == window; }))
      << "the first window did not get the focus";

  // A copy in another folder is an instance of its own, beside the first.
  const QString otherProgram = ProgramCopy(QStringLiteral("second"));
  auto other = Start(otherProgram, environment);
  EXPECT_FALSE(WindowOf(*other).isEmpty());
  EXPECT_EQ(first->state(), QProcess::Running);

  // The orderly end writes the settings (the default language of a C locale) and the session.
  Terminate(*first);
  const QByteArray settings = ReadFileBytes(folder + QLatin1String("/QuillnotePortable.settings"));
  EXPECT_TRUE(settings.contains("<Language Value=ENU/>")) << settings.toStdString();
  EXPECT_TRUE(QFile::exists(folder + QLatin1String("/QuillnotePortable.session")));
  EXPECT_TRUE(Snapshot(home + QLatin1String("/config")).isEmpty());
  Terminate(*other);
  EXPECT_TRUE(QFile::exists(QFileInfo(otherProgram).absolutePath() + QLatin1String("/QuillnotePortable.session")));

  // A killed instance leaves its lock behind, which does not block the next start.
  auto killed = Start(program, environment);
  ASSERT_FALSE(WindowOf(*killed).isEmpty());
  killed->kill();
  killed->waitForFinished(5000);
  auto next = Start(program, environment);
  EXPECT_FALSE(WindowOf(*next).isEmpty()) << next->readAllStandardError().toStdString();
  Terminate(*next);
}

TEST_F(ProgramOnX, AProgramFolderThatTakesNoFileUsesTheXdgLayout) {
  const QString program = ProgramCopy(QStringLiteral("readonly"));
  const QString folder = QFileInfo(program).absolutePath();
  const QString home = Folder(QStringLiteral("user"));
  QProcessEnvironment environment = Environment(home);
  std::function<void()> asUser;
  if (::geteuid() == 0) {
    // Root writes everywhere; the folder is refused to an unprivileged user instead.
    const passwd *nobody = ::getpwnam("nobody");
    if (!nobody)
      GTEST_SKIP() << "no unprivileged user to run as";
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    for (const QString &path : {home, home + QLatin1String("/runtime")})
      ASSERT_EQ(::chown(path.toUtf8().constData(), uid, gid), 0);
    asUser = [uid, gid] {
      if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
        ::_exit(125);
    };
  }
  ::chmod(folder.toUtf8().constData(), 0555);

  auto process = Start(program, environment, asUser);
  ASSERT_FALSE(WindowOf(*process).isEmpty()) << process->readAllStandardError().toStdString();
  Terminate(*process);
  ::chmod(folder.toUtf8().constData(), 0755);
  EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"QuillnotePortable"});
  EXPECT_TRUE(ReadFileBytes(home + QLatin1String("/config/quillnote/QuillnotePortable.settings")).contains("ENU"));
  EXPECT_TRUE(QFile::exists(home + QLatin1String("/config/quillnote/QuillnotePortable.session")));
  EXPECT_TRUE(QFileInfo(home + QLatin1String("/data/quillnote")).isDir());
}

}  // namespace

#include "cliRun.h"
#include "testSupport.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TRun RunCli(const QStringList &args) {
  // A runtime folder of its own keeps Qt from warning about a missing one on standard error.
  static QTemporaryDir runtime;
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(QN_CLI_PATH), args);
  EXPECT_TRUE(process.waitForFinished(60000));
  return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QString CliTest::File(const char *name, const QByteArray &bytes) {
  const QString path = FDir.filePath(QString::fromUtf8(name));
  WriteFileBytes(path, bytes);
  return path;
}

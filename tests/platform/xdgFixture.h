// Points the XDG variables, the PATH and the locale at the fixture tree in data/xdg for the lifetime of
// the object, and puts the previous values back. The MIME database stays the system's: a folder that
// holds only a link to it ends $XDG_DATA_DIRS.
#pragma once

#include "testSupport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

class TXdgFixture {
public:
  explicit TXdgFixture(const char *locale = "C", const char *desktop = "TestDE:Other") {
    const QString root = QN_FIXTURE("xdg");
    QFile::link(QStringLiteral("/usr/share/mime"), FScratch.path() + QLatin1String("/mime"));
    Set("XDG_CONFIG_HOME", root + QLatin1String("/config"));
    Set("XDG_CONFIG_DIRS", root + QLatin1String("/configdirs/xdg"));
    Set("XDG_DATA_HOME", root + QLatin1String("/home"));
    Set("XDG_DATA_DIRS", root + QLatin1String("/system:") + FScratch.path());
    Set("XDG_CURRENT_DESKTOP", QString::fromUtf8(desktop));
    Set("LC_ALL", {});
    Set("LC_MESSAGES", {});
    Set("LANG", QString::fromUtf8(locale));
    Set("PATH", root + QLatin1String("/bin:") + qEnvironmentVariable("PATH"));
    Set("QN_RECORD_FILE", RecordFile());
  }
  ~TXdgFixture() {
    for (auto it = FSaved.cbegin(); it != FSaved.cend(); ++it)
      if (it.value().isNull())
        qunsetenv(it.key().constData());
      else
        qputenv(it.key().constData(), it.value());
  }
  TXdgFixture(const TXdgFixture &) = delete;
  TXdgFixture &operator=(const TXdgFixture &) = delete;

  QString RecordFile() const { return FScratch.path() + QLatin1String("/record"); }
  QString Scratch() const { return FScratch.path(); }

  // The argument vector the stand-in application qn-record (or qn-sandbox) was started with, its own
  // path first; empty when it did not run within five seconds. The record is consumed.
  QStringList Recorded() {
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(RecordFile()) && timer.elapsed() < 5000)
      QThread::msleep(10);
    QByteArray bytes = ReadFileBytes(RecordFile());
    QFile::remove(RecordFile());
    QStringList argv;
    for (const QByteArray &argument : bytes.split('\0'))
      argv.append(QString::fromUtf8(argument));
    if (!argv.isEmpty())
      argv.removeLast();  // after the last NUL
    if (!argv.isEmpty())
      argv[0] = argv[0].section(QLatin1Char('/'), -1);
    return argv;
  }

private:
  void Set(const char *name, const QString &value) {
    if (!FSaved.contains(name))
      FSaved.insert(name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray());
    if (value.isNull())
      qunsetenv(name);
    else
      qputenv(name, value.toUtf8());
  }

  QTemporaryDir FScratch;
  QHash<QByteArray, QByteArray> FSaved;  // a null value: the variable was not set
};

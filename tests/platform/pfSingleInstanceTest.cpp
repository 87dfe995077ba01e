#include "pfSingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Runs the event loop until `done` holds or two seconds passed.
bool ProcessUntil(const std::function<bool()> &done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < 2000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

class SingleInstance : public ::testing::Test {
protected:
  void SetUp() override {
    FSavedRuntime = qgetenv("XDG_RUNTIME_DIR");
    FSavedTemp = qgetenv("TMPDIR");
    qputenv("XDG_RUNTIME_DIR", FRuntime.path().toUtf8());
    qputenv("TMPDIR", FTemp.path().toUtf8());
  }
  void TearDown() override {
    qputenv("XDG_RUNTIME_DIR", FSavedRuntime);
    qputenv("TMPDIR", FSavedTemp);
  }
  QTemporaryDir FRuntime, FTemp;  // created 0700
  QByteArray FSavedRuntime, FSavedTemp;
};

TEST_F(SingleInstance, TheSecondHolderOfAKeyAsksTheFirstToShowItself) {
  int activations = 0;
  auto first = std::make_unique<TLocalSingleInstance>();
  ASSERT_TRUE(first->Acquire(QStringLiteral("0123abcd")));
  first->SetActivationHandler([&] { ++activations; });
  EXPECT_TRUE(QFile::exists(FRuntime.path() + QLatin1String("/quillnote-0123abcd.lock")));

  TLocalSingleInstance second, other;
  EXPECT_FALSE(second.Acquire(QStringLiteral("0123abcd")));
  EXPECT_TRUE(ProcessUntil([&] { return activations == 1; }));
  EXPECT_TRUE(other.Acquire(QStringLiteral("4567ef")));  // another key is another instance

  // When the holder ends, the key is free again, although its lock file stays.
  first.reset();
  EXPECT_TRUE(QFile::exists(FRuntime.path() + QLatin1String("/quillnote-0123abcd.lock")));
  EXPECT_FALSE(QFile::exists(FRuntime.path() + QLatin1String("/quillnote-0123abcd.socket")));
  TLocalSingleInstance third;
  EXPECT_TRUE(third.Acquire(QStringLiteral("0123abcd")));
  EXPECT_EQ(activations, 1);
}

TEST_F(SingleInstance, FilesLeftByAHolderThatWasKilledDoNotBlock) {
  // A killed holder leaves its lock file and its socket file; the kernel has dropped the lock itself.
  const QString base = FRuntime.path() + QLatin1String("/quillnote-feed");
  QFile(base + QLatin1String(".lock")).open(QIODevice::WriteOnly);
  QFile(base + QLatin1String(".socket")).open(QIODevice::WriteOnly);
  int activations = 0;
  TLocalSingleInstance first, second;
  ASSERT_TRUE(first.Acquire(QStringLiteral("feed")));
  first.SetActivationHandler([&] { ++activations; });
  EXPECT_FALSE(second.Acquire(QStringLiteral("feed")));
  EXPECT_TRUE(ProcessUntil([&] { return activations == 1; }));
}

TEST_F(SingleInstance, RuntimeFolderIsPrivate) {
  EXPECT_EQ(TLocalSingleInstance::RuntimeFolder(), FRuntime.path() + QLatin1Char('/'));
  // A runtime folder others may enter is not used; a private folder in the temporary folder is.
  ASSERT_EQ(::chmod(FRuntime.path().toUtf8().constData(), 0755), 0);
  const QString own = FTemp.path() + QStringLiteral("/quillnote-runtime-%1").arg(::getuid());
  EXPECT_EQ(TLocalSingleInstance::RuntimeFolder(), own + QLatin1Char('/'));
  struct stat info {};
  ASSERT_EQ(::stat(own.toUtf8().constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  qunsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(TLocalSingleInstance::RuntimeFolder(), own + QLatin1Char('/'));
  // That folder opened to others, or replaced by a link, is refused; the program then runs unguarded.
  ASSERT_EQ(::chmod(own.toUtf8().constData(), 0755), 0);
  EXPECT_EQ(TLocalSingleInstance::RuntimeFolder(), QString());
  ASSERT_TRUE(QDir(own).removeRecursively());
  ASSERT_TRUE(QFile::link(FRuntime.path(), own));
  EXPECT_EQ(TLocalSingleInstance::RuntimeFolder(), QString());
  TLocalSingleInstance unguarded;
  EXPECT_TRUE(unguarded.Acquire(QStringLiteral("abc")));
}

}  // namespace

#include "unShutdown.h"

#include "cuClasses.h"
#include "testSupport.h"
#include "unFileLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class TFakeDocument : public TShutdownDocument {
public:
  bool ChangesPending() const override { return true; }
  void SaveNow() override { throw EException(QStringLiteral("Disk full")); }
  void SaveCopy(const QString &fileName) override {
    Copies.append(fileName);
    if (FailCopy)
      throw EException(QStringLiteral("Cannot write"));
    WriteFileBytes(fileName, "<Quillnote/>\r\n");
  }
  QStringList Copies;
  bool FailCopy = false;
};

class Recovery : public ::testing::Test {
protected:
  void SetUp() override {
    FSaved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", FHome.path().toUtf8());
  }
  void TearDown() override { qputenv("XDG_DATA_HOME", FSaved); }
  QTemporaryDir FHome;
  QByteArray FSaved;
};

TEST_F(Recovery, WritesNewFilesAndNeverOverwrites) {
  const QString folder = FHome.path() + QLatin1String("/quillnote/");
  QDir().mkpath(folder);
  // The XDG layout keeps the data file in the same folder; it is never touched.
  WriteFileBytes(folder + QLatin1String("QuillnotePortable.qnt"), "data");
  TFakeDocument document;
  EXPECT_EQ(WriteRecoveryFile(document, QStringLiteral("QuillnotePortable")), folder + QLatin1String("QuillnotePortableRecovery1.qnt"));
  EXPECT_EQ(WriteRecoveryFile(document, QStringLiteral("QuillnotePortable")), folder + QLatin1String("QuillnotePortableRecovery2.qnt"));
  EXPECT_EQ(ReadFileBytes(folder + QLatin1String("QuillnotePortableRecovery1.qnt")), QByteArray("<Quillnote/>\r\n"));
  EXPECT_EQ(ReadFileBytes(folder + QLatin1String("QuillnotePortable.qnt")), QByteArray("data"));
  // A percent sign in the base name is no placeholder.
  EXPECT_EQ(WriteRecoveryFile(document, QStringLiteral("Q%dn")), folder + QLatin1String("Q_dnRecovery1.qnt"));
}

TEST_F(Recovery, AFailedCopyLeavesNothing) {
  TFakeDocument document;
  document.FailCopy = true;
  EXPECT_THROW(WriteRecoveryFile(document, QStringLiteral("QuillnotePortable")), EException);
  ASSERT_EQ(document.Copies.size(), 1);
  EXPECT_FALSE(QFile::exists(document.Copies[0]));
}

TEST(ShutdownSignals, ArriveOnTheMainLoopAndTheOldHandlersReturn) {
  QList<int> received;
  {
    TShutdownSignals caught([&](int signal) { received.append(signal); });
    EXPECT_THROW(TShutdownSignals([](int) {}), EException);
    std::raise(SIGTERM);
    std::raise(SIGHUP);
    std::raise(SIGINT);
    EXPECT_TRUE(received.isEmpty());  // nothing is done inside the handler
    QElapsedTimer timer;
    timer.start();
    while (received.size() < 3 && timer.elapsed() < 2000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  EXPECT_EQ(received, (QList<int>{SIGTERM, SIGHUP, SIGINT}));
  struct sigaction current {};
  ::sigaction(SIGTERM, nullptr, &current);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
}

}  // namespace

#include "cuFileSystem.h"
#include "cuKnot.h"
#include "testFaultyFileSystem.h"
#include "testSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace {


TEST(AtomicWrite, FailuresLeaveTheOldFileWholeAndNoTemporaryFile) {
  struct TCase {
    TFault Fault;
    const char *Reason;
  };
  const TCase cases[] = {{fFullDisk, "No space left on device"},
                         {fSyncFails, "Input/output error"},
                         {fRenameFails, "Permission denied"},
                         {fReadOnlyFolder, "Read-only file system"}};
  for (const TCase &c : cases) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("data.qnt"));
    const QByteArray old("old content\r\n");
    WriteFileBytes(name, old);
    TFaultyFileSystem faulty(c.Fault);
    try {
      AtomicWriteFile(name, QByteArray(100000, 'n'));
      ADD_FAILURE() << "no exception for fault " << c.Fault;
    } catch (const EException &e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Cannot create file \"%1\". %2").arg(name, QString::fromUtf8(c.Reason)));
    }
    EXPECT_EQ(ReadFileBytes(name), old) << c.Fault;
    EXPECT_EQ(FolderEntries(dir.path()), QStringList{QStringLiteral("data.qnt")}) << c.Fault;
  }
}

TEST(AtomicWrite, KnotSaveFailureRaisesAndKeepsTheFile) {
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("x.settings"));
  WriteFileBytes(name, "<x/>\r\n");
  TFaultyFileSystem faulty(fFullDisk);
  auto k = MakeNode<TKnot>(QStringLiteral("changed"));
  EXPECT_THROW(k->SaveToFile(name), EException);
  EXPECT_EQ(ReadFileBytes(name), QByteArray("<x/>\r\n"));
}

TEST(AtomicWrite, KeepsPermissionBitsAndWritesThroughSymbolicLinks) {
  QTemporaryDir dir;
  const QString real = dir.filePath(QStringLiteral("real.session"));
  const QString link = dir.filePath(QStringLiteral("link.session"));
  WriteFileBytes(real, "old");
  ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
  ASSERT_TRUE(QFile::link(real, link));

  AtomicWriteFile(link, "new");
  EXPECT_EQ(ReadFileBytes(real), QByteArray("new"));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  struct stat st;
  ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(FolderEntries(dir.path()), (QStringList{QStringLiteral("link.session"), QStringLiteral("real.session")}));

  // A new file gets the default bits less the umask.
  const QString fresh = dir.filePath(QStringLiteral("fresh"));
  AtomicWriteFile(fresh, "x");
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ASSERT_EQ(::stat(QFile::encodeName(fresh).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0666u & ~mask);
}

TEST(AtomicWrite, CallerNamedTemporaryFilesSkipNamesThatExist) {
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("doc.qnt"));
  const QString rplc1 = dir.filePath(QStringLiteral("Rplc1.tmp"));
  WriteFileBytes(rplc1, "someone else's");
  QStringList tried;
  auto rplc = [&](const QString &folder, const QString &, int attempt) {
    tried << QStringLiteral("Rplc%1.tmp").arg(attempt);
    return folder + QStringLiteral("/Rplc%1.tmp").arg(attempt);
  };
  AtomicWriteFile(name, "doc", rplc);
  EXPECT_EQ(tried, (QStringList{QStringLiteral("Rplc1.tmp"), QStringLiteral("Rplc2.tmp")}));
  EXPECT_EQ(ReadFileBytes(rplc1), QByteArray("someone else's"));
  EXPECT_EQ(ReadFileBytes(name), QByteArray("doc"));
  EXPECT_EQ(FolderEntries(dir.path()), (QStringList{QStringLiteral("Rplc1.tmp"), QStringLiteral("doc.qnt")}));
}

}  // namespace

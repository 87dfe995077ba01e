#include "testSupport.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct TRun {
  int Status;
  QByteArray Out, Err;
};

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

class CliKnot : public ::testing::Test {
protected:
  QString File(const char *name, const QByteArray &bytes) {
    const QString path = FDir.filePath(QString::fromUtf8(name));
    WriteFileBytes(path, bytes);
    return path;
  }
  QTemporaryDir FDir;
};

TEST_F(CliKnot, FormatsADataFileWithTheDataFileRules) {
  const QString file = File("in.qnt", "<Quillnote FormatVersion=\"1.1\"><Chars Value=\"a&amp;b\tc\"/><Br/><Star/></Quillnote>");
  TRun run = RunCli({QStringLiteral("knot"), file});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, QByteArray("\xEF\xBB\xBF<Quillnote FormatVersion=\"1.1\">\r\n\t<Chars Value=\"a&amp;b&#9;c\"/>\r\n"
                                "\t<Br/>\r\n\t<Star/>\r\n</Quillnote>\r\n"));
  EXPECT_TRUE(run.Err.isEmpty()) << run.Err.toStdString();
}

TEST_F(CliKnot, RawRewritesASettingsFileByteForByte) {
  const QByteArray settings = ReadFileBytes(QStringLiteral(QN_SOURCE_DIR "/tests/core/data/settings.golden"));
  TRun run = RunCli({QStringLiteral("knot"), QStringLiteral("--raw"), File("x.settings", settings)});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, settings);
}

TEST_F(CliKnot, DamagedTextStillWritesTheTreeAndExitsWithThree) {
  TRun run = RunCli({QStringLiteral("knot"), File("bad.qnt", "<a><b v=1/>text")});
  EXPECT_EQ(run.Status, 3);
  EXPECT_EQ(run.Out, QByteArray("\xEF\xBB\xBF<a>\r\n\t<b v=\"1\"/>\r\n</a>\r\n"));
  EXPECT_TRUE(run.Err.contains("damaged")) << run.Err.toStdString();
}

TEST_F(CliKnot, MissingFileAndBadArguments) {
  const QString missing = FDir.filePath(QStringLiteral("missing.qnt"));
  TRun run = RunCli({QStringLiteral("knot"), missing});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err.trimmed(), (QStringLiteral("File not found: ") + missing).toUtf8());
  EXPECT_TRUE(run.Out.isEmpty());
  EXPECT_EQ(RunCli({QStringLiteral("knot")}).Status, 2);
  EXPECT_EQ(RunCli({QStringLiteral("knot"), QStringLiteral("--pretty"), missing}).Status, 2);
}

}  // namespace

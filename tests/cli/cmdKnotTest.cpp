#include "cliRun.h"
#include "testSupport.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CliKnot : public CliTest {};

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

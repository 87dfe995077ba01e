#include "cliRun.h"
#include "testSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CliResave : public ::testing::Test {
protected:
  QString Path(const char *name) const { return FDir.filePath(QString::fromUtf8(name)); }
  QTemporaryDir FDir;
};

TEST_F(CliResave, AFileTheProgramWroteComesBackByteForByte) {
  // Text, tabs, links, all six signs and a long paragraph, as the program writes them.
  const QByteArray notes = ReadFileBytes(QN_FIXTURE("notes.qnt"));
  TRun run = RunCli({QStringLiteral("resave"), QN_FIXTURE("notes.qnt"), Path("out.qnt")});
  EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
  EXPECT_EQ(ReadFileBytes(Path("out.qnt")), notes);
  // Nothing is left beside the target: the temporary file was renamed over it.
  EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.qnt")});
}

TEST_F(CliResave, TheDocumentExampleKeepsItsFrameAndCommentKnots) {
  TRun run = RunCli({QStringLiteral("resave"), QStringLiteral(QN_SOURCE_DIR "/tests/kinds/data/shopping.qnt"),
                     Path("out.qnt")});
  EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
  const QByteArray saved = ReadFileBytes(Path("out.qnt"));
  EXPECT_TRUE(saved.startsWith("\xEF\xBB\xBF<Quillnote FormatVersion=\"1.1\">\r\n\t<Chars Value=\"Shopping list\"/><Br/>\r\n"
                               "\t<Star/>\r\n\t<Chars Value=\" for the weekend\"/><Br/>\r\n\t<LogicFrame Expanded=\"0\">\r\n"));
  EXPECT_TRUE(saved.contains("\t\t\t<Chars Value=\"Groceries\"/>\r\n"));
  EXPECT_TRUE(saved.endsWith("\t</LogicFrame><Br/>\r\n\t<Comment>\r\n\t\t<Chars Value=\"Check the fridge first\"/>\r\n"
                             "\t</Comment>\r\n</Quillnote>\r\n"))
      << saved.toStdString();
}

TEST_F(CliResave, AMissingInputWritesNothing) {
  TRun run = RunCli({QStringLiteral("resave"), Path("missing.qnt"), Path("out.qnt")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err.trimmed(), (QStringLiteral("File not found: ") + Path("missing.qnt")).toUtf8());
  EXPECT_FALSE(QFile::exists(Path("out.qnt")));
  EXPECT_EQ(RunCli({QStringLiteral("resave"), Path("missing.qnt")}).Status, 2);
}

}  // namespace

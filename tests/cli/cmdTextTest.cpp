#include "cliRun.h"
#include "testSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CliText : public CliTest {};

TEST_F(CliText, ParagraphsEndInLineFeedsAndTabsStayTabs) {
  TRun run = RunCli({QStringLiteral("text"),
                     File("t.qnt", "<Quillnote FormatVersion=\"1.1\"><Chars Value=\"a&#9;b \xC3\xA4\"/><Br/>"
                                   "<Chars Value=\"c\"/></Quillnote>")});
  EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
  EXPECT_EQ(run.Out, QByteArray("a\tb \xC3\xA4\nc\n"));
}

TEST_F(CliText, AStarBetweenTextsStaysInTheFirstOfTwoParagraphs) {
  TRun run = RunCli({QStringLiteral("text"),
                     File("s.qnt", "<Quillnote FormatVersion=\"1.1\"><Chars Value=\"one \"/><Star/>"
                                   "<Chars Value=\" two\"/><Br/><Chars Value=\"three\"/></Quillnote>")});
  EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
  // A sign has no text of its own.
  EXPECT_EQ(run.Out, QByteArray("one  two\nthree\n"));
}

TEST_F(CliText, TheProgramsNotes) {
  TRun run = RunCli({QStringLiteral("text"), QN_FIXTURE("notes.qnt")});
  EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
  const QList<QByteArray> lines = run.Out.split('\n');
  ASSERT_EQ(lines.size(), 9);  // eight paragraphs, each ended
  EXPECT_EQ(lines[2], QByteArray(" Information:\tthe shop opens at 9\t(see ftp://files.example.org/hours.txt)"));
  EXPECT_TRUE(lines[8].isEmpty());
}

}  // namespace

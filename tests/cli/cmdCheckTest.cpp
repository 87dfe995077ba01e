#include "cliRun.h"
#include "testSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CliCheck : public CliTest {};

TEST_F(CliCheck, ACleanFileSaysNothingAndExitsWithZero) {
  TRun run = RunCli({QStringLiteral("check"), QN_FIXTURE("notes.qnt")});
  EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
  EXPECT_EQ(run.Out, QByteArray("--- element messages\n"));
}

TEST_F(CliCheck, ADamagedFileTellsItFirst) {
  TRun run = RunCli({QStringLiteral("check"),
                     File("bad.qnt", "<Quillnote FormatVersion=\"1.1\"><Chars Value=\"x\"/><Chars Value=\"y")});
  EXPECT_EQ(run.Status, 3);
  EXPECT_TRUE(run.Out.startsWith("warning: Data provided are corrupt\n")) << run.Out.toStdString();
  EXPECT_TRUE(run.Out.endsWith("--- element messages\n")) << run.Out.toStdString();
}

TEST_F(CliCheck, AnUnknownElementComplainsUnderTheElementMessages) {
  TRun run = RunCli({QStringLiteral("check"),
                     File("gadget.qnt", "<Quillnote FormatVersion=\"1.1\"><Chars Value=\"x\"/><Gadget/></Quillnote>")});
  EXPECT_EQ(run.Status, 3);
  const QString out = QString::fromUtf8(run.Out);
  const QString expectedTail = QStringLiteral(" Unaccepted error: Unsupported element \"Gadget\" in\u00A0this editor\n");
  EXPECT_TRUE(out.startsWith(QStringLiteral("--- element messages\n"))) << out.toStdString();
  EXPECT_TRUE(out.endsWith(expectedTail)) << out.toStdString();
  // The line names the element by its ID.
  const QString id = out.mid(21, out.size() - 21 - expectedTail.size());
  bool number = false;
  EXPECT_GT(id.toInt(&number), 0);
  EXPECT_TRUE(number) << id.toStdString();
}

TEST_F(CliCheck, AMissingFileIsAnErrorNotAnEmptyDocument) {
  TRun run = RunCli({QStringLiteral("check"), FDir.filePath(QStringLiteral("missing.qnt"))});
  EXPECT_EQ(run.Status, 1);
  EXPECT_TRUE(run.Out.isEmpty());
  EXPECT_EQ(RunCli({QStringLiteral("check")}).Status, 2);
}

}  // namespace

#include "cliRun.h"
#include "testSupport.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString RenderFixture(const char *name) {
  return QStringLiteral(QN_SOURCE_DIR "/tests/render/data/") + QString::fromLatin1(name);
}

TEST(CliImageInfo, PrintsFormatHeaderSizeAndEveryBitmap) {
  TRun run = RunCli({QStringLiteral("image-info"), RenderFixture("two.ico")});
  EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
  EXPECT_EQ(run.Out, "format: ico (Icon, 2)\nheader size: 32x32\nbitmap 1: 16x16\nbitmap 2: 32x32\n");

  run = RunCli({QStringLiteral("image-info"), RenderFixture("picture.png")});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "format: png (PNG, 11)\nheader size: 23x17\nbitmap 1: 23x17\n");

  run = RunCli({QStringLiteral("image-info"), RenderFixture("picture.tif")});
  EXPECT_EQ(run.Out, "format: tif (TIFF, 12)\nheader size: not found\nbitmap 1: 23x17\n");
}

TEST(CliImageInfo, ADecodingErrorPrintsItsTextAndFails) {
  QTemporaryDir dir;
  const QString broken = dir.filePath(QStringLiteral("broken.ico"));
  QByteArray icon = ReadFileBytes(RenderFixture("two.ico"));
  icon[6 + 11] = char(0x7F);  // the first image's byte size reaches far past the end of the file
  WriteFileBytes(broken, icon);
  TRun run = RunCli({QStringLiteral("image-info"), broken});
  EXPECT_EQ(run.Status, 1);
  EXPECT_TRUE(run.Out.startsWith("format: ico (Icon, 2)\n"));
  EXPECT_EQ(run.Err, "Invalid icon format\n");

  const QString text = dir.filePath(QStringLiteral("notes.txt"));
  WriteFileBytes(text, "not a picture");
  run = RunCli({QStringLiteral("image-info"), text});
  EXPECT_EQ(run.Status, 1);
  EXPECT_TRUE(run.Out.startsWith("format: none (\"txt\" is not an image extension)\nheader size: not found\n"));
  EXPECT_TRUE(run.Err.startsWith("Invalid image codec operation (3)"));

  run = RunCli({QStringLiteral("image-info"), dir.filePath(QStringLiteral("missing.png"))});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "File not found: " + dir.filePath(QStringLiteral("missing.png")).toUtf8() + "\n");
  EXPECT_EQ(RunCli({QStringLiteral("image-info")}).Status, 2);
}

} // namespace

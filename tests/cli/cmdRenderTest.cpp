#include "cliRun.h"
#include "testSupport.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CliRender : public ::testing::Test {
protected:
  QString Path(const char *name) const { return FDir.filePath(QString::fromUtf8(name)); }
  QTemporaryDir FDir;
};

// Rows of the picture that hold a pixel different from the background of its first pixel.
int InkedRows(const QImage &image) {
  int rows = 0;
  const QRgb background = image.pixel(0, 0);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != background) {
        ++rows;
        break;
      }
  return rows;
}

TEST_F(CliRender, ThePictureIsAsWideAsAskedAndAsTallAsTheText) {
  TRun run = RunCli({QStringLiteral("render"), QN_FIXTURE("notes.qnt"), Path("wide.png")});
  ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
  const QImage wide(Path("wide.png"));
  EXPECT_EQ(wide.width(), 800);
  EXPECT_GT(InkedRows(wide), wide.height() / 2);

  // Narrower, the long paragraph wraps into more rows; larger fonts make it taller still.
  run = RunCli({QStringLiteral("render"), QN_FIXTURE("notes.qnt"), Path("narrow.png"), QStringLiteral("--width"),
                QStringLiteral("300")});
  ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
  const QImage narrow(Path("narrow.png"));
  EXPECT_EQ(narrow.width(), 300);
  EXPECT_GT(narrow.height(), wide.height());
  run = RunCli({QStringLiteral("render"), QN_FIXTURE("notes.qnt"), Path("great.png"), QStringLiteral("--font-size"),
                QStringLiteral("great")});
  ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
  EXPECT_GT(QImage(Path("great.png")).height(), wide.height());
}

TEST_F(CliRender, ATallDocumentIsPaintedToItsEnd) {
  // Taller than one paint band, with a kept element across the first band's edge.
  QByteArray file = "<Quillnote FormatVersion=\"1.1\"><Chars Value=\"first\"/>";
  for (int i = 0; i < 45; ++i)
    file += "<Br/><Chars Value=\"line\"/>";
  file += "<Br/><Gadget><Part/><Part/><Part/><Part/></Gadget>";
  for (int i = 0; i < 45; ++i)
    file += "<Br/><Chars Value=\"line\"/>";
  file += "<Br/><Chars Value=\"last\"/></Quillnote>";
  WriteFileBytes(Path("long.qnt"), file);
  TRun run = RunCli({QStringLiteral("render"), Path("long.qnt"), Path("long.png")});
  ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
  const QImage image(Path("long.png"));
  ASSERT_GT(image.height(), 1100);
  // The last line is drawn near the bottom.
  EXPECT_GT(InkedRows(image.copy(0, image.height() - 40, image.width(), 40)), 5);
}

TEST_F(CliRender, ADocumentTallerThanTheLimitIsRefused) {
  QByteArray file = "<Quillnote FormatVersion=\"1.1\"><Chars Value=\"x\"/>";
  for (int i = 0; i < 8000; ++i)
    file += "<Br/><Chars Value=\"line\"/>";
  file += "</Quillnote>";
  WriteFileBytes(Path("tall.qnt"), file);
  TRun run = RunCli({QStringLiteral("render"), Path("tall.qnt"), Path("tall.png")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_TRUE(run.Err.contains("100000 pixels")) << run.Err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("tall.png")));
}

TEST_F(CliRender, BadArgumentsAndUnknownThemes) {
  const QString in = QN_FIXTURE("notes.qnt"), out = Path("x.png");
  const struct {
    QStringList Args;
    int Status;
  } cases[] = {
      {{in}, 2},
      {{in, out, QStringLiteral("--width"), QStringLiteral("0")}, 2},
      {{in, out, QStringLiteral("--width"), QStringLiteral("wide")}, 2},
      {{in, out, QStringLiteral("--font-size"), QStringLiteral("huge")}, 2},
      {{in, out, QStringLiteral("--colour")}, 2},
      {{in, out, QStringLiteral("--theme"), QStringLiteral("NoSuchTheme")}, 1},
  };
  for (const auto &c : cases) {
    TRun run = RunCli(QStringList{QStringLiteral("render")} + c.Args);
    EXPECT_EQ(run.Status, c.Status) << c.Args.join(u' ').toStdString();
  }
  EXPECT_FALSE(QFile::exists(out));
  EXPECT_EQ(RunCli({QStringLiteral("render"), in, out, QStringLiteral("--theme"), QStringLiteral("Dark")}).Status, 0);
}

}  // namespace

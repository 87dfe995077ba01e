#include "cliRun.h"
#include "testSupport.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

int Lightness(QRgb c) { return (qRed(c) + qGreen(c) + qBlue(c)) / 3; }

// The built-in theme draws on a light page, the dark theme (from the Themes folder next to the program)
// paints its page dark; a larger font size gives a larger sheet.
TEST(CliThemeSheet, DrawsTheBuiltInAndTheDarkTheme) {
  QTemporaryDir dir;
  const QString light = dir.filePath(QStringLiteral("light.png")), dark = dir.filePath(QStringLiteral("dark.png")),
                great = dir.filePath(QStringLiteral("great.png"));
  ASSERT_EQ(RunCli({QStringLiteral("theme-sheet"), light}).Status, 0);
  TRun run = RunCli({QStringLiteral("theme-sheet"), QStringLiteral("--theme"), QStringLiteral("Dark"), dark});
  ASSERT_EQ(run.Status, 0);
  EXPECT_EQ(run.Err, "");
  ASSERT_EQ(RunCli({QStringLiteral("theme-sheet"), QStringLiteral("--font-size"), QStringLiteral("great"), great}).Status, 0);
  const QImage a(light), b(dark), c(great);
  ASSERT_FALSE(a.isNull());
  ASSERT_FALSE(b.isNull());
  EXPECT_EQ(a.width(), 960);
  EXPECT_GT(a.height(), 1500);
  EXPECT_GT(Lightness(a.pixel(2, 2)), 200);
  EXPECT_LT(Lightness(b.pixel(2, 2)), 60);
  EXPECT_GT(c.height(), a.height());
}

TEST(CliThemeSheet, AnUnknownThemeIsReportedAndTheBuiltInOneDrawn) {
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("sheet.png"));
  TRun run = RunCli({QStringLiteral("theme-sheet"), QStringLiteral("--theme"), QStringLiteral("NoSuchTheme"), out});
  EXPECT_EQ(run.Status, 0);
  EXPECT_TRUE(run.Err.contains("NoSuchTheme.txt")) << run.Err.toStdString();
  EXPECT_TRUE(run.Err.contains("drawing the built-in theme"));
  EXPECT_FALSE(QImage(out).isNull());
  EXPECT_EQ(RunCli({QStringLiteral("theme-sheet"), QStringLiteral("--font-size"), QStringLiteral("huge"), out}).Status, 2);
  EXPECT_EQ(RunCli({QStringLiteral("theme-sheet")}).Status, 2);
}

} // namespace

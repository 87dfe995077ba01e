#include "pfShell.h"
#include "xdgFixture.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TEST(XdgShell, StartsProgramsWithEachArgumentIntact) {
  TXdgFixture xdg;
  TXdgShell shell;
  const QString nasty = QStringLiteral("/tmp/a b;$(touch x)`id`'\"\\.png");
  ASSERT_TRUE(shell.StartProgram(QStringLiteral("qn-record --paint %f"), {nasty}).Ok());
  EXPECT_EQ(xdg.Recorded(), (QStringList{"qn-record", "--paint", nasty}));

  // An existing path is the program itself, even with a space in it; its arguments follow unchanged.
  const QString spaced = xdg.Scratch() + QLatin1String("/My Editor");
  ASSERT_TRUE(QFile::copy(QN_FIXTURE("xdg/bin/qn-record"), spaced));
  ASSERT_TRUE(shell.StartProgram(spaced, {QStringLiteral("%f"), QStringLiteral("two words")}).Ok());
  EXPECT_EQ(xdg.Recorded(), (QStringList{"My Editor", "%f", "two words"}));

  ASSERT_TRUE(shell.StartProgram(QStringLiteral("qn-record"), {QStringLiteral("/x")}).Ok());
  EXPECT_EQ(xdg.Recorded(), (QStringList{"qn-record", "/x"}));
}

TEST(XdgShell, ProgramsThatCannotStart) {
  TXdgFixture xdg;
  TXdgShell shell;
  const QString notExecutable = xdg.Scratch() + QLatin1String("/plain");
  WriteFileBytes(notExecutable, "data");
  struct Case {
    QString Program;
    TLaunchResult::TStatus Status;
  } cases[] = {
      {QStringLiteral("qn-missing-program %f"), TLaunchResult::lrFileNotFound},
      {QStringLiteral("/nonexistent/My Editor"), TLaunchResult::lrFileNotFound},
      {QStringLiteral("qn-record \"open quote"), TLaunchResult::lrFileNotFound},
      {QString(), TLaunchResult::lrFileNotFound},
      {notExecutable, TLaunchResult::lrFailed},
  };
  for (const Case &c : cases)
    EXPECT_EQ(shell.StartProgram(c.Program, {QStringLiteral("/x")}).Status, c.Status) << c.Program.toStdString();
  EXPECT_FALSE(QFile::exists(xdg.RecordFile()));
}

TEST(XdgShell, OpensDocumentsWithTheDefaultApplication) {
  TXdgFixture xdg;
  TXdgShell shell;
  const QString picture = xdg.Scratch() + QLatin1String("/my picture.png");
  QFile::copy(QStringLiteral(QN_SOURCE_DIR "/tests/core/data/images/image.png"), picture);
  ASSERT_TRUE(shell.OpenDocument(picture).Ok());
  EXPECT_EQ(xdg.Recorded(), (QStringList{"qn-record", "--paint", picture}));

  const QString unknown = xdg.Scratch() + QLatin1String("/data.qn-unknown");
  WriteFileBytes(unknown, QByteArray("\x00\x01\x02\x03", 4));
  EXPECT_EQ(shell.OpenDocument(unknown).Status, TLaunchResult::lrNoAssociation);
}

TEST(XdgShell, AddressesGoToTheBrowserOfTheirScheme) {
  TXdgFixture xdg;
  TXdgShell shell;
  ASSERT_TRUE(shell.OpenAddress(QUrl(QStringLiteral("https://example.org/a b?x=1&y=$(id)"))));
  EXPECT_EQ(xdg.Recorded(), (QStringList{"qn-record", "--browser", "https://example.org/a%20b?x=1&y=$(id)"}));
  // No handler of its own: the browser of web pages.
  ASSERT_TRUE(shell.OpenAddress(QUrl(QStringLiteral("ftp://files.example.org/f"))));
  EXPECT_EQ(xdg.Recorded(), (QStringList{"qn-record", "--browser", "ftp://files.example.org/f"}));
}

TEST(XdgShell, NoChooserWithoutASessionBus) {
  TXdgFixture xdg;
  qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/qn-bus");
  TXdgShell shell;
  EXPECT_EQ(shell.ChooseApplication(QN_FIXTURE("xdg/bin/qn-record")).Status, TLaunchResult::lrNoChooser);
  EXPECT_EQ(shell.ApplicationsFor(QStringLiteral("gif")).Names, (QStringList{"Nested", "Viewer"}));
}

}  // namespace

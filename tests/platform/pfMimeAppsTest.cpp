#include "pfDesktopEntry.h"
#include "pfMimeApps.h"
#include "xdgFixture.h"

#include <gtest/gtest.h>

namespace {

TEST(MimeApps, ListsTheAssociationsInTheirOrderWithoutUnusableEntries) {
  TXdgFixture xdg;
  const TApplicationList png = TMimeApps::FromEnvironment().ApplicationsForExtension(QStringLiteral("png"));
  // The user's default (its first entry is not installed), the user's added viewer, then the entries'
  // own MimeType keys: the user removed the system editor; the distribution's removal of paint.desktop
  // does not reach the user's folder; hidden, not displayed, TryExec-less, program-less and repeated
  // command lines are left out; a link is no application; the sandboxed Paint keeps its own line.
  EXPECT_EQ(png.Names, (QStringList{"Paint", "Viewer", "Paint"}));
  EXPECT_EQ(png.Commands, (QStringList{"qn-record --paint %f", "qn-record --viewer %U",
                                       "qn-sandbox run --branch=stable org.example.Paint @@ %f @@"}));
  EXPECT_EQ(png.Default, 0);
}

TEST(MimeApps, DesktopSpecificListsComeFirstAndOnlyNameDefaults) {
  TXdgFixture xdg;
  const TApplicationList jpeg = TMimeApps::FromEnvironment().ApplicationsForExtension(QStringLiteral("JPG"));
  EXPECT_EQ(jpeg.Commands, (QStringList{"qn-sandbox run --branch=stable org.example.Paint @@ %f @@",
                                        "qn-record --viewer %U", "qn-record --paint %f"}));
  EXPECT_EQ(jpeg.Default, 0);
  {
    TXdgFixture otherDesktop("C", "Other");
    const TApplicationList plain = TMimeApps::FromEnvironment().ApplicationsForExtension(QStringLiteral("jpg"));
    EXPECT_EQ(plain.Commands, (QStringList{"qn-record --viewer %U", "qn-record --paint %f",
                                           "qn-sandbox run --branch=stable org.example.Paint @@ %f @@"}));
    EXPECT_EQ(plain.Default, 0);
  }
}

TEST(MimeApps, TheDefaultNeedNotBeFirstNorListed) {
  TXdgFixture xdg;
  TMimeApps apps = TMimeApps::FromEnvironment();
  // gif: the user added the nested entry (its desktop ID "kde-nested.desktop"), the system names the viewer.
  const TApplicationList gif = apps.ApplicationsForExtension(QStringLiteral("gif"));
  EXPECT_EQ(gif.Names, (QStringList{"Nested", "Viewer"}));
  EXPECT_EQ(gif.Default, 1);
  // bmp: the viewer lists the type by an alias; the default is not for menus, so no listed entry is it,
  // but it is what opens such files.
  const TApplicationList bmp = apps.ApplicationsForExtension(QStringLiteral("bmp"));
  EXPECT_EQ(bmp.Names, QStringList{"Viewer"});
  EXPECT_EQ(bmp.Default, -1);
  ASSERT_TRUE(apps.DefaultApplication(QStringLiteral("image/bmp")));
  EXPECT_EQ(apps.DefaultApplication(QStringLiteral("image/bmp"))->Id, QLatin1String("nodisplay.desktop"));
  EXPECT_TRUE(apps.ApplicationsForExtension(QStringLiteral("qn-unknown")).Names.isEmpty());
  EXPECT_EQ(apps.ApplicationsForExtension(QStringLiteral("qn-unknown")).Default, -1);
  EXPECT_FALSE(apps.DefaultApplication(QStringLiteral("application/x-qn-unknown")));
}

TEST(MimeApps, ParentTypesFollowTheTypeItself) {
  TXdgFixture xdg;
  // svg is xml, which is plain text: the text editor, with the distribution's default for text.
  const TApplicationList svg = TMimeApps::FromEnvironment().ApplicationsForExtension(QStringLiteral("svg"));
  EXPECT_EQ(svg.Names, QStringList{"Text Editor"});
  EXPECT_EQ(svg.Default, 0);
}

TEST(MimeApps, NamesInTheUsersLanguage) {
  struct Case {
    const char *Locale, *Paint, *Viewer;
  } cases[] = {
      {"de_AT.UTF-8", "Malen (Österreich)", "Betrachter"},
      {"de_DE.UTF-8@euro", "Malen", "Betrachter"},
      {"fr_FR.UTF-8", "Paint", "Viewer"},
      {"C", "Paint", "Viewer"},
  };
  for (const Case &c : cases) {
    TXdgFixture xdg(c.Locale);
    const TApplicationList png = TMimeApps::FromEnvironment().ApplicationsForExtension(QStringLiteral("png"));
    ASSERT_EQ(png.Names.size(), 3) << c.Locale;
    EXPECT_EQ(png.Names[0], QString::fromUtf8(c.Paint)) << c.Locale;
    EXPECT_EQ(png.Names[1], QString::fromUtf8(c.Viewer)) << c.Locale;
  }
  EXPECT_EQ(DesktopLocalesOf(QStringLiteral("sr_RS.UTF-8@latin")),
            (QStringList{"sr_RS@latin", "sr_RS", "sr@latin", "sr"}));
  EXPECT_TRUE(DesktopLocalesOf(QStringLiteral("POSIX")).isEmpty());
}

TEST(DesktopEntry, CommandLines) {
  struct Case {
    const char *Line;
    QStringList Targets;
    QStringList Argv;  // empty: refused
  } cases[] = {
      {"app %f", {"/tmp/a b.png"}, {"app", "/tmp/a b.png"}},
      {"app %u", {"/tmp/a b.png"}, {"app", "file:///tmp/a%20b.png"}},
      {"app %U", {"/x", "https://e.org/"}, {"app", "file:///x", "https://e.org/"}},
      {"app %F", {"file:///x/y", "/z"}, {"app", "/x/y", "/z"}},
      {"app --file=%f --name %c %i %k 100%%", {"/a"}, {"app", "--file=/a", "--name", "100%"}},
      {"app", {"/a;rm -rf ~"}, {"app", "/a;rm -rf ~"}},
      {"app %f", {}, {"app"}},
      {"\"/opt/My App/bin\" \"a \\\"b\\\" \\$HOME \\\\ \\`x\\`\" ''", {}, {"/opt/My App/bin", "a \"b\" $HOME \\ `x`", "''"}},
      {"  app\t-x  ", {"/a"}, {"app", "-x", "/a"}},
      {"app \"open", {"/a"}, {}},
      {"   ", {"/a"}, {}},
  };
  for (const Case &c : cases) {
    const std::optional<QStringList> argv = ExpandCommandLine(QString::fromUtf8(c.Line), c.Targets);
    if (c.Argv.isEmpty())
      EXPECT_FALSE(argv) << c.Line;
    else
      EXPECT_EQ(argv.value_or(QStringList{"(refused)"}), c.Argv) << c.Line;
  }
}

TEST(DesktopEntry, ValuesEscapesAndLists) {
  const std::optional<TDesktopEntry> entry = TDesktopEntry::Parse(
      "# comment\n[Other]\nName=Not this\n[Desktop Entry]\nName = Spaced\\sout\\\\ \nName=Repeated\n"
      "MimeType=a/b;c\\;d;;e/f\nNoDisplay=true\nHidden=yes\n[Desktop Action x]\nExec=other\n");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->Value(QStringLiteral("Name")), QLatin1String("Spaced out\\"));
  EXPECT_EQ(entry->ListValue(QStringLiteral("MimeType")), (QStringList{"a/b", "c;d", "e/f"}));
  EXPECT_TRUE(entry->BoolValue(QStringLiteral("NoDisplay")));
  EXPECT_FALSE(entry->BoolValue(QStringLiteral("Hidden")));
  EXPECT_FALSE(entry->Has(QStringLiteral("Exec")));
  EXPECT_FALSE(TDesktopEntry::Parse("[Other]\nName=x\n"));
}

}  // namespace

#include "cuClasses.h"
#include "cuUtils.h"
#include "testFakes.h"
#include "testSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

QString ErrorOf(const std::function<void()> &action) {
  try {
    action();
  } catch (const EException &e) {
    return e.Message();
  }
  return QStringLiteral("(no error)");
}

TEST(FileNames, BaseNameAndExtension) {
  struct Case {
    const char *Path, *Base, *Extension;
  } cases[] = {
      {"/opt/q/QuillnotePortable", "QuillnotePortable", ""},
      {"/opt/q/QuillnotePortable.qnt", "QuillnotePortable", "qnt"},
      {"/a.b/Notes.backup.qnt", "Notes.backup", "qnt"},
      {"File1.PNG", "File1", "PNG"},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(BaseName(QString::fromUtf8(c.Path)), QString::fromUtf8(c.Base)) << c.Path;
    EXPECT_EQ(ExtensionOf(QString::fromUtf8(c.Path)), QString::fromUtf8(c.Extension)) << c.Path;
  }
  EXPECT_TRUE(ProgramFolder().endsWith(QLatin1Char('/')));
  EXPECT_EQ(ProgramFolder() + QFileInfo(ProgramFileName()).fileName(), ProgramFileName());
  EXPECT_TRUE(TempFolder().endsWith(QLatin1Char('/')));
}

TEST(CreateUniqueFile, TakesTheFirstFreeNumberAndNeverOpensWhatExists) {
  QTemporaryDir dir;
  const QString folder = dir.path() + QLatin1Char('/');
  WriteFileBytes(folder + QLatin1String("Rplc1.tmp"), "one");
  WriteFileBytes(folder + QLatin1String("Rplc2.tmp"), "two");
  // A dangling link is taken too: creating through it would write wherever it points.
  ASSERT_TRUE(QFile::link(folder + QLatin1String("elsewhere"), folder + QLatin1String("Rplc3.tmp")));

  TUniqueFile created = CreateUniqueFile(QStringLiteral("Rplc%d"), QStringLiteral("tmp"), folder);
  EXPECT_EQ(created.Path, folder + QLatin1String("Rplc4.tmp"));
  ASSERT_TRUE(created.File && created.File->isOpen());
  EXPECT_EQ(created.File->write("x"), 1);
  created.File->close();
  EXPECT_EQ(ReadFileBytes(created.Path), QByteArray("x"));
  EXPECT_EQ(ReadFileBytes(folder + QLatin1String("Rplc1.tmp")), QByteArray("one"));
  EXPECT_FALSE(QFileInfo::exists(folder + QLatin1String("elsewhere")));
  EXPECT_EQ(QFile::permissions(created.Path) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

  // No extension: no point. No folder: the temporary folder.
  EXPECT_EQ(CreateUniqueFile(QStringLiteral("File%d"), {}, folder).Path, folder + QLatin1String("File1"));
  TUniqueFile temporary = CreateUniqueFile(QStringLiteral("qn-test-%d"), QStringLiteral("png"));
  EXPECT_TRUE(temporary.Path.startsWith(TempFolder()));
  QFile::remove(temporary.Path);
}

TEST(CreateUniqueFile, Errors) {
  QTemporaryDir dir;
  const QString missing = dir.path() + QLatin1String("/missing/");
  EXPECT_EQ(ErrorOf([&] { CreateUniqueFile(QStringLiteral("Rplc%d"), QStringLiteral("tmp"), missing); }),
            QLatin1String("Path not found: ") + missing);
  EXPECT_NE(ErrorOf([&] { CreateUniqueFile(QStringLiteral("Rplc"), QStringLiteral("tmp"), dir.path()); }),
            QLatin1String("(no error)"));
}

TEST(ListFiles, MatchesIgnoringCaseWithOrWithoutExtensionAndFolder) {
  QTemporaryDir dir;
  const QString folder = dir.path() + QLatin1Char('/');
  for (const char *name : {"Dark.txt", "Light.TXT", "image.png"})
    WriteFileBytes(folder + QLatin1String(name), "");
  QDir().mkdir(folder + QLatin1String("sub.txt"));
  QStringList names{QStringLiteral("Default")};
  ListFiles(folder, QStringLiteral("*.txt"), names, false, false);
  names.sort();
  EXPECT_EQ(names, (QStringList{"Dark", "Default", "Light"}));
  QStringList paths;
  ListFiles(folder, QStringLiteral("*.png"), paths, true, true);
  EXPECT_EQ(paths, QStringList{folder + QLatin1String("image.png")});
  EXPECT_TRUE(FileDate(folder + QLatin1String("image.png")).isValid());
  EXPECT_FALSE(FileDate(folder + QLatin1String("none")).isValid());
}

TEST(ShowMessageBox, AppendsAPeriodUnlessTheTextEndsInOne) {
  TFakeDesktop desktop;
  struct Case {
    const char16_t *Text, *Shown;
  } cases[] = {
      {u"There are no printers", u"There are no printers."},
      {u"Excellent!", u"Excellent!"},
      {u"Done.", u"Done."},
      {u"Really?", u"Really?"},
      {u"Trailing space ", u"Trailing space "},
      {u"Line\n", u"Line\n"},
      {u"Quoted \"name\"", u"Quoted \"name\"."},
      {u"", u""},
  };
  for (const Case &c : cases)
    ShowMessageBox(QString::fromUtf16(c.Text), QStringLiteral("Caption"));
  ASSERT_EQ(desktop.Ui.Boxes.size(), qsizetype(std::size(cases)));
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(desktop.Ui.Boxes[qsizetype(i)].Text, QString::fromUtf16(cases[i].Shown)) << i;

  desktop.Ui.Answer = idNo;
  EXPECT_EQ(ShowMessageBox(QStringLiteral("Save?"), {}, mbYesNo | mbIconQuestion), idNo);
  EXPECT_EQ(desktop.Ui.Boxes.back().Caption, QLatin1String("Quillnote"));
  EXPECT_EQ(desktop.Ui.Boxes.back().Flags, mbYesNo | mbIconQuestion);
}

TEST(WaitCursor, NestedWaitsRestoreOnlyAtTheOuterEnd) {
  TFakeDesktop desktop;
  EndWait();  // unbalanced: ignored
  BeginWait();
  {
    TWaitCursor inner;
    EXPECT_EQ(desktop.Ui.CursorChanges, QList<bool>{true});
  }
  EXPECT_EQ(desktop.Ui.CursorChanges, QList<bool>{true});
  EndWait();
  EXPECT_EQ(desktop.Ui.CursorChanges, (QList<bool>{true, false}));
  EndWait();
  EXPECT_EQ(desktop.Ui.CursorChanges.size(), 2);
}

TEST(ShellOpen, MissingFilesAndFolders) {
  TFakeDesktop desktop;
  QTemporaryDir dir;
  const QString missingFile = dir.path() + QLatin1String("/none.png");
  const QString missingFolder = dir.path() + QLatin1String("/none/");
  const QString inMissingFolder = dir.path() + QLatin1String("/none/a.png");
  EXPECT_EQ(ErrorOf([&] { ShellOpen(missingFile, {}, true); }), QLatin1String("File not found: ") + missingFile);
  EXPECT_EQ(ErrorOf([&] { ShellOpen(missingFolder, {}, true); }), QLatin1String("Path not found: ") + missingFolder);
  EXPECT_EQ(ErrorOf([&] { ShellOpen(inMissingFolder, {}, true); }), QLatin1String("Path not found: ") + inMissingFolder);
  EXPECT_FALSE(ShellOpen(missingFile));
  EXPECT_TRUE(desktop.Shell.Calls.isEmpty());
  // Every launch shows the wait cursor for its duration.
  EXPECT_EQ(desktop.Ui.CursorChanges.size(), 8);
}

TEST(ShellOpen, OffersTheChooserWhenNoApplicationIsAssociated) {
  TFakeDesktop desktop;
  QTemporaryDir dir;
  const QString file = dir.path() + QLatin1String("/notes.xyz");
  WriteFileBytes(file, "x");

  EXPECT_TRUE(ShellOpen(file));
  EXPECT_EQ(desktop.Shell.Calls, QStringList{QLatin1String("open ") + file});

  desktop.Shell.Calls.clear();
  desktop.Shell.DocumentResult = {TLaunchResult::lrNoAssociation, QStringLiteral("no application for x")};
  EXPECT_TRUE(ShellOpen(file, {}, true));
  EXPECT_EQ(desktop.Shell.Calls, (QStringList{QLatin1String("open ") + file, QLatin1String("choose ") + file}));

  // Without a chooser the missing association is what the error tells.
  desktop.Shell.ChooserResult = {TLaunchResult::lrNoChooser, QStringLiteral("no chooser")};
  EXPECT_EQ(ErrorOf([&] { ShellOpen(file, {}, true); }),
            QStringLiteral("Desktop launch error (no application for x) to launch \"%1\"").arg(file));
  desktop.Shell.ChooserResult = {TLaunchResult::lrFailed, QStringLiteral("portal refused")};
  EXPECT_EQ(ErrorOf([&] { ShellOpen(file, {}, true); }),
            QStringLiteral("Desktop launch error (portal refused) to launch \"%1\"").arg(file));
  EXPECT_FALSE(ShellOpen(file, {}, false));
}

TEST(ShellOpen, StartsProgramsWithTheirArguments) {
  TFakeDesktop desktop;
  EXPECT_TRUE(ShellOpen(QStringLiteral("gimp %f"), {QStringLiteral("/tmp/a b.png")}));
  EXPECT_EQ(desktop.Shell.Calls, QStringList{QStringLiteral("start gimp %f|/tmp/a b.png")});
  desktop.Shell.ProgramResult = {TLaunchResult::lrFileNotFound, {}};
  EXPECT_EQ(ErrorOf([&] { ShellOpen(QStringLiteral("/opt/editor"), {QStringLiteral("x")}, true); }),
            QLatin1String("File not found: /opt/editor"));
  EXPECT_TRUE(OpenWithDialog(QStringLiteral("/tmp/a.png")));
  EXPECT_EQ(desktop.Shell.Calls.back(), QLatin1String("choose /tmp/a.png"));
}

TEST(OpenInBrowser, OnlyWebAndFtpAddressesReachTheShell) {
  TFakeDesktop desktop;
  const char *accepted[] = {"http://example.org/page?lang=en", "HTTPS://example.org", "ftp://files.example.org/a"};
  const char *refused[] = {"file:///etc/passwd", "javascript:alert(1)", "mailto:a@example.org", "example.org",
                           "http://", "/usr/bin/xterm", "", "http://exa mple.org", "data:text/html,x"};
  for (const char *address : accepted)
    EXPECT_TRUE(OpenInBrowser(QString::fromUtf8(address))) << address;
  for (const char *address : refused)
    EXPECT_FALSE(OpenInBrowser(QString::fromUtf8(address))) << address;
  EXPECT_EQ(desktop.Shell.Calls.size(), qsizetype(std::size(accepted)));
  for (const QString &call : desktop.Shell.Calls)
    EXPECT_TRUE(call.startsWith(QLatin1String("address "))) << call.toStdString();
}

TEST(FindEditors, AppendsToTheListsAndShiftsTheDefault) {
  TFakeDesktop desktop;
  desktop.Shell.Applications = {{"Paint", "Viewer"}, {"paint %f", "viewer %U"}, 1};
  QStringList names{"Existing"}, commands{"existing"};
  EXPECT_EQ(FindEditors(QStringLiteral("png"), names, commands), 2);
  EXPECT_EQ(names, (QStringList{"Existing", "Paint", "Viewer"}));
  EXPECT_EQ(commands, (QStringList{"existing", "paint %f", "viewer %U"}));
  desktop.Shell.Applications.Default = -1;
  EXPECT_EQ(FindEditors(QStringLiteral("png"), names, commands), -1);
}

TEST(Desktop, MissingServicesRaise) {
  auto previous = InstallUserInterface(nullptr);
  EXPECT_EQ(ErrorOf([] { BeginWait(); }), QLatin1String("No user interface is installed"));
  InstallUserInterface(std::move(previous));
}

// Links from documents never start a program.
class LinkSafety : public ::testing::Test {
protected:
  QString Make(const QString &name, const QByteArray &bytes, bool executable = false) {
    const QString path = Dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
      permissions |= QFile::ExeOwner;
    file.setPermissions(permissions);
    return path;
  }
  QTemporaryDir Dir;
  TFakeDesktop Desktop;
};

TEST_F(LinkSafety, LinksOpenAddressesAndSafeDocumentsOnlyAndNeverStartAProgram) {
  const QByteArray elf = QByteArray("\x7f" "ELF\x02\x01\x01", 7) + QByteArray(57, '\0');
  const QString text = Make(QStringLiteral("notes.txt"), "plain words\n");
  const QString spaced = Make(QStringLiteral("my notes.txt"), "plain words\n");
  const QString picture = Make(QStringLiteral("p.png"), QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(32, '\0'));
  const QString executableText = Make(QStringLiteral("run.txt"), "plain words\n", true);
  const QString script = Make(QStringLiteral("tool.sh"), "echo hi\n");
  const QString hiddenScript = Make(QStringLiteral("readme.txt"), "#!/bin/sh\necho hi\n");
  const QString elfAsText = Make(QStringLiteral("binary.txt"), elf);
  const QString entry = Make(QStringLiteral("app.desktop"), "[Desktop Entry]\nType=Application\nExec=x\n");
  const QString jar = Make(QStringLiteral("a.jar"), QByteArray("PK\x03\x04", 4) + QByteArray(40, '\0'));
  const QString windows = Make(QStringLiteral("setup.exe"), QByteArray("MZ", 2) + QByteArray(62, '\0'));
  const QString python = Make(QStringLiteral("x.py"), "print(1)\n");
  const QString image = Make(QStringLiteral("x.AppImage"), elf);
  const QString linkToText = Dir.filePath(QStringLiteral("link.txt"));
  QFile::link(text, linkToText);
  const QString linkToExecutable = Dir.filePath(QStringLiteral("link2.txt"));
  QFile::link(executableText, linkToExecutable);
  const QString folder = Dir.filePath(QStringLiteral("folder.txt"));
  QDir().mkdir(folder);
  auto url = [](const QString &path) { return QStringLiteral("file://") + QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded().mid(7)); };

  struct TCase {
    QString Target;
    QString Call;  // the one shell call expected; empty: none, and a beep
  };
  const TCase cases[] = {
      {QStringLiteral("http://example.com/a"), QStringLiteral("address http://example.com/a")},
      {QStringLiteral("HTTPS://example.com"), QStringLiteral("address https://example.com")},
      {QStringLiteral("ftp:\\\\example.com"), QStringLiteral("address ftp://example.com")},
      {QStringLiteral("url://example.com"), {}},
      {QStringLiteral("mailto://x@example.com"), {}},
      {QStringLiteral("http://"), {}},
      {url(text), QStringLiteral("open ") + text},
      {QStringLiteral("FILE:\\\\") + text.mid(1).replace(u'/', u'\\'), QStringLiteral("open ") + text},
      {url(picture), QStringLiteral("open ") + picture},
      {url(spaced), QStringLiteral("open ") + spaced},  // percent-encoded
      {url(linkToText), QStringLiteral("open ") + text},
      {QStringLiteral("file://localhost") + text, QStringLiteral("open ") + text},
      {QStringLiteral("file://otherhost") + text, {}},
      {url(executableText), {}},
      {url(linkToExecutable), {}},
      {url(script), {}},
      {url(hiddenScript), {}},
      {url(elfAsText), {}},
      {url(entry), {}},
      {url(jar), {}},
      {url(windows), {}},
      {url(python), {}},
      {url(image), {}},
      {url(folder), {}},
      {url(Dir.filePath(QStringLiteral("missing.txt"))), {}},
      {QStringLiteral("file:\\\\\\\\server\\share\\a.txt"), {}},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.Target.toStdString());
    Desktop.Shell.Calls.clear();
    const int beeps = Desktop.Ui.Beeps;
    EXPECT_EQ(OpenLink(c.Target), !c.Call.isEmpty());
    EXPECT_EQ(Desktop.Shell.Calls, c.Call.isEmpty() ? QStringList() : QStringList({c.Call}));
    EXPECT_EQ(Desktop.Ui.Beeps, beeps + (c.Call.isEmpty() ? 1 : 0));
  }
}

}  // namespace

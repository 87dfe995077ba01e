#include "unFileLayout.h"

#include "testSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Sets environment variables for the lifetime of the object.
class TEnvironment {
public:
  void Set(const char *name, const QByteArray &value) {
    FSaved.append({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
    if (value.isNull())
      qunsetenv(name);
    else
      qputenv(name, value);
  }
  ~TEnvironment() {
    for (auto it = FSaved.crbegin(); it != FSaved.crend(); ++it)
      if (it->WasSet)
        qputenv(it->Name, it->Value);
      else
        qunsetenv(it->Name);
  }

private:
  struct TSaved {
    const char *Name;
    bool WasSet;
    QByteArray Value;
  };
  QList<TSaved> FSaved;
};

TEST(FileLayout, PortableNextToTheProgram) {
  QTemporaryDir dir;
  const QString folder = dir.path() + QLatin1Char('/');
  const TFileLayout layout = DecideFileLayout(folder + QLatin1String("QuillnotePortable"));
  EXPECT_TRUE(layout.Portable);
  EXPECT_EQ(layout.ProgramFolder, folder);
  EXPECT_EQ(layout.BaseName, QLatin1String("QuillnotePortable"));
  EXPECT_EQ(layout.SettingsFileName, folder + QLatin1String("QuillnotePortable.settings"));
  EXPECT_EQ(layout.SessionFileName, folder + QLatin1String("QuillnotePortable.session"));
  EXPECT_EQ(layout.DefaultDataFileName, folder + QLatin1String("QuillnotePortable.qnt"));
  EXPECT_EQ(layout.DefaultBackupFileName, folder + QLatin1String("QuillnotePortableBackup.qnt"));
  EXPECT_EQ(layout.DataFolder(), folder);
  // The probe leaves nothing behind.
  EXPECT_TRUE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

TEST(FileLayout, XdgWhenTheProgramFolderTakesNoFile) {
  QTemporaryDir home;
  TEnvironment environment;
  environment.Set("XDG_CONFIG_HOME", (home.path() + QLatin1String("/config")).toUtf8());
  environment.Set("XDG_DATA_HOME", (home.path() + QLatin1String("/data")).toUtf8());
  // Not even root creates files in /proc, so this holds for every user.
  const TFileLayout layout = DecideFileLayout(QStringLiteral("/proc/Notes.bin"));
  EXPECT_FALSE(layout.Portable);
  EXPECT_EQ(layout.SettingsFileName, home.path() + QLatin1String("/config/quillnote/Notes.settings"));
  EXPECT_EQ(layout.SessionFileName, home.path() + QLatin1String("/config/quillnote/Notes.session"));
  EXPECT_EQ(layout.DefaultDataFileName, home.path() + QLatin1String("/data/quillnote/Notes.qnt"));
  EXPECT_EQ(layout.DefaultBackupFileName, home.path() + QLatin1String("/data/quillnote/NotesBackup.qnt"));
  EXPECT_EQ(RecoveryFolder(), home.path() + QLatin1String("/data/quillnote/"));

  // Unset or relative variables mean the defaults.
  environment.Set("XDG_CONFIG_HOME", "relative/config");
  environment.Set("XDG_DATA_HOME", QByteArray());
  EXPECT_EQ(ConfigHome(), QDir::homePath() + QLatin1String("/.config"));
  EXPECT_EQ(DataHome(), QDir::homePath() + QLatin1String("/.local/share"));
}

TEST(FileLayout, RelativeDataFileNamesLiveInTheDataFolder) {
  TFileLayout layout;
  layout.DefaultDataFileName = QStringLiteral("/home/u/.local/share/quillnote/QuillnotePortable.qnt");
  EXPECT_EQ(layout.ResolveDataPath(QStringLiteral("Notes.qnt")), QLatin1String("/home/u/.local/share/quillnote/Notes.qnt"));
  EXPECT_EQ(layout.ResolveDataPath(QStringLiteral("old/../keep/Notes.qnt")),
            QLatin1String("/home/u/.local/share/quillnote/keep/Notes.qnt"));
  EXPECT_EQ(layout.ResolveDataPath(QStringLiteral("/srv/Notes.qnt")), QLatin1String("/srv/Notes.qnt"));
  EXPECT_EQ(layout.ResolveDataPath(QString()), QString());
}

TEST(FileLayout, TheInstanceKeyIsTheHashOfTheCanonicalSettingsPath) {
  QTemporaryDir dir;
  const QString real = dir.path() + QLatin1String("/real");
  QDir().mkdir(real);
  ASSERT_TRUE(QFile::link(real, dir.path() + QLatin1String("/link")));
  const TFileLayout direct = DecideFileLayout(real + QLatin1String("/QuillnotePortable"));
  const TFileLayout linked = DecideFileLayout(dir.path() + QLatin1String("/link/QuillnotePortable"));
  const TFileLayout renamed = DecideFileLayout(real + QLatin1String("/Other"));
  const QString canonical = QDir(real).canonicalPath() + QLatin1String("/QuillnotePortable.settings");
  EXPECT_EQ(direct.InstanceKey(),
            QString::fromLatin1(QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex()));
  EXPECT_EQ(direct.InstanceKey().size(), 40);
  EXPECT_EQ(linked.InstanceKey(), direct.InstanceKey());
  EXPECT_NE(renamed.InstanceKey(), direct.InstanceKey());

  // A settings folder that does not exist yet keeps the part that does canonical.
  EXPECT_EQ(CanonicalPath(dir.path() + QLatin1String("/link/new/./x.settings")),
            QDir(real).canonicalPath() + QLatin1String("/new/x.settings"));
}

}  // namespace

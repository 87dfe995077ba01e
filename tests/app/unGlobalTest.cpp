#include "unGlobal.h"

#include "cuLocalization.h"
#include "diDataElementSettings.h"
#include "diLogSettings.h"
#include "diNamingSettings.h"
#include "diPaletteFormSettings.h"
#include "diSheetFormSettings.h"
#include "testFakes.h"
#include "testSupport.h"
#include "unSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList ChildNames(const TNode &node) {
  QStringList names;
  for (TNode *child = node.FirstChild(); child; child = child->Next())
    names.append(static_cast<TProperty *>(child)->Name());
  return names;
}

class Global : public ::testing::Test {
protected:
  void TearDown() override { Localization().SetLanguage(langEnglish); }
  TFileLayout Layout() { return DecideFileLayout(FDir.path() + QLatin1String("/QuillnotePortable")); }
  QString Path(const char *name) { return FDir.path() + QLatin1Char('/') + QLatin1String(name); }
  QTemporaryDir FDir;
};

TEST_F(Global, FirstRunTakesTheDefaultsAndMarksTheSettingsForSaving) {
  {
    TGlobal global(Layout());
    EXPECT_EQ(&::Global(), &global);
    EXPECT_EQ(global.SettingsFile().LoadState(), lsNotFound);
    EXPECT_EQ(global.SessionFile().LoadState(), lsNotFound);
    EXPECT_TRUE(global.SettingsModified());
    TGeneralSettings &general = global.Settings().General();
    EXPECT_EQ(general.Language().Value(), Localization().DefaultLanguageCode());
    EXPECT_EQ(general.DataFileName().Value(), Path("QuillnotePortable.qnt"));
    EXPECT_TRUE(general.DataFileName().IsDefault());  // so it is not written
    EXPECT_EQ(global.BackupFileName(), Path("QuillnotePortableBackup.qnt"));

    // The other units' nodes hang in the tree in their places.
    EXPECT_EQ(ChildNames(global.Settings()),
              (QStringList{"General", "Sheet", "Search", "Print", "Misc", "SheetForm", "PaletteForm"}));
    EXPECT_EQ(ChildNames(global.Settings().Sheet()).mid(ChildNames(global.Settings().Sheet()).size() - 3),
              (QStringList{"Data", "Naming", "Log"}));

    global.SaveSettings();
    EXPECT_FALSE(global.SettingsModified());
    EXPECT_TRUE(ReadFileBytes(Path("QuillnotePortable.settings")).contains("<Language Value="));
    EXPECT_TRUE(global.SettingsFile().Knot().IsEmpty());  // the values live in the tree
  }
  EXPECT_THROW(::Global(), EException);
  for (TProperty *node : std::initializer_list<TProperty *>{&DataElementSettings(), &NamingSettings(), &SheetFormSettings(),
                                                          &PaletteFormSettings(), &LogSettings()})
    EXPECT_EQ(node->Owner(), nullptr) << node->Name().toStdString();
}

TEST_F(Global, StoredSettingsAreReadAndTheLanguageFollowed) {
  WriteFileBytes(Path("QuillnotePortable.settings"),
                 "<QuillnotePortable>\r\n\t<General>\r\n\t\t<Language Value=DEU/>\r\n\t\t<DataFileName Value=\"\"/>\r\n"
                 "\t\t<BackupFileName Value=\"Old/Notes Backup.qnt\"/>\r\n\t</General>\r\n</QuillnotePortable>\r\n");
  TGlobal global(Layout());
  EXPECT_FALSE(global.SettingsModified());
  EXPECT_EQ(Localization().Language(), 1031);
  // An empty data file name is the default one; a relative one lies in the default data file's folder,
  // which is created.
  EXPECT_EQ(global.DataFileName(), Path("QuillnotePortable.qnt"));
  EXPECT_EQ(global.BackupFileName(), Path("Old/Notes Backup.qnt"));
  EXPECT_TRUE(QFileInfo(Path("Old")).isDir());

  global.Settings().General().Language().SetValue(QStringLiteral("RUS"));
  EXPECT_EQ(Localization().Language(), 1049);
  global.Settings().General().Language().SetValue(QStringLiteral("XYZ"));
  EXPECT_EQ(Localization().Language(), langEnglish);
}

TEST_F(Global, AnUnreadableSettingsFileGivesDefaultsAndIsKept) {
  QDir().mkdir(Path("QuillnotePortable.settings"));  // exists, but cannot be read as a file
  TGlobal global(Layout());
  EXPECT_EQ(global.SettingsFile().LoadState(), lsUnreadable);
  EXPECT_FALSE(global.SettingsModified());
  EXPECT_EQ(global.Settings().General().Language().Value(), QString());
  EXPECT_EQ(Localization().Language(), langEnglish);
}

TEST_F(Global, TheSecondStartOfTheSameFilesFindsTheFirst) {
  TFakeDesktop desktop;
  const TFileLayout layout = Layout();
  EXPECT_FALSE(FindRunningInstance(layout));
  desktop.Instance.Taken = true;
  EXPECT_TRUE(FindRunningInstance(layout));
  EXPECT_EQ(desktop.Instance.Keys, (QStringList{layout.InstanceKey(), layout.InstanceKey()}));
}

}  // namespace

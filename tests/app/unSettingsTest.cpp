#include "unSettings.h"

#include "cuKnot.h"
#include "cuLocalization.h"
#include "diDataElementSettings.h"
#include "diLogSettings.h"
#include "diNamingSettings.h"
#include "diPaletteFormSettings.h"
#include "diSheetFormSettings.h"
#include "testSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// The settings tree as the program holds it: the singletons attached in the order of the file and
// detached in reverse, each put back to its defaults afterwards for the other tests.
struct TProgramSettings {
  TNodePtr<TSettings> Settings{new TSettings()};
  TProgramSettings() {
    // As at start-up: the file names' defaults, then the empty values replaced by them.
    TGeneralSettings &general = Settings->General();
    general.SetFileDefaults(u"/opt/Quillnote/"_qs, u"QuillnotePortable"_qs);
    general.DataFileName().SetValue(general.DataFileName().Default());
    general.BackupFileName().SetValue(general.BackupFileName().Default());
    DataElementSettings().SetOwner(&Settings->Sheet());
    NamingSettings().SetOwner(&Settings->Sheet());
    SheetFormSettings().SetOwner(Settings.get());
    PaletteFormSettings().SetOwner(Settings.get());
    LogSettings().SetOwner(&Settings->Sheet());
  }
  ~TProgramSettings() {
    LogSettings().SetOwner(nullptr);
    PaletteFormSettings().SetOwner(nullptr);
    SheetFormSettings().SetOwner(nullptr);
    NamingSettings().SetOwner(nullptr);
    DataElementSettings().SetOwner(nullptr);
    DataElementSettings().Assign(*TNodePtr<TDataElementSettings>(new TDataElementSettings(nullptr)));
    NamingSettings().Assign(*TNodePtr<TNamingSettings>(new TNamingSettings(nullptr)));
    SheetFormSettings().Assign(*TNodePtr<TSheetFormSettings>(new TSheetFormSettings(nullptr)));
    PaletteFormSettings().Assign(*TNodePtr<TPaletteFormSettings>(new TPaletteFormSettings(nullptr)));
    LogSettings().Assign(*TNodePtr<TLogSettings>(new TLogSettings(nullptr)));
  }
};

QString Quoted(const QString &s) { return u"\""_qs + s + u"\""_qs; }

// One line per leaf: its path, kind, default and range or names.
void Describe(const TProperty &p, const QString &path, QString &out) {
  for (const TNode *n = p.FirstChild(); n; n = n->Next()) {
    const TProperty &child = *static_cast<const TProperty *>(n);
    const QString at = path.isEmpty() ? child.Name() : path + u'.' + child.Name();
    if (auto b = dynamic_cast<const TBooleanProperty *>(&child))
      out += at + u" boolean "_qs + (b->Default() ? u"true"_qs : u"false"_qs);
    else if (auto i = dynamic_cast<const TIntegerProperty *>(&child))
      out += at + u" integer "_qs + QString::number(i->Default()) +
             (i->HasRange() ? u" %1..%2"_qs.arg(i->Min()).arg(i->Max()) : QString());
    else if (auto s = dynamic_cast<const TStringProperty *>(&child))
      out += at + u" string "_qs + Quoted(s->Default());
    else if (auto e = dynamic_cast<const TEnumProperty *>(&child)) {
      QStringList names;
      for (const QString &name : e->Names())
        names.append(Quoted(name));
      out += at + u" enumeration "_qs + Quoted(e->Names()[e->Default()]) + u" of "_qs + names.join(u',');
    } else {
      out += at + u" group"_qs;
    }
    out += u'\n';
    Describe(child, at, out);
  }
}

// Gives every leaf a value other than its default.
void ChangeEveryLeaf(TProperty &p) {
  for (TNode *n = p.FirstChild(); n; n = n->Next()) {
    TProperty &child = *static_cast<TProperty *>(n);
    if (auto b = dynamic_cast<TBooleanProperty *>(&child))
      b->SetValue(!b->Default());
    else if (auto i = dynamic_cast<TIntegerProperty *>(&child))
      i->SetValue(i->Default() == i->Max() ? i->Min() : i->Max());
    else if (auto s = dynamic_cast<TStringProperty *>(&child))
      s->SetValue(s->Default() + u" changed"_qs);
    else if (auto e = dynamic_cast<TEnumProperty *>(&child))
      e->SetValue(int(e->Names().size()) - 1);
    ChangeEveryLeaf(child);
  }
}

TNodePtr<TKnot> SettingsFileKnot() {
  TNodePtr<TKnot> knot = MakeNode<TKnot>();
  knot->SetInheritedOptions(koSettingsFileOptions);
  return knot;
}

QString SavedText(TSettings &settings) {
  TNodePtr<TKnot> knot = SettingsFileKnot();
  settings.SaveToKnot(*knot);
  knot->SetName(u"QuillnotePortable"_qs);
  return knot->GetText();
}

}  // namespace

// Every key of the settings file with its kind, default and range, in file order.
TEST(Settings, KeysTypesDefaultsAndRangesMatchTheGoldenList) {
  TProgramSettings p;
  QString described;
  Describe(*p.Settings, QString(), described);
  EXPECT_EQ(described, QString::fromUtf8(ReadFileBytes(QN_FIXTURE("settings-keys.txt"))));
}

TEST(Settings, AtTheDefaultsOnlyTheRootIsWritten) {
  TProgramSettings p;
  EXPECT_EQ(SavedText(*p.Settings), u"<QuillnotePortable>\r\n</QuillnotePortable>\r\n"_qs);
}

// Every leaf changed gives the golden settings file; reading it back into a fresh tree gives the same
// values, so writing again gives the same bytes.
TEST(Settings, EveryLeafChangedWritesTheGoldenFileAndReadsBack) {
  const QString golden = QString::fromUtf8(ReadFileBytes(QN_FIXTURE("all-changed.settings")));
  {
    TProgramSettings p;
    ChangeEveryLeaf(*p.Settings);
    EXPECT_EQ(SavedText(*p.Settings), golden);
  }
  TProgramSettings p;
  TNodePtr<TKnot> knot = SettingsFileKnot();
  knot->ParseString(golden);
  p.Settings->LoadFromKnot(*knot);
  EXPECT_EQ(p.Settings->General().HotKey().Value(), u"Ctrl+Shift+E changed"_qs);
  EXPECT_EQ(p.Settings->Print().Scale().Value(), 500);
  EXPECT_EQ(p.Settings->Sheet().FontSize().Text(), u"Great"_qs);
  EXPECT_EQ(DataElementSettings().Other().DefaultAction().Text(), u"None"_qs);
  EXPECT_FALSE(PaletteFormSettings().ShowCaptions().Value());
  EXPECT_EQ(SavedText(*p.Settings), golden);
}

TEST(Settings, FileDefaultsFollowTheFolderAndBaseName) {
  TProgramSettings p;
  TGeneralSettings &g = p.Settings->General();
  g.SetFileDefaults(u"/home/u/.local/share/quillnote/"_qs, u"QuillnotePortable"_qs);
  EXPECT_EQ(g.DataFileName().Default(), u"/home/u/.local/share/quillnote/QuillnotePortable.qnt"_qs);
  EXPECT_EQ(g.BackupFileName().Default(), u"/home/u/.local/share/quillnote/QuillnotePortableBackup.qnt"_qs);
  EXPECT_EQ(g.DataFileName().Value(), u"/opt/Quillnote/QuillnotePortable.qnt"_qs);  // values stay
  g.DataFileName().SetValue(g.DataFileName().Default());
  g.BackupFileName().SetValue(g.BackupFileName().Default());
  EXPECT_EQ(SavedText(*p.Settings), u"<QuillnotePortable>\r\n</QuillnotePortable>\r\n"_qs);
}

// The first run's reset sets the language to the user's default and the bitmaps' editor to the first
// painting program on the PATH.
TEST(Settings, ResetToDefaultsComputesLanguageAndBitmapEditor) {
  QTemporaryDir bin;
  ASSERT_TRUE(bin.isValid());
  for (const char *name : {"gimp", "krita", "notapainter"}) {
    QFile f(bin.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
  }
  const QByteArray savedPath = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(bin.path()) + ":/nonexistent");
  const QString found = DefaultBitmapEditor();
  {
    TProgramSettings p;
    p.Settings->ResetToDefaults();
    EXPECT_EQ(p.Settings->General().Language().Value(), Localization().DefaultLanguageCode());
    EXPECT_EQ(DataElementSettings().Bitmaps().CustomEditor().Value(), bin.filePath(u"krita"_qs));
    EXPECT_EQ(DataElementSettings().Icons().CustomEditor().Value(), QString());
  }
  qputenv("PATH", QFile::encodeName(bin.path() + u"/none"_qs));
  const QString none = DefaultBitmapEditor();
  qputenv("PATH", savedPath);
  EXPECT_EQ(found, bin.filePath(u"krita"_qs));
  EXPECT_EQ(none, QString());
}

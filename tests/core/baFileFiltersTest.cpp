// The file filters and the open/save dialog component of baAppCmpns.
#include "baAppCmpns.h"
#include "testFakes.h"
#include "testSupport.h"

#include <gtest/gtest.h>

namespace {

const QString AllFiles = QStringLiteral("All Files (*.*)|*.*");

TEST(FileFilter, DescriptionAndDisplayName) {
  TFileFilter filter;
  EXPECT_EQ(filter.FileExt, QStringLiteral("txt"));
  EXPECT_TRUE(filter.UseForOpen);
  EXPECT_TRUE(filter.UseForSave);
  filter.FileExt = QStringLiteral("Qnt");
  EXPECT_EQ(filter.DisplayName(), QStringLiteral("QNT (*.qnt)"));
  filter.Text = QStringLiteral("Notes");
  EXPECT_EQ(filter.DisplayName(), QStringLiteral("Notes (*.qnt)"));
}

TEST(OpenSaveDialog, BuildFilterCases) {
  struct TCase {
    const char *Name;
    std::vector<TFileFilter> Filters;
    bool ForOpen, Merge, AllFirst, AllLast;
    QString Filter;
    QStringList DefaultExts;
  };
  const TFileFilter qnt{QStringLiteral("qnt"), {}};
  const TFileFilter bmp{QStringLiteral("bmp"), QStringLiteral("Bitmap")};
  const TFileFilter dib{QStringLiteral("DIB"), QStringLiteral("BITMAP")};
  const TFileFilter openOnly{QStringLiteral("ico"), QStringLiteral("Icon"), true, false};
  const TFileFilter allBmp{QStringLiteral("bmp"), QStringLiteral("All Images")};
  const TFileFilter allPng{QStringLiteral("png"), QStringLiteral("All Images")};
  const TFileFilter png{QStringLiteral("png"), QStringLiteral("PNG")};
  const std::vector<TCase> cases = {
      {"the main window's dialog", {qnt}, true, true, false, true,
       QStringLiteral("QNT (*.qnt)|*.qnt|") + AllFiles, {QStringLiteral("qnt"), QString()}},
      {"equal descriptions merge ignoring case", {bmp, dib}, true, true, false, true,
       QStringLiteral("Bitmap (*.bmp, *.dib)|*.bmp;*.dib|") + AllFiles, {QStringLiteral("bmp"), QString()}},
      {"without merging they stay apart", {bmp, dib}, false, false, false, false,
       QStringLiteral("Bitmap (*.bmp)|*.bmp|BITMAP (*.dib)|*.dib"), {QStringLiteral("bmp"), QStringLiteral("dib")}},
      {"an open-only filter when opening", {bmp, openOnly}, true, true, false, false,
       QStringLiteral("Bitmap (*.bmp)|*.bmp|Icon (*.ico)|*.ico"), {QStringLiteral("bmp"), QStringLiteral("ico")}},
      {"an open-only filter when saving", {bmp, openOnly}, false, false, false, false,
       QStringLiteral("Bitmap (*.bmp)|*.bmp"), {QStringLiteral("bmp")}},
      {"All Files first", {qnt}, true, true, true, false,
       AllFiles + QStringLiteral("|QNT (*.qnt)|*.qnt"), {QString(), QStringLiteral("qnt")}},
      {"a merged entry before the single ones", {allBmp, bmp, allPng, png}, true, true, false, true,
       QStringLiteral("All Images (*.bmp, *.png)|*.bmp;*.png|Bitmap (*.bmp)|*.bmp|PNG (*.png)|*.png|") + AllFiles,
       {QStringLiteral("bmp"), QStringLiteral("bmp"), QStringLiteral("png"), QString()}},
      {"no filters", {}, true, true, true, true, AllFiles + QLatin1Char('|') + AllFiles, {QString(), QString()}},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.Name);
    TOpenSaveDialog dialog;
    for (const TFileFilter &f : c.Filters)
      dialog.FileFilters().Add() = f;
    const TBuiltFilter built = dialog.BuildFilter(c.ForOpen, c.Merge, c.AllFirst, c.AllLast);
    EXPECT_EQ(built.Filter, c.Filter);
    EXPECT_EQ(built.DefaultExts, c.DefaultExts);
  }
}

TEST(OpenSaveDialog, QtFilterSyntax) {
  const struct {
    QString Filter, Qt;
  } cases[] = {
      {QStringLiteral("QNT (*.qnt)|*.qnt|") + AllFiles, QStringLiteral("QNT (*.qnt) (*.qnt);;All Files (*.*) (*)")},
      {QStringLiteral("Bitmap (*.bmp, *.dib)|*.bmp;*.dib"), QStringLiteral("Bitmap (*.bmp, *.dib) (*.bmp *.dib)")},
      {QString(), QString()},
      {QStringLiteral("Text without patterns"), QString()},
      {QStringLiteral("A (*.a)|*.a|B (*.b)|"), QStringLiteral("A (*.a) (*.a)")},
  };
  for (const auto &c : cases)
    EXPECT_EQ(ToQtFileFilter(c.Filter), c.Qt) << c.Filter.toStdString();
}

TEST(OpenSaveDialog, ExecuteOpenAndSave) {
  TFakeDesktop desktop;
  TOpenSaveDialog dialog;
  dialog.FileFilters().Add(QStringLiteral("qnt"), QString());
  dialog.FileFilters().Add(QStringLiteral("bmp"), QStringLiteral("Bitmap"));
  dialog.FileFilters().Add(QStringLiteral("dib"), QStringLiteral("Bitmap"));
  dialog.SetTitle(QStringLiteral("Import"));

  // Cancel keeps the file name; an empty name is handed on as no preset.
  EXPECT_FALSE(dialog.ExecuteOpen());
  EXPECT_TRUE(dialog.FileName().isEmpty());
  ASSERT_EQ(desktop.Dialogs.Requests.size(), 1);
  const TFileDialogRequest &open = desktop.Dialogs.Requests[0];
  EXPECT_EQ(desktop.Dialogs.Kinds[0], QStringLiteral("open"));
  EXPECT_EQ(open.Title, QStringLiteral("Import"));
  EXPECT_EQ(open.Filter,
            QStringLiteral("QNT (*.qnt) (*.qnt);;Bitmap (*.bmp, *.dib) (*.bmp *.dib);;All Files (*.*) (*)"));
  EXPECT_TRUE(open.FileName.isEmpty());
  EXPECT_TRUE(open.DefaultSuffix.isEmpty());

  desktop.Dialogs.Answer = QStringLiteral("/home/user/notes.qnt");
  EXPECT_TRUE(dialog.ExecuteOpen());
  EXPECT_EQ(dialog.FileName(), QStringLiteral("/home/user/notes.qnt"));

  // Saving never merges, keeps "All Files" last and gets the first entry's extension as the default;
  // the chosen name is preset next time.
  desktop.Dialogs.Answer = QStringLiteral("/home/user/2024-05-01.qnt");
  EXPECT_TRUE(dialog.ExecuteSave());
  const TFileDialogRequest &save = desktop.Dialogs.Requests.back();
  EXPECT_EQ(desktop.Dialogs.Kinds.back(), QStringLiteral("save"));
  EXPECT_EQ(save.Filter, QStringLiteral("QNT (*.qnt) (*.qnt);;Bitmap (*.bmp) (*.bmp);;Bitmap (*.dib) (*.dib);;"
                                        "All Files (*.*) (*)"));
  EXPECT_EQ(save.DefaultSuffix, QStringLiteral("qnt"));
  EXPECT_EQ(save.FileName, QStringLiteral("/home/user/notes.qnt"));
  EXPECT_EQ(dialog.FileName(), QStringLiteral("/home/user/2024-05-01.qnt"));
  desktop.Dialogs.Answer.clear();
  EXPECT_FALSE(dialog.ExecuteSave());
  EXPECT_EQ(dialog.FileName(), QStringLiteral("/home/user/2024-05-01.qnt"));
}

TEST(OpenSaveDialog, OptionsChooseTheAllFilesPlaceAndMerging) {
  const struct {
    std::uint8_t Options;
    QString Open, Save;
  } cases[] = {
      {osoDefaultFilterAll, QStringLiteral("All Files (*.*) (*);;Bitmap (*.bmp, *.dib) (*.bmp *.dib)"),
       QStringLiteral("Bitmap (*.bmp) (*.bmp);;Bitmap (*.dib) (*.dib);;All Files (*.*) (*)")},
      {osoOpenNoAllFiles | osoDefaultFilterAll | osoSaveNoAllFiles,
       QStringLiteral("Bitmap (*.bmp, *.dib) (*.bmp *.dib)"),
       QStringLiteral("Bitmap (*.bmp) (*.bmp);;Bitmap (*.dib) (*.dib)")},
      {osoNoMergeOpenFilters, QStringLiteral("Bitmap (*.bmp) (*.bmp);;Bitmap (*.dib) (*.dib);;All Files (*.*) (*)"),
       QStringLiteral("Bitmap (*.bmp) (*.bmp);;Bitmap (*.dib) (*.dib);;All Files (*.*) (*)")},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(int(c.Options));
    TFakeDesktop desktop;
    TOpenSaveDialog dialog;
    dialog.FileFilters().Add(QStringLiteral("bmp"), QStringLiteral("Bitmap"));
    dialog.FileFilters().Add(QStringLiteral("dib"), QStringLiteral("Bitmap"));
    dialog.SetOptions(c.Options);
    dialog.ExecuteOpen();
    dialog.ExecuteSave();
    ASSERT_EQ(desktop.Dialogs.Requests.size(), 2);
    EXPECT_EQ(desktop.Dialogs.Requests[0].Filter, c.Open);
    EXPECT_EQ(desktop.Dialogs.Requests[1].Filter, c.Save);
    EXPECT_EQ(desktop.Dialogs.Requests[1].DefaultSuffix, QStringLiteral("bmp"));
  }
}

}  // namespace

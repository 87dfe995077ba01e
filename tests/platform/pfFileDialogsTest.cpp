#include "baAppCmpns.h"
#include "pfFileDialogs.h"
#include "testSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct TSeen {
  QString Title;
  QStringList ShownFilters;
  QStringList AllFilesPatterns;  // the patterns the dialog lists with the "All Files" entry chosen
  QString DefaultSuffix;
  QFileDialog::AcceptMode Mode = QFileDialog::AcceptOpen;
};

// Runs a dialog and, once it is up, records what it shows and accepts `answer` (cancels when empty).
bool ShowDialog(bool save, const TFileDialogRequest &request, const QString &answer, QString &fileName, TSeen &seen) {
  QTimer::singleShot(0, [&] {
    auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    seen.Title = dialog->windowTitle();
    seen.DefaultSuffix = dialog->defaultSuffix();
    seen.Mode = dialog->acceptMode();
    if (auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo")))
      for (int i = 0; i < types->count(); ++i)
        seen.ShownFilters.append(types->itemText(i));
    const QStringList filters = dialog->nameFilters();
    dialog->selectNameFilter(filters.last());
    if (auto *model = dialog->findChild<QFileSystemModel *>())
      seen.AllFilesPatterns = model->nameFilters();
    if (answer.isEmpty()) {
      dialog->reject();
      return;
    }
    dialog->selectFile(answer);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  TQtFileDialogs dialogs;
  return save ? dialogs.ChooseFileToSave(request, fileName) : dialogs.ChooseFileToOpen(request, fileName);
}

TEST(QtFileDialogs, ShowsTheEntryTextsAndAllFilesMatchesEveryName) {
  QTemporaryDir dir;
  const QString existing = dir.filePath(QStringLiteral("README"));
  WriteFileBytes(existing, "text");
  TOpenSaveDialog component;
  component.FileFilters().Add(QStringLiteral("qnt"), QString());
  TFileDialogRequest request;
  request.Title = QStringLiteral("Import");
  request.Filter = ToQtFileFilter(component.BuildFilter(true, true, false, true).Filter);
  request.FileName = existing;

  QString fileName = QStringLiteral("unchanged");
  TSeen seen;
  EXPECT_FALSE(ShowDialog(false, request, QString(), fileName, seen));
  EXPECT_EQ(fileName, QStringLiteral("unchanged"));
  EXPECT_EQ(seen.Title, QStringLiteral("Import"));
  EXPECT_EQ(seen.Mode, QFileDialog::AcceptOpen);
  EXPECT_EQ(seen.ShownFilters, QStringList({QStringLiteral("QNT (*.qnt)"), QStringLiteral("All Files (*.*)")}));
  EXPECT_EQ(seen.AllFilesPatterns, QStringList({QStringLiteral("*")}));

  seen = {};
  EXPECT_TRUE(ShowDialog(false, request, existing, fileName, seen));
  EXPECT_EQ(fileName, existing);
}

TEST(QtFileDialogs, SaveAddsTheDefaultSuffix) {
  QTemporaryDir dir;
  TFileDialogRequest request;
  request.Filter = QStringLiteral("QNT (*.qnt) (*.qnt)");
  request.DefaultSuffix = QStringLiteral("qnt");
  QString fileName;
  TSeen seen;
  EXPECT_TRUE(ShowDialog(true, request, dir.filePath(QStringLiteral("export")), fileName, seen));
  EXPECT_EQ(seen.Mode, QFileDialog::AcceptSave);
  EXPECT_EQ(seen.DefaultSuffix, QStringLiteral("qnt"));
  EXPECT_EQ(fileName, dir.filePath(QStringLiteral("export.qnt")));
}

}  // namespace

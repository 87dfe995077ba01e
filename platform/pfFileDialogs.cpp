#include "pfFileDialogs.h"

#include <QApplication>
#include <QFileDialog>

namespace {

bool Choose(const TFileDialogRequest &request, bool save, QString &fileName) {
  QWidget *parent = QApplication::activeWindow();
  QFileDialog dialog(parent, request.Title);
  if (parent && parent->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
  // The entries carry their own shown text before the pattern group (ToQtFileFilter).
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!request.Filter.isEmpty())
    dialog.setNameFilters(request.Filter.split(QStringLiteral(";;")));
  if (save && !request.DefaultSuffix.isEmpty())
    dialog.setDefaultSuffix(request.DefaultSuffix);
  if (!request.FileName.isEmpty())
    dialog.selectFile(request.FileName);
  if (dialog.exec() != QDialog::Accepted)
    return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty())
    return false;
  fileName = chosen.first();
  return true;
}

}  // namespace

bool TQtFileDialogs::ChooseFileToOpen(const TFileDialogRequest &request, QString &fileName) {
  return Choose(request, false, fileName);
}

bool TQtFileDialogs::ChooseFileToSave(const TFileDialogRequest &request, QString &fileName) {
  return Choose(request, true, fileName);
}

// TFileDialogs with Qt Widgets' file dialog.
#pragma once

#include "cuDesktop.h"

class TQtFileDialogs : public TFileDialogs {
public:
  bool ChooseFileToOpen(const TFileDialogRequest &request, QString &fileName) override;
  bool ChooseFileToSave(const TFileDialogRequest &request, QString &fileName) override;
};

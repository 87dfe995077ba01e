// The main window of this program.
#pragma once

#include "unMainForm.h"

class TAppMainForm : public TMainForm {
  Q_OBJECT

protected:
  friend class TMainForm;
  using TMainForm::TMainForm;

  // The document holder arrives with the data file; until then there is no document to save.
  std::unique_ptr<TShutdownDocument> CreateDocument() override { return nullptr; }
};

// The sheet forms' settings ("SheetForm", kept under the settings root).
#pragma once

#include "cuProps.h"

class TSheetFormSettings : public TProperty {
public:
  explicit TSheetFormSettings(TProperty *owner);

  // Elements show their hints as tooltips.
  TBooleanProperty &ShowHints() const { return *FShowHints; }

private:
  TBooleanProperty *FShowHints;
};

// The process-wide instance, created unattached on first use and freed at process end; the application's
// settings tree holds it under its root while it exists and must detach it before freeing itself.
TSheetFormSettings &SheetFormSettings();

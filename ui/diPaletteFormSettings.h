// The palette window's settings ("PaletteForm", kept under the settings root).
#pragma once

#include "cuProps.h"

class TPaletteFormSettings : public TProperty {
public:
  explicit TPaletteFormSettings(TProperty *owner);

  // Each group shows its caption above its buttons.
  TBooleanProperty &ShowHeaders() const { return *FShowHeaders; }
  // Buttons show the item caption.
  TBooleanProperty &ShowCaptions() const { return *FShowCaptions; }
  // Buttons and menu items carry hints.
  TBooleanProperty &ShowHints() const { return *FShowHints; }

private:
  TBooleanProperty *FShowHeaders;
  TBooleanProperty *FShowCaptions;
  TBooleanProperty *FShowHints;
};

// The process-wide instance, created unattached on first use and freed at process end; the application's
// settings tree holds it under its root while it exists and must detach it before freeing itself.
TPaletteFormSettings &PaletteFormSettings();

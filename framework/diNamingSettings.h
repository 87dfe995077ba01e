// The naming settings ("Naming", kept under "Sheet"): how generated names are filled in. Nothing in this
// program reads them; they are kept so that a settings file that holds them reads and writes them back.
#pragma once

#include "cuProps.h"

class TNamingSettings : public TProperty {
public:
  explicit TNamingSettings(TProperty *owner);

  TBooleanProperty &FillEnabled() const { return *FFillEnabled; }
  // The empty name, "Upper", "Lower" or "Extra".
  TEnumProperty &FillMode() const { return *FFillMode; }
  TBooleanProperty &FillNumberFirst() const { return *FFillNumberFirst; }
  TBooleanProperty &FillUnderscore() const { return *FFillUnderscore; }
  // 1 to 12.
  TIntegerProperty &FillDigits() const { return *FFillDigits; }

private:
  TBooleanProperty *FFillEnabled;
  TEnumProperty *FFillMode;
  TBooleanProperty *FFillNumberFirst;
  TBooleanProperty *FFillUnderscore;
  TIntegerProperty *FFillDigits;
};

// The process-wide instance, created unattached on first use and freed at process end; the application's
// settings tree holds it under "Sheet" while it exists and must detach it before freeing itself.
TNamingSettings &NamingSettings();

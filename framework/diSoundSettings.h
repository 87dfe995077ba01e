// The sounds setting ("Sounds", with "Enabled"): whether the sheets play their sounds. It is not part of
// the stored settings tree: it starts enabled at every start and the settings dialog changes it for the
// current run only.
#pragma once

#include "cuProps.h"

class TSoundSettings : public TProperty {
public:
  explicit TSoundSettings(TProperty *owner);

  TBooleanProperty &Enabled() const { return *FEnabled; }

private:
  TBooleanProperty *FEnabled;
};

// The process-wide instance, created on first use and freed at process end.
TSoundSettings &SoundSettings();

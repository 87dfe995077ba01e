// The log settings ("Log", kept under "Sheet"): which kinds of messages the log writes. Messages of kind
// 0 (information), 1 (hint) and 2 (warning) are written only while their switch is on; other kinds always.
#pragma once

#include "cuProps.h"

class TLogSettings : public TProperty {
public:
  explicit TLogSettings(TProperty *owner);

  TBooleanProperty &WriteInformation() const { return *FWriteInformation; }
  TBooleanProperty &WriteHints() const { return *FWriteHints; }
  TBooleanProperty &WriteWarnings() const { return *FWriteWarnings; }

private:
  TBooleanProperty *FWriteInformation;
  TBooleanProperty *FWriteHints;
  TBooleanProperty *FWriteWarnings;
};

// The process-wide instance, created unattached on first use and freed at process end; the application's
// settings tree holds it under "Sheet" while it exists and must detach it before freeing itself.
TLogSettings &LogSettings();

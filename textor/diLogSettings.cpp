#include "diLogSettings.h"

TLogSettings::TLogSettings(TProperty *owner)
    : TProperty(owner, QStringLiteral("Log")),
      FWriteInformation(new TBooleanProperty(this, QStringLiteral("WriteInformation"), true)),
      FWriteHints(new TBooleanProperty(this, QStringLiteral("WriteHints"), true)),
      FWriteWarnings(new TBooleanProperty(this, QStringLiteral("WriteWarnings"), true)) {}

TLogSettings &LogSettings() {
  static const TNodePtr<TLogSettings> instance(new TLogSettings(nullptr));
  return *instance;
}

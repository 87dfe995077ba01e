#include "diSheetFormSettings.h"

TSheetFormSettings::TSheetFormSettings(TProperty *owner)
    : TProperty(owner, QStringLiteral("SheetForm")),
      FShowHints(new TBooleanProperty(this, QStringLiteral("ShowHints"), true)) {}

TSheetFormSettings &SheetFormSettings() {
  static const TNodePtr<TSheetFormSettings> instance(new TSheetFormSettings(nullptr));
  return *instance;
}

#include "diPaletteFormSettings.h"

TPaletteFormSettings::TPaletteFormSettings(TProperty *owner)
    : TProperty(owner, QStringLiteral("PaletteForm")),
      FShowHeaders(new TBooleanProperty(this, QStringLiteral("ShowHeaders"), true)),
      FShowCaptions(new TBooleanProperty(this, QStringLiteral("ShowCaptions"), true)),
      FShowHints(new TBooleanProperty(this, QStringLiteral("ShowHints"), true)) {}

TPaletteFormSettings &PaletteFormSettings() {
  static const TNodePtr<TPaletteFormSettings> instance(new TPaletteFormSettings(nullptr));
  return *instance;
}

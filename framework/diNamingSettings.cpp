#include "diNamingSettings.h"

TNamingSettings::TNamingSettings(TProperty *owner)
    : TProperty(owner, QStringLiteral("Naming")),
      FFillEnabled(new TBooleanProperty(this, QStringLiteral("FillEnabled"), true)),
      FFillMode(new TEnumProperty(this, QStringLiteral("FillMode"),
                                  {QString(), QStringLiteral("Upper"), QStringLiteral("Lower"), QStringLiteral("Extra")})),
      FFillNumberFirst(new TBooleanProperty(this, QStringLiteral("FillNumberFirst"), true)),
      FFillUnderscore(new TBooleanProperty(this, QStringLiteral("FillUnderscore"), false)),
      FFillDigits(new TIntegerProperty(this, QStringLiteral("FillDigits"), 1, 1, 12)) {}

TNamingSettings &NamingSettings() {
  static const TNodePtr<TNamingSettings> instance(new TNamingSettings(nullptr));
  return *instance;
}

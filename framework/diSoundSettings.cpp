#include "diSoundSettings.h"

TSoundSettings::TSoundSettings(TProperty *owner)
    : TProperty(owner, QStringLiteral("Sounds")), FEnabled(new TBooleanProperty(this, QStringLiteral("Enabled"), true)) {}

TSoundSettings &SoundSettings() {
  static const TNodePtr<TSoundSettings> instance(new TSoundSettings(nullptr));
  return *instance;
}

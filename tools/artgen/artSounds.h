// The program's sounds: short, quiet tones synthesised here (mono 16-bit PCM WAV).
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace art {

struct SoundArt {
  QString resourceName;  // also the file name without ".wav"
  QString character;     // what it sounds like, for the README and the report
  QByteArray wav;
};

std::vector<SoundArt> SynthesiseSounds();

} // namespace art

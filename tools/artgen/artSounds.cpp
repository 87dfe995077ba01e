#include "artSounds.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr int kRate = 22050;
// Peak level of every sound: about -15 dBFS, quiet beside system sounds.
constexpr double kPeak = 0.18;

// One voice: a tone that starts at `start` seconds, glides from `from` to `to` Hz over `glide` seconds and
// decays exponentially with time constant `decay`. `partials` adds quieter overtones (ratio, level) for a
// bell-like colour.
struct Voice {
  double start;
  double from, to, glide;
  double decay;
  double level;
  std::vector<std::pair<double, double>> partials;
};

QByteArray Wav(const std::vector<int16_t> &samples) {
  QByteArray out;
  auto u32 = [&out](quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
  };
  auto u16 = [&out](quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
  };
  const quint32 dataBytes = quint32(samples.size() * 2);
  out.append("RIFF", 4);
  u32(36 + dataBytes);
  out.append("WAVE", 4);
  out.append("fmt ", 4);
  u32(16);
  u16(1);          // PCM
  u16(1);          // mono
  u32(kRate);
  u32(kRate * 2);  // bytes per second
  u16(2);          // block align
  u16(16);         // bits per sample
  out.append("data", 4);
  u32(dataBytes);
  for (int16_t s : samples)
    u16(quint16(s));
  return out;
}

// Renders the voices into `seconds` of sound: a 4 ms raised-cosine attack per voice, the decays, a 15 ms fade
// to silence at the end, normalised to kPeak.
QByteArray Render(double seconds, const std::vector<Voice> &voices) {
  const int n = int(seconds * kRate);
  std::vector<double> mix(n, 0.0);
  for (const Voice &v : voices) {
    double phase = 0.0;
    std::vector<double> phases(v.partials.size(), 0.0);
    for (int i = int(v.start * kRate); i < n; ++i) {
      const double t = i / double(kRate) - v.start;
      const double g = v.glide > 0 ? std::min(1.0, t / v.glide) : 1.0;
      // An eased glide (smoothstep) so the pitch change sounds like a gesture, not a siren.
      const double eased = g * g * (3 - 2 * g);
      const double f = v.from + (v.to - v.from) * eased;
      phase += 2 * M_PI * f / kRate;
      const double attack = t < 0.004 ? 0.5 - 0.5 * std::cos(M_PI * t / 0.004) : 1.0;
      const double env = attack * std::exp(-t / v.decay) * v.level;
      double s = std::sin(phase);
      for (size_t k = 0; k < v.partials.size(); ++k) {
        phases[k] += 2 * M_PI * f * v.partials[k].first / kRate;
        // Overtones fade faster than the fundamental, as in a struck bell.
        s += v.partials[k].second * std::sin(phases[k]) * std::exp(-t / (v.decay * 0.5));
      }
      mix[i] += env * s;
    }
  }
  const int fade = int(0.015 * kRate);
  for (int i = 0; i < fade && i < n; ++i)
    mix[n - 1 - i] *= 0.5 - 0.5 * std::cos(M_PI * i / fade);
  double peak = 0;
  for (double s : mix)
    peak = std::max(peak, std::abs(s));
  std::vector<int16_t> samples(n);
  for (int i = 0; i < n; ++i)
    samples[i] = int16_t(std::lround(mix[i] / peak * kPeak * 32767));
  return Wav(samples);
}

} // namespace

std::vector<SoundArt> SynthesiseSounds() {
  const std::vector<std::pair<double, double>> bell = {{2.0, 0.18}, {2.76, 0.08}};
  const std::vector<std::pair<double, double>> soft = {{2.0, 0.10}};
  return {
      {"diClassesItemSound", "a soft, short tick (G6) for a palette command",
       Render(0.09, {{0, 1568, 1568, 0, 0.020, 1.0, soft}})},
      {"diClassesElementSound", "two rising bell notes (E5, B5) for a newly inserted element",
       Render(0.32, {{0, 659, 659, 0, 0.08, 1.0, bell}, {0.07, 988, 988, 0, 0.09, 0.85, bell}})},
      {"diClassesDisableSound", "two falling muted notes (A5, E5) for disabling or enabling",
       Render(0.24, {{0, 880, 880, 0, 0.05, 0.9, soft}, {0.06, 659, 659, 0, 0.07, 1.0, soft}})},
      {"diClassesDropDownSound", "a short upward blip for a list that opens",
       Render(0.12, {{0, 700, 1000, 0.06, 0.04, 1.0, soft}})},
      {"diClassesValueSound", "a small bell tap (C6) for an accepted value",
       Render(0.16, {{0, 1047, 1047, 0, 0.045, 1.0, bell}})},
      {"diExpandButtonExpandSound", "a gentle upward glide for expanding a logic frame",
       Render(0.15, {{0, 520, 780, 0.09, 0.06, 1.0, soft}})},
      {"diExpandButtonCollapseSound", "a gentle downward glide for collapsing a logic frame",
       Render(0.15, {{0, 780, 520, 0.09, 0.06, 1.0, soft}})},
      {"diLogMessageSound", "a soft chime (D6) for a new message in the log",
       Render(0.42, {{0, 1175, 1175, 0, 0.15, 1.0, bell}})},
  };
}

} // namespace art

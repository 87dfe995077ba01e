// Sound playback through ALSA's default device, on a worker thread.
#pragma once

#include "cuDesktop.h"

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <thread>

// The PCM format and samples of a WAV file.
struct TWaveData {
  int Channels = 0;
  int SampleRate = 0;
  int BitsPerSample = 0;  // 8 (unsigned) or 16 (signed little-endian)
  QByteArray Samples;     // whole frames only
};

// Reads a RIFF WAVE file of uncompressed PCM, 8 or 16 bits, 1 or 2 channels; false for anything else
// (also for truncated or inconsistent chunks), leaving `data` unspecified.
bool ParseWave(const QByteArray &wave, TWaveData &data);

class TAlsaSound : public TSound {
public:
  TAlsaSound();
  // Stops a sound that still plays and waits for the worker, which takes at most a fraction of a second.
  ~TAlsaSound() override;
  TAlsaSound(const TAlsaSound &) = delete;
  TAlsaSound &operator=(const TAlsaSound &) = delete;

  bool IsPlaying() const override { return FPlaying.load(); }
  // Parses the bytes on the calling thread; the device is opened and fed on the worker, so that a slow or
  // missing device never holds up the caller. Without a device the worker ends at once, silently.
  void Start(const QByteArray &wave) override;

private:
  void Play(TWaveData data);

  std::thread FWorker;
  std::atomic<bool> FPlaying{false};
  std::atomic<bool> FStop{false};
};

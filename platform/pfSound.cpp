#include "pfSound.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <cstring>

namespace {

std::uint32_t Read32(const char *p) {
  const auto *u = reinterpret_cast<const unsigned char *>(p);
  return std::uint32_t(u[0]) | std::uint32_t(u[1]) << 8 | std::uint32_t(u[2]) << 16 | std::uint32_t(u[3]) << 24;
}
std::uint16_t Read16(const char *p) {
  const auto *u = reinterpret_cast<const unsigned char *>(p);
  return std::uint16_t(u[0] | u[1] << 8);
}

// ALSA reports every failure on standard error by default; a missing device is normal here.
void SilentErrorHandler(const char *, int, const char *, int, const char *, ...) {}

}  // namespace

bool ParseWave(const QByteArray &wave, TWaveData &data) {
  const char *bytes = wave.constData();
  const qsizetype size = wave.size();
  if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
    return false;
  bool haveFormat = false;
  qsizetype at = 12;
  while (at + 8 <= size) {
    const std::uint32_t chunkSize = Read32(bytes + at + 4);
    const char *chunk = bytes + at + 8;
    const qsizetype available = size - at - 8;
    if (std::memcmp(bytes + at, "fmt ", 4) == 0) {
      if (chunkSize < 16 || qsizetype(chunkSize) > available)
        return false;
      const std::uint16_t format = Read16(chunk);
      data.Channels = Read16(chunk + 2);
      data.SampleRate = int(Read32(chunk + 4));
      data.BitsPerSample = Read16(chunk + 14);
      if (format != 1 || (data.Channels != 1 && data.Channels != 2) ||
          (data.BitsPerSample != 8 && data.BitsPerSample != 16) || data.SampleRate < 1000 ||
          data.SampleRate > 192000)
        return false;
      haveFormat = true;
    } else if (std::memcmp(bytes + at, "data", 4) == 0) {
      if (!haveFormat)
        return false;
      // A writer that did not know the final length leaves it too large: take what is there.
      const qsizetype length = std::min<qsizetype>(qsizetype(chunkSize), available);
      const int frameBytes = data.Channels * data.BitsPerSample / 8;
      data.Samples = wave.mid(at + 8, length - length % frameBytes);
      return !data.Samples.isEmpty();
    }
    // Chunks are padded to an even length.
    at += 8 + qsizetype(chunkSize) + (chunkSize & 1);
  }
  return false;
}

TAlsaSound::TAlsaSound() {
  static const bool silenced = (snd_lib_error_set_handler(&SilentErrorHandler), true);
  (void)silenced;
}

TAlsaSound::~TAlsaSound() {
  FStop = true;
  if (FWorker.joinable())
    FWorker.join();
}

void TAlsaSound::Start(const QByteArray &wave) {
  if (FPlaying.load())
    return;
  TWaveData data;
  if (!ParseWave(wave, data))
    return;
  // The previous worker has finished (FPlaying is clear), so this join returns at once.
  if (FWorker.joinable())
    FWorker.join();
  FPlaying = true;
  FWorker = std::thread(&TAlsaSound::Play, this, std::move(data));
}

void TAlsaSound::Play(TWaveData data) {
  snd_pcm_t *pcm = nullptr;
  // Non-blocking open: a device held by another program answers at once instead of waiting for it.
  if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
    FPlaying = false;
    return;
  }
  const snd_pcm_format_t format = data.BitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
  const int frameBytes = data.Channels * data.BitsPerSample / 8;
  const snd_pcm_uframes_t frames = snd_pcm_uframes_t(data.Samples.size() / frameBytes);
  if (snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, unsigned(data.Channels),
                         unsigned(data.SampleRate), 1, 100000) == 0) {
    // Writes stay non-blocking and waits are short, so that the destructor's stop request is seen soon
    // and a device that stops taking samples cannot keep the worker past the sound's length plus a margin.
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(2000 + 1000 * qint64(frames) / data.SampleRate);
    snd_pcm_uframes_t done = 0;
    while (done < frames && !FStop.load() && std::chrono::steady_clock::now() < deadline) {
      const snd_pcm_sframes_t written =
          snd_pcm_writei(pcm, data.Samples.constData() + qsizetype(done) * frameBytes, frames - done);
      if (written == -EAGAIN) {
        snd_pcm_wait(pcm, 50);
      } else if (written < 0) {
        if (snd_pcm_recover(pcm, int(written), 1) < 0)
          break;
      } else {
        done += snd_pcm_uframes_t(written);
      }
    }
    // Let the queued samples play out, still watching for a stop request.
    while (!FStop.load() && std::chrono::steady_clock::now() < deadline) {
      snd_pcm_sframes_t delay = 0;
      if (snd_pcm_state(pcm) != SND_PCM_STATE_RUNNING || snd_pcm_delay(pcm, &delay) < 0 || delay <= 0)
        break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  snd_pcm_drop(pcm);
  snd_pcm_close(pcm);
  FPlaying = false;
}

#include "pfSound.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

QByteArray Le32(std::uint32_t v) {
  QByteArray b(4, '\0');
  for (int i = 0; i < 4; ++i)
    b[i] = char((v >> (8 * i)) & 0xFF);
  return b;
}
QByteArray Le16(std::uint16_t v) { return Le32(v).left(2); }

// A WAV file of `samples` with the given format fields; `dataSize` overrides the data chunk's length.
QByteArray Wave(std::uint16_t format, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                const QByteArray &samples, qint64 dataSize = -1, const QByteArray &extraChunk = {}) {
  QByteArray fmt = Le16(format) + Le16(channels) + Le32(rate) + Le32(rate * channels * bits / 8) +
                   Le16(std::uint16_t(channels * bits / 8)) + Le16(bits);
  QByteArray body = QByteArray("WAVE") + "fmt " + Le32(16) + fmt + extraChunk + "data" +
                    Le32(std::uint32_t(dataSize < 0 ? samples.size() : dataSize)) + samples;
  return QByteArray("RIFF") + Le32(std::uint32_t(body.size())) + body;
}

TEST(ParseWave, AcceptsPlainPcmAndRefusesTheRest) {
  const QByteArray four(4, '\x10');
  struct Case {
    const char *what;
    QByteArray wave;
    bool ok;
    int samples;
  } cases[] = {
      {"16-bit mono", Wave(1, 1, 22050, 16, four), true, 4},
      {"8-bit stereo", Wave(1, 2, 8000, 8, four), true, 4},
      // An odd-sized chunk before the data is skipped with its pad byte.
      {"padded chunk", Wave(1, 1, 22050, 16, four, -1, QByteArray("LIST") + Le32(3) + "abc" + '\0'), true, 4},
      {"length past the end", Wave(1, 1, 22050, 16, four, 1000), true, 4},
      {"partial frame", Wave(1, 2, 22050, 16, QByteArray(6, 'x')), true, 4},
      {"compressed", Wave(2, 1, 22050, 16, four), false, 0},
      {"24-bit", Wave(1, 1, 22050, 24, QByteArray(6, 'x')), false, 0},
      {"six channels", Wave(1, 6, 22050, 16, QByteArray(12, 'x')), false, 0},
      {"no samples", Wave(1, 1, 22050, 16, {}), false, 0},
      {"not RIFF", QByteArray("RIFX") + Wave(1, 1, 22050, 16, four).mid(4), false, 0},
      {"truncated header", Wave(1, 1, 22050, 16, four).left(30), false, 0},
      {"empty", QByteArray(), false, 0},
  };
  for (const Case &c : cases) {
    TWaveData data;
    EXPECT_EQ(ParseWave(c.wave, data), c.ok) << c.what;
    if (c.ok)
      EXPECT_EQ(data.Samples.size(), c.samples) << c.what;
  }
}

TEST(ParseWave, ReadsTheShippedSounds) {
  QFile file(QStringLiteral(QN_SOURCE_DIR "/framework/res/diClassesDisableSound.wav"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  TWaveData data;
  ASSERT_TRUE(ParseWave(file.readAll(), data));
  EXPECT_EQ(data.Channels, 1);
  EXPECT_EQ(data.BitsPerSample, 16);
  EXPECT_GT(data.Samples.size(), 1000);
}

// On a machine without an audio device (the build machines have none) a sound neither blocks the caller
// nor fails. What a device is given is checked below with a recording one; how it sounds only a listener
// can check.
TEST(AlsaSound, StartsWithoutBlockingAndEnds) {
  QFile file(QStringLiteral(QN_SOURCE_DIR "/framework/res/diClassesItemSound.wav"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray wave = file.readAll();
  TAlsaSound sound;
  QElapsedTimer timer;
  timer.start();
  sound.Start(wave);
  EXPECT_LT(timer.elapsed(), 200);
  // A second request while the first may still play is dropped without waiting either.
  sound.Start(wave);
  EXPECT_LT(timer.elapsed(), 400);
  while (sound.IsPlaying() && timer.elapsed() < 5000)
    QThread::msleep(10);
  EXPECT_FALSE(sound.IsPlaying());
  sound.Start(QByteArray("not a wave"));
  EXPECT_FALSE(sound.IsPlaying());
}

TEST(AlsaSound, DestroyedWhilePlaying) {
  QElapsedTimer timer;
  timer.start();
  {
    TAlsaSound sound;
    // Ten seconds of silence: the destructor must not wait for it.
    sound.Start(Wave(1, 1, 8000, 8, QByteArray(80000, char(0x80))));
  }
  EXPECT_LT(timer.elapsed(), 1000);
}

// Points ALSA at a configuration of its own for the lifetime of the object: ALSA_CONFIG_PATH names the one
// file read instead of the system's, so the machine's devices and the user's settings play no part. The
// previous value is put back and ALSA's cached configuration dropped, so later opens read it again.
class TAlsaConfiguration {
public:
  explicit TAlsaConfiguration(const QByteArray &text) {
    const QString path = FFolder.filePath(QStringLiteral("asound.conf"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
      file.write(text);
    file.close();
    FHadValue = qEnvironmentVariableIsSet("ALSA_CONFIG_PATH");
    FSaved = qgetenv("ALSA_CONFIG_PATH");
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(path));
    snd_config_update_free_global();
  }
  ~TAlsaConfiguration() {
    if (FHadValue)
      qputenv("ALSA_CONFIG_PATH", FSaved);
    else
      qunsetenv("ALSA_CONFIG_PATH");
    snd_config_update_free_global();
  }
  QString FilePath(const char *name) const { return FFolder.filePath(QString::fromLatin1(name)); }

private:
  QTemporaryDir FFolder;
  bool FHadValue = false;
  QByteArray FSaved;
};

// Whether the default device of the current configuration opens for playback.
bool DefaultDeviceOpens() {
  snd_pcm_t *pcm = nullptr;
  if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
    return false;
  snd_pcm_close(pcm);
  return true;
}

bool WaitWhilePlaying(const TAlsaSound &sound, int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (sound.IsPlaying() && timer.elapsed() < milliseconds)
    QThread::msleep(5);
  return !sound.IsPlaying();
}

// Every sound the program ships, played through the back end onto a default device that records what it
// is given into a file (and plays it on to a device that discards it): the file holds exactly the samples
// of the WAV file, and they are not silence.
TEST(AlsaSound, PlaysEveryShippedSoundWholeOnADevice) {
  QTemporaryDir folder;
  const QString output = folder.filePath(QStringLiteral("played.raw"));
  TAlsaConfiguration configuration("pcm.!default {\n"
                                   "  type file\n"
                                   "  slave.pcm { type null }\n"
                                   "  file \"" + QFile::encodeName(output) + "\"\n"
                                   "  format \"raw\"\n"
                                   "}\n");
  if (!DefaultDeviceOpens())
    GTEST_SKIP() << "ALSA's file and null devices are not available";
  QFile::remove(output);

  const QDir resources(QStringLiteral(QN_SOURCE_DIR "/framework/res"));
  const QStringList names = resources.entryList({QStringLiteral("*Sound.wav")}, QDir::Files, QDir::Name);
  ASSERT_FALSE(names.isEmpty());
  for (const QString &name : names) {
    SCOPED_TRACE(name.toStdString());
    QFile file(resources.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray wave = file.readAll();
    TWaveData data;
    ASSERT_TRUE(ParseWave(wave, data));
    ASSERT_EQ(data.BitsPerSample, 16);

    TAlsaSound sound;
    QElapsedTimer timer;
    timer.start();
    sound.Start(wave);
    EXPECT_LT(timer.elapsed(), 200);
    EXPECT_TRUE(WaitWhilePlaying(sound, 5000));

    QFile played(output);
    ASSERT_TRUE(played.open(QIODevice::ReadOnly));
    const QByteArray samples = played.readAll();
    played.close();
    QFile::remove(output);
    EXPECT_EQ(samples.size(), data.Samples.size());
    EXPECT_TRUE(samples == data.Samples);
    // 16-bit little-endian samples; the loudest is well above the noise floor.
    int loudest = 0;
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2) {
      const auto sample = qint16(quint16(quint8(samples[i]) | quint8(samples[i + 1]) << 8));
      loudest = std::max(loudest, std::abs(int(sample)));
    }
    EXPECT_GT(loudest, 1000);
  }
}

// A configuration without any device: nothing plays, nothing waits, nothing fails.
TEST(AlsaSound, StaysSilentWithoutAnyDevice) {
  TAlsaConfiguration configuration("");
  ASSERT_FALSE(DefaultDeviceOpens());
  QFile file(QStringLiteral(QN_SOURCE_DIR "/framework/res/diClassesElementSound.wav"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray wave = file.readAll();
  TAlsaSound sound;
  for (int i = 0; i < 3; ++i) {
    QElapsedTimer timer;
    timer.start();
    sound.Start(wave);
    EXPECT_LT(timer.elapsed(), 200);
    EXPECT_TRUE(WaitWhilePlaying(sound, 500));
  }
}

}  // namespace

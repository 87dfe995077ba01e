#include "pfSound.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

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
// nor fails; with a device it plays, which only a listener can check.
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

}  // namespace

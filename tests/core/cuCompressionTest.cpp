#include "cuClasses.h"
#include "cuUtils.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

QByteArray Sample(qsizetype size) {
  QByteArray bytes(size, Qt::Uninitialized);
  QRandomGenerator generator(7);
  for (qsizetype i = 0; i < size; ++i)
    bytes[i] = char(i % 251 < 200 ? 'a' + i % 7 : generator.bounded(256));
  return bytes;
}

QString DecompressError(const QByteArray &packed, QByteArray &target, qsizetype limit = DecompressedSizeLimit) {
  try {
    DecompressStream(packed, target, limit);
  } catch (const EException &e) {
    return e.Message();
  }
  return {};
}

TEST(Compression, RoundTripInTheZlibStreamFormat) {
  for (qsizetype size : {qsizetype(1), qsizetype(1000), qsizetype(3 * 1024 * 1024 + 17)}) {
    const QByteArray source = Sample(size);
    QByteArray packed, unpacked;
    CompressStream(source, packed);
    // The zlib stream format: zlib's own inflate reads it, and so does uncompress.
    ASSERT_GE(packed.size(), 2);
    EXPECT_EQ((quint8(packed[0]) * 256 + quint8(packed[1])) % 31, 0);
    QByteArray check(size, Qt::Uninitialized);
    uLongf checkSize = uLongf(size);
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef *>(check.data()), &checkSize,
                         reinterpret_cast<const Bytef *>(packed.constData()), uLong(packed.size())),
              Z_OK);
    EXPECT_EQ(check, source);
    DecompressStream(packed, unpacked);
    EXPECT_EQ(unpacked, source);
  }
  QByteArray target = "old";
  CompressStream({}, target);
  EXPECT_TRUE(target.isEmpty());
  target = "old";
  DecompressStream({}, target);
  EXPECT_TRUE(target.isEmpty());
}

TEST(Compression, DamagedStreamsRaiseAndLeaveTheTargetEmpty) {
  QByteArray packed;
  CompressStream(Sample(100000), packed);
  QByteArray flipped = packed;
  flipped[packed.size() / 2] = char(flipped[packed.size() / 2] ^ 0x55);
  QByteArray badHeader = packed;
  badHeader[0] = 0x12;
  struct Case {
    const char *Name;
    QByteArray Bytes;
  } cases[] = {
      {"cut short", packed.left(packed.size() - 10)},
      {"only the header", packed.left(2)},
      {"a flipped byte", flipped},
      {"no zlib header", badHeader},
      {"bytes after the end", packed + "tail"},
      {"not compressed at all", QByteArray("plain text, not a stream")},
  };
  for (const Case &c : cases) {
    QByteArray target = "old";
    EXPECT_EQ(DecompressError(c.Bytes, target), QLatin1String("The compressed data is damaged")) << c.Name;
    EXPECT_TRUE(target.isEmpty()) << c.Name;
  }
}

TEST(Compression, OutputIsCapped) {
  QByteArray packed, target;
  CompressStream(QByteArray(10000, 'x'), packed);
  EXPECT_EQ(DecompressError(packed, target, 10000), QString());
  EXPECT_EQ(target.size(), 10000);
  EXPECT_EQ(DecompressError(packed, target, 9999), QLatin1String("The compressed data expands to more than 9999 bytes"));
  EXPECT_TRUE(target.isEmpty());
  // The default cap: a small stream that would expand to 257 MB stops at 256 MB.
  CompressStream(QByteArray(257 * 1024 * 1024, '\0'), packed);
  EXPECT_LT(packed.size(), 300 * 1024);
  EXPECT_EQ(DecompressError(packed, target), QLatin1String("The compressed data expands to more than 268435456 bytes"));
  EXPECT_TRUE(target.isEmpty());
}

}  // namespace

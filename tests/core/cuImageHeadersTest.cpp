#include "cuUtils.h"
#include "testSupport.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

TImageSize SizeOf(const QByteArray &bytes, int format) {
  QByteArray copy = bytes;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  return ImageSizeOf(buffer, format);
}

QByteArray Hex(const char *hex) { return QByteArray::fromHex(hex); }

void ExpectSize(const TImageSize &size, int width, int height, bool found, const char *what) {
  EXPECT_EQ(size.Width, width) << what;
  EXPECT_EQ(size.Height, height) << what;
  EXPECT_EQ(size.Found, found) << what;
}

TEST(ImageFormats, TableByExtension) {
  const char *extensions[] = {"bmp", "ico", "cur", "emf", "wmf", "jpeg", "jpg", "jpe", "jfif", "gif", "png", "tif", "tiff"};
  const char *descriptions[] = {"Bitmap", "Icon", "Cursor", "Metafile", "Metafile", "JPEG", "JPEG",
                                "JPEG",   "JPEG", "GIF",    "PNG",      "TIFF",     "TIFF"};
  for (int k = 1; k <= ImageFormatCount; ++k) {
    EXPECT_EQ(ImageFormatExtension(k), QLatin1String(extensions[k - 1]));
    EXPECT_EQ(ImageFormatDescription(k), QLatin1String(descriptions[k - 1]));
    EXPECT_EQ(ImageFormatOf(QLatin1String("/a/b.") + QString::fromLatin1(extensions[k - 1]).toUpper()), k);
  }
  EXPECT_EQ(ImageFormatOf(QStringLiteral("notes.txt")), ifNone);
  EXPECT_EQ(ImageFormatOf(QStringLiteral("png")), ifNone);
  EXPECT_EQ(ImageFormatExtension(0), QString());
  EXPECT_EQ(ImageFormatDescription(14), QString());
}

TEST(ImageSizeOf, RealHeaders) {
  struct Case {
    const char *File;
    int Format, Width, Height;
  } cases[] = {
      {"baseline.jpg", ifJpg, 37, 21},  {"progressive.jpg", ifJpeg, 37, 21}, {"image.png", ifPng, 37, 21},
      {"image.bmp", ifBmp, 37, 21},     {"topdown.bmp", ifBmp, 5, 3},        {"image.gif", ifGif, 37, 21},
      {"image.ico", ifIco, 48, 48},     {"three.ico", ifIco, 256, 256},      {"pointer.cur", ifCur, 32, 32},
      {"drawing.emf", ifEmf, 96, 48},   {"drawing.wmf", ifWmf, 96, 48},
  };
  for (const Case &c : cases)
    ExpectSize(SizeOf(ReadFileBytes(QN_FIXTURE("images/") + QLatin1String(c.File)), c.Format), c.Width, c.Height,
               true, c.File);
}

TEST(ImageSizeOf, ReadsAtThePositionAndPutsItBack) {
  QByteArray bytes = "junk" + ReadFileBytes(QN_FIXTURE("images/image.png"));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  buffer.seek(4);
  ExpectSize(ImageSizeOf(buffer, ifPng), 37, 21, true, "offset png");
  EXPECT_EQ(buffer.pos(), 4);
}

TEST(ImageSizeOf, FormatsNotReadAndMissingValues) {
  const QByteArray png = ReadFileBytes(QN_FIXTURE("images/image.png"));
  ExpectSize(SizeOf(png, ifTiff), 100, 100, false, "tiff is not read");
  ExpectSize(SizeOf(png, ifNone), 100, 100, false, "not in the table");
  ExpectSize(SizeOf(png, 99), 100, 100, false, "beyond the table");
  ExpectSize(SizeOf({}, ifIco), 32, 32, false, "empty icon");
  ExpectSize(SizeOf(png.left(20), ifPng), 100, 100, false, "png cut in the width");
  // A GIF whose height is 0: the width is kept, the height becomes 100.
  ExpectSize(SizeOf(Hex("474946383961250000000000"), ifGif), 37, 100, false, "gif without height");
}

TEST(ImageSizeOf, DamagedJpegWalksEndWithoutResult) {
  // SOF0 body after its length: precision 8, height 21, width 37.
  const char *sof = "ffc0001108001500250301220002110103110100";
  struct Case {
    const char *Name;
    QByteArray Bytes;
    bool Found;
  } cases[] = {
      {"plain", Hex("ffd8") + Hex(sof), true},
      {"fill bytes and standalone markers first", Hex("ffd8ffffffd0ff01ffd7ffd8") + Hex(sof), true},
      {"application segment first", Hex("ffd8ffe000104a46494600010101006000600000") + Hex(sof), true},
      {"segment length 0", Hex("ffd8ffe00000") + Hex(sof), false},
      {"segment length 1", Hex("ffd8ffe00001") + Hex(sof), false},
      {"segment length past the end", Hex("ffd8ffe0ffff0000") + Hex(sof), false},
      {"end of image before the frame", Hex("ffd8ffd9") + Hex(sof), false},
      {"no marker where one belongs", Hex("ffd80000") + Hex(sof), false},
      {"stuffed zero as a marker", Hex("ffd8ff00") + Hex(sof), false},
      {"extended frame is not read", Hex("ffd8ffc1001108001500250301220002110103110100"), false},
      {"no start of image", Hex(sof), false},
      {"frame cut short", Hex("ffd8ffc00011080015"), false},
      {"only fill bytes", QByteArray(1000, char(0xFF)).prepend(Hex("ffd8")), false},
  };
  for (const Case &c : cases) {
    const TImageSize size = SizeOf(c.Bytes, ifJpg);
    EXPECT_EQ(size.Found, c.Found) << c.Name;
    if (c.Found)
      ExpectSize(size, 37, 21, true, c.Name);
    else
      ExpectSize(size, 100, 100, false, c.Name);
  }
}

TEST(ImageSizeOf, EveryPrefixOfRealFilesIsSafe) {
  for (const char *file : {"baseline.jpg", "three.ico", "drawing.emf", "drawing.wmf", "image.bmp"}) {
    const QByteArray bytes = ReadFileBytes(QN_FIXTURE("images/") + QLatin1String(file));
    const int format = ImageFormatOf(QString::fromLatin1(file));
    const TImageSize whole = SizeOf(bytes, format);
    bool wasFound = false;
    for (qsizetype n = 0; n <= bytes.size(); ++n) {
      const TImageSize size = SizeOf(bytes.left(n), format);
      // Once the header is complete the answer is that of the whole file, and it never goes back.
      if (size.Found) {
        EXPECT_EQ(size.Width, whole.Width) << file << " prefix " << n;
        EXPECT_EQ(size.Height, whole.Height) << file << " prefix " << n;
      }
      EXPECT_TRUE(size.Found || !wasFound) << file << " prefix " << n;
      wasFound = size.Found;
    }
    EXPECT_TRUE(wasFound) << file;
  }
}

TEST(ImageSizeOf, DamagedOtherHeaders) {
  QByteArray emf = ReadFileBytes(QN_FIXTURE("images/drawing.emf"));
  emf[40] = 'X';  // signature
  ExpectSize(SizeOf(emf, ifEmf), 100, 100, false, "emf without signature");
  QByteArray wmf = ReadFileBytes(QN_FIXTURE("images/drawing.wmf"));
  ExpectSize(SizeOf(wmf.mid(22), ifWmf), 100, 100, false, "metafile without the placeable header");
  wmf[14] = 0;
  wmf[15] = 0;  // units per inch
  ExpectSize(SizeOf(wmf, ifWmf), 100, 100, false, "placeable metafile with 0 units per inch");
  QByteArray bmp = ReadFileBytes(QN_FIXTURE("images/image.bmp"));
  bmp[1] = 'X';
  ExpectSize(SizeOf(bmp, ifBmp), 100, 100, false, "bitmap without BM");
  QByteArray ico = ReadFileBytes(QN_FIXTURE("images/three.ico"));
  ico[2] = 3;  // type
  ExpectSize(SizeOf(ico, ifIco), 32, 32, false, "icon of type 3");
  ico[2] = 1;
  ico[4] = 9;  // count beyond the entries present
  ExpectSize(SizeOf(ico.left(6 + 16 * 4), ifIco), 32, 32, false, "icon directory cut short");
  // A bitmap height of -2^31 has no positive counterpart.
  QByteArray top = ReadFileBytes(QN_FIXTURE("images/topdown.bmp"));
  top.replace(22, 4, Hex("00000080"));
  ExpectSize(SizeOf(top, ifBmp), 5, 100, false, "bitmap height -2^31");
}

}  // namespace

#include "umIcon.h"
#include "umQtImage.h"
#include "umUniversalImage.h"

#include "testSupport.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace {

// ---- an icon writer for the tests: bitmap or PNG images, directory in any order ----

void Put16(QByteArray &b, int v) { b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); }
void Put32(QByteArray &b, qint64 v) { Put16(b, int(v & 0xFFFF)), Put16(b, int((v >> 16) & 0xFFFF)); }

struct TTestImage {
  int Width = 0, Height = 0, BitCount = 32;
  std::function<quint32(int x, int y)> Pixel;  // palette index, 0x555 word, 0xRRGGBB or 0xAARRGGBB
  std::function<bool(int x, int y)> Mask = [](int, int) { return false; };
  QByteArray Png;  // when set, the image is stored as these bytes
  std::vector<quint32> Palette;  // 0xRRGGBB; filled up to 2^BitCount with black
};

TTestImage Bitmap(int width, int height, int bitCount, std::function<quint32(int, int)> pixel) {
  TTestImage t;
  t.Width = width, t.Height = height, t.BitCount = bitCount, t.Pixel = std::move(pixel);
  return t;
}

QByteArray ImageBytes(const TTestImage &image) {
  if (!image.Png.isEmpty())
    return image.Png;
  QByteArray b;
  Put32(b, 40), Put32(b, image.Width), Put32(b, image.Height * 2);
  Put16(b, 1), Put16(b, image.BitCount);
  for (int i = 0; i < 6; ++i)
    Put32(b, 0);
  if (image.BitCount <= 8)
    for (int i = 0; i < (1 << image.BitCount); ++i) {
      const quint32 c = i < int(image.Palette.size()) ? image.Palette[i] : 0;
      b.append(char(c & 0xFF)).append(char(c >> 8 & 0xFF)).append(char(c >> 16 & 0xFF)).append('\0');
    }
  auto rows = [&](int bits, auto put) {
    const int stride = (image.Width * bits + 31) / 32 * 4;
    for (int y = image.Height - 1; y >= 0; --y) {
      QByteArray row(stride, '\0');
      for (int x = 0; x < image.Width; ++x)
        put(row, x, y);
      b.append(row);
    }
  };
  rows(image.BitCount, [&](QByteArray &row, int x, int y) {
    const quint32 v = image.Pixel(x, y);
    switch (image.BitCount) {
    case 1: row[x / 8] = char(row[x / 8] | (v & 1) << (7 - x % 8)); break;
    case 4: row[x / 2] = char(row[x / 2] | (v & 15) << (x % 2 ? 0 : 4)); break;
    case 8: row[x] = char(v); break;
    case 16: row[2 * x] = char(v & 0xFF), row[2 * x + 1] = char(v >> 8); break;
    case 24: row[3 * x] = char(v), row[3 * x + 1] = char(v >> 8), row[3 * x + 2] = char(v >> 16); break;
    default:
      for (int k = 0; k < 4; ++k)
        row[4 * x + k] = char(v >> (8 * k));
    }
  });
  rows(1, [&](QByteArray &row, int x, int y) {
    if (image.Mask(x, y))
      row[x / 8] = char(row[x / 8] | 0x80 >> (x % 8));
  });
  return b;
}

// `order` gives the storage order of the images after the directory (default: directory order).
QByteArray BuildIcon(const std::vector<TTestImage> &images, int type = 1, std::vector<int> order = {}) {
  if (order.empty())
    for (int i = 0; i < int(images.size()); ++i)
      order.push_back(i);
  std::vector<QByteArray> data;
  for (const TTestImage &image : images)
    data.push_back(ImageBytes(image));
  std::vector<qint64> offsets(images.size());
  qint64 at = 6 + 16 * qint64(images.size());
  for (int i : order)
    offsets[i] = at, at += data[i].size();
  QByteArray b;
  Put16(b, 0), Put16(b, type), Put16(b, int(images.size()));
  for (std::size_t i = 0; i < images.size(); ++i) {
    b.append(char(images[i].Width & 0xFF)).append(char(images[i].Height & 0xFF)).append('\0').append('\0');
    Put16(b, type == 2 ? 3 : 1), Put16(b, type == 2 ? 7 : images[i].BitCount);
    Put32(b, data[i].size()), Put32(b, offsets[i]);
  }
  for (int i : order)
    b.append(data[i]);
  return b;
}

void LoadBytes(TUniversalImage &image, const QByteArray &bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  image.LoadFromStream(buffer);
}

QString ErrorOf(const std::function<void()> &f) {
  try {
    f();
  } catch (const EException &e) {
    return e.Message();
  }
  return QStringLiteral("(no error)");
}

QByteArray PngOf(const QImage &image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QString Fixture(const char *name) { return QStringLiteral(QN_TEST_DATA "/") + QString::fromUtf8(name); }

// ---- platform decoder and encoders ----

const char *const kPictures[] = {"picture.png", "picture.bmp", "picture.jpg", "picture.gif", "picture.tif"};

TEST(QtImage, DecodesEveryFixtureFormatByContent) {
  for (const char *name : kPictures) {
    SCOPED_TRACE(name);
    TUniversalImage image;
    image.LoadFromFile(Fixture(name));
    ASSERT_EQ(image.Count(), 1);
    EXPECT_EQ(image.Size(), QSize(23, 17));
    EXPECT_EQ(image.Images(0).DrawMode(), dmBlend);
    const TBitmap32 &b = image.Images(0);
    EXPECT_EQ(AlphaOf(b.Pixel(22, 16)), 255);
    EXPECT_GT(BlueOf(b.Pixel(10, 16)), RedOf(b.Pixel(10, 16)));  // the gradient ends blue at the bottom
    EXPECT_GT(RedOf(b.Pixel(10, 0)), BlueOf(b.Pixel(10, 0)));
    if (QByteArray(name) != "picture.jpg") {
      EXPECT_EQ(AlphaOf(b.Pixel(0, 0)), 0);
      EXPECT_EQ(AlphaOf(b.Pixel(5, 0)), 255);
    }
  }
}

// Every fixture through every encoder decodes back to the same size; PNG and TIFF keep every pixel, BMP
// every colour (made opaque), GIF the transparent pixels and the few colours of a GIF source exactly.
TEST(QtImage, RoundTripsThroughEveryEncoder) {
  using TConverter = void (*)(QIODevice &, QIODevice &);
  const std::pair<TConverter, const char *> converters[] = {
      {ConvertToBMP, "BM"}, {ConvertToGIF, "GIF89a"}, {ConvertToJPEG, "\xFF\xD8"},
      {ConvertToPNG, "\x89PNG"}, {ConvertToTIFF, "II*"}};
  for (const char *name : kPictures)
    for (auto [convert, magic] : converters) {
      SCOPED_TRACE(std::string(name) + " to " + magic);
      QByteArray source = ReadFileBytes(Fixture(name)), encoded = "kept:";
      TUniversalImage original;
      LoadBytes(original, source);
      QBuffer from(&source), to(&encoded);
      from.open(QIODevice::ReadOnly);
      to.open(QIODevice::WriteOnly | QIODevice::Append);
      convert(from, to);
      ASSERT_TRUE(encoded.startsWith(QByteArray("kept:") + magic));  // appended after what was there
      TUniversalImage decoded;
      LoadBytes(decoded, encoded.mid(5));
      ASSERT_EQ(decoded.Size(), QSize(23, 17));
      const TBitmap32 &a = original.Images(0), &b = decoded.Images(0);
      const bool lossless = convert == ConvertToPNG || convert == ConvertToTIFF ||
                            (convert == ConvertToGIF && QByteArray(name) == "picture.gif");
      for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x) {
          if (lossless)  // the colour of a fully transparent pixel need not survive
            ASSERT_EQ(AlphaOf(a.Pixel(x, y)) ? a.Pixel(x, y) : 0, AlphaOf(b.Pixel(x, y)) ? b.Pixel(x, y) : 0)
                << x << "," << y;
          else if (convert == ConvertToBMP)
            ASSERT_EQ(a.Pixel(x, y) | 0xFF000000u, b.Pixel(x, y)) << x << "," << y;
          else if (convert == ConvertToGIF)
            ASSERT_EQ(AlphaOf(b.Pixel(x, y)), AlphaOf(a.Pixel(x, y)) < 128 ? 0 : 255);
          if (AlphaOf(a.Pixel(x, y)) == 255 && AlphaOf(b.Pixel(x, y)) == 255)
            ASSERT_NEAR(GreenOf(a.Pixel(x, y)), GreenOf(b.Pixel(x, y)), convert == ConvertToJPEG ? 48 : 24)
                << x << "," << y;
        }
    }
}

TEST(QtImage, GifOfManyColoursIsReducedToAClosePalette) {
  QImage many(64, 64, QImage::Format_ARGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      many.setPixel(x, y, qRgba(x * 4, y * 4, (x + y) * 2, x == y ? 0 : 255));
  TBitmap32 bitmap;
  bitmap.Assign(many);
  TQtImage image;
  image.Assign(bitmap);
  QByteArray bytes;
  QBuffer out(&bytes);
  out.open(QIODevice::WriteOnly);
  image.SaveToStream(out, ieGIF);
  TUniversalImage decoded;
  LoadBytes(decoded, bytes);
  const TBitmap32 &b = decoded.Images(0);
  int worst = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const TColor32 p = b.Pixel(x, y);
      ASSERT_EQ(AlphaOf(p), x == y ? 0 : 255);
      if (x != y)
        worst = std::max({worst, std::abs(RedOf(p) - x * 4), std::abs(GreenOf(p) - y * 4),
                          std::abs(BlueOf(p) - (x + y) * 2)});
    }
  EXPECT_LE(worst, 24);
}

TEST(QtImage, UndecodableBytesRaiseTheCodecError) {
  const auto decode = [](const QByteArray &bytes) {
    return [bytes] {
      TUniversalImage image;
      LoadBytes(image, bytes);
    };
  };
  EXPECT_EQ(ErrorOf(decode({})), "Invalid image codec operation (2)");
  EXPECT_TRUE(ErrorOf(decode("this is no picture at all")).startsWith("Invalid image codec operation (3)"));
  const QByteArray png = ReadFileBytes(QN_FIXTURE("picture.png"));
  EXPECT_TRUE(ErrorOf(decode(png.left(60))).startsWith("Invalid image codec operation ("));
  try {
    TQtImage empty;
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    empty.SaveToStream(out, iePNG);
    FAIL();
  } catch (const EQtImageException &e) {
    EXPECT_EQ(e.Status(), icsNoData);
  }
}

// ---- icons ----

TEST(Icon, FileWrittenByAnotherProgramGivesItsImagesInDirectoryOrder) {
  TUniversalImage image;
  image.LoadFromFile(QN_FIXTURE("two.ico"));
  ASSERT_EQ(image.Count(), 2);
  EXPECT_EQ(image.Size(), QSize(16, 16));
  EXPECT_EQ(QSize(image.Images(1).Width(), image.Images(1).Height()), QSize(32, 32));
  EXPECT_EQ(image.Images(0).Pixel(0, 0), 0u);
  EXPECT_EQ(image.Images(0).Pixel(5, 5), 0xFFE02020u);
  EXPECT_EQ(image.Images(0).Pixel(5, 14), 0u);  // rows are read bottom-up
  EXPECT_EQ(image.Images(1).Pixel(16, 16), 0xFF2040E0u);
  EXPECT_EQ(AlphaOf(image.Images(1).Pixel(1, 1)), 0);

  // The same bytes through the generic stream loader, which tells an icon by its first four bytes.
  TUniversalImage generic;
  LoadBytes(generic, ReadFileBytes(QN_FIXTURE("two.ico")));
  EXPECT_EQ(generic.Count(), 2);
}

TEST(Icon, MaskRulesForEveryBitCount) {
  // Columns: 0 black under a set mask, 1 colour under a set mask, 2 colour under a clear mask.
  const auto mask = [](int x, int) { return x < 2; };
  struct TCase {
    int BitCount;
    quint32 Black, Colour;  // stored values
    TColor32 Expected;      // of the colour under a clear mask
  };
  const TCase cases[] = {
      {1, 0, 1, 0xFFFFFFFF},      {4, 0, 9, 0xFF102030},     {8, 0, 200, 0xFF102030},
      {16, 0, 0x7C00, 0xFFFF0000}, {24, 0, 0x112233, 0xFF112233}, {32, 0x80000000, 0x80112233, 0x80112233},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.BitCount);
    TTestImage t = Bitmap(3, 2, c.BitCount, [&](int x, int) { return x == 0 ? c.Black : c.Colour; });
    t.Mask = mask;
    t.Palette.assign(256, 0x102030);
    t.Palette[0] = 0;
    t.Palette[1] = 0xFFFFFF;
    TUniversalImage image;
    LoadBytes(image, BuildIcon({t}));
    ASSERT_EQ(image.Size(), QSize(3, 2));
    for (int y = 0; y < 2; ++y) {
      EXPECT_EQ(image.Images(0).Pixel(0, y), 0u);           // white mask over black: transparent
      EXPECT_EQ(image.Images(0).Pixel(1, y), 0xFF000000u);  // white mask over a colour: opaque black
      EXPECT_EQ(image.Images(0).Pixel(2, y), c.Expected);
    }
  }
}

TEST(Icon, ImagesAreReadAtTheirDirectoryOffsets) {
  TTestImage small = Bitmap(2, 2, 24, [](int, int) { return 0x0000FFu; });
  TTestImage large = Bitmap(4, 3, 8, [](int x, int) { return quint32(x); });
  large.Palette = {0x010101, 0x020202, 0x030303, 0x040404};
  QImage png(5, 6, QImage::Format_ARGB32);
  png.fill(0x7F00FF00);
  TTestImage embedded;
  embedded.Png = PngOf(png);
  // Stored in the order embedded, large, small; the directory lists small, large, embedded.
  TUniversalImage image;
  LoadBytes(image, BuildIcon({small, large, embedded}, 1, {2, 1, 0}));
  ASSERT_EQ(image.Count(), 3);
  EXPECT_EQ(image.Images(0).Pixel(1, 1), 0xFF0000FFu);
  EXPECT_EQ(image.Images(1).Pixel(3, 2), 0xFF040404u);
  EXPECT_EQ(QSize(image.Images(2).Width(), image.Images(2).Height()), QSize(5, 6));
  EXPECT_EQ(image.Images(2).Pixel(4, 5), 0x7F00FF00u);
}

TEST(Icon, CursorKeepsHotSpotAndLoadsByExtensionWithoutRegardToCase) {
  const QByteArray bytes = BuildIcon({Bitmap(2, 2, 24, [](int, int) { return 0x123456u; })}, 2);
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  TIconImage icon;
  icon.LoadFromStream(buffer);
  EXPECT_TRUE(icon.IsCursor());
  ASSERT_EQ(icon.Entries().size(), 1u);
  EXPECT_EQ(icon.Entries()[0].HotSpotX, 3);
  EXPECT_EQ(icon.Entries()[0].HotSpotY, 7);
  EXPECT_EQ(icon.Entries()[0].BitCount, 24);

  QTemporaryDir dir;
  for (const char *name : {"A.CUR", "b.Ico"}) {
    WriteFileBytes(dir.filePath(name), bytes);
    TUniversalImage image;
    image.LoadFromFile(dir.filePath(name));
    EXPECT_EQ(image.Images(0).Pixel(0, 0), 0xFF123456u) << name;
  }
  TUniversalImage missing;
  EXPECT_EQ(ErrorOf([&] { missing.LoadFromFile(dir.filePath("missing.ico")); }),
            "File not found: " + dir.filePath("missing.ico"));
}

TEST(Icon, StreamIsReadFromItsPosition) {
  QByteArray bytes = "prefix" + BuildIcon({Bitmap(1, 1, 24, [](int, int) { return 0xABCDEFu; })});
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  buffer.seek(6);
  TUniversalImage image;
  image.LoadFromStream(buffer);
  EXPECT_EQ(image.Images(0).Pixel(0, 0), 0xFFABCDEFu);
}

// Damaged headers: each fails cleanly with the icon error, whatever the header claims.
TEST(Icon, DamagedFilesFailWithInvalidIconFormat) {
  const QByteArray good = BuildIcon({Bitmap(4, 4, 8, [](int, int) { return 1u; })});
  const qsizetype entry = 6, image = 6 + 16;  // directory entry and bitmap header
  auto patched = [&](qsizetype at, qint64 value, int size = 4) {
    QByteArray b = good;
    for (int k = 0; k < size; ++k)
      b[at + k] = char(value >> (8 * k));
    return b;
  };
  const std::pair<const char *, QByteArray> cases[] = {
      {"short header", good.left(5)},
      {"reserved word", patched(0, 5, 2)},
      {"type 3", patched(2, 3, 2)},
      {"directory beyond the end", patched(4, 40, 2)},
      {"offset beyond the end", patched(entry + 12, good.size())},
      {"offset into the directory", patched(entry + 12, 6)},
      {"byte size beyond the end", patched(entry + 8, 0xFFFFFFFF)},
      {"byte size too small for the bits", patched(entry + 8, 40 + 1024 + 16 + 15)},
      {"image truncated", good.left(good.size() - 1)},
      {"width 0", patched(image + 4, 0)},
      {"huge width", patched(image + 4, 0x7FFFFFFF)},
      {"huge height", patched(image + 8, 0x7FFFFFFE)},
      {"negative height", patched(image + 8, -8)},
      {"bit count 3", patched(image + 14, 3, 2)},
      {"bit count 0", patched(image + 14, 0, 2)},
      {"compressed", patched(image + 16, 1)},
      {"header size 12", patched(image, 12)},
      {"header size past the image", patched(image, 100000)},
  };
  const auto read = [](const QByteArray &bytes) {
    return ErrorOf([&] {
      QBuffer buffer;
      buffer.setData(bytes);
      buffer.open(QIODevice::ReadOnly);
      TIconImage icon;
      icon.LoadFromStream(buffer);
    });
  };
  for (const auto &c : cases)
    EXPECT_EQ(read(c.second), "Invalid icon format") << c.first;
  EXPECT_EQ(read(patched(4, 0, 2)), "Stream read error");
  TUniversalImage ok;
  LoadBytes(ok, good);
  EXPECT_EQ(ok.Size(), QSize(4, 4));
}

TEST(UniversalImage, LoadingAppendsAndAFailureKeepsWhatCameBefore) {
  TUniversalImage image;
  image.LoadFromFile(QN_FIXTURE("picture.png"));
  image.LoadFromFile(QN_FIXTURE("two.ico"));
  ASSERT_EQ(image.Count(), 3);
  EXPECT_ANY_THROW(LoadBytes(image, "garbage"));
  EXPECT_EQ(image.Count(), 3);

  TUniversalImage copy;
  copy.Assign(image);
  ASSERT_EQ(copy.Count(), 3);
  EXPECT_EQ(copy.Images(2).Pixel(16, 16), image.Images(2).Pixel(16, 16));
  EXPECT_EQ(copy.Images(2).DrawMode(), dmBlend);
  copy.Clear();
  EXPECT_TRUE(copy.IsEmpty());
  EXPECT_EQ(copy.Size(), QSize(0, 0));

  QImage device(40, 40, QImage::Format_ARGB32);
  device.fill(0xFFFFFFFF);
  {
    QPainter p(&device);
    image.Draw(p, QPoint(1, 1));      // the first bitmap, alpha dropped
    image.Draw(p, QPoint(0, 30), 1);  // the 16 px icon
    copy.Draw(p, QPoint(0, 0));       // nothing
  }
  EXPECT_EQ(qAlpha(device.pixel(1, 1)), 255);
  EXPECT_EQ(device.pixel(1, 1) & 0xFFFFFF, image.Images(0).Pixel(0, 0) & 0xFFFFFF);
  EXPECT_EQ(device.pixel(5, 35), 0xFFE02020u);
}

} // namespace

#include "diBitmap32.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

constexpr TColor32 Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF;

TBitmap32 &Filled(TBitmap32 &b, int w, int h, TColor32 c) {
  b.SetSize(w, h);
  b.Clear(c);
  return b;
}

int CountPixels(const TBitmap32 &b, TColor32 c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      n += b.Pixel(x, y) == c;
  return n;
}

TEST(Bitmap32, ColourConversions) {
  EXPECT_EQ(MakeColor32(1, 2, 3, 4), 0x04010203u);
  int r, g, b, a;
  SplitColor32(0x80FF4020, r, g, b, a);
  EXPECT_EQ((std::array{r, g, b, a}), (std::array{0xFF, 0x40, 0x20, 0x80}));
  EXPECT_EQ(Color32FromPlatform(0x00332211), 0xFF112233u);
  EXPECT_EQ(PlatformColorOf(0x7F112233), 0x00332211);
  EXPECT_EQ(AlphaOf(Color32FromPlatform(clWindow)), 255);
}

TEST(Bitmap32, BlendIsSourceOverWithStraightAlpha) {
  EXPECT_EQ(BlendColor32(0x80FF0000, 0xFF0000FF), 0xFF80007Fu);  // half red over opaque blue
  EXPECT_EQ(BlendColor32(0x80FF0000, 0x00000000), 0x80FF0000u);  // over nothing: the source itself
  EXPECT_EQ(BlendColor32(0x00FF0000, 0x40123456), 0x40123456u);  // transparent source: no change
  EXPECT_EQ(BlendColor32(Red, 0x40123456), Red);
  // Half over half: alpha 0.75, colour weighted 2 : 1 towards the source.
  EXPECT_EQ(BlendColor32(0x80FF0000, 0x800000FF), 0xC0AA0055u);
}

// Source-over with straight alpha, straight from its definition: the source weighs sa * 255 and the
// destination da * (255 - sa), each channel their rounded weighted mean, alpha the sum of weights / 255.
TColor32 ReferenceBlend(TColor32 s, TColor32 d) {
  const unsigned sa = s >> 24, da = d >> 24;
  const unsigned ws = sa * 255, wd = da * (255 - sa), total = ws + wd;
  if (total == 0)
    return d;
  auto channel = [&](int shift) {
    return ((((s >> shift) & 0xFF) * ws + ((d >> shift) & 0xFF) * wd + total / 2) / total) << shift;
  };
  return (((total + 127) / 255) << 24) | channel(16) | channel(8) | channel(0);
}

// Blends a line and checks every pixel against the definition; the first difference ends the check.
void ExpectLineBlendsAsDefined(const std::vector<TColor32> &source, const std::vector<TColor32> &destination) {
  std::vector<TColor32> line = destination;
  BlendLine32(source.data(), line.data(), int(line.size()));
  for (std::size_t i = 0; i < line.size(); ++i) {
    const TColor32 expected = ReferenceBlend(source[i], destination[i]);
    ASSERT_EQ(line[i], expected) << std::hex << source[i] << " over " << destination[i];
    ASSERT_EQ(BlendColor32(source[i], destination[i]), expected) << std::hex << source[i] << " over " << destination[i];
  }
}

TEST(Bitmap32, LineBlendMatchesTheDefinitionForEveryAlphaAndChannel) {
  // Opaque destinations (the off-screen buffer's case), every source alpha and every pair of channel values;
  // each channel of source and destination runs through all 256 values in a different order.
  std::vector<TColor32> source(256), destination(256);
  for (int s = 0; s < 256; ++s)
    for (int d = 0; d < 256; ++d) {
      for (int a = 0; a < 256; ++a) {
        source[a] = MakeColor32(s, 255 - s, s ^ 0x5A, a);
        destination[a] = MakeColor32(d, d ^ 0xA5, 255 - d, 255);
      }
      ASSERT_NO_FATAL_FAILURE(ExpectLineBlendsAsDefined(source, destination));
    }
  // Any destination alpha, with random lines mixing runs of transparent and opaque source pixels.
  std::mt19937 random(20261211);
  std::uniform_int_distribution<unsigned> any(0, 0xFFFFFFFFu), kind(0, 3);
  for (int round = 0; round < 2000; ++round) {
    const int length = int(any(random) % 40);
    source.assign(std::size_t(length), 0);
    destination.assign(std::size_t(length), 0);
    for (int i = 0; i < length; ++i) {
      const TColor32 colour = any(random);
      switch (kind(random)) {
      case 0: source[i] = colour & 0x00FFFFFFu; break;  // transparent
      case 1: source[i] = colour | 0xFF000000u; break;  // opaque
      default: source[i] = colour; break;
      }
      destination[i] = kind(random) == 0 ? any(random) & 0x00FFFFFFu : any(random);
    }
    ASSERT_NO_FATAL_FAILURE(ExpectLineBlendsAsDefined(source, destination));
  }
}

TEST(Bitmap32, ClearFillAndFrameKeepToTheClipRectangle) {
  TBitmap32 b;
  EXPECT_TRUE(b.Empty());
  Filled(b, 6, 5, White);
  EXPECT_EQ(b.BoundsRect(), QRect(0, 0, 6, 5));
  EXPECT_FALSE(b.Clipping());
  b.SetOuterColor(Blue);
  EXPECT_EQ(b.Pixel(-1, 0), Blue);
  EXPECT_EQ(b.Pixel(6, 0), Blue);

  b.SetClipRect(QRect(1, 1, 100, 3));  // cut to the bounds
  EXPECT_EQ(b.ClipRect(), QRect(1, 1, 5, 3));
  EXPECT_TRUE(b.Clipping());
  b.Clear(Red);
  EXPECT_EQ(CountPixels(b, Red), 15);
  EXPECT_EQ(b.Pixel(0, 0), White);

  b.SetClipRect(b.BoundsRect());
  b.Clear(White);
  b.FillRect(1, 1, 3, 4, Green);  // half-open: 2 x 3
  EXPECT_EQ(CountPixels(b, Green), 6);
  b.FillRect(3, 3, 2, 4, Green);  // empty
  EXPECT_EQ(CountPixels(b, Green), 6);

  b.Clear(White);
  b.FrameRect(0, 0, 4, 3, Blue);  // the outline of 4 x 3 is 10 pixels, its inside 2 x 1
  EXPECT_EQ(CountPixels(b, Blue), 10);
  EXPECT_EQ(b.Pixel(1, 1), White);
  EXPECT_EQ(b.Pixel(3, 2), Blue);
  EXPECT_EQ(b.Pixel(4, 0), White);
  b.Clear(White);
  b.FrameRect(2, 2, 3, 3, Blue);  // a single pixel
  EXPECT_EQ(CountPixels(b, Blue), 1);

  b.Clear(0xFF0000FF);
  b.SetClipRect(QRect(0, 0, 1, 1));
  b.FillRectBlended(-5, -5, 10, 10, 0x80FF0000);
  EXPECT_EQ(b.Pixel(0, 0), 0xFF80007Fu);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF0000FFu);

  b.SetClipRect(QRect(0, 0, 1, 1));
  b.ResetAlpha(7);  // everywhere, whatever the clip
  EXPECT_EQ(b.Pixel(5, 4), 0x070000FFu);
}

TEST(Bitmap32, DrawToCopiesOrBlendsByDrawModeInsideTheDestinationClip) {
  TBitmap32 source, target;
  Filled(source, 4, 4, 0x80FF0000);
  source.SetPixel(0, 0, Green);
  Filled(target, 6, 6, Blue);
  target.SetClipRect(QRect(1, 1, 4, 4));

  source.DrawTo(target, -1, -1);  // opaque: copies pixels, alpha included
  EXPECT_EQ(target.Pixel(0, 0), Blue);  // outside the clip
  EXPECT_EQ(target.Pixel(1, 1), 0x80FF0000u);
  EXPECT_EQ(target.Pixel(3, 3), Blue);  // outside the source

  Filled(target, 6, 6, Blue);
  source.SetDrawMode(dmBlend);
  source.DrawTo(target, 2, 2, QRect(-1, -1, 3, 3));  // the part inside the source lands where it belongs
  EXPECT_EQ(target.Pixel(2, 2), Blue);
  EXPECT_EQ(target.Pixel(3, 3), Green);
  EXPECT_EQ(target.Pixel(4, 4), 0xFF80007Fu);
  EXPECT_EQ(target.Pixel(5, 5), Blue);

  // A bitmap drawn onto itself reads the pixels as they were.
  TBitmap32 self;
  Filled(self, 3, 1, White);
  self.SetPixel(0, 0, Red);
  self.SetPixel(1, 0, Green);
  self.DrawTo(self, 1, 0, QRect(0, 0, 2, 1));
  EXPECT_EQ(self.Pixel(1, 0), Red);
  EXPECT_EQ(self.Pixel(2, 0), Green);
}

// A 3 x 3 cut in the middle of an image whose other pixels are solid red, drawn at many sizes onto black:
// no red reaches the target (the resampler reads only inside the source rectangle).
TEST(Bitmap32, ScaledDrawReadsOnlyTheSourceRectangle) {
  TBitmap32 image;
  Filled(image, 9, 9, Red);
  for (int y = 3; y < 6; ++y)
    for (int x = 3; x < 6; ++x)
      image.SetPixel(x, y, (x + y) % 2 ? 0xFF00C000 : 0x8000FF40);
  for (TDrawMode mode : {dmOpaque, dmBlend})
    for (QSize size : {QSize(1, 1), QSize(2, 7), QSize(3, 3), QSize(5, 4), QSize(17, 2), QSize(40, 33)}) {
      image.SetDrawMode(mode);
      TBitmap32 target;
      Filled(target, 50, 50, 0xFF000000);
      const QRect to(QPoint(4, 4), size);
      image.DrawTo(target, to, QRect(3, 3, 3, 3));
      for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
          const TColor32 p = target.Pixel(x, y);
          ASSERT_EQ(RedOf(p), 0) << size.width() << "x" << size.height() << " at " << x << "," << y;
          ASSERT_EQ(to.contains(x, y), p != 0xFF000000u) << x << "," << y;
        }
    }
}

TEST(Bitmap32, ScaledDrawOfOneColourStaysThatColourAndKeepsEdges) {
  TBitmap32 image, target;
  Filled(image, 4, 4, 0x80102030);
  Filled(target, 20, 10, 0);
  image.DrawTo(target, QRect(0, 0, 20, 10), QRect(1, 1, 2, 2));
  EXPECT_EQ(CountPixels(target, 0x80102030), 200);

  // Enlarging two columns, black and white: the outer columns repeat the edge pixels exactly.
  Filled(image, 2, 1, 0xFF000000);
  image.SetPixel(1, 0, White);
  Filled(target, 8, 1, 0);
  image.DrawTo(target, QRect(0, 0, 8, 1), image.BoundsRect());
  EXPECT_EQ(target.Pixel(0, 0), 0xFF000000u);
  EXPECT_EQ(target.Pixel(7, 0), White);
  EXPECT_LT(RedOf(target.Pixel(3, 0)), RedOf(target.Pixel(4, 0)));

  // Shrinking averages: a 4 x 1 of black and white halves shrunk to 1 pixel is mid grey.
  Filled(image, 4, 1, 0xFF000000);
  image.SetPixel(2, 0, White);
  image.SetPixel(3, 0, White);
  image.DrawTo(target, QRect(0, 0, 1, 1), image.BoundsRect());
  EXPECT_NEAR(RedOf(target.Pixel(0, 0)), 128, 1);
}

// A one-pixel edge stretched along one axis and kept along the other repeats its pixels exactly; a
// transparent pixel comes out as 0 whatever colour it carried, copied as such or blended as no change.
TEST(Bitmap32, StretchedEdgeRepeatsItsPixelsExactly) {
  TBitmap32 edge, target;
  edge.SetSize(1, 3);
  const TColor32 pixels[] = {0xFF123456, 0x00FF0000, 0x7F806040};
  for (int y = 0; y < 3; ++y)
    edge.SetPixel(0, y, pixels[y]);
  for (TDrawMode mode : {dmOpaque, dmBlend}) {
    SCOPED_TRACE(mode);
    edge.SetDrawMode(mode);
    Filled(target, 9, 5, 0xFF0000FF);
    target.SetClipRect(QRect(2, 0, 9, 5));
    edge.DrawTo(target, QRect(1, 1, 7, 3), edge.BoundsRect());
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 9; ++x) {
        TColor32 expected = 0xFF0000FF;
        if (x >= 2 && x < 8 && y >= 1 && y < 4) {
          const TColor32 p = AlphaOf(pixels[y - 1]) == 0 ? 0 : pixels[y - 1];
          expected = mode == dmOpaque ? p : BlendColor32(p, 0xFF0000FF);
        }
        ASSERT_EQ(target.Pixel(x, y), expected) << x << "," << y;
      }
  }
}

TEST(Bitmap32, TextOutAgreesWithTextWidthAndStaysInTheClip) {
  TBitmap32 b;
  Filled(b, 200, 40, White);
  b.Font().Name = QStringLiteral("DejaVu Sans");
  b.Font().Size = 10;
  b.Font().Color = 0xFF000000;
  const int width = b.TextWidth(QStringLiteral("Hello"));
  EXPECT_GT(width, 20);
  EXPECT_EQ(b.TextHeight(QStringLiteral("x")), b.TextHeight(QStringLiteral("Xy")));
  EXPECT_GE(b.TextHeight(QStringLiteral("x")), 13);
  b.Font().Style = fsBold;
  EXPECT_GT(b.TextWidth(QStringLiteral("Hello")), width);
  b.Font().Style = 0;

  b.SetClipRect(QRect(0, 0, 100, 40));
  b.TextOut(10, 5, QStringLiteral("Hello"));
  b.TextOut(110, 5, QStringLiteral("Hello"));  // clipped away
  int left = 1000, right = -1, top = 1000, bottom = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x)
      if (b.Pixel(x, y) != White) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  EXPECT_GE(left, 10);
  EXPECT_LE(right, 10 + width);
  EXPECT_GE(top, 5);
  EXPECT_LT(bottom, 5 + b.TextHeight(QStringLiteral("Hello")));
  EXPECT_GT(right - left, width / 2);
}

TEST(Bitmap32, PainterDrawsIntoThePixelsAndEndsOnResize) {
  TBitmap32 b;
  Filled(b, 4, 4, White);
  b.Painter().fillRect(QRect(1, 1, 2, 2), QColor(Qt::red));
  EXPECT_EQ(b.Pixel(1, 1), Red);
  EXPECT_EQ(CountPixels(b, Red), 4);
  b.SetSize(8, 8);  // the painter ends; a new one is made on demand
  b.Clear(Blue);
  b.Painter().fillRect(QRect(0, 0, 1, 1), QColor(Qt::green));
  EXPECT_EQ(b.Pixel(0, 0), Green);
  EXPECT_EQ(b.ToImage().pixel(0, 0), Green);
}

TEST(Bitmap32, DrawToDeviceDropsAlpha) {
  TBitmap32 b;
  Filled(b, 4, 2, 0x20FF0000);
  QImage device(10, 10, QImage::Format_ARGB32);
  device.fill(White);
  {
    QPainter p(&device);
    b.DrawToDevice(p, 3, 3);
    b.DrawToDevice(p, QRect(0, 8, 8, 2), QRect(0, 0, 2, 1));
  }
  EXPECT_EQ(device.pixel(3, 3), Red);
  EXPECT_EQ(device.pixel(6, 4), Red);
  EXPECT_EQ(device.pixel(7, 3), White);
  EXPECT_EQ(device.pixel(7, 9), Red);
}

} // namespace

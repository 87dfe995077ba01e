#include "diBitmap32.h"

#include "cuClasses.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Source-over with straight alpha: the source weighs sa * 255 and the destination da * (255 - sa), out of
// their sum; alpha is that sum over 255. The two common cases are exact shortcuts of the general one: an
// opaque destination has the sum 255 * 255, so each channel is (s * sa + d * (255 - sa) + 127) / 255; a
// transparent destination gives the source itself.
inline TColor32 BlendPartial(TColor32 source, TColor32 destination, unsigned sa) {
  const unsigned da = destination >> 24;
  if (da == 255) {
    const unsigned ia = 255 - sa;
    const unsigned r = (((source >> 16) & 0xFF) * sa + ((destination >> 16) & 0xFF) * ia + 127) / 255;
    const unsigned g = (((source >> 8) & 0xFF) * sa + ((destination >> 8) & 0xFF) * ia + 127) / 255;
    const unsigned b = ((source & 0xFF) * sa + (destination & 0xFF) * ia + 127) / 255;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
  }
  if (da == 0)
    return source;
  const unsigned ws = sa * 255, wd = da * (255 - sa), total = ws + wd;
  auto channel = [&](int shift) {
    const unsigned s = (source >> shift) & 0xFF, d = (destination >> shift) & 0xFF;
    return ((s * ws + d * wd + total / 2) / total) << shift;
  };
  const unsigned alpha = (total + 127) / 255;
  return (alpha << 24) | channel(16) | channel(8) | channel(0);
}

inline TColor32 BlendPixel(TColor32 source, TColor32 destination) {
  const unsigned sa = source >> 24;
  if (sa == 255)
    return source;
  if (sa == 0)
    return destination;
  return BlendPartial(source, destination, sa);
}

} // namespace

TColor32 BlendColor32(TColor32 source, TColor32 destination) { return BlendPixel(source, destination); }

void BlendLine32(const TColor32 *source, TColor32 *destination, int count) {
  int i = 0;
  while (i < count) {
    const unsigned sa = source[i] >> 24;
    if (sa == 0) {
      ++i;
    } else if (sa == 255) {
      // Runs of opaque pixels are copied whole.
      int end = i + 1;
      while (end < count && (source[end] >> 24) == 255)
        ++end;
      std::copy(source + i, source + end, destination + i);
      i = end;
    } else {
      destination[i] = BlendPartial(source[i], destination[i], sa);
      ++i;
    }
  }
}

// ---------------------------------------------------------------------------------------------------------

TBitmap32::TBitmap32() = default;
TBitmap32::~TBitmap32() { EndPainter(); }

void TBitmap32::EndPainter() {
  if (FPainter)
    FPainter->end();
  FPainter.reset();
}

void TBitmap32::SetSize(int width, int height) {
  EndPainter();
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == 0 || height == 0)
    FImage = QImage();
  else if (width != Width() || height != Height()) {
    FImage = QImage(width, height, QImage::Format_ARGB32);
    if (FImage.isNull())
      throw EException(QStringLiteral("Out of memory for a %1 x %2 bitmap").arg(width).arg(height));
  }
  FBits = FImage.isNull() ? nullptr : reinterpret_cast<TColor32 *>(FImage.bits());
  FClipRect = BoundsRect();
}

void TBitmap32::Assign(const TBitmap32 &other) {
  if (&other == this)
    return;
  SetSize(other.Width(), other.Height());
  if (FBits)
    std::copy(other.FBits, other.FBits + std::size_t(Width()) * Height(), FBits);
  FClipRect = other.FClipRect;
  FOuterColor = other.FOuterColor;
  FDrawMode = other.FDrawMode;
  FCombineMode = other.FCombineMode;
  FFont = other.FFont;
}

void TBitmap32::Assign(const QImage &image) {
  const QImage converted = image.convertToFormat(QImage::Format_ARGB32);
  SetSize(converted.width(), converted.height());
  for (int y = 0; y < Height(); ++y) {
    const auto *from = reinterpret_cast<const TColor32 *>(converted.constScanLine(y));
    std::copy(from, from + Width(), ScanLine(y));
  }
}

QImage TBitmap32::ToImage() const { return FImage.copy(); }

void TBitmap32::SetClipRect(const QRect &rect) { FClipRect = rect.normalized() & BoundsRect(); }

TColor32 TBitmap32::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height())
    return FOuterColor;
  return ScanLine(y)[x];
}

void TBitmap32::SetPixel(int x, int y, TColor32 color) {
  if (x >= 0 && y >= 0 && x < Width() && y < Height())
    ScanLine(y)[x] = color;
}

QRect TBitmap32::Clipped(int x1, int y1, int x2, int y2) const {
  if (x2 <= x1 || y2 <= y1)
    return {};
  return QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)) & FClipRect;
}

void TBitmap32::Clear(TColor32 color) {
  const QRect r = FClipRect;
  FillRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1, color);
}

void TBitmap32::ResetAlpha(int alpha) {
  const TColor32 a = TColor32(alpha & 0xFF) << 24;
  for (std::size_t i = 0, n = std::size_t(Width()) * Height(); i < n; ++i)
    FBits[i] = (FBits[i] & 0x00FFFFFFu) | a;
}

void TBitmap32::FillRect(int x1, int y1, int x2, int y2, TColor32 color) {
  const QRect r = Clipped(x1, y1, x2, y2);
  for (int y = r.top(); y <= r.bottom(); ++y)
    std::fill(PixelPtr(r.left(), y), PixelPtr(r.left(), y) + r.width(), color);
}

void TBitmap32::FillRectBlended(int x1, int y1, int x2, int y2, TColor32 color) {
  const QRect r = Clipped(x1, y1, x2, y2);
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (TColor32 *p = PixelPtr(r.left(), y), *end = p + r.width(); p != end; ++p)
      *p = BlendPixel(color, *p);
}

void TBitmap32::FrameRect(int x1, int y1, int x2, int y2, TColor32 color) {
  if (x2 <= x1 || y2 <= y1)
    return;
  FillRect(x1, y1, x2, y1 + 1, color);
  if (y2 - 1 > y1)
    FillRect(x1, y2 - 1, x2, y2, color);
  FillRect(x1, y1 + 1, x1 + 1, y2 - 1, color);
  if (x2 - 1 > x1)
    FillRect(x2 - 1, y1 + 1, x2, y2 - 1, color);
}

// ---------------------------------------------------------------------------------------------------------
// Drawing into another bitmap.

void TBitmap32::DrawTo(TBitmap32 &destination, int x, int y) const { DrawTo(destination, x, y, BoundsRect()); }

void TBitmap32::DrawTo(TBitmap32 &destination, int x, int y, const QRect &source) const {
  const QRect from = source.normalized() & BoundsRect();
  if (from.isEmpty())
    return;
  // The source rectangle's origin lands on (x, y); the part of it outside the bounds is dropped.
  const int dx = x + (from.left() - source.normalized().left()), dy = y + (from.top() - source.normalized().top());
  const QRect to = QRect(dx, dy, from.width(), from.height()) & destination.FClipRect;
  if (to.isEmpty())
    return;
  if (&destination == this) {
    // Drawing a bitmap onto itself: read from a copy so overlapping areas stay intact.
    TBitmap32 copy;
    copy.Assign(*this);
    copy.DrawTo(destination, x, y, source);
    return;
  }
  for (int ty = to.top(); ty <= to.bottom(); ++ty) {
    const TColor32 *s = PixelPtr(from.left() + (to.left() - dx), from.top() + (ty - dy));
    TColor32 *d = destination.PixelPtr(to.left(), ty);
    if (FDrawMode == dmOpaque)
      std::copy(s, s + to.width(), d);
    else
      BlendLine32(s, d, to.width());
  }
}

namespace {

// The source pixels each target pixel of a resampled axis reads, with their weights (summing to 1): pixel
// i reads Count source pixels from First, weighted by Weights[Offset ...].
struct TAxis {
  struct TSpan {
    int First = 0, Count = 0, Offset = 0;
  };
  std::vector<TSpan> Spans;
  std::vector<float> Weights;
};

// A tent filter, widened to the scale when shrinking, over the source pixels [first, first + length) only:
// weights that would fall outside are dropped and the rest renormalised, so the edges repeat instead of
// reading neighbours. Only target pixels [begin, end) of the targetLength are described; each one's
// weights depend on its own place alone.
TAxis Contributions(int targetLength, int first, int length, int begin, int end) {
  TAxis axis;
  axis.Spans.resize(std::size_t(end - begin));
  const double scale = double(length) / targetLength;
  const double radius = std::max(1.0, scale);
  for (int i = begin; i < end; ++i) {
    const double center = first + (i + 0.5) * scale;
    const int lo = std::max(first, int(std::floor(center - radius)));
    const int hi = std::min(first + length - 1, int(std::ceil(center + radius)));
    TAxis::TSpan &span = axis.Spans[std::size_t(i - begin)];
    span.First = lo;
    span.Offset = int(axis.Weights.size());
    double sum = 0;
    for (int j = lo; j <= hi; ++j) {
      const double w = std::max(0.0, 1.0 - std::abs(j + 0.5 - center) / radius);
      axis.Weights.push_back(float(w));
      sum += w;
    }
    if (sum <= 0) {
      axis.Weights.resize(std::size_t(span.Offset));
      span.First = std::clamp(int(std::floor(center)), first, first + length - 1);
      axis.Weights.push_back(1.0f);
      span.Count = 1;
      continue;
    }
    span.Count = int(axis.Weights.size()) - span.Offset;
    for (std::size_t k = std::size_t(span.Offset); k < axis.Weights.size(); ++k)
      axis.Weights[k] = float(axis.Weights[k] / sum);
    // Weights of 0 at either end add exactly nothing to the sums; leaving them out changes no pixel.
    while (span.Count > 1 && axis.Weights[std::size_t(span.Offset)] == 0.0f) {
      ++span.Offset;
      ++span.First;
      --span.Count;
    }
    while (span.Count > 1 && axis.Weights[std::size_t(span.Offset + span.Count - 1)] == 0.0f)
      --span.Count;
  }
  return axis;
}

// std::lround of a float without the library call: below 2^23 the truncation and the remainder are exact,
// and the remainder decides halves away from zero as lround does.
inline int RoundHalfAway(float v) {
  if (!(std::fabs(v) < 8388608.0f))
    return int(std::lround(v));
  const int whole = int(v);
  const float rest = v - float(whole);
  return whole + (rest >= 0.5f ? 1 : 0) - (rest <= -0.5f ? 1 : 0);
}

struct TPremultiplied {
  float A = 0, R = 0, G = 0, B = 0;
};

} // namespace

void TBitmap32::DrawTo(TBitmap32 &destination, const QRect &target, const QRect &source) const {
  const QRect to = target.normalized(), from = source.normalized() & BoundsRect();
  if (from.isEmpty() || to.isEmpty())
    return;
  if (to.size() == from.size()) {
    DrawTo(destination, to.left(), to.top(), from);
    return;
  }
  const QRect visible = to & destination.FClipRect;
  if (visible.isEmpty())
    return;
  if (&destination == this) {
    TBitmap32 copy;
    copy.Assign(*this);
    copy.DrawTo(destination, target, source);
    return;
  }
  // Contributions for the visible part only, computed against the whole target rectangle.
  const TAxis columns = Contributions(to.width(), from.left(), from.width(), visible.left() - to.left(),
                                      visible.right() + 1 - to.left());
  const TAxis rows = Contributions(to.height(), from.top(), from.height(), visible.top() - to.top(),
                                   visible.bottom() + 1 - to.top());

  // Horizontal pass over the source rows the visible rows read, premultiplied so that transparent pixels
  // carry no colour into their neighbours.
  const int rowFirst = rows.Spans.front().First;
  int rowLast = rowFirst;
  for (const TAxis::TSpan &r : rows.Spans)
    rowLast = std::max(rowLast, r.First + r.Count - 1);
  const int n = visible.width();
  std::vector<TPremultiplied> pass(std::size_t(rowLast - rowFirst + 1) * n);
  for (int sy = rowFirst; sy <= rowLast; ++sy) {
    const TColor32 *line = ScanLine(sy);
    TPremultiplied *out = &pass[std::size_t(sy - rowFirst) * n];
    for (int i = 0; i < n; ++i) {
      TPremultiplied acc;
      const TAxis::TSpan &c = columns.Spans[std::size_t(i)];
      const float *weights = columns.Weights.data() + c.Offset;
      for (int k = 0; k < c.Count; ++k) {
        const TColor32 p = line[c.First + k];
        const float wa = weights[k] * float(AlphaOf(p));
        acc.A += wa;
        acc.R += wa * float(RedOf(p));
        acc.G += wa * float(GreenOf(p));
        acc.B += wa * float(BlueOf(p));
      }
      out[i] = acc;
    }
  }
  auto channel = [](float v) { return std::clamp(RoundHalfAway(v), 0, 255); };
  // A target pixel that reads one source pixel with weight 1 on both axes comes out as that pixel (or 0
  // when it is transparent): a * c / a is exact for 8-bit values. Stretched edges are mostly such pixels.
  const auto single = [](const TAxis &axis, const TAxis::TSpan &span) {
    return span.Count == 1 && axis.Weights[std::size_t(span.Offset)] == 1.0f;
  };
  std::vector<char> singleColumns(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    singleColumns[std::size_t(i)] = single(columns, columns.Spans[std::size_t(i)]);
  for (int j = 0; j < visible.height(); ++j) {
    const TAxis::TSpan &c = rows.Spans[std::size_t(j)];
    const float *weights = rows.Weights.data() + c.Offset;
    const TColor32 *singleRow = single(rows, c) ? ScanLine(c.First) : nullptr;
    TColor32 *d = destination.PixelPtr(visible.left(), visible.top() + j);
    for (int i = 0; i < n; ++i) {
      if (singleRow && singleColumns[std::size_t(i)]) {
        const TColor32 p = singleRow[columns.Spans[std::size_t(i)].First];
        const TColor32 pixel = AlphaOf(p) == 0 ? 0 : p;
        d[i] = FDrawMode == dmOpaque ? pixel : BlendPixel(pixel, d[i]);
        continue;
      }
      TPremultiplied acc;
      for (int k = 0; k < c.Count; ++k) {
        const TPremultiplied &p = pass[std::size_t(c.First + k - rowFirst) * n + i];
        const float w = weights[k];
        acc.A += w * p.A;
        acc.R += w * p.R;
        acc.G += w * p.G;
        acc.B += w * p.B;
      }
      TColor32 pixel = 0;
      if (acc.A > 0.5f)
        pixel = MakeColor32(channel(acc.R / acc.A), channel(acc.G / acc.A), channel(acc.B / acc.A), channel(acc.A));
      d[i] = FDrawMode == dmOpaque ? pixel : BlendPixel(pixel, d[i]);
    }
  }
}

// ---------------------------------------------------------------------------------------------------------
// Platform surfaces and text.

void TBitmap32::DrawToDevice(QPainter &device, int x, int y) const { DrawToDevice(device, QRect(x, y, Width(), Height()), BoundsRect()); }

void TBitmap32::DrawToDevice(QPainter &device, const QRect &target, const QRect &source) const {
  const QRect from = source.normalized() & BoundsRect();
  if (from.isEmpty() || target.isEmpty())
    return;
  // An opaque copy of the source rectangle alone, so that scaling reads nothing outside it.
  QImage opaque(from.size(), QImage::Format_RGB32);
  for (int y = 0; y < from.height(); ++y) {
    const TColor32 *s = PixelPtr(from.left(), from.top() + y);
    auto *d = reinterpret_cast<TColor32 *>(opaque.scanLine(y));
    for (int x = 0; x < from.width(); ++x)
      d[x] = s[x] | 0xFF000000u;
  }
  device.save();
  device.setCompositionMode(QPainter::CompositionMode_SourceOver);
  device.setRenderHint(QPainter::SmoothPixmapTransform, true);
  device.drawImage(target, opaque);
  device.restore();
}

QPainter &TBitmap32::Painter() {
  if (!FPainter) {
    if (FImage.isNull())
      throw EException(QStringLiteral("An empty bitmap cannot be painted on"));
    FPainter = std::make_unique<QPainter>(&FImage);
  }
  return *FPainter;
}

const TLogicalFont &TBitmapFont::LogicalFont() const { return ::LogicalFont(Name, Size, Style); }

void TBitmap32::TextOut(int x, int y, const QString &text) {
  if (text.isEmpty() || FClipRect.isEmpty())
    return;
  const TLogicalFont &font = FFont.LogicalFont();
  QPainter &p = Painter();
  p.save();
  p.resetTransform();
  p.setClipRect(FClipRect);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  font.DrawText(p, x, y + font.Ascent(), text, QColor::fromRgba(FFont.Color));
  p.restore();
}

int TBitmap32::TextWidth(const QString &text) const { return FFont.LogicalFont().TextWidth(text); }

// The height of the text cell, the same for every text (text is drawn on one line).
int TBitmap32::TextHeight(const QString &) const { return FFont.LogicalFont().Height(); }

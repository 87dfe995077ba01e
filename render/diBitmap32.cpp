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

// The source pixels one target pixel of a resampled axis reads, with their weights (summing to 1).
struct TContribution {
  int First = 0;
  std::vector<float> Weights;
};

// A tent filter, widened to the scale when shrinking, over the source pixels [first, first + length) only:
// weights that would fall outside are dropped and the rest renormalised, so the edges repeat instead of
// reading neighbours.
std::vector<TContribution> Contributions(int targetLength, int first, int length) {
  std::vector<TContribution> result(targetLength);
  const double scale = double(length) / targetLength;
  const double radius = std::max(1.0, scale);
  for (int i = 0; i < targetLength; ++i) {
    const double center = first + (i + 0.5) * scale;
    const int lo = std::max(first, int(std::floor(center - radius)));
    const int hi = std::min(first + length - 1, int(std::ceil(center + radius)));
    TContribution &c = result[i];
    c.First = lo;
    double sum = 0;
    for (int j = lo; j <= hi; ++j) {
      const double w = std::max(0.0, 1.0 - std::abs(j + 0.5 - center) / radius);
      c.Weights.push_back(float(w));
      sum += w;
    }
    if (sum <= 0) {
      c.First = std::clamp(int(std::floor(center)), first, first + length - 1);
      c.Weights.assign(1, 1.0f);
      continue;
    }
    for (float &w : c.Weights)
      w = float(w / sum);
  }
  return result;
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
  std::vector<TContribution> columns = Contributions(to.width(), from.left(), from.width());
  std::vector<TContribution> rows = Contributions(to.height(), from.top(), from.height());
  columns.erase(columns.begin() + (visible.right() - to.left() + 1), columns.end());
  columns.erase(columns.begin(), columns.begin() + (visible.left() - to.left()));
  rows.erase(rows.begin() + (visible.bottom() - to.top() + 1), rows.end());
  rows.erase(rows.begin(), rows.begin() + (visible.top() - to.top()));

  // Horizontal pass over the source rows the visible rows read, premultiplied so that transparent pixels
  // carry no colour into their neighbours.
  const int rowFirst = rows.front().First;
  int rowLast = rowFirst;
  for (const TContribution &r : rows)
    rowLast = std::max(rowLast, r.First + int(r.Weights.size()) - 1);
  const int n = visible.width();
  std::vector<TPremultiplied> pass(std::size_t(rowLast - rowFirst + 1) * n);
  for (int sy = rowFirst; sy <= rowLast; ++sy) {
    const TColor32 *line = ScanLine(sy);
    TPremultiplied *out = &pass[std::size_t(sy - rowFirst) * n];
    for (int i = 0; i < n; ++i) {
      TPremultiplied acc;
      const TContribution &c = columns[i];
      for (std::size_t k = 0; k < c.Weights.size(); ++k) {
        const TColor32 p = line[c.First + int(k)];
        const float wa = c.Weights[k] * float(AlphaOf(p));
        acc.A += wa;
        acc.R += wa * float(RedOf(p));
        acc.G += wa * float(GreenOf(p));
        acc.B += wa * float(BlueOf(p));
      }
      out[i] = acc;
    }
  }
  auto channel = [](float v) { return std::clamp(int(std::lround(v)), 0, 255); };
  for (int j = 0; j < visible.height(); ++j) {
    const TContribution &c = rows[j];
    TColor32 *d = destination.PixelPtr(visible.left(), visible.top() + j);
    for (int i = 0; i < n; ++i) {
      TPremultiplied acc;
      for (std::size_t k = 0; k < c.Weights.size(); ++k) {
        const TPremultiplied &p = pass[std::size_t(c.First + int(k) - rowFirst) * n + i];
        const float w = c.Weights[k];
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

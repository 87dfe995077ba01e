// 32-bit ARGB bitmaps: the theme image and its tinted copies, decoded pictures and the off-screen buffer the
// sheet canvas paints into.
#pragma once

#include "cuColors.h"
#include "cuDeviceContextManager.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>

class QPainter;

// The source-over blend of `source` onto `destination`, both straight ARGB.
TColor32 BlendColor32(TColor32 source, TColor32 destination);
// BlendColor32 of source[i] onto destination[i] for i < count, in place; the same results, made fast for
// runs of transparent or opaque source pixels and for opaque destinations.
void BlendLine32(const TColor32 *source, TColor32 *destination, int count);

enum TDrawMode { dmOpaque = 0, dmBlend = 1 };
enum TCombineMode { cmBlend = 0 };

// The font of a bitmap's text operations. Sizes are points at the logical resolution of 96 pixels per inch;
// text is measured and drawn through the font service, so widths add up and drawing matches them.
struct TBitmapFont {
  QString Name;  // face; empty means the platform's default face
  int Size = 10;
  int Style = 0;
  TColor32 Color = 0xFF000000;

  // The font service's font of this face, size and style.
  const TLogicalFont &LogicalFont() const;
  bool operator==(const TBitmapFont &) const = default;
};

class TBitmap32 {
public:
  TBitmap32();
  ~TBitmap32();
  TBitmap32(const TBitmap32 &) = delete;
  TBitmap32 &operator=(const TBitmap32 &) = delete;

  // Copies size, pixels, modes, outer colour, font and clip rectangle of `other`.
  void Assign(const TBitmap32 &other);
  // Takes the size and pixels of `image` (converted to straight ARGB); clip rectangle reset to the bounds.
  void Assign(const QImage &image);
  // A deep copy of the pixels as a QImage in straight ARGB.
  QImage ToImage() const;

  int Width() const { return FImage.width(); }
  int Height() const { return FImage.height(); }
  bool Empty() const { return FImage.isNull(); }
  QRect BoundsRect() const { return QRect(0, 0, Width(), Height()); }
  // Reallocates; the content is undefined until cleared. Resets the clip rectangle to the bounds.
  void SetSize(int width, int height);

  TDrawMode DrawMode() const { return FDrawMode; }
  void SetDrawMode(TDrawMode mode) { FDrawMode = mode; }
  TCombineMode CombineMode() const { return FCombineMode; }
  void SetCombineMode(TCombineMode mode) { FCombineMode = mode; }
  TColor32 OuterColor() const { return FOuterColor; }
  void SetOuterColor(TColor32 color) { FOuterColor = color; }

  // Pixel operations (clear, fills, frames, draws into this bitmap, text) touch only pixels inside the
  // clip rectangle. It is always inside the bounds.
  QRect ClipRect() const { return FClipRect; }
  void SetClipRect(const QRect &rect);
  bool Clipping() const { return FClipRect != BoundsRect(); }

  // Pixel access in bitmap coordinates, row-major, top row first. `PixelPtr` and `ScanLine` need
  // coordinates inside the bounds; `Pixel` returns the outer colour outside them and `SetPixel` ignores
  // them there.
  TColor32 *ScanLine(int y) { return FBits + std::size_t(y) * std::size_t(Width()); }
  const TColor32 *ScanLine(int y) const { return FBits + std::size_t(y) * std::size_t(Width()); }
  TColor32 *PixelPtr(int x, int y) { return ScanLine(y) + x; }
  const TColor32 *PixelPtr(int x, int y) const { return ScanLine(y) + x; }
  TColor32 Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor32 color);

  void Clear(TColor32 color);
  // Every pixel's alpha becomes `alpha`; colours are kept. Ignores the clip rectangle.
  void ResetAlpha(int alpha);
  // Rectangles are half-open: x1 <= x < x2, y1 <= y < y2.
  void FillRect(int x1, int y1, int x2, int y2, TColor32 color);
  void FillRectBlended(int x1, int y1, int x2, int y2, TColor32 color);
  void FrameRect(int x1, int y1, int x2, int y2, TColor32 color);

  // Draws into `destination`, clipped to its clip rectangle, copying (dmOpaque) or blending (dmBlend) by
  // this bitmap's draw mode. The scaled form resamples `source` onto `target` and reads no pixel outside
  // `source` (neighbours of a cut in a shared image do not bleed in); `source` is first cut to the bounds.
  void DrawTo(TBitmap32 &destination, int x, int y) const;
  void DrawTo(TBitmap32 &destination, int x, int y, const QRect &source) const;
  void DrawTo(TBitmap32 &destination, const QRect &target, const QRect &source) const;
  // Copies to a platform surface, alpha dropped (every pixel drawn opaque).
  void DrawToDevice(QPainter &device, int x, int y) const;
  void DrawToDevice(QPainter &device, const QRect &target, const QRect &source) const;

  // Text in the bitmap's font, at (x, y) = top-left of the text cell, transparent background, clipped.
  TBitmapFont &Font() { return FFont; }
  const TBitmapFont &Font() const { return FFont; }
  void TextOut(int x, int y, const QString &text);
  int TextWidth(const QString &text) const;
  int TextHeight(const QString &text) const;

  // The platform surface that draws into the pixels, for the drawing that has no bitmap operation (focus
  // rectangles, rounded rectangles, image cells, translated text). Made on first use; its transform and
  // clip belong to the caller. It ends when the size changes or the bitmap is assigned or destroyed.
  QPainter &Painter();

private:
  void EndPainter();
  QRect Clipped(int x1, int y1, int x2, int y2) const;

  QImage FImage;              // Format_ARGB32; never shared, so FBits stays valid
  TColor32 *FBits = nullptr;  // FImage's pixels
  QRect FClipRect;
  TColor32 FOuterColor = 0;
  TDrawMode FDrawMode = dmOpaque;
  TCombineMode FCombineMode = cmBlend;
  TBitmapFont FFont;
  std::unique_ptr<QPainter> FPainter;
};

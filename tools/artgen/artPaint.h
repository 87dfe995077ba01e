// Drawing helpers shared by the artwork generators: images on the pixel grid, crisp frames, PNG output.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRect>
#include <QString>

#include <functional>
#include <stdexcept>
#include <vector>

namespace art {

// Opaque colour from 0xRRGGBB, or with the given alpha.
QColor Rgb(unsigned rgb, int alpha = 255);
// `c` with its alpha multiplied by `factor` (0..1).
QColor Faded(QColor c, double factor);
// Linear mix of two colours, t = 0 gives `a`.
QColor Mix(QColor a, QColor b, double t);

// A transparent image for painting (premultiplied, so QPainter composes correctly).
QImage NewImage(int width, int height);

// A painter on `image` with antialiasing on and the given clip, ready for pixel-grid drawing: a pixel (x, y)
// covers the square from (x, y) to (x + 1, y + 1), so 1-pixel lines are stroked through pixel centres.
class Painter : public QPainter {
public:
  explicit Painter(QImage &image);
  // Fills whole pixels l..r, t..b (inclusive), without antialiasing.
  void Pixels(int l, int t, int r, int b, QColor c);
  void Pixel(int x, int y, QColor c) { Pixels(x, y, x, y, c); }
  // A rounded box whose 1-pixel border is the outer ring of the pixel rectangle (x, y, w, h); `radius` is the
  // outer corner radius in pixels (0: square corners, drawn without antialiasing). `border` may be
  // transparent for a borderless box.
  void Box(int x, int y, int w, int h, qreal radius, QColor fill, QColor border);
  // A stroked path with round caps and joins.
  void Stroke(const QPainterPath &path, QColor c, qreal width, Qt::PenCapStyle cap = Qt::RoundCap);
  void FillPath(const QPainterPath &path, QColor c);
  // Outlined and filled path: the fill, then a stroke of `width` centred on the outline.
  void FillStroke(const QPainterPath &path, QColor fill, QColor border, qreal width = 1.0);
};

// Writes `image` as a PNG with straight (not premultiplied) alpha. Throws std::runtime_error on failure.
void SavePng(const QImage &image, const QString &path);
// Converts to straight ARGB, which keeps exact colours in pixels whose alpha is below 255.
QImage Straight(const QImage &image);

// Writes bytes to `path` through a temporary file, fsync and an atomic rename. Throws std::runtime_error.
void SaveBytes(const QByteArray &bytes, const QString &path);

// Nearest-neighbour enlargement for looking at small pictures, over a checker board so alpha shows.
QImage Enlarged(const QImage &image, int factor, QColor checkA = Rgb(0xffffff), QColor checkB = Rgb(0xe8e8e8));

// Cells drawn by a function, side by side into one horizontal strip of `count` cells of `cell` pixels.
using CellPainter = std::function<void(Painter &, int cell)>;
QImage Strip(int cell, const std::vector<CellPainter> &cells);

} // namespace art

#include "artPaint.h"

#include <QBuffer>
#include <QFile>

#include <cstdio>
#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace art {

QColor Rgb(unsigned rgb, int alpha) {
  return QColor(int((rgb >> 16) & 0xff), int((rgb >> 8) & 0xff), int(rgb & 0xff), alpha);
}

QColor Faded(QColor c, double factor) {
  c.setAlpha(std::clamp(int(std::lround(c.alpha() * factor)), 0, 255));
  return c;
}

QColor Mix(QColor a, QColor b, double t) {
  auto m = [t](int x, int y) { return std::clamp(int(std::lround(x + (y - x) * t)), 0, 255); };
  return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()), m(a.alpha(), b.alpha()));
}

QImage NewImage(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

Painter::Painter(QImage &image) : QPainter(&image) {
  setRenderHint(QPainter::Antialiasing, true);
  setPen(Qt::NoPen);
}

void Painter::Pixels(int l, int t, int r, int b, QColor c) {
  if (r < l || b < t)
    return;
  save();
  setRenderHint(QPainter::Antialiasing, false);
  fillRect(QRect(l, t, r - l + 1, b - t + 1), c);
  restore();
}

void Painter::Box(int x, int y, int w, int h, qreal radius, QColor fill, QColor border) {
  if (w <= 0 || h <= 0)
    return;
  save();
  if (radius <= 0) {
    setRenderHint(QPainter::Antialiasing, false);
    if (border.alpha() > 0 && w > 2 && h > 2) {
      fillRect(QRect(x + 1, y + 1, w - 2, h - 2), fill);
      fillRect(QRect(x, y, w, 1), border);
      fillRect(QRect(x, y + h - 1, w, 1), border);
      fillRect(QRect(x, y + 1, 1, h - 2), border);
      fillRect(QRect(x + w - 1, y + 1, 1, h - 2), border);
    } else {
      fillRect(QRect(x, y, w, h), border.alpha() > 0 ? border : fill);
    }
    restore();
    return;
  }
  // The fill path is the inner edge of the border, so fill and border do not blend twice at the corners.
  if (border.alpha() > 0) {
    QPainterPath outer;
    outer.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    QPainterPath inner;
    inner.addRoundedRect(QRectF(x + 1, y + 1, w - 2, h - 2), std::max<qreal>(radius - 1, 0),
                         std::max<qreal>(radius - 1, 0));
    setPen(Qt::NoPen);
    setBrush(fill);
    drawPath(inner);
    setBrush(border);
    drawPath(outer.subtracted(inner));
  } else {
    QPainterPath outer;
    outer.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    setPen(Qt::NoPen);
    setBrush(fill);
    drawPath(outer);
  }
  restore();
}

void Painter::Stroke(const QPainterPath &path, QColor c, qreal width, Qt::PenCapStyle cap) {
  save();
  QPen pen(c, width, Qt::SolidLine, cap, Qt::RoundJoin);
  setPen(pen);
  setBrush(Qt::NoBrush);
  drawPath(path);
  restore();
}

void Painter::FillPath(const QPainterPath &path, QColor c) {
  save();
  setPen(Qt::NoPen);
  setBrush(c);
  drawPath(path);
  restore();
}

void Painter::FillStroke(const QPainterPath &path, QColor fill, QColor border, qreal width) {
  save();
  setBrush(fill);
  setPen(QPen(border, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  drawPath(path);
  restore();
}

QImage Straight(const QImage &image) { return image.convertToFormat(QImage::Format_ARGB32); }

void SavePng(const QImage &image, const QString &path) {
  QImage out = image.format() == QImage::Format_ARGB32 ? image : Straight(image);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!out.save(&buffer, "PNG"))
    throw std::runtime_error(("cannot encode " + path).toStdString());
  SaveBytes(bytes, path);
}

void SaveBytes(const QByteArray &bytes, const QString &path) {
  const QString temporary = path + ".tmp";
  QFile file(temporary);
  bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() &&
            file.flush() && ::fsync(file.handle()) == 0;
  file.close();
  ok = ok && std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) == 0;
  if (!ok) {
    QFile::remove(temporary);
    throw std::runtime_error(("cannot write " + path).toStdString());
  }
}

QImage Enlarged(const QImage &image, int factor, QColor checkA, QColor checkB) {
  QImage out(image.width() * factor, image.height() * factor, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&out);
  const int check = std::max(4, factor * 2);
  for (int y = 0; y < out.height(); y += check)
    for (int x = 0; x < out.width(); x += check)
      p.fillRect(x, y, check, check, ((x / check + y / check) % 2) ? checkB : checkA);
  p.drawImage(QRect(0, 0, out.width(), out.height()), image);
  return out;
}

QImage Strip(int cell, const std::vector<CellPainter> &cells) {
  QImage strip = NewImage(cell * int(cells.size()), cell);
  for (size_t i = 0; i < cells.size(); ++i) {
    QImage one = NewImage(cell, cell);
    {
      Painter p(one);
      p.setClipRect(0, 0, cell, cell);
      cells[i](p, cell);
    }
    QPainter p(&strip);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(int(i) * cell, 0, one);
  }
  return strip;
}

} // namespace art

// GIF encoding with giflib: straight ARGB pixels quantised to one palette of at most 256 entries.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Encodes `image` (any format; converted to straight ARGB) as a single-frame GIF89a file appended to
// `out`. Pixels with alpha below 128 become the one transparent palette entry, the others are opaque.
// Images of at most 256 colours (255 with transparency) keep their exact colours, others are reduced by
// median cut. Returns false with a reason in `error` when giflib fails or the image is larger than
// 65535 pixels in a direction.
bool EncodeGif(const QImage &image, QByteArray &out, QString &error);

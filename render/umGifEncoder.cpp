#include "umGifEncoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <numeric>
#include <unordered_map>
#include <vector>

namespace {

struct TRgb {
  int R = 0, G = 0, B = 0;
};

// The palette and the index of every pixel (row-major).
struct TIndexed {
  std::vector<TRgb> Palette;
  std::vector<GifByteType> Pixels;
  int Transparent = -1;  // palette index of the transparent pixels, or -1
};

bool IsTransparent(QRgb p) { return qAlpha(p) < 128; }

// Exact palette of the opaque colours, or false when there are more than `limit` of them.
bool ExactPalette(const QImage &image, int limit, TIndexed &result) {
  std::unordered_map<QRgb, int> index;
  const int w = image.width(), h = image.height();
  result.Pixels.resize(std::size_t(w) * h);
  for (int y = 0; y < h; ++y) {
    const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      if (IsTransparent(line[x]))
        continue;
      const QRgb rgb = line[x] & 0x00FFFFFFu;
      auto [it, added] = index.try_emplace(rgb, int(index.size()));
      if (added && int(index.size()) > limit)
        return false;
      result.Pixels[std::size_t(y) * w + x] = GifByteType(it->second);
    }
  }
  result.Palette.resize(index.size());
  for (const auto &[rgb, i] : index)
    result.Palette[i] = {qRed(rgb), qGreen(rgb), qBlue(rgb)};
  return true;
}

// Median cut over a histogram of 5 bits per channel: the box with the most pixels times the widest
// channel range is split at its population median along that channel until there are `limit` boxes;
// each box's palette colour is the mean of its pixels.
void MedianCut(const QImage &image, int limit, TIndexed &result) {
  constexpr int kBins = 32 * 32 * 32;
  struct TBin {
    qint64 Count = 0, R = 0, G = 0, B = 0;
  };
  std::vector<TBin> bins(kBins);
  auto binOf = [](QRgb p) { return (qRed(p) >> 3) << 10 | (qGreen(p) >> 3) << 5 | qBlue(p) >> 3; };
  const int w = image.width(), h = image.height();
  for (int y = 0; y < h; ++y) {
    const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    for (int x = 0; x < w; ++x)
      if (!IsTransparent(line[x])) {
        TBin &b = bins[binOf(line[x])];
        ++b.Count, b.R += qRed(line[x]), b.G += qGreen(line[x]), b.B += qBlue(line[x]);
      }
  }
  auto channel = [](int bin, int c) { return (bin >> (10 - 5 * c)) & 31; };
  using TBox = std::vector<int>;  // non-empty bins
  std::vector<TBox> boxes(1);
  for (int i = 0; i < kBins; ++i)
    if (bins[i].Count)
      boxes[0].push_back(i);
  auto measure = [&](const TBox &box, int &widest) {
    qint64 count = 0;
    int best = -1;
    for (int c = 0; c < 3; ++c) {
      int lo = 31, hi = 0;
      for (int bin : box)
        lo = std::min(lo, channel(bin, c)), hi = std::max(hi, channel(bin, c));
      if (hi - lo > best)
        best = hi - lo, widest = c;
    }
    for (int bin : box)
      count += bins[bin].Count;
    return box.size() < 2 ? 0 : count * (best + 1);
  };
  while (int(boxes.size()) < limit) {
    int chosen = -1, axis = 0;
    qint64 score = 0;
    for (int i = 0; i < int(boxes.size()); ++i) {
      int widest = 0;
      const qint64 s = measure(boxes[i], widest);
      if (s > score)
        score = s, chosen = i, axis = widest;
    }
    if (chosen < 0)
      break;
    TBox &box = boxes[chosen];
    std::sort(box.begin(), box.end(), [&](int a, int b) { return channel(a, axis) < channel(b, axis); });
    qint64 total = 0, half = 0;
    for (int bin : box)
      total += bins[bin].Count;
    std::size_t cut = 1;
    for (; cut < box.size() - 1; ++cut) {
      half += bins[box[cut - 1]].Count;
      if (2 * half >= total)
        break;
    }
    TBox upper(box.begin() + qsizetype(cut), box.end());
    box.resize(cut);
    boxes.push_back(std::move(upper));
  }
  std::vector<int> paletteOfBin(kBins, 0);
  for (const TBox &box : boxes) {
    TBin sum;
    for (int bin : box) {
      sum.Count += bins[bin].Count, sum.R += bins[bin].R, sum.G += bins[bin].G, sum.B += bins[bin].B;
      paletteOfBin[bin] = int(result.Palette.size());
    }
    if (sum.Count)
      result.Palette.push_back({int(sum.R / sum.Count), int(sum.G / sum.Count), int(sum.B / sum.Count)});
  }
  result.Pixels.resize(std::size_t(w) * h);
  for (int y = 0; y < h; ++y) {
    const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    for (int x = 0; x < w; ++x)
      result.Pixels[std::size_t(y) * w + x] = GifByteType(paletteOfBin[binOf(line[x])]);
  }
}

TIndexed Quantise(const QImage &image) {
  bool anyTransparent = false;
  for (int y = 0; y < image.height() && !anyTransparent; ++y) {
    const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    anyTransparent = std::any_of(line, line + image.width(), IsTransparent);
  }
  const int limit = anyTransparent ? 255 : 256;
  TIndexed result;
  if (!ExactPalette(image, limit, result)) {
    result = {};
    MedianCut(image, limit, result);
  }
  if (result.Palette.empty())
    result.Palette.push_back({});
  if (anyTransparent) {
    result.Transparent = int(result.Palette.size());
    result.Palette.push_back({});
    for (int y = 0; y < image.height(); ++y) {
      const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if (IsTransparent(line[x]))
          result.Pixels[std::size_t(y) * image.width() + x] = GifByteType(result.Transparent);
    }
  }
  return result;
}

int AppendToByteArray(GifFileType *gif, const GifByteType *bytes, int length) {
  static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(bytes), length);
  return length;
}

} // namespace

bool EncodeGif(const QImage &source, QByteArray &out, QString &error) {
  if (source.isNull() || source.width() > 65535 || source.height() > 65535) {
    error = QStringLiteral("GIF images are 1 to 65535 pixels wide and high");
    return false;
  }
  const QImage image = source.convertToFormat(QImage::Format_ARGB32);
  TIndexed indexed = Quantise(image);

  // The colour table size is a power of two of at least 2.
  int bits = 1;
  while ((1 << bits) < int(indexed.Palette.size()))
    ++bits;
  std::unique_ptr<ColorMapObject, void (*)(ColorMapObject *)> map(GifMakeMapObject(1 << bits, nullptr),
                                                                   GifFreeMapObject);
  if (!map) {
    error = QStringLiteral("Out of memory for a GIF colour table");
    return false;
  }
  for (int i = 0; i < (1 << bits); ++i) {
    const TRgb c = i < int(indexed.Palette.size()) ? indexed.Palette[i] : TRgb{};
    map->Colors[i] = {GifByteType(c.R), GifByteType(c.G), GifByteType(c.B)};
  }

  QByteArray bytes;
  int status = 0;
  GifFileType *gif = EGifOpen(&bytes, AppendToByteArray, &status);
  if (!gif) {
    error = QString::fromUtf8(GifErrorString(status));
    return false;
  }
  bool ok = true;
  EGifSetGifVersion(gif, true);
  ok = EGifPutScreenDesc(gif, image.width(), image.height(), bits, 0, map.get()) == GIF_OK;
  if (ok && indexed.Transparent >= 0) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.TransparentColor = indexed.Transparent;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK;
  }
  ok = ok && EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < image.height(); ++y)
    ok = EGifPutLine(gif, indexed.Pixels.data() + std::size_t(y) * image.width(), image.width()) == GIF_OK;
  if (!ok)
    status = gif->Error;
  int closeStatus = 0;
  if (EGifCloseFile(gif, &closeStatus) != GIF_OK && ok) {
    ok = false;
    status = closeStatus;
  }
  if (!ok) {
    error = QString::fromUtf8(GifErrorString(status));
    return false;
  }
  out.append(bytes);
  return true;
}

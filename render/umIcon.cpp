#include "umIcon.h"

#include "cuClasses.h"

#include <QIODevice>

#include <array>

namespace {

// Bitmap images of icons are at most this wide and high. The directory cannot describe more than 256;
// the header gets some room beyond that, while keeping the decoded bitmap in proportion to the file.
constexpr int kMaxSide = 1024;

[[noreturn]] void InvalidIcon() { throw EException(QStringLiteral("Invalid icon format")); }

quint32 U16(const QByteArray &b, qsizetype at) {
  return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8;
}
quint32 U32(const QByteArray &b, qsizetype at) { return U16(b, at) | U16(b, at + 2) << 16; }
qint32 I32(const QByteArray &b, qsizetype at) { return qint32(U32(b, at)); }

// Byte ranges of the file, each checked against its length before it is read. Offsets count from the
// device's position when the reader was made.
class TRangeReader {
public:
  explicit TRangeReader(QIODevice &device) {
    if (device.isSequential()) {
      FBuffered = device.readAll();
      FSize = FBuffered.size();
    } else {
      FDevice = &device;
      FBase = device.pos();
      FSize = std::max<qint64>(0, device.size() - FBase);
    }
  }
  QByteArray Read(qint64 offset, qint64 length) {
    if (offset < 0 || length < 0 || offset > FSize || length > FSize - offset)
      InvalidIcon();
    FEnd = std::max(FEnd, offset + length);
    if (!FDevice)
      return FBuffered.mid(offset, length);
    if (!FDevice->seek(FBase + offset))
      InvalidIcon();
    QByteArray bytes = FDevice->read(length);
    if (bytes.size() != length)
      InvalidIcon();
    return bytes;
  }
  // Leaves the device after the last byte read.
  void Finish() {
    if (FDevice)
      FDevice->seek(FBase + FEnd);
  }

private:
  QIODevice *FDevice = nullptr;
  QByteArray FBuffered;
  qint64 FBase = 0, FSize = 0, FEnd = 0;
};

constexpr std::array<char, 8> kPngSignature = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1A', '\n'};
constexpr std::array<char, 8> kMngSignature = {'\x8A', 'M', 'N', 'G', '\r', '\n', '\x1A', '\n'};

bool StartsWith(const QByteArray &bytes, const std::array<char, 8> &signature) {
  return bytes.size() >= 8 && std::equal(signature.begin(), signature.end(), bytes.constData());
}

qint64 RowBytes(qint64 width, int bitCount) { return (width * bitCount + 31) / 32 * 4; }

// Parses the bitmap form of an image (header, palette, colour bits, mask bits) from its bytes.
void ReadBitmapImage(const QByteArray &bytes, TIconEntry &entry) {
  if (bytes.size() < 40)
    InvalidIcon();
  const qint64 headerSize = U32(bytes, 0);
  const qint32 width = I32(bytes, 4), doubleHeight = I32(bytes, 8);
  const int bitCount = int(U16(bytes, 14));
  const quint32 compression = U32(bytes, 16);
  if (headerSize < 40 || width < 1 || width > kMaxSide || doubleHeight < 2 || doubleHeight / 2 > kMaxSide)
    InvalidIcon();
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    InvalidIcon();
  if (compression != 0)  // only uncompressed pixels are defined for icons
    InvalidIcon();
  const qint64 height = doubleHeight / 2;
  const qint64 paletteEntries = bitCount <= 8 ? qint64(1) << bitCount : 0;
  const qint64 colorSize = RowBytes(width, bitCount) * height;
  const qint64 maskSize = RowBytes(width, 1) * height;
  if (headerSize + 4 * paletteEntries + colorSize + maskSize > bytes.size())
    InvalidIcon();

  entry.Width = int(width);
  entry.Height = int(height);
  entry.BitCount = bitCount;
  qsizetype at = qsizetype(headerSize);
  entry.Palette.resize(std::size_t(paletteEntries));
  for (TColor32 &color : entry.Palette) {  // blue, green, red, reserved
    color = MakeColor32(quint8(bytes[at + 2]), quint8(bytes[at + 1]), quint8(bytes[at]));
    at += 4;
  }
  entry.ColorBits = bytes.mid(at, qsizetype(colorSize));
  entry.MaskBits = bytes.mid(at + qsizetype(colorSize), qsizetype(maskSize));
}

} // namespace

void TIconImage::LoadFromStream(QIODevice &stream) {
  FEntries.clear();
  TRangeReader reader(stream);
  const QByteArray header = reader.Read(0, 6);
  const quint32 type = U16(header, 2), count = U16(header, 4);
  if (U16(header, 0) != 0 || (type != 1 && type != 2))
    InvalidIcon();
  if (count == 0)
    throw EException(QStringLiteral("Stream read error"));
  FIsCursor = type == 2;
  const qint64 directoryEnd = 6 + 16 * qint64(count);
  const QByteArray directory = reader.Read(6, 16 * qint64(count));

  std::vector<TIconEntry> entries(count);
  for (quint32 i = 0; i < count; ++i) {
    TIconEntry &e = entries[i];
    const qsizetype at = qsizetype(16 * i);
    e.Width = quint8(directory[at]) ? quint8(directory[at]) : 256;
    e.Height = quint8(directory[at + 1]) ? quint8(directory[at + 1]) : 256;
    if (FIsCursor) {
      e.HotSpotX = int(U16(directory, at + 4));
      e.HotSpotY = int(U16(directory, at + 6));
    } else
      e.BitCount = int(U16(directory, at + 6));
    e.ByteSize = U32(directory, at + 8);
    e.Offset = U32(directory, at + 12);
    // Images lie after the directory, each inside the file.
    if (e.Offset < directoryEnd || e.ByteSize < 8)
      InvalidIcon();
    const QByteArray bytes = reader.Read(e.Offset, e.ByteSize);
    if (StartsWith(bytes, kPngSignature) || StartsWith(bytes, kMngSignature))
      e.Embedded = bytes;
    else
      ReadBitmapImage(bytes, e);
  }
  reader.Finish();
  FEntries = std::move(entries);
}

void TIconEntry::CopyTo(TBitmap32 &bitmap) const {
  bitmap.SetSize(Width, Height);
  const qsizetype colorStride = qsizetype(RowBytes(Width, BitCount)), maskStride = qsizetype(RowBytes(Width, 1));
  for (int y = 0; y < Height; ++y) {
    const int row = Height - 1 - y;  // rows are stored bottom-up
    const auto *c = reinterpret_cast<const quint8 *>(ColorBits.constData()) + qsizetype(row) * colorStride;
    const auto *m = reinterpret_cast<const quint8 *>(MaskBits.constData()) + qsizetype(row) * maskStride;
    TColor32 *out = bitmap.ScanLine(y);
    for (int x = 0; x < Width; ++x) {
      TColor32 color;
      switch (BitCount) {
      case 1: color = Palette[(c[x >> 3] >> (7 - (x & 7))) & 1]; break;
      case 4: color = Palette[(c[x >> 1] >> (x & 1 ? 0 : 4)) & 15]; break;
      case 8: color = Palette[c[x]]; break;
      case 16: {  // 5-5-5
        const unsigned w = c[2 * x] | c[2 * x + 1] << 8;
        auto expand = [](unsigned v) { return int(v << 3 | v >> 2); };
        color = MakeColor32(expand(w >> 10 & 31), expand(w >> 5 & 31), expand(w & 31));
        break;
      }
      case 24: color = MakeColor32(c[3 * x + 2], c[3 * x + 1], c[3 * x]); break;
      default: color = MakeColor32(c[4 * x + 2], c[4 * x + 1], c[4 * x], c[4 * x + 3]); break;
      }
      const bool masked = m[x >> 3] & (0x80 >> (x & 7));
      if (masked)
        out[x] = (color & 0x00FFFFFFu) == 0 ? 0 : 0xFF000000u;
      else
        out[x] = BitCount == 32 ? color : color | 0xFF000000u;
    }
  }
}

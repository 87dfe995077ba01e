// The image format table and the header size reader of cuUtils.
#include "cuUtils.h"

#include <QtEndian>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

struct TFormatEntry {
  const char *Extension;
  const char *Description;
};

// Index k of the table is entry k - 1.
constexpr TFormatEntry Formats[ImageFormatCount] = {
    {"bmp", "Bitmap"}, {"ico", "Icon"}, {"cur", "Cursor"}, {"emf", "Metafile"}, {"wmf", "Metafile"},
    {"jpeg", "JPEG"},  {"jpg", "JPEG"}, {"jpe", "JPEG"},   {"jfif", "JPEG"},    {"gif", "GIF"},
    {"png", "PNG"},    {"tif", "TIFF"}, {"tiff", "TIFF"},
};

// Reads little- and big-endian numbers from a device; any short read, and any skip past the end, leaves
// the reader failed for good, and a failed reader answers 0.
class THeaderReader {
public:
  explicit THeaderReader(QIODevice &device) : FDevice(device) {}
  bool Ok() const { return FOk; }

  bool Bytes(char *to, qint64 count) {
    if (FOk && FDevice.read(to, count) != count)
      FOk = false;
    return FOk;
  }
  quint8 U8() {
    char b = 0;
    return Bytes(&b, 1) ? quint8(b) : 0;
  }
  quint16 U16LE() { return Number<quint16>(false); }
  quint16 U16BE() { return Number<quint16>(true); }
  quint32 U32LE() { return Number<quint32>(false); }
  quint32 U32BE() { return Number<quint32>(true); }
  qint32 I32LE() { return qint32(U32LE()); }
  qint16 I16LE() { return qint16(U16LE()); }

  void Skip(qint64 count) {
    if (!FOk)
      return;
    if (!FDevice.isSequential()) {
      const qint64 to = FDevice.pos() + count;
      if (to > FDevice.size() || !FDevice.seek(to))
        FOk = false;
      return;
    }
    char buffer[512];
    while (FOk && count > 0) {
      const qint64 n = qMin<qint64>(count, sizeof buffer);
      Bytes(buffer, n);
      count -= n;
    }
  }

private:
  template <class T> T Number(bool bigEndian) {
    uchar raw[sizeof(T)] = {};
    if (!Bytes(reinterpret_cast<char *>(raw), sizeof(T)))
      return 0;
    return bigEndian ? qFromBigEndian<T>(raw) : qFromLittleEndian<T>(raw);
  }

  QIODevice &FDevice;
  bool FOk = true;
};

// A 64-bit intermediate value as a size, or 0 (not found) when it does not fit.
int SizeValue(qint64 value) {
  return value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min() ? 0 : int(value);
}

// Pixels at 96 dots per inch of a length given in units of which `perInch` make an inch, rounded.
int PixelsAt96Dpi(qint64 length, qint64 perInch) {
  return SizeValue(std::llround(double(length) * 96.0 / double(perInch)));
}

void ReadBitmap(THeaderReader &r, int &width, int &height) {
  if (r.U8() != 'B' || r.U8() != 'M')
    return;
  r.Skip(12 + 4);  // file size, two reserved words, bits offset; the information header's size
  const qint32 w = r.I32LE();
  const qint32 h = r.I32LE();
  if (!r.Ok())
    return;
  width = w;
  height = SizeValue(std::llabs(qint64(h)));  // bottom-up bitmaps store a positive height, top-down a negative one
}

void ReadIconDirectory(THeaderReader &r, bool cursor, int &width, int &height) {
  r.U16LE();  // reserved
  const quint16 type = r.U16LE();
  const quint16 count = r.U16LE();
  if (!r.Ok() || (type != 1 && type != 2))
    return;
  // A width or height byte of 0 stands for 256, as the icon reader reads it.
  int bestWidth = -1, bestHeight = 0;
  for (int i = 0; i < count; ++i) {
    const int w = r.U8();
    const int h = r.U8();
    r.Skip(14);
    if (!r.Ok())
      return;
    const int entryWidth = w == 0 ? 256 : w;
    if (entryWidth > bestWidth) {
      bestWidth = entryWidth;
      bestHeight = cursor ? entryWidth : (h == 0 ? 256 : h);
    }
  }
  if (bestWidth > 0) {
    width = bestWidth;
    height = bestHeight;
  }
}

// The frame of an enhanced metafile's header record, in 0.01 mm.
void ReadEnhancedMetafile(THeaderReader &r, int &width, int &height) {
  const quint32 type = r.U32LE();
  r.Skip(4 + 16);  // record size, bounds
  const qint64 left = r.I32LE(), top = r.I32LE(), right = r.I32LE(), bottom = r.I32LE();
  const quint32 signature = r.U32LE();
  if (!r.Ok() || type != 1 || signature != 0x464D4520)  // EMR_HEADER, " EMF"
    return;
  width = PixelsAt96Dpi(right - left, 2540);
  height = PixelsAt96Dpi(bottom - top, 2540);
}

// A placeable metafile's bounding box in its own units per inch; metafiles without that header are not read.
void ReadPlaceableMetafile(THeaderReader &r, int &width, int &height) {
  const quint32 key = r.U32LE();
  r.Skip(2);  // handle
  const qint64 left = r.I16LE(), top = r.I16LE(), right = r.I16LE(), bottom = r.I16LE();
  const quint16 perInch = r.U16LE();
  if (!r.Ok() || key != 0x9AC6CDD7 || perInch == 0)
    return;
  width = PixelsAt96Dpi(right - left, perInch);
  height = PixelsAt96Dpi(bottom - top, perInch);
}

// Walks the markers up to the first baseline or progressive frame header. Every step consumes at least
// two bytes, and a length below 2 or past the end ends the walk, so it always ends.
void ReadJpeg(THeaderReader &r, int &width, int &height) {
  if (r.U8() != 0xFF || r.U8() != 0xD8 || !r.Ok())
    return;
  for (;;) {
    if (r.U8() != 0xFF || !r.Ok())
      return;  // not at a marker
    quint8 code = r.U8();
    while (code == 0xFF && r.Ok())  // fill bytes
      code = r.U8();
    if (!r.Ok() || code == 0x00 || code == 0xD9)  // 0x00 is no marker; D9 ends the image
      return;
    if (code == 0x01 || (code >= 0xD0 && code <= 0xD8))  // standalone markers carry no length
      continue;
    const quint16 length = r.U16BE();
    if (!r.Ok() || length < 2)
      return;
    if (code == 0xC0 || code == 0xC2) {
      r.U8();  // sample precision
      const quint16 h = r.U16BE();
      const quint16 w = r.U16BE();
      if (r.Ok()) {
        width = w;
        height = h;
      }
      return;
    }
    r.Skip(length - 2);
  }
}

void ReadGif(THeaderReader &r, int &width, int &height) {
  r.Skip(6);  // signature and version
  const quint16 w = r.U16LE();
  const quint16 h = r.U16LE();
  if (r.Ok()) {
    width = w;
    height = h;
  }
}

void ReadPng(THeaderReader &r, int &width, int &height) {
  r.Skip(16);  // signature, the header chunk's length and type
  const quint32 w = r.U32BE();
  const quint32 h = r.U32BE();
  if (r.Ok()) {
    width = SizeValue(w);
    height = SizeValue(h);
  }
}

}  // namespace

QString ImageFormatExtension(int format) {
  return format >= 1 && format <= ImageFormatCount ? QLatin1String(Formats[format - 1].Extension) : QString();
}

QString ImageFormatDescription(int format) {
  return format >= 1 && format <= ImageFormatCount ? QLatin1String(Formats[format - 1].Description) : QString();
}

int ImageFormatOf(const QString &path) {
  const QString extension = ExtensionOf(path);
  for (int k = 1; k <= ImageFormatCount; ++k)
    if (extension.compare(QLatin1String(Formats[k - 1].Extension), Qt::CaseInsensitive) == 0)
      return k;
  return ifNone;
}

TImageSize ImageSizeOf(QIODevice &stream, int format) {
  int width = 0, height = 0;
  if (stream.isReadable()) {
    const qint64 start = stream.pos();
    THeaderReader reader(stream);
    switch (format) {
    case ifBmp:
      ReadBitmap(reader, width, height);
      break;
    case ifIco:
    case ifCur:
      ReadIconDirectory(reader, format == ifCur, width, height);
      break;
    case ifEmf:
      ReadEnhancedMetafile(reader, width, height);
      break;
    case ifWmf:
      ReadPlaceableMetafile(reader, width, height);
      break;
    case ifJpeg:
    case ifJpg:
    case ifJpe:
    case ifJfif:
      ReadJpeg(reader, width, height);
      break;
    case ifGif:
      ReadGif(reader, width, height);
      break;
    case ifPng:
      ReadPng(reader, width, height);
      break;
    default:
      break;
    }
    if (!stream.isSequential())
      stream.seek(start);
  }
  TImageSize size;
  size.Found = width != 0 && height != 0;
  const int missing = format == ifIco || format == ifCur ? 32 : 100;
  size.Width = width != 0 ? width : missing;
  size.Height = height != 0 ? height : missing;
  return size;
}

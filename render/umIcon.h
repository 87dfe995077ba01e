// The program's own reader of icon and cursor files.
#pragma once

#include "diBitmap32.h"

#include <QByteArray>

#include <vector>

class QIODevice;

// One image of an icon or cursor file, in directory order. A bitmap image keeps its pixel data as stored
// (bottom-up rows, each padded to 32 bits); an image stored as PNG or MNG keeps that file's bytes.
struct TIconEntry {
  int Width = 0;   // the directory's width (0 read as 256), replaced by the bitmap header's width
  int Height = 0;  // likewise, replaced by half the bitmap header's height
  int BitCount = 0;
  quint32 ByteSize = 0;
  quint32 Offset = 0;  // from the start of the file
  int HotSpotX = 0, HotSpotY = 0;  // cursors only

  QByteArray Embedded;              // PNG or MNG bytes; empty for a bitmap image
  std::vector<TColor32> Palette;    // 2^BitCount opaque colours for BitCount <= 8, else empty
  QByteArray ColorBits, MaskBits;   // bitmap images only

  bool IsEmbedded() const { return !Embedded.isEmpty(); }
  // The pixels of a bitmap image (not embedded), top row first. Where the mask is set, a black colour pixel
  // becomes fully transparent and any other colour opaque black (inverting pixels cannot be shown); where
  // it is clear, a 32-bit image gives its stored pixel with its own alpha, the others their colour opaque.
  void CopyTo(TBitmap32 &bitmap) const;
};

class TIconImage {
public:
  // Reads an icon (type 1) or cursor (type 2) file starting at the device's position. Every header value is
  // checked against the format and every read against the data: a damaged file fails with "Invalid icon
  // format" (a file without images with "Stream read error") and never reads outside the data. Each
  // image is read at its directory offset.
  void LoadFromStream(QIODevice &stream);

  bool IsCursor() const { return FIsCursor; }
  const std::vector<TIconEntry> &Entries() const { return FEntries; }

private:
  bool FIsCursor = false;
  std::vector<TIconEntry> FEntries;
};

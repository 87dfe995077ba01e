// A decoded picture: one ARGB bitmap, or several for an icon file with several images.
#pragma once

#include "diBitmap32.h"

#include <QSize>

#include <memory>
#include <vector>

class QIODevice;
class QPainter;

class TUniversalImage {
public:
  // Loading appends to the list (callers clear first for a fresh picture); on a failure the bitmaps
  // appended before it stay. Each bitmap draws with dmBlend and cmBlend.
  //
  // By the file name's extension, without regard to case: "ico" and "cur" through the icon reader,
  // anything else through the platform decoder.
  void LoadFromFile(const QString &fileName);
  // By the content: a stream whose first two 16-bit little-endian words are 0 and 1 or 2 is an icon or
  // cursor, anything else goes to the platform decoder. Reading starts at the stream's position.
  void LoadFromStream(QIODevice &stream);

  void Assign(const TUniversalImage &other);
  void Clear() { FImages.clear(); }
  int Count() const { return int(FImages.size()); }
  TBitmap32 &Images(int i) { return *FImages.at(std::size_t(i)); }
  const TBitmap32 &Images(int i) const { return *FImages.at(std::size_t(i)); }
  bool IsEmpty() const { return FImages.empty(); }
  // The size of the first bitmap; (0, 0) when empty.
  QSize Size() const;
  // Draws bitmap `index` (the first when index < 0; nothing when empty) at `at`, opaque, alpha dropped.
  void Draw(QPainter &device, const QPoint &at, int index = -1) const;

private:
  void LoadIcon(QIODevice &stream);
  void LoadPlatform(QIODevice &stream);
  TBitmap32 &Append();

  std::vector<std::unique_ptr<TBitmap32>> FImages;
};

// The platform image codec: decoding of every format Qt's image I/O reads (BMP, GIF, JPEG, PNG, TIFF and
// what the installed plugins add) into straight ARGB, and encoding as BMP, JPEG, PNG, TIFF (Qt) and GIF
// (giflib).
#pragma once

#include "cuClasses.h"
#include "diBitmap32.h"

#include <QImage>
#include <QSize>

class QIODevice;

// The encoders, by the format they write.
enum TImageEncoder { ieBMP, ieGIF, ieJPEG, iePNG, ieTIFF };

// Status codes of failed codec operations.
enum TImageCodecStatus {
  icsNoEncoder = 1,        // the encoder for the format is not installed
  icsNoData = 2,           // nothing to decode, or nothing decoded to encode
  icsUnsupportedFormat = 3,
  icsInvalidData = 4,      // damaged, truncated or too large to decode
  icsEncodingFailed = 5,
};

// A failed decode or encode: "Invalid image codec operation (status)", followed by the codec's reason
// when it gives one.
class EQtImageException : public EException {
public:
  explicit EQtImageException(int status, const QString &reason = {});
  int Status() const { return FStatus; }

private:
  int FStatus;
};

class TQtImage {
public:
  // Decodes everything from the stream's position to its end (the first frame of an animation).
  void LoadFromStream(QIODevice &stream);
  // The pixels to encode.
  void Assign(const TBitmap32 &bitmap);
  bool IsEmpty() const { return FImage.isNull(); }
  QSize Dimensions() const { return FImage.size(); }
  // Resizes the bitmap to the dimensions and copies the pixels, straight ARGB.
  void CopyTo(TBitmap32 &bitmap) const;
  // Appends the encoded file to the stream.
  void SaveToStream(QIODevice &stream, TImageEncoder encoder) const;

private:
  QImage FImage;
};

// Converters: the picture of the source stream (any decodable format, from its position) encoded in one
// format and appended to the destination stream.
void ConvertToBMP(QIODevice &source, QIODevice &destination);
void ConvertToGIF(QIODevice &source, QIODevice &destination);
void ConvertToJPEG(QIODevice &source, QIODevice &destination);
void ConvertToPNG(QIODevice &source, QIODevice &destination);
void ConvertToTIFF(QIODevice &source, QIODevice &destination);

#include "umQtImage.h"

#include "umGifEncoder.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

EQtImageException::EQtImageException(int status, const QString &reason)
    : EException(QStringLiteral("Invalid image codec operation (%1)").arg(status) +
                 (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason)),
      FStatus(status) {}

void TQtImage::LoadFromStream(QIODevice &stream) {
  FImage = QImage();
  QByteArray bytes = stream.readAll();
  if (bytes.isEmpty())
    throw EQtImageException(icsNoData);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  // The format comes from the content; pixels are taken as stored (no orientation from metadata), so the
  // size agrees with the one the file header gives.
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  reader.setAutoTransform(false);
  QImage image;
  if (!reader.read(&image) || image.isNull()) {
    const int status = reader.error() == QImageReader::UnsupportedFormatError ? icsUnsupportedFormat : icsInvalidData;
    throw EQtImageException(status, reader.errorString());
  }
  FImage = image.convertToFormat(QImage::Format_ARGB32);
  if (FImage.isNull())
    throw EQtImageException(icsInvalidData);
}

void TQtImage::Assign(const TBitmap32 &bitmap) { FImage = bitmap.ToImage(); }

void TQtImage::CopyTo(TBitmap32 &bitmap) const { bitmap.Assign(FImage); }

void TQtImage::SaveToStream(QIODevice &stream, TImageEncoder encoder) const {
  if (FImage.isNull())
    throw EQtImageException(icsNoData);
  QByteArray bytes;
  if (encoder == ieGIF) {
    QString reason;
    if (!EncodeGif(FImage, bytes, reason))
      throw EQtImageException(icsEncodingFailed, reason);
  } else {
    static const char *const formats[] = {"bmp", "gif", "jpeg", "png", "tiff"};
    const QByteArray format(formats[encoder]);
    if (!QImageWriter::supportedImageFormats().contains(format))
      throw EQtImageException(icsNoEncoder, QString::fromLatin1(format));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(FImage))
      throw EQtImageException(icsEncodingFailed, writer.errorString());
  }
  if (stream.write(bytes) != bytes.size())
    throw EQtImageException(icsEncodingFailed, stream.errorString());
}

static void Convert(QIODevice &source, QIODevice &destination, TImageEncoder encoder) {
  TQtImage image;
  image.LoadFromStream(source);
  image.SaveToStream(destination, encoder);
}

void ConvertToBMP(QIODevice &source, QIODevice &destination) { Convert(source, destination, ieBMP); }
void ConvertToGIF(QIODevice &source, QIODevice &destination) { Convert(source, destination, ieGIF); }
void ConvertToJPEG(QIODevice &source, QIODevice &destination) { Convert(source, destination, ieJPEG); }
void ConvertToPNG(QIODevice &source, QIODevice &destination) { Convert(source, destination, iePNG); }
void ConvertToTIFF(QIODevice &source, QIODevice &destination) { Convert(source, destination, ieTIFF); }

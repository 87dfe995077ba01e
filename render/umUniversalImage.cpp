#include "umUniversalImage.h"

#include "cuLocalization.h"
#include "umIcon.h"
#include "umQtImage.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

TBitmap32 &TUniversalImage::Append() {
  auto bitmap = std::make_unique<TBitmap32>();
  bitmap->SetDrawMode(dmBlend);
  bitmap->SetCombineMode(cmBlend);
  FImages.push_back(std::move(bitmap));
  return *FImages.back();
}

void TUniversalImage::LoadFromFile(const QString &fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    if (!file.exists())
      throw EException(FormatString(sidFileNotFound, {fileName}));
    throw EException(QStringLiteral("Cannot open file \"%1\": %2").arg(fileName, file.errorString()));
  }
  const QString extension = QFileInfo(fileName).suffix().toLower();
  if (extension == QLatin1String("ico") || extension == QLatin1String("cur"))
    LoadIcon(file);
  else
    LoadPlatform(file);
}

void TUniversalImage::LoadFromStream(QIODevice &stream) {
  const QByteArray start = stream.peek(4);
  const bool icon = start.size() == 4 && start[0] == 0 && start[1] == 0 && (start[2] == 1 || start[2] == 2) &&
                    start[3] == 0;
  if (icon)
    LoadIcon(stream);
  else
    LoadPlatform(stream);
}

void TUniversalImage::LoadIcon(QIODevice &stream) {
  TIconImage icon;
  icon.LoadFromStream(stream);
  for (const TIconEntry &entry : icon.Entries()) {
    if (entry.IsEmbedded()) {
      QBuffer embedded;
      embedded.setData(entry.Embedded);
      embedded.open(QIODevice::ReadOnly);
      TQtImage image;
      image.LoadFromStream(embedded);
      image.CopyTo(Append());
    } else
      entry.CopyTo(Append());
  }
}

void TUniversalImage::LoadPlatform(QIODevice &stream) {
  TQtImage image;
  image.LoadFromStream(stream);
  image.CopyTo(Append());
}

void TUniversalImage::Assign(const TUniversalImage &other) {
  if (&other == this)
    return;
  Clear();
  for (const auto &bitmap : other.FImages)
    Append().Assign(*bitmap);
}

QSize TUniversalImage::Size() const {
  return FImages.empty() ? QSize(0, 0) : QSize(FImages.front()->Width(), FImages.front()->Height());
}

void TUniversalImage::Draw(QPainter &device, const QPoint &at, int index) const {
  if (FImages.empty())
    return;
  Images(index < 0 ? 0 : index).DrawToDevice(device, at.x(), at.y());
}

// Previews for looking at the artwork: every picture enlarged, and a mock sheet of each theme drawn with the
// nine-slice and tint rules the program uses, so that stretching and tinting can be judged before the real
// canvas exists. Nothing here is part of the program's files.
#pragma once

#include "artStrips.h"
#include "artTheme.h"

#include <QString>

#include <vector>

namespace art {

struct PreviewInput {
  QImage lightTheme, darkTheme;
  QByteArray lightInfo, darkInfo;
  std::vector<StripArt> strips;
  std::vector<QImage> icons;
  QImage logo;
};

void WritePreviews(const QString &directory, const PreviewInput &input);

} // namespace art

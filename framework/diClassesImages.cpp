#include "diClassesImages.h"

#include "diSchemeImages.h"

const TClassesImages &ClassesImages() {
  static const TClassesImages images{SchemeCharImages().AddStrip(QStringLiteral("diClassesCharImages")),
                                     SchemeSmallImages().AddStrip(QStringLiteral("diClassesSmallImages")),
                                     SchemeLargeImages().AddStrip(QStringLiteral("diClassesLargeImages"))};
  return images;
}

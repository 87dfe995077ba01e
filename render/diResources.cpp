#include "diResources.h"

// Outside any namespace, as the resource initialiser requires.
static void InitResources() { Q_INIT_RESOURCE(diResources); }

QString RenderResourcePath(const QString &name) {
  static const bool initialised = (InitResources(), true);
  (void)initialised;
  return QStringLiteral(":/render/") + name;
}

#include "diFrameworkResources.h"

// Outside any namespace, as the resource initialiser requires.
static void InitResources() { Q_INIT_RESOURCE(diFrameworkResources); }

QString FrameworkResourcePath(const QString &name) {
  static const bool initialised = (InitResources(), true);
  (void)initialised;
  return QStringLiteral(":/framework/") + name;
}

// The resources of the framework library: the sounds.
#pragma once

#include <QString>

// The resource path of `name` (":/framework/<name>"). Registers the library's resources on first use, which
// a static library needs before its resources can be found.
QString FrameworkResourcePath(const QString &name);

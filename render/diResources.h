// The resources of the render library: the built-in theme and the image strips.
#pragma once

#include <QString>

// The resource path of `name` (":/render/<name>"). Registers the library's resources on first use, which
// a static library needs before its resources can be found.
QString RenderResourcePath(const QString &name);

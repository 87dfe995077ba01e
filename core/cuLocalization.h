// The process-wide lookup of interface texts by string id.
#pragma once

#include "cuStrings.h"

#include <QString>
#include <QStringList>

// Text of `id` in the current language (English for now).
QString LoadString(int id);
// LoadString(id) with the first "%k" replaced by the k-th argument, for k = 1, 2, ... in that order.
QString FormatString(int id, const QStringList &arguments);

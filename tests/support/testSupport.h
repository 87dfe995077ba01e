// Helpers shared by the tests.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Path of a fixture file in the mirrored folder's data directory.
#define QN_FIXTURE(name) (QStringLiteral(QN_TEST_DATA "/") + QStringLiteral(name))

QByteArray ReadFileBytes(const QString &path);
void WriteFileBytes(const QString &path, const QByteArray &bytes);

#include <ostream>

// Lets GoogleTest show strings in failure messages as text.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

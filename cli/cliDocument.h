// What the document commands share: opening a data file as the program opens its data file, and writing
// bytes to standard output.
#pragma once

#include "cliCommands.h"
#include "plElements.h"

#include <QByteArray>

// The program starts an empty document when its data file is missing; a command given a file to work on
// is told instead (EException with the text of a missing file). Everything else as OpenPlainDocument.
TPlainDocumentSchemes OpenDocumentFile(const QString &fileName);

// Writes the bytes to standard output; false (with a message on standard error) when that fails.
bool WriteStandardOutput(TCliContext &context, const char *command, const QByteArray &bytes);

#include "cliDocument.h"

#include "cuLocalization.h"
#include "cuStrings.h"

#include <QFileInfo>

#include <cstdio>

TPlainDocumentSchemes OpenDocumentFile(const QString &fileName) {
  if (!QFileInfo::exists(fileName))
    throw EException(FormatString(sidFileNotFound, {fileName}));
  return OpenPlainDocument(fileName);
}

bool WriteStandardOutput(TCliContext &context, const char *command, const QByteArray &bytes) {
  context.Out.flush();
  if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) && !std::fflush(stdout))
    return true;
  context.Err << "quillnote-cli " << command << ": cannot write standard output\n";
  return false;
}

// quillnote-cli text FILE: the document's text as copy-as-text gives it (characters, TAB for tab stops,
// each inline element's own text), UTF-8 on standard output, every paragraph ended by LF.
#include "cliDocument.h"

namespace {

int RunText(TCliContext &context) {
  if (context.Args.size() != 1 || context.Args[0].startsWith(QLatin1Char('-'))) {
    context.Err << "usage: quillnote-cli text FILE\n";
    return csUsage;
  }
  TPlainDocumentSchemes document = OpenDocumentFile(context.Args[0]);
  QString text;
  document.Root().GetText(text);
  // Copy-as-text separates paragraphs by CR LF; here each paragraph, the last one included, ends in LF.
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text += QLatin1Char('\n');
  return WriteStandardOutput(context, "text", text.toUtf8()) ? csOk : csFailed;
}

}  // namespace

QN_CLI_COMMAND("text", "FILE", "writes a data file's text as plain UTF-8, one line per paragraph", RunText);

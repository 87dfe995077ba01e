// quillnote-cli resave IN OUT: loads IN as the program loads its data file and writes it to OUT through
// the program's own save (a temporary "Rplc<n>.tmp" beside OUT, flushed and renamed over it).
#include "cliDocument.h"

#include "diClasses.h"

namespace {

int RunResave(TCliContext &context) {
  if (context.Args.size() != 2 || context.Args[0].startsWith(QLatin1Char('-')) ||
      context.Args[1].startsWith(QLatin1Char('-'))) {
    context.Err << "usage: quillnote-cli resave IN OUT\n";
    return csUsage;
  }
  TPlainDocumentSchemes document = OpenDocumentFile(context.Args[0]);
  document.Document->SaveToFile(context.Args[1], false);
  return csOk;
}

}  // namespace

QN_CLI_COMMAND("resave", "IN OUT", "loads a data file and saves it again as the program does", RunResave);

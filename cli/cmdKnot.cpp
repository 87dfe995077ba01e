// quillnote-cli knot [--raw] FILE: reads a knot file as the program reads any (byte order mark detection
// included) and writes the parsed tree to standard output. By default with the data file's rules (XML
// style, inherited options 0, UTF-8 with byte order mark); with --raw with the settings file's (raw
// values, options 0x8E, no byte order mark). A validator and formatter for scripts.
#include "cliCommands.h"
#include "cuKnot.h"

#include <cstdio>

namespace {

int RunKnot(TCliContext &context) {
  QStringList args = context.Args;
  const bool raw = args.removeAll(QStringLiteral("--raw")) > 0;
  if (args.size() != 1 || args[0].startsWith(QLatin1Char('-'))) {
    context.Err << "usage: quillnote-cli knot [--raw] FILE\n";
    return csUsage;
  }
  auto knot = MakeNode<TKnot>();
  knot->SetInheritedOptions(raw ? koSettingsFileOptions : 0);
  knot->LoadFromFile(args[0]);  // a missing or unreadable file raises; main reports it with status 1
  const QByteArray bytes = knot->ToBytes(raw ? teDefault : teUtf8);
  context.Out.flush();
  if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) || std::fflush(stdout)) {
    context.Err << "quillnote-cli knot: cannot write standard output\n";
    return csFailed;
  }
  if (knot->HasParseError()) {
    context.Err << "quillnote-cli knot: " << args[0] << ": the text is damaged\n";
    return csDamaged;
  }
  return csOk;
}

}  // namespace

QN_CLI_COMMAND("knot", "[--raw] FILE",
               "reads a knot file and writes it formatted to standard output (status 3: damaged text)", RunKnot);

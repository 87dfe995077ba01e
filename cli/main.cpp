// quillnote-cli COMMAND [ARGS...]
#include "cliCommands.h"
#include "cuClasses.h"
#include "cuDesktop.h"

#include <QGuiApplication>

#include <cstdio>
#include <memory>

std::map<QString, TCliCommand> &CliCommands() {
  static std::map<QString, TCliCommand> commands;
  return commands;
}

namespace {
// Without a window: a message box goes to standard error and is answered OK; there is no cursor to
// change and no sound to make.
class TCliUserInterface : public TUserInterface {
public:
  int MessageBox(const QString &text, const QString &caption, int) override {
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    return 1;
  }
  void SetWaitCursor(bool) override {}
  void Beep() override {}
};
}  // namespace

static void PrintUsage(QTextStream &to) {
  to << "usage: quillnote-cli COMMAND [ARGS...]\n\ncommands:\n";
  for (const auto &[name, command] : CliCommands())
    to << "  " << name << ' ' << command.Usage << "\n      " << command.Help << '\n';
}

int main(int argc, char **argv) {
  // Runs without a display unless the user chose a platform.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  InstallUserInterface(std::make_unique<TCliUserInterface>());

  QTextStream out(stdout), err(stderr);
  QStringList args = application.arguments().mid(1);
  if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
    PrintUsage(args.isEmpty() ? err : out);
    return args.isEmpty() ? csUsage : csOk;
  }
  auto it = CliCommands().find(args[0]);
  if (it == CliCommands().end()) {
    err << "quillnote-cli: unknown command '" << args[0] << "'\n";
    PrintUsage(err);
    return csUsage;
  }
  TCliContext context{args.mid(1), out, err};
  try {
    return it->second.Run(context);
  } catch (const EException &e) {
    err << e.Message() << '\n';
    return csFailed;
  }
}

// The command table of quillnote-cli. A command file defines its commands with QN_CLI_COMMAND; main looks
// the first argument up here.
#pragma once

#include <QStringList>
#include <QTextStream>

#include <functional>
#include <map>

struct TCliContext {
  QStringList Args;    // the arguments after the command name
  QTextStream &Out;    // standard output, UTF-8
  QTextStream &Err;    // standard error, UTF-8
};

// Exit statuses shared by all commands.
enum TCliStatus { csOk = 0, csFailed = 1, csUsage = 2, csDamaged = 3 };

struct TCliCommand {
  QString Usage;  // one line: the arguments after the command name
  QString Help;   // one line: what the command does
  std::function<int(TCliContext &)> Run;
};

std::map<QString, TCliCommand> &CliCommands();

struct TCliRegistration {
  TCliRegistration(const char *name, const char *usage, const char *help, std::function<int(TCliContext &)> run) {
    CliCommands()[QString::fromLatin1(name)] = {QString::fromUtf8(usage), QString::fromUtf8(help), std::move(run)};
  }
};

#define QN_CLI_CONCAT2(a, b) a##b
#define QN_CLI_CONCAT(a, b) QN_CLI_CONCAT2(a, b)
#define QN_CLI_COMMAND(name, usage, help, fn) \
  static const TCliRegistration QN_CLI_CONCAT(cliRegistration_, __LINE__)(name, usage, help, fn)

// Shared pieces of quillnote-bench: the subcommand table, median timing through Google Benchmark, and the
// one-line figures that end in their ratio.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <map>

struct TBenchCommand {
  QString Help;
  std::function<int(const QStringList &args)> Run;
};

std::map<QString, TBenchCommand> &BenchCommands();

struct TBenchRegistration {
  TBenchRegistration(const char *name, const char *help, std::function<int(const QStringList &)> run) {
    BenchCommands()[QString::fromLatin1(name)] = {QString::fromUtf8(help), std::move(run)};
  }
};

#define QN_BENCH_CONCAT2(a, b) a##b
#define QN_BENCH_CONCAT(a, b) QN_BENCH_CONCAT2(a, b)
#define QN_BENCH_COMMAND(name, help, fn) \
  static const TBenchRegistration QN_BENCH_CONCAT(benchRegistration_, __LINE__)(name, help, fn)

// Runs `body` once as a warm-up and then `runs` times (at least 5), each timed alone; `setup`, when given,
// runs untimed before every run. Answers the median wall time in seconds.
double MedianSeconds(const char *name, const std::function<void()> &body, const std::function<void()> &setup = {},
                     int runs = 5);

// Prints "<label>: <a> ms vs <b> ms, ratio <a/b>" (the ratio last on the line).
void PrintRatio(const QString &label, double seconds, double comparisonSeconds);
// Prints "<label>: <value> <unit>" for figures without a comparison, with an optional ratio to a limit.
void PrintFigure(const QString &label, double value, const QString &unit);
// Prints the processor model read from /proc/cpuinfo.
void PrintCpuModel();

// quillnote-bench SUBCOMMAND [ARGS...]
#include "benchSupport.h"

#include <QFile>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>

std::map<QString, TBenchCommand> &BenchCommands() {
  static std::map<QString, TBenchCommand> commands;
  return commands;
}

namespace {
// Collects the median of the repetitions of the one benchmark that runs.
class TMedianReporter : public benchmark::BenchmarkReporter {
public:
  bool ReportContext(const Context &) override { return true; }
  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &r : runs)
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
        Median = r.GetAdjustedRealTime() / 1e9;  // reported in nanoseconds
  }
  double Median = 0;
};
}  // namespace

double MedianSeconds(const char *name, const std::function<void()> &body, const std::function<void()> &setup,
                     int runs) {
  if (runs < 5)
    runs = 5;
  if (setup)
    setup();
  body();  // warm-up
  benchmark::ClearRegisteredBenchmarks();
  benchmark::RegisterBenchmark(name, [&](benchmark::State &state) {
    for (auto _ : state) {
      if (setup) {
        state.PauseTiming();
        setup();
        state.ResumeTiming();
      }
      body();
    }
  })
      ->Iterations(1)
      ->Repetitions(runs)
      ->ReportAggregatesOnly(true)
      ->Unit(benchmark::kNanosecond)
      ->UseRealTime();
  TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::ClearRegisteredBenchmarks();
  return reporter.Median;
}

void PrintRatio(const QString &label, double seconds, double comparisonSeconds) {
  std::printf("%s: %.3f ms vs %.3f ms, ratio %.3f\n", qPrintable(label), seconds * 1e3, comparisonSeconds * 1e3,
              comparisonSeconds > 0 ? seconds / comparisonSeconds : 0.0);
  std::fflush(stdout);
}

void PrintFigure(const QString &label, double value, const QString &unit) {
  std::printf("%s: %.3f %s\n", qPrintable(label), value, qPrintable(unit));
  std::fflush(stdout);
}

void PrintCpuModel() {
  QFile f(QStringLiteral("/proc/cpuinfo"));
  QString model = QStringLiteral("unknown");
  if (f.open(QIODevice::ReadOnly))
    for (const QByteArray &line : f.readAll().split('\n'))
      if (line.startsWith("model name")) {
        model = QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
        break;
      }
  std::printf("cpu: %s\n", qPrintable(model));
}

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  int gbArgc = 1;
  benchmark::Initialize(&gbArgc, argv);
  QStringList args = application.arguments().mid(1);
  auto it = args.isEmpty() ? BenchCommands().end() : BenchCommands().find(args[0]);
  if (it == BenchCommands().end()) {
    std::fprintf(stderr, "usage: quillnote-bench SUBCOMMAND\n");
    for (const auto &[name, command] : BenchCommands())
      std::fprintf(stderr, "  %s  %s\n", qPrintable(name), qPrintable(command.Help));
    return 2;
  }
  PrintCpuModel();
  return it->second.Run(args.mid(1));
}

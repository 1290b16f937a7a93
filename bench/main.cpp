// Runs the benchmarks, then prints how close the link comes to the raw round trip.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// The console report, plus the items per second of every run, for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal.
  SummaryReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

  std::map<std::string, std::vector<double>> rates;

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration)
        continue;
      auto it = run.counters.find("items_per_second");
      if (it != run.counters.end())
        rates[run.run_name.function_name].push_back(it->second);
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

// The best and the median of the repetitions: on a shared machine the best run is the one
// least disturbed by others, and the median shows how much they disturbed.
struct Rate {
  double best = 0;
  double median = 0;
};

Rate Summarize(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return {v.back(), v[v.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const auto link = reporter.rates.find("BM_LinkGetDateTime");
  const auto raw = reporter.rates.find("BM_RawTcpPingPong");
  if (link == reporter.rates.end() || raw == reporter.rates.end())
    return 0;
  const Rate a = Summarize(link->second);
  const Rate b = Summarize(raw->second);
  std::printf("\n%-44s %10s %10s\n", "per second, over the runs", "best", "median");
  std::printf("%-44s %10.0f %10.0f\n", "(a) GetDateTime through the link", a.best, a.median);
  std::printf("%-44s %10.0f %10.0f\n", "(b) raw TCP ping-pong, same bytes", b.best, b.median);
  std::printf("%-44s %10.3f %10.3f\n", "a / b", a.best / b.best, a.median / b.median);
  return 0;
}

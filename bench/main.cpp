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
      for (const char* counter : {"items_per_second", "bytes_per_second"}) {
        auto it = run.counters.find(counter);
        if (it != run.counters.end()) {
          rates[run.run_name.function_name].push_back(it->second);
          break;
        }
      }
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

  // One row of the summary: a rate over its runs, or the ratio of two rates.
  auto rate = [&](const char* name) -> const std::vector<double>* {
    const auto it = reporter.rates.find(name);
    return it == reporter.rates.end() || it->second.empty() ? nullptr : &it->second;
  };
  auto row = [](const char* label, const Rate& r, const char* format) {
    std::printf("%-44s ", label);
    std::printf(format, r.best);
    std::printf(" ");
    std::printf(format, r.median);
    std::printf("\n");
  };
  auto ratio = [&](const char* label, const char* a, const char* b) {
    const auto* x = rate(a);
    const auto* y = rate(b);
    if (x == nullptr || y == nullptr)
      return;
    const Rate ra = Summarize(*x);
    const Rate rb = Summarize(*y);
    row(label, Rate{ra.best / rb.best, ra.median / rb.median}, "%10.3f");
  };
  std::printf("\n%-44s %10s %10s\n", "per second, over the runs", "best", "median");
  const struct {
    const char* label;
    const char* name;
  } rows[] = {
      {"(a) GetDateTime through the link", "BM_LinkGetDateTime"},
      {"(b) raw TCP ping-pong, same bytes", "BM_RawTcpPingPong"},
      {"(a') link client, minimal server", "BM_LinkClientAgainstRawServer"},
      {"(r) minimal client, simulator", "BM_RawClientAgainstSimulator"},
      {"(c) 1 MiB dump, bare link loop (bytes)", "BM_LinkReadFlash1MiB"},
      {"(c') 1 MiB dump, transfer loop (bytes)", "BM_TransferDumpFlash1MiB"},
  };
  for (const auto& r : rows) {
    if (const auto* v = rate(r.name))
      row(r.label, Summarize(*v), "%10.0f");
  }
  ratio("a / b", "BM_LinkGetDateTime", "BM_RawTcpPingPong");
  ratio("a' / b (the client alone)", "BM_LinkClientAgainstRawServer", "BM_RawTcpPingPong");
  ratio("a / r (the client alone, simulator)", "BM_LinkGetDateTime",
        "BM_RawClientAgainstSimulator");
  ratio("c' / c", "BM_TransferDumpFlash1MiB", "BM_LinkReadFlash1MiB");
  return 0;
}

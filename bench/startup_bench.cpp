// Starting the program as a whole process, turn about with /bin/true started the same way:
// `tessolon --version` and `tessolon table FILE info` on the shipped pest table. The aim is for
// each to take no more than 3 ms longer than /bin/true: the counter over_true_ms is the mean of
// the pairs' differences. Run it from the build folder: bench/startup_bench.
#include <benchmark/benchmark.h>

#include "bench/RunQuiet.h"

namespace {

constexpr double GoalOverTrueMs = 3;

// Times the program's start (the benchmark's own figure) and its excess over /bin/true's.
void TimeStart(benchmark::State& State, const std::vector<std::string>& Args) {
  if (SecondsToRun(Args) < 0 || SecondsToRun({"/bin/true"}) < 0) {
    State.SkipWithError(("could not run " + Args[0]).c_str());
    return;
  }
  double Over = 0;
  for (auto _ : State) {
    const double True = SecondsToRun({"/bin/true"});
    const double Program = SecondsToRun(Args);
    State.SetIterationTime(Program);
    Over += Program - True;
  }
  State.counters["over_true_ms"] = 1000 * Over / double(State.iterations());
  State.counters["goal_ms"] = GoalOverTrueMs;
}

void BM_StartVersion(benchmark::State& State) {
  TimeStart(State, {TESSOLON_PROGRAM, "--version"});
}
BENCHMARK(BM_StartVersion)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_StartTableInfo(benchmark::State& State) {
  TimeStart(State, {TESSOLON_PROGRAM, "table", TESSOLON_SOURCE_DIR "/data/para.dbf", "info"});
}
BENCHMARK(BM_StartTableInfo)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();

// The program as a whole process, started by fork/exec as a user starts it with its output thrown
// away, beside another program doing the same job (skipped when that one is not installed). Run
// it from the build folder: bench/process_bench.
// - Listing a 100,000-record table: `tessolon table FILE list` next to `dbview -b FILE` (Debian
//   package dbview). The aim is under half the time: medians side by side gave 0.75 before the
//   listing copied plain values straight from the record bytes and 0.47 after.
// - Writing the longest tone to a file: `tessolon tone` with the export's worst case (32767 ms of
//   a 20 kHz sine, 96 kHz, 16-bit stereo) next to sox making the same tone. The aim is at most a
//   fifth of the time: medians gave 0.17 before tones were made in blocks from one-cycle tables
//   and 0.10 after.
// - Starting: `tessolon --version` and `tessolon table FILE info` on the shipped pest table, turn
//   about with /bin/true. The aim is no more than 3 ms over /bin/true: the counter over_true_ms
//   is the mean of the pairs' differences.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/PestTableShape.h"
#include "bench/RunQuiet.h"

namespace {

constexpr int RecordCount = 100000;
constexpr double GoalOverTrueMs = 3;

const std::string& TableName() {
  static const std::string Name = [] {
    const std::string File = BenchFile("pests.dbf");
    WriteBenchPests(File, RecordCount, pfExclusiveCreate);
    return File;
  }();
  return Name;
}

// Times Args on each iteration, once a first run has shown that it works.
void RunProcess(benchmark::State& State, const std::vector<std::string>& Args) {
  if (!RunQuiet(Args)) {
    State.SkipWithError(("could not run " + Args[0]).c_str());
    return;
  }
  for (auto _ : State) RunQuiet(Args);
}

void BM_ListTessolon(benchmark::State& State) {
  RunProcess(State, {TESSOLON_PROGRAM, "table", TableName(), "list"});
}
BENCHMARK(BM_ListTessolon)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ListDbview(benchmark::State& State) {
  RunProcess(State, {"dbview", "-b", TableName()});
}
BENCHMARK(BM_ListDbview)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportTessolon(benchmark::State& State) {
  RunProcess(State, {TESSOLON_PROGRAM, "tone", "--frequency", "20000", "--duration", "32767",
                     "--stereo", "--export", BenchFile("tessolon.wav")});
}
BENCHMARK(BM_ExportTessolon)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportSox(benchmark::State& State) {
  RunProcess(State, {"sox", "-n", "-r", "96000", "-b", "16", "-c", "2", BenchFile("sox.wav"),
                     "synth", "32.767", "sine", "20000"});
}
BENCHMARK(BM_ExportSox)->Unit(benchmark::kMillisecond)->UseRealTime();

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

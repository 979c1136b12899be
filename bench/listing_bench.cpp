// Listing a 100,000-record table as a whole process: `tessolon table FILE list` next to
// `dbview -b FILE` (Debian package dbview), both started by fork/exec with their output thrown
// away. The aim is for the first to take under half the time of the second: medians of whole
// processes side by side gave 0.75 before the listing copied plain values straight from the
// record bytes and 0.47 after. Run it from the build folder: bench/listing_bench (dbview is
// skipped when it is not installed).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/PestTableShape.h"
#include "bench/RunQuiet.h"

namespace {

constexpr int RecordCount = 100000;

const std::string& TableName() {
  static const std::string Name = [] {
    const std::string File = BenchFile("pests.dbf");
    WriteBenchPests(File, RecordCount, pfExclusiveCreate);
    return File;
  }();
  return Name;
}

void RunListing(benchmark::State& State, const std::vector<std::string>& Args) {
  TableName();
  if (!RunQuiet(Args)) {
    State.SkipWithError(("could not run " + Args[0]).c_str());
    return;
  }
  for (auto _ : State) RunQuiet(Args);
}

void BM_ListTessolon(benchmark::State& State) {
  RunListing(State, {TESSOLON_PROGRAM, "table", TableName(), "list"});
}
BENCHMARK(BM_ListTessolon)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ListDbview(benchmark::State& State) {
  RunListing(State, {"dbview", "-b", TableName()});
}
BENCHMARK(BM_ListDbview)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

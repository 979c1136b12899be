// Writing the longest tone to a file as a whole process: `tessolon tone` with the worst case of
// the export (32767 ms of a 20 kHz sine, 96 kHz, 16-bit stereo) next to sox making the same
// tone (`sox -n -r 96000 -b 16 -c 2 FILE synth 32.767 sine 20000`), both started by
// fork/exec. The aim is for the first to take at most a fifth of the time of the second:
// medians of whole processes side by side gave 0.17 before tones were made in blocks from
// one-cycle tables and 0.10 after. Run it from the build folder: bench/export_bench (sox is
// skipped when it is not installed).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/RunQuiet.h"

namespace {

void RunExport(benchmark::State& State, const std::vector<std::string>& Args) {
  if (!RunQuiet(Args)) {
    State.SkipWithError(("could not run " + Args[0]).c_str());
    return;
  }
  for (auto _ : State) RunQuiet(Args);
  State.SetLabel("32767 ms, 20 kHz sine, 96 kHz, 16 bit, stereo");
}

void BM_ExportTessolon(benchmark::State& State) {
  RunExport(State, {TESSOLON_PROGRAM, "tone", "--frequency", "20000", "--duration", "32767",
                    "--stereo", "--export", BenchFile("tessolon.wav")});
}
BENCHMARK(BM_ExportTessolon)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportSox(benchmark::State& State) {
  RunExport(State, {"sox", "-n", "-r", "96000", "-b", "16", "-c", "2", BenchFile("sox.wav"),
                    "synth", "32.767", "sine", "20000"});
}
BENCHMARK(BM_ExportSox)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

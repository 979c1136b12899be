// A long headless sweep: 100,000 ticks at a 1 ms interval on the sound card, run by the "sweep"
// command. Prints the process's resident size at the start and at the end of the run (read every
// 100 ms while it goes); the goal is an end no higher than the start.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "sweep/SweepCommand.h"
#include "table/TableCommand.h"
#include "tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr long long Ticks = 100000;

long ResidentKiB() {
  std::ifstream Statm("/proc/self/statm");
  long Pages = 0, Resident = 0;
  Statm >> Pages >> Resident;
  return Resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Swallows the command's tick lines.
class TNullBuffer : public std::streambuf {
 protected:
  int overflow(int Char) override { return Char; }
};

// A copy of the shipped pest table with one more profile: 1 ms interval, 5 ms sine tones.
fs::path MakeDataFolder() {
  const fs::path Folder = MakeScratchFolder("tessolon-sweep-bench-");
  fs::create_directories(Folder / "data");
  fs::copy_file(fs::path(TESSOLON_SOURCE_DIR) / "data" / "para.dbf", Folder / "data" / "para.dbf");
  const std::string Table = (Folder / "data" / "para.dbf").string();
  if (TableCommand({Table, "append", "IDX=900", "NAME_PEST=Bench", "TIME_CH=1", "VAL_CH=100",
                    "DURLATE=5", "F_START=7000", "F_END=8000", "WAV_FRM=0"}) != 0)
    throw std::runtime_error("cannot add the bench profile to " + Table);
  return Folder;
}

void BM_LongSweep(benchmark::State& State) {
  const fs::path Folder = MakeDataFolder();
  const fs::path Previous = fs::current_path();
  fs::current_path(Folder);
  TNullBuffer Null;
  std::streambuf* Out = std::cout.rdbuf(&Null);
  long Start = 0, End = 0, Peak = 0;
  for (auto _ : State) {
    std::vector<long> Samples;
    Samples.reserve(100000);
    std::atomic<bool> Done{false};
    std::thread Sampler([&] {
      while (!Done) {
        Samples.push_back(ResidentKiB());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    });
    const int Status = SweepCommand({"--idx", "900", "--ticks", std::to_string(Ticks)});
    Done = true;
    Sampler.join();
    if (Status != 0) State.SkipWithError("the sweep command failed");
    // The start is read one second (about a thousand ticks) in, once the sound device and the
    // first tone buffers exist; the end just before the sweep returned.
    Start = Samples[std::min<std::size_t>(10, Samples.size() - 1)];
    End = Samples.back();
    for (long S : Samples) Peak = std::max(Peak, S);
  }
  std::cout.rdbuf(Out);
  fs::current_path(Previous);
  fs::remove_all(Folder);
  State.counters["ticks"] = double(Ticks);
  State.counters["rss_start_KiB"] = double(Start);
  State.counters["rss_end_KiB"] = double(End);
  State.counters["rss_peak_KiB"] = double(Peak);
  std::printf("resident size: %ld KiB at the start, %ld KiB at the end, %ld KiB at most\n", Start,
              End, Peak);
}

}  // namespace

BENCHMARK(BM_LongSweep)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();

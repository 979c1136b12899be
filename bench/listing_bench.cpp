// Listing a 100,000-record table as a whole process: `tessolon table FILE list` next to
// `dbview -b FILE` (Debian package dbview), both started by fork/exec with their output thrown
// away. The aim is for the first to take less time than the second. Run it from the build
// folder: bench/listing_bench (dbview is skipped when it is not installed).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/PestTableShape.h"
#include "table/DbaseFile.h"
#include "tests/support/ScratchFolder.h"

extern char** environ;

namespace {

constexpr int RecordCount = 100000;

const std::string& TableName() {
  static const std::string Name = [] {
    const std::string File = (MakeScratchFolder("listing-bench-") / "pests.dbf").string();
    WriteBenchPests(File, RecordCount, pfExclusiveCreate);
    return File;
  }();
  return Name;
}

// Runs the program with its output sent to /dev/null; false when it could not run or failed.
bool RunQuiet(std::vector<std::string> Args) {
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_addopen(&Actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> Argv;
  for (std::string& Arg : Args) Argv.push_back(Arg.data());
  Argv.push_back(nullptr);
  pid_t Child = 0;
  const int Error = ::posix_spawnp(&Child, Argv[0], &Actions, nullptr, Argv.data(), environ);
  posix_spawn_file_actions_destroy(&Actions);
  if (Error != 0) return false;
  int Status = 0;
  ::waitpid(Child, &Status, 0);
  return WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
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

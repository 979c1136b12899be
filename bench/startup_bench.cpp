// Starting the program as a whole process, turn about with /bin/true started the same way:
// `tessolon --version` and `tessolon table FILE info` on the shipped pest table. The aim is for
// each to take no more than 3 ms longer than /bin/true: the counter over_true_ms is the mean of
// the pairs' differences. Run it from the build folder: bench/startup_bench.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr double GoalOverTrueMs = 3;

// Seconds from starting Args (output thrown away) to reaping it; negative when it could not run
// or failed.
double SecondsToRun(std::vector<std::string> Args) {
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_addopen(&Actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> Argv;
  for (std::string& Arg : Args) Argv.push_back(Arg.data());
  Argv.push_back(nullptr);
  const auto Start = std::chrono::steady_clock::now();
  pid_t Child = 0;
  const int Error = ::posix_spawn(&Child, Argv[0], &Actions, nullptr, Argv.data(), environ);
  posix_spawn_file_actions_destroy(&Actions);
  if (Error != 0) return -1;
  int Status = 0;
  ::waitpid(Child, &Status, 0);
  const std::chrono::duration<double> Took = std::chrono::steady_clock::now() - Start;
  return WIFEXITED(Status) && WEXITSTATUS(Status) == 0 ? Took.count() : -1;
}

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

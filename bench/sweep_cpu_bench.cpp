// What a sweep costs the machine: the program sweeps for 60 s on a private PipeWire server whose
// graph runs at 48000 Hz, and its user plus system time over the run's wall time is its share of
// one core (goal: under 1.5 %). Mosquito and House fly, each by default and with ultrasound only;
// the median of 5 runs is the figure. Run it from the build folder: bench/sweep_cpu_bench.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/servers/SoundServer.h"

namespace {

constexpr double GoalPercent = 1.5;
constexpr int SweepSeconds = 60;

double CpuSeconds(const rusage& Usage) {
  const auto Seconds = [](const timeval& Time) { return double(Time.tv_sec) + Time.tv_usec / 1e6; };
  return Seconds(Usage.ru_utime) + Seconds(Usage.ru_stime);
}

// The children's times count once they have been reaped: the server's daemons live on, the
// program has ended and been reaped when RunCommand returns.
double ChildrenCpuSeconds() {
  rusage Usage{};
  getrusage(RUSAGE_CHILDREN, &Usage);
  return CpuSeconds(Usage);
}

void SweepCpu(benchmark::State& State, const char* Pest, bool UltrasoundOnly) {
  const TSoundServer Server(TServerSettings::PipeWire(48000, {48000}));
  std::vector<std::string> Args{"sweep", "--pest", Pest, "--seconds", std::to_string(SweepSeconds)};
  if (UltrasoundOnly) Args.push_back("--ultrasound-only");
  for (auto _ : State) {
    const double CpuBefore = ChildrenCpuSeconds();
    const auto Start = std::chrono::steady_clock::now();
    const TCommandResult Run = RunCommand(Server.Session().Program(Args, "sweep"),
                                          std::chrono::seconds(SweepSeconds + 60));
    const std::chrono::duration<double> Wall = std::chrono::steady_clock::now() - Start;
    if (Run.ExitStatus != 0) {
      State.SkipWithError(("the sweep failed: " + Run.Status + " " + Run.Err).c_str());
      return;
    }
    State.SetIterationTime(Wall.count());
    State.counters["cpu_percent"] = 100 * (ChildrenCpuSeconds() - CpuBefore) / Wall.count();
  }
  State.counters["goal_percent"] = GoalPercent;
}

void Register(const char* Name, const char* Pest, bool UltrasoundOnly) {
  benchmark::RegisterBenchmark(Name, SweepCpu, Pest, UltrasoundOnly)
      ->Unit(benchmark::kSecond)
      ->UseManualTime()
      ->Iterations(1)
      ->Repetitions(5)
      ->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
  Register("SweepCpu/Mosquito", "Mosquito", false);
  Register("SweepCpu/HouseFly", "House fly", false);
  Register("SweepCpu/Mosquito/UltrasoundOnly", "Mosquito", true);
  Register("SweepCpu/HouseFly/UltrasoundOnly", "House fly", true);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}

// How soon a tick reaches the speaker: on a private PipeWire server whose graph runs at 48000 Hz,
// the time from the tone generator's Play to the tone's first sample in the sink's monitor
// (goal: under 30 ms with the server's default settings), and the gaps in what arrives while
// the tone loops (underruns). The monitor is read in 5 ms pieces; each piece's last sample is
// dated by when the read returned less the recording stream's own latency.
#include <benchmark/benchmark.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "sound/ToneGen.h"
#include "tests/servers/SoundServer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr unsigned Rate = 48000;
constexpr std::size_t PieceFrames = Rate / 200;  // 5 ms

// The monitor as it arrives: its left-channel samples and the time each piece ended.
class TTimedMonitor {
 public:
  TTimedMonitor() {
    const pa_sample_spec Spec{PA_SAMPLE_S16LE, Rate, 2};
    pa_buffer_attr Attr{};
    Attr.maxlength = uint32_t(-1);
    Attr.fragsize = uint32_t(PieceFrames * 4);
    int Error = 0;
    FStream = pa_simple_new(nullptr, "tick-latency", PA_STREAM_RECORD, "test.monitor", "monitor",
                            &Spec, nullptr, &Attr, &Error);
    if (!FStream) throw std::runtime_error("cannot record the monitor");
    FThread = std::thread([this] { Read(); });
  }
  ~TTimedMonitor() {
    FStop = true;
    FThread.join();
    pa_simple_free(FStream);
  }

  // The first sample at or after From that is not silence, as a time; waits up to a second.
  std::optional<Clock::time_point> Onset(Clock::time_point From) {
    for (const auto Limit = From + std::chrono::seconds(1); Clock::now() < Limit;) {
      {
        std::lock_guard Guard(FLock);
        for (std::size_t I = 0; I < FSamples.size(); ++I)
          if (TimeOf(I) >= From && std::abs(FSamples[I]) > 64) return TimeOf(I);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return std::nullopt;
  }

  // Runs of 1 ms or more of silence among the samples dated between From and To.
  int Gaps(Clock::time_point From, Clock::time_point To) {
    std::lock_guard Guard(FLock);
    int Gaps = 0;
    std::size_t Run = 0;
    for (std::size_t I = 0; I < FSamples.size(); ++I) {
      if (TimeOf(I) < From || TimeOf(I) > To) continue;
      Run = std::abs(FSamples[I]) <= 64 ? Run + 1 : 0;
      if (Run == Rate / 1000) ++Gaps;
    }
    return Gaps;
  }

  void Clear() {
    std::lock_guard Guard(FLock);
    FSamples.clear();
    FEnds.clear();
  }

 private:
  void Read() {
    std::vector<int16_t> Piece(PieceFrames * 2);
    while (!FStop) {
      int Error = 0;
      if (pa_simple_read(FStream, Piece.data(), Piece.size() * 2, &Error) < 0) return;
      const auto Now = Clock::now();
      const auto Latency = std::chrono::microseconds(pa_simple_get_latency(FStream, &Error));
      std::lock_guard Guard(FLock);
      for (std::size_t I = 0; I < PieceFrames; ++I) FSamples.push_back(Piece[2 * I]);
      FEnds.push_back(Now - Latency);
    }
  }
  // When sample I was in the monitor: its piece's end less the frames after it.
  Clock::time_point TimeOf(std::size_t I) const {
    const std::size_t Piece = I / PieceFrames, After = PieceFrames - 1 - I % PieceFrames;
    return FEnds[Piece] - std::chrono::microseconds(After * 1'000'000 / Rate);
  }

  pa_simple* FStream = nullptr;
  std::thread FThread;
  std::atomic<bool> FStop{false};
  std::mutex FLock;
  std::vector<int16_t> FSamples;
  std::vector<Clock::time_point> FEnds;
};

// This process plays and records as the tests' children do: in the server's private session.
void UseServer(const TSoundServer& Server) {
  setenv("XDG_RUNTIME_DIR", Server.Session().Runtime().c_str(), 1);
  setenv("HOME", Server.Session().Home().c_str(), 1);
  for (const char* Name : {"SDL_AUDIODRIVER", "PULSE_SERVER", "DBUS_SESSION_BUS_ADDRESS"})
    unsetenv(Name);
}

void TickToMonitor(benchmark::State& State) {
  const TSoundServer Server(TServerSettings::PipeWire(Rate, {Rate}));
  UseServer(Server);
  TTimedMonitor Monitor;
  TToneGen Tone(nullptr);
  Tone.SetFrequency(1000);
  Tone.SetDuration(100);
  Tone.SetLoop(true);
  Tone.SetAsync(true);
  if (!Tone.Prepare()) State.SkipWithError("no memory for the tone");
  Tone.Play();  // the first play asks the server what it runs at; ticks after it do not
  int Underruns = 0, Missed = 0;
  std::vector<double> Delays;
  for (auto _ : State) {
    Tone.Stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    Monitor.Clear();
    const auto Tick = Clock::now();
    Tone.Play();
    const auto Onset = Monitor.Onset(Tick);
    if (!Onset) {
      ++Missed;
      State.SetIterationTime(1.0);
      continue;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    Underruns += Monitor.Gaps(*Onset, *Onset + std::chrono::milliseconds(120));
    const double Delay = std::chrono::duration<double>(*Onset - Tick).count();
    Delays.push_back(Delay * 1000);
    State.SetIterationTime(Delay);
  }
  Tone.Stop();
  if (!Delays.empty()) {
    std::sort(Delays.begin(), Delays.end());
    State.counters["min_ms"] = Delays.front();
    State.counters["median_ms"] = Delays[Delays.size() / 2];
    State.counters["max_ms"] = Delays.back();
  }
  State.counters["underruns"] = Underruns;
  State.counters["missed"] = Missed;
}
BENCHMARK(TickToMonitor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace

BENCHMARK_MAIN();

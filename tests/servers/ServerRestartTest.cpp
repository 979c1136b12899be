// PipeWire restarted under a running sweep, as a session restart or an update does it: the
// sweep must find the new server and play on, and still end as asked.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <iostream>

#include "tests/servers/Playback.h"

using namespace std::chrono_literals;

TEST(PipeWireRestart, SweepPlaysOnInTheNewServerAndEndsWhenInterrupted) {
  TSoundServer Server(TServerSettings::PipeWire(48000, {48000}));
  // The ant's band, 8000 to 14000 Hz, lies well within what 48000 Hz carries.
  const auto IsTheSweep = [](const TStretch& Stretch) {
    return Stretch.AudibleDb > -40 && Stretch.PeakHz > 8000 - FrequencyToleranceHz &&
           Stretch.PeakHz < 14000 + FrequencyToleranceHz;
  };
  // Long enough for any machine: the test ends it with SIGINT.
  TChildProcess Sweep(
      Server.Session().Program({"sweep", "--pest", "Ant", "--seconds", "600"}, "tessolon"));
  ASSERT_TRUE(
      WaitUntil(60s, [&] { return Server.Sink().State == "RUNNING" || !Sweep.Running(); }) &&
      Sweep.Running())
      << "the sweep never played: " << ReadWholeFile(Sweep.Launch().Err);
  {
    TMonitorRecording Before(Server, 48000, "before");
    Before.WaitForMore(1);
    const TAnalysis Heard = Analyse(Before.Stop());
    ASSERT_TRUE(std::ranges::any_of(Heard.Stretches, IsTheSweep))
        << "the sweep was not heard before the restart: " << Heard.Describe();
  }

  // How soon the sweep plays again is a speed, not a condition: on a busy machine it may take
  // seconds. The test waits for the sweep in recordings of two seconds each, up to a bound, and
  // says how long it took.
  Server.Restart();
  const auto Back = std::chrono::steady_clock::now();
  std::string Last;
  bool HeardAgain = false;
  while (!HeardAgain && std::chrono::steady_clock::now() - Back < 60s) {
    TMonitorRecording After(Server, 48000, "after");
    const std::chrono::duration<double> Late = std::chrono::steady_clock::now() - Back;
    After.WaitForMore(2);
    const TAnalysis Heard = Analyse(After.Stop());
    const auto First = std::ranges::find_if(Heard.Stretches, IsTheSweep);
    HeardAgain = First != Heard.Stretches.end();
    if (HeardAgain)
      std::cout << "heard again " << Late.count() + First->Start
                << " s after the server's return\n";
    Last = Heard.Describe();
  }
  EXPECT_TRUE(HeardAgain) << "the sweep was not heard within 60 s of the server's return: " << Last;

  Sweep.Signal(SIGINT);
  const auto Status = Sweep.WaitFor(15s);
  ASSERT_TRUE(Status) << "the sweep hangs after SIGINT\n" << ReadWholeFile(Sweep.Launch().Err);
  const std::string Said = ReadWholeFile(Sweep.Launch().Err);
  EXPECT_TRUE(WIFEXITED(*Status) && WEXITSTATUS(*Status) == 0) << DescribeStatus(Status) << "\n"
                                                               << Said;
  // Said once: the sweep plays on the new server.
  EXPECT_EQ(LinesWith(Said, "playing on the new output: PipeWire").size(), 1u) << Said;
  EXPECT_LE(LinesWith(Said, "the output is gone").size(), 1u) << Said;
}

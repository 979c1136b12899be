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
  // The ant's band, 8000 to 14000 Hz, lies well within what 48000 Hz carries. The sweep may run
  // as long as any machine needs: the test ends it with SIGINT.
  const auto IsTheSweep = [](const TStretch& Stretch) {
    return Stretch.AudibleDb > -40 && Stretch.PeakHz > 8000 - FrequencyToleranceHz &&
           Stretch.PeakHz < 14000 + FrequencyToleranceHz;
  };
  TChildProcess Sweep(
      Server.Session().Program({"sweep", "--pest", "Ant", "--seconds", "600"}, "tessolon"));

  // When the sweep is heard is a speed, not a condition: on a busy machine the first tick (or
  // the first on a new server) may come seconds after the stream runs. The sweep is listened for
  // in recordings of two seconds each, up to a bound; how long it took is printed.
  const auto HeardWithin = [&](std::chrono::seconds Bound, const char* Since) {
    const auto From = std::chrono::steady_clock::now();
    std::string Last;
    while (std::chrono::steady_clock::now() - From < Bound) {
      TMonitorRecording Piece(Server, 48000, "piece");
      const std::chrono::duration<double> Late = std::chrono::steady_clock::now() - From;
      Piece.WaitForMore(2);
      const TAnalysis Heard = Analyse(Piece.Stop());
      const auto First = std::ranges::find_if(Heard.Stretches, IsTheSweep);
      if (First != Heard.Stretches.end()) {
        std::cout << "heard " << Late.count() + First->Start << " s after " << Since << "\n";
        return testing::AssertionSuccess();
      }
      Last = Heard.Describe();
    }
    return testing::AssertionFailure() << "the sweep was not heard within " << Bound.count()
                                       << " s of " << Since << ": " << Last << "\n"
                                       << ReadWholeFile(Sweep.Launch().Err);
  };
  ASSERT_TRUE(HeardWithin(60s, "its start"));
  Server.Restart();
  EXPECT_TRUE(HeardWithin(60s, "the server's return"));

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

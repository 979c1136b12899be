// What paces a played sweep: the clocks it reads and naps by, and its window of local time.
#pragma once

#include <chrono>
#include <string>

#include "sweep/Schedule.h"

// The time of day a sweep's window is read by, a steady time its ticks keep to, and the naps
// between them. A nap may end early (EndMachineNap ends it). Tests give a clock whose naps pass
// at once.
class ISweepClock : public TClock {
 public:
  virtual std::chrono::steady_clock::time_point Steady() const = 0;
  virtual void Nap(std::chrono::steady_clock::duration Time) = 0;
};

// The machine's clocks. A nap waits on a pipe that EndMachineNap writes to, so it ends whichever
// thread a signal reached: Ctrl+C goes to any thread of the process (SDL and libpulse keep their
// own), and a nanosleep ends only in the thread that ran the handler.
class TMachineClock final : public ISweepClock {
 public:
  TMachineClock();
  std::chrono::system_clock::time_point Now() const override;
  std::chrono::steady_clock::time_point Steady() const override;
  void Nap(std::chrono::steady_clock::duration Time) override;
};

// Ends the machine clock's nap under way, or the next one when none is. Safe in a signal handler.
void EndMachineNap();

// "22:00", the local time of When.
std::string LocalClockTime(std::chrono::system_clock::time_point When);

// Whether a sweep's window is open, read again whenever the clock passes its next change.
class TWindowWatch {
 public:
  TWindowWatch(TSchedule Window, const TClock& Clock);
  bool Open() const { return FOpen; }
  // True when the window opened or closed since the last call.
  bool Changed();
  std::chrono::system_clock::time_point NextChange() const { return FChange; }
  std::string Name() const { return FWindow.Text(); }
  // "the window 22:00-06:00 is open: playing until 06:00", or closed and silent until it opens.
  std::string Text() const;

 private:
  void Read();
  TSchedule FWindow;
  const TClock& FClock;
  bool FOpen = true;
  std::chrono::system_clock::time_point FChange;
};

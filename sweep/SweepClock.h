// What paces a played sweep: the clocks it reads and naps by, and its window of local time.
#pragma once

#include <chrono>
#include <string>

#include "sweep/Schedule.h"

// The time of day a sweep's window is read by, a steady time its ticks keep to, and the naps
// between them. A nap may end early (a signal's handler ends it). Tests give a clock whose naps
// pass at once.
class ISweepClock : public TClock {
 public:
  virtual std::chrono::steady_clock::time_point Steady() const = 0;
  virtual void Nap(std::chrono::steady_clock::duration Time) = 0;
};

// The machine's clocks; a nap is one nanosleep.
class TMachineClock final : public ISweepClock {
 public:
  std::chrono::system_clock::time_point Now() const override;
  std::chrono::steady_clock::time_point Steady() const override;
  void Nap(std::chrono::steady_clock::duration Time) override;
};

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

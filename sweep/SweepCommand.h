// The headless "profiles" and "sweep" commands.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "sweep/Schedule.h"

int ProfilesCommand(const std::vector<std::string>& Args);
int SweepCommand(const std::vector<std::string>& Args);

// What paces a played sweep: the time of day its window is read by, a steady time its ticks
// keep to, and the naps between them. A nap may end early (a signal ends it). Tests give a
// clock whose naps pass at once.
class ISweepClock : public TClock {
 public:
  virtual std::chrono::steady_clock::time_point Steady() const = 0;
  virtual void Nap(std::chrono::steady_clock::duration Time) = 0;
};

int SweepCommand(const std::vector<std::string>& Args, ISweepClock& Clock);

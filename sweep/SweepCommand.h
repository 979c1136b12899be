// The headless "profiles" and "sweep" commands.
#pragma once

#include <string>
#include <vector>

#include "sweep/SweepClock.h"

int ProfilesCommand(const std::vector<std::string>& Args);
int SweepCommand(const std::vector<std::string>& Args);

// As above, paced by Clock.
int SweepCommand(const std::vector<std::string>& Args, ISweepClock& Clock);

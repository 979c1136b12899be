// The headless "profiles" and "sweep" commands.
#pragma once

#include <string>
#include <vector>

int ProfilesCommand(const std::vector<std::string>& Args);
int SweepCommand(const std::vector<std::string>& Args);

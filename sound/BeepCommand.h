// The headless "beep" command.
#pragma once

#include <string>
#include <vector>

int BeepCommand(const std::vector<std::string>& Args);

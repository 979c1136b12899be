// The headless "tone" command.
#pragma once

#include <string>
#include <vector>

int ToneCommand(const std::vector<std::string>& Args);

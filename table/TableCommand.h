// The headless "table" command.
#pragma once

#include <string>
#include <vector>

int TableCommand(const std::vector<std::string>& Args);

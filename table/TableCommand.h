// The headless "table" command: inspect and edit a dBase table from the command line.
#pragma once

#include <string>
#include <vector>

int TableCommand(const std::vector<std::string>& Args);

#include "table/TableCommand.h"

#include <iostream>

// Placeholder until the command lands.
int TableCommand(const std::vector<std::string>&) {
  std::cerr << "tessolon table: not built yet\n";
  return 2;
}

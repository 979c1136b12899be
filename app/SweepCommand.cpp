#include "app/SweepCommand.h"

#include <iostream>

// Placeholders until the sweep engine lands.
int ProfilesCommand(const std::vector<std::string>&) {
  std::cerr << "tessolon profiles: not built yet\n";
  return 2;
}

int SweepCommand(const std::vector<std::string>&) {
  std::cerr << "tessolon sweep: not built yet\n";
  return 2;
}

#include "sound/ToneCommand.h"

#include <iostream>

// Placeholder until the command lands.
int ToneCommand(const std::vector<std::string>&) {
  std::cerr << "tessolon tone: not built yet\n";
  return 2;
}

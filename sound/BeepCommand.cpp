#include "sound/BeepCommand.h"

#include <iostream>

// Placeholder until the command lands.
int BeepCommand(const std::vector<std::string>&) {
  std::cerr << "tessolon beep: not built yet\n";
  return 2;
}

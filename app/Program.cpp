#include "app/Program.h"

#include <iostream>

// Placeholder until the windows land.
int RunProgram(int, char**) {
  std::cerr << "tessolon: the windows are not built yet\n";
  return 1;
}

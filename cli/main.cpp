#include "cli/Main.h"

int main(int argc, char** argv) {
  return TessolonMain(argc, argv);
}

#include "cli/CommandDispatch.h"

int main(int argc, char** argv) {
  return TessolonMain(argc, argv);
}

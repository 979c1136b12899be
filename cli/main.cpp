#include <malloc.h>

#include "cli/CommandDispatch.h"

int main(int argc, char** argv) {
  // A sweep builds and measures tones of a few hundred kilobytes at every tick. With glibc's
  // sliding thresholds each of them is mapped and unmapped, or the heap's top is handed back and
  // faulted in again, which cost a sweep more of a core than all its synthesis (16900 page faults
  // in 20 s of House fly, against 2250). Fixed thresholds keep such memory in the heap.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
  return TessolonMain(argc, argv);
}

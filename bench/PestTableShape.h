// The field layout of the program's pest table, for benches that build tables of that shape.
#pragma once

#include <vector>

#include "table/DbaseFile.h"

inline std::vector<TDbaseFieldDef> PestFields() {
  return {{"IDX", 'N', 6},     {"NAME_PEST", 'C', 30}, {"TIME_CH", 'N', 5},  {"VAL_CH", 'N', 5},
          {"DURLATE", 'N', 5}, {"F_START", 'N', 8, 2}, {"F_END", 'N', 8, 2}, {"WAV_FRM", 'N', 1}};
}

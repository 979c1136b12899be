// The pest table's layout (sweep/PestFields.h) for benches that fill it with 100,000 profiles:
// only the record number column is wider than the shipped table's, to hold their numbers.
#pragma once

#include <vector>

#include "sweep/PestFields.h"

inline std::vector<TDbaseFieldDef> PestFields() {
  std::vector<TDbaseFieldDef> Fields = PestFileFields();
  Fields[0].Size = 6;
  return Fields;
}

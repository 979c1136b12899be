// The pest table's field layout, the one description of it: the shipped table is written with it,
// tests build scratch tables of the same shape and the benches time tables of it. Header-only, so
// the table script needs no more than the table engine.
#pragma once

#include <array>
#include <vector>

#include "platform/data/Field.h"
#include "table/DbaseFields.h"

// One stored column: its dataset type and its width and decimals in the file.
struct TPestColumn {
  const char* Name;
  TFieldType DataType;
  int Size;
  int Precision;
};

inline constexpr std::array<TPestColumn, 8> PestColumns{{
    {"IDX", ftInteger, 4, 0},
    {"NAME_PEST", ftString, 30, 0},
    {"TIME_CH", ftInteger, 6, 0},
    {"VAL_CH", ftFloat, 8, 1},
    {"DURLATE", ftInteger, 6, 0},
    {"F_START", ftFloat, 10, 3},
    {"F_END", ftFloat, 10, 3},
    {"WAV_FRM", ftInteger, 2, 0},
}};

// The layout as dataset field definitions, for a table object that creates the file.
inline void AddPestFieldDefs(TFieldDefs& Defs) {
  for (const TPestColumn& C : PestColumns) {
    TFieldDef D;
    D.Name = C.Name;
    D.DataType = C.DataType;
    D.Size = C.Size;
    D.Precision = C.Precision;
    Defs.Add(D);
  }
}

// The layout as the file's own descriptors (character or number columns), for code that creates
// the table file directly.
inline std::vector<TDbaseFieldDef> PestFileFields() {
  std::vector<TDbaseFieldDef> Fields;
  for (const TPestColumn& C : PestColumns)
    Fields.emplace_back(C.Name, C.DataType == ftString ? 'C' : 'N', C.Size, C.Precision);
  return Fields;
}

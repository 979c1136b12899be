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

// The columns' names, for every piece of code that reads or writes one.
namespace PestField {
inline constexpr const char* Idx = "IDX";            // the key; idx.ndx is on it
inline constexpr const char* Name = "NAME_PEST";     // the pest's name, listed in the selector
inline constexpr const char* Interval = "TIME_CH";   // milliseconds between two tones
inline constexpr const char* Step = "VAL_CH";        // hertz added at every tick
inline constexpr const char* Duration = "DURLATE";   // length of each tone in milliseconds
inline constexpr const char* BandStart = "F_START";  // lower band limit in beat units
inline constexpr const char* BandEnd = "F_END";      // upper band limit in beat units
inline constexpr const char* Waveform = "WAV_FRM";   // 0 sine .. 4 noise
}  // namespace PestField

// The code page of the names: Thai (the table's mark is 0x7C, see CodePageMark), which keeps
// ASCII as it is and holds a Thai character in one byte, so NAME_PEST takes 30 of them.
inline constexpr int PestTableCodePage = 874;

inline constexpr std::array<TPestColumn, 8> PestColumns{{
    {PestField::Idx, ftInteger, 4, 0},
    {PestField::Name, ftString, 30, 0},
    {PestField::Interval, ftInteger, 6, 0},
    {PestField::Step, ftFloat, 8, 1},
    {PestField::Duration, ftInteger, 6, 0},
    {PestField::BandStart, ftFloat, 10, 3},
    {PestField::BandEnd, ftFloat, 10, 3},
    {PestField::Waveform, ftInteger, 2, 0},
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

// The pest table's field layout: the shipped table is written with it, and tests build scratch
// tables of the same shape. Header-only, so the table script needs no more than the table engine.
#pragma once

#include "platform/data/Field.h"

inline void AddPestFieldDefs(TFieldDefs& Defs) {
  auto Add = [&Defs](const char* Name, TFieldType Type, int Size, int Precision = 0) {
    TFieldDef D;
    D.Name = Name;
    D.DataType = Type;
    D.Size = Size;
    D.Precision = Precision;
    Defs.Add(D);
  };
  Add("IDX", ftInteger, 4);
  Add("NAME_PEST", ftString, 30);
  Add("TIME_CH", ftInteger, 6);
  Add("VAL_CH", ftFloat, 8, 1);
  Add("DURLATE", ftInteger, 6);
  Add("F_START", ftFloat, 10, 3);
  Add("F_END", ftFloat, 10, 3);
  Add("WAV_FRM", ftInteger, 2);
}

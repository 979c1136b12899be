// The pest table's layout (sweep/PestFields.h) for benches that fill it with 100,000 profiles:
// only the record number column is wider than the shipped table's, to hold their numbers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "sweep/PestFields.h"
#include "table/DbaseFile.h"

inline std::vector<TDbaseFieldDef> PestFields() {
  std::vector<TDbaseFieldDef> Fields = PestFileFields();
  Fields[0].Size = 6;
  return Fields;
}

// Creates the table in Mode and writes Count made-up profiles, numbered from 0 in order, or in an
// order shuffled by Seed when one is given.
inline void WriteBenchPests(const std::string& Name, int Count, TPagedFileMode Mode,
                            unsigned Seed = 0) {
  std::vector<int> Numbers(Count);
  std::iota(Numbers.begin(), Numbers.end(), 0);
  if (Seed != 0) std::shuffle(Numbers.begin(), Numbers.end(), std::mt19937(Seed));
  TDbaseFile File;
  File.SetFileName(Name);
  File.SetMode(Mode);
  File.SetTableLevel(3);
  File.CreateTable(PestFields());
  std::vector<std::uint8_t> R(File.RecordSize());
  for (int I : Numbers) {
    File.InitRecord(R.data());
    File.SetFieldData(0, ftFloat, TVariant(I), R.data());
    File.SetFieldData(1, ftString, TVariant("Pest " + std::to_string(I)), R.data());
    File.SetFieldData(2, ftFloat, TVariant(100), R.data());
    File.SetFieldData(3, ftFloat, TVariant(50), R.data());
    File.SetFieldData(4, ftFloat, TVariant(20), R.data());
    File.SetFieldData(5, ftFloat, TVariant(12.5), R.data());
    File.SetFieldData(6, ftFloat, TVariant(99.25), R.data());
    File.SetFieldData(7, ftSmallint, TVariant(I % 5), R.data());
    File.Insert(R.data());
  }
  File.WriteHeader();
}

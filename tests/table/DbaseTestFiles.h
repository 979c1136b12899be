// Helpers for the table file tests: scratch folders and hand-made dBase files.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"

// A scratch folder for table files.
class TScratchDir {
 public:
  std::string File(const std::string& Name) const { return (FFolder / Name).string(); }

 private:
  TScratchFolder FFolder{"dbftest-"};
};

struct TRawField {
  std::string Name;
  char Type;
  int Length;
  int Decimals = 0;
};

// Builds the bytes of a level 3/4 table: header, descriptors, terminator, then records given
// as whole strings (deletion flag first).
inline std::vector<std::uint8_t> MakeDbf(const std::vector<TRawField>& Fields,
                                         const std::vector<std::string>& Records,
                                         std::uint8_t Version = 0x03, std::uint32_t Count = ~0u,
                                         std::uint8_t LanguageId = 0) {
  const int HeaderLength = 32 * static_cast<int>(Fields.size()) + 33;
  int RecordLength = 1;
  for (const auto& F : Fields) RecordLength += F.Length;
  std::vector<std::uint8_t> Bytes(HeaderLength, 0);
  Bytes[0] = Version;
  Bytes[1] = 99;
  Bytes[2] = 1;
  Bytes[3] = 2;
  const std::uint32_t Stored = Count == ~0u ? static_cast<std::uint32_t>(Records.size()) : Count;
  std::memcpy(&Bytes[4], &Stored, 4);
  Bytes[8] = HeaderLength & 0xFF;
  Bytes[9] = HeaderLength >> 8;
  Bytes[10] = RecordLength & 0xFF;
  Bytes[11] = RecordLength >> 8;
  Bytes[29] = LanguageId;
  for (std::size_t I = 0; I < Fields.size(); ++I) {
    std::uint8_t* D = &Bytes[32 + 32 * I];
    std::memcpy(D, Fields[I].Name.data(), std::min<std::size_t>(Fields[I].Name.size(), 11));
    D[11] = Fields[I].Type;
    D[16] = static_cast<std::uint8_t>(Fields[I].Length);
    D[17] = static_cast<std::uint8_t>(Fields[I].Decimals);
  }
  Bytes[HeaderLength - 1] = 0x0D;
  for (const auto& R : Records) Bytes.insert(Bytes.end(), R.begin(), R.end());
  return Bytes;
}

inline void WriteFile(const std::string& Name, const std::vector<std::uint8_t>& Bytes) {
  std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
}

inline std::vector<std::uint8_t> ReadFile(const std::string& Name) {
  std::ifstream In(Name, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(In), {});
}

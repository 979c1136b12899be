// Scratch folders and hand-made sample tables for the table object and command tests.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"

// A scratch folder for tables; Path ends in a slash, as the table object's folders do.
class TTableDir {
 public:
  std::string Path() const { return FFolder.Path().string() + "/"; }
  std::string File(const std::string& Name) const { return (FFolder / Name).string(); }

 private:
  TScratchFolder FFolder{"dbtable-"};
};

struct TColumn {
  const char* Name;
  char Type;
  int Length;
  int Decimals = 0;
};

// A sample layout for the table tests: test data shaped like a profile table, not the program's
// own pest table, with widths chosen for the values below.
inline const std::vector<TColumn> SampleColumns = {
    {"IDX", 'N', 4},     {"NAME_PEST", 'C', 20}, {"TIME_CH", 'N', 5},  {"VAL_CH", 'N', 6, 1},
    {"DURLATE", 'N', 5}, {"F_START", 'N', 9, 3}, {"F_END", 'N', 9, 3}, {"WAV_FRM", 'N', 2}};

// One record from field texts, each padded (numbers on the left, text on the right).
inline std::string Record(const std::vector<TColumn>& Columns,
                          const std::vector<std::string>& Values, bool Deleted = false) {
  std::string R(1, Deleted ? '*' : ' ');
  for (std::size_t I = 0; I < Columns.size(); ++I) {
    std::string V = I < Values.size() ? Values[I] : "";
    V.resize(std::min<std::size_t>(V.size(), Columns[I].Length));
    const std::string Pad(Columns[I].Length - V.size(), ' ');
    R += Columns[I].Type == 'C' ? V + Pad : Pad + V;
  }
  return R;
}

// A level-3 table (language id as given) with the records and a trailing end-of-file byte.
inline void WriteTable(const std::string& Name, const std::vector<TColumn>& Columns,
                       const std::vector<std::string>& Records, std::uint8_t LanguageId = 0) {
  const int HeaderLength = 32 * static_cast<int>(Columns.size()) + 33;
  int RecordLength = 1;
  for (const TColumn& C : Columns) RecordLength += C.Length;
  std::vector<std::uint8_t> Bytes(HeaderLength, 0);
  Bytes[0] = 0x03;
  Bytes[1] = 99;  // 1999-01-02
  Bytes[2] = 1;
  Bytes[3] = 2;
  const auto Count = static_cast<std::uint32_t>(Records.size());
  std::memcpy(&Bytes[4], &Count, 4);
  Bytes[8] = HeaderLength & 0xFF;
  Bytes[9] = HeaderLength >> 8;
  Bytes[10] = RecordLength & 0xFF;
  Bytes[11] = RecordLength >> 8;
  Bytes[29] = LanguageId;
  for (std::size_t I = 0; I < Columns.size(); ++I) {
    std::uint8_t* D = &Bytes[32 + 32 * I];
    std::memcpy(D, Columns[I].Name, std::strlen(Columns[I].Name));
    D[11] = Columns[I].Type;
    D[16] = static_cast<std::uint8_t>(Columns[I].Length);
    D[17] = static_cast<std::uint8_t>(Columns[I].Decimals);
  }
  Bytes[HeaderLength - 1] = 0x0D;
  for (const std::string& R : Records) Bytes.insert(Bytes.end(), R.begin(), R.end());
  Bytes.push_back(0x1A);
  std::ofstream(Name, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& Name) {
  std::ifstream In(Name, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(In), {});
}

// The sample table: three pests, the second one flagged deleted when asked.
inline void WriteSampleTable(const std::string& Name, bool SecondDeleted = false) {
  WriteTable(Name, SampleColumns,
             {Record(SampleColumns, {"1", "Mosquito", "100", "50", "80", "5250", "17500", "0"}),
              Record(SampleColumns, {"2", "Fly", "200", "2.5", "90", "6989.7", "7000", "1"},
                     SecondDeleted),
              Record(SampleColumns, {"3", "Moth", "300", "3.5", "70", "1", "2", "4"})});
}

// Runs Child in a forked process; returns its exit status (-1 when it did not exit normally).
template <class F>
pid_t Spawn(F Child) {
  const pid_t Pid = fork();
  if (Pid == 0) {
    int Status = 1;
    try {
      Status = Child();
    } catch (...) {
      Status = 99;
    }
    _exit(Status);
  }
  return Pid;
}

inline int Reap(pid_t Pid) {
  int Status = 0;
  if (waitpid(Pid, &Status, 0) != Pid || !WIFEXITED(Status)) return -1;
  return WEXITSTATUS(Status);
}

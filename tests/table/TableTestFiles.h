// The table tests' tools: a scratch folder, hand-made dBase files, a table file opened in a
// mode, the table command with its output caught, and child processes.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/ByteOrder.h"
#include "table/DbaseFile.h"
#include "table/DbaseMessages.h"
#include "table/TableCommand.h"
#include "tests/support/ScratchFolder.h"

// A scratch folder for tables; Path ends in a slash, as the table object's folders do.
class TScratchDir {
 public:
  std::string Path() const { return FFolder.Path().string() + "/"; }
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
// as whole strings (deletion flag first); Count, when given, is the count the header claims.
inline std::vector<std::uint8_t> MakeDbf(const std::vector<TRawField>& Fields,
                                         const std::vector<std::string>& Records,
                                         std::uint8_t Version = 0x03, std::uint32_t Count = ~0u,
                                         std::uint8_t LanguageId = 0) {
  const int HeaderLength = 32 * static_cast<int>(Fields.size()) + 33;
  int RecordLength = 1;
  for (const auto& F : Fields) RecordLength += F.Length;
  std::vector<std::uint8_t> Bytes(HeaderLength, 0);
  Bytes[0] = Version;
  Bytes[1] = 99;  // 1999-01-02
  Bytes[2] = 1;
  Bytes[3] = 2;
  PutLE32(&Bytes[4], Count == ~0u ? static_cast<std::uint32_t>(Records.size()) : Count);
  PutLE16(&Bytes[8], static_cast<std::uint16_t>(HeaderLength));
  PutLE16(&Bytes[10], static_cast<std::uint16_t>(RecordLength));
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
  Out.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
}

inline std::vector<std::uint8_t> ReadFile(const std::string& Name) {
  std::ifstream In(Name, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(In), {});
}

// One record from field texts, each padded (numbers on the left, text on the right).
inline std::string Record(const std::vector<TRawField>& Fields,
                          const std::vector<std::string>& Values, bool Deleted = false) {
  std::string R(1, Deleted ? '*' : ' ');
  for (std::size_t I = 0; I < Fields.size(); ++I) {
    std::string V = I < Values.size() ? Values[I] : "";
    V.resize(std::min<std::size_t>(V.size(), Fields[I].Length));
    const std::string Pad(Fields[I].Length - V.size(), ' ');
    R += Fields[I].Type == 'C' ? V + Pad : Pad + V;
  }
  return R;
}

// A level-3 table (language id as given) with the records and a trailing end-of-file byte.
inline void WriteTable(const std::string& Name, const std::vector<TRawField>& Fields,
                       const std::vector<std::string>& Records, std::uint8_t LanguageId = 0) {
  auto Bytes = MakeDbf(Fields, Records, 0x03, ~0u, LanguageId);
  Bytes.push_back(0x1A);
  WriteFile(Name, Bytes);
}

// A sample layout for the table tests: test data shaped like a profile table, not the program's
// own pest table, with widths chosen for the values below.
inline const std::vector<TRawField> SampleFields = {
    {"IDX", 'N', 4},     {"NAME_PEST", 'C', 20}, {"TIME_CH", 'N', 5},  {"VAL_CH", 'N', 6, 1},
    {"DURLATE", 'N', 5}, {"F_START", 'N', 9, 3}, {"F_END", 'N', 9, 3}, {"WAV_FRM", 'N', 2}};

// The sample table: three pests, the second one flagged deleted when asked.
inline void WriteSampleTable(const std::string& Name, bool SecondDeleted = false) {
  WriteTable(
      Name, SampleFields,
      {Record(SampleFields, {"1", "Mosquito", "100", "50", "80", "5250", "17500", "0"}),
       Record(SampleFields, {"2", "Fly", "200", "2.5", "90", "6989.7", "7000", "1"}, SecondDeleted),
       Record(SampleFields, {"3", "Moth", "300", "3.5", "70", "1", "2", "4"})});
}

// The header's record count, header length and record length, as stored.
struct TStoredHeader {
  std::uint32_t Count;
  int HeaderLength, RecordLength;
};
inline TStoredHeader StoredHeader(const std::vector<std::uint8_t>& Bytes) {
  return {GetLE32(&Bytes[4]), GetLE16(&Bytes[8]), GetLE16(&Bytes[10])};
}

// A table file opened in Mode.
inline std::unique_ptr<TDbaseFile> OpenFile(const std::string& Name,
                                            TPagedFileMode Mode = pfReadWriteOpen) {
  auto File = std::make_unique<TDbaseFile>();
  File->SetFileName(Name);
  File->SetMode(Mode);
  File->Open();
  return File;
}

// The message of the error of type E that Action raised, or "(no error)".
template <class E = Exception, class F>
std::string ErrorOf(F Action) {
  try {
    Action();
  } catch (const E& Error) {
    return Error.Message();
  }
  return "(no error)";
}

// How `tessolon table ARGS` ended: its exit status, stdout and stderr.
struct TTableRun {
  int Status;
  std::string Out, Err;
};
inline TTableRun RunTable(const std::vector<std::string>& Args) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int Status = TableCommand(Args);
  std::string Out = testing::internal::GetCapturedStdout();
  return {Status, Out, testing::internal::GetCapturedStderr()};
}

// Runs Child in a forked process, which exits with what Child returns (99 when it throws).
template <class F>
pid_t Spawn(F Child) {
  const pid_t Pid = fork();
  if (Pid == 0) {
    int Status = 1;
    try {
      Status = Child();
    } catch (const std::exception& E) {
      std::fprintf(stderr, "child: %s\n", E.what());
      Status = 99;
    }
    _exit(Status);
  }
  return Pid;
}

// The exit status of a child (-1 when it did not exit normally).
inline int Reap(pid_t Pid) {
  int Status = 0;
  if (waitpid(Pid, &Status, 0) != Pid || !WIFEXITED(Status)) return -1;
  return WEXITSTATUS(Status);
}

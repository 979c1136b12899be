// The fault and crash tests' tools: a file writer that passes writes through until the chosen
// one, which it fails after writing half of its bytes (as a full disk does) or where it ends the
// process; and a table with two indexes, the operations tried on it, and its checks.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "table/FileStream.h"
#include "table/NdxIndex.h"
#include "table/NdxVerify.h"
#include "tests/table/TableTestFiles.h"

class TFailingWriter : public TFileWriter {
 public:
  enum TFault { fkDiskFull, fkCrash };
  TFailingWriter(int FailAt, TFault Fault) : FFailAt(FailAt), FFault(Fault) {
    FBefore = Install(this);
  }
  ~TFailingWriter() override { Install(FBefore); }
  TFailingWriter(const TFailingWriter&) = delete;
  TFailingWriter& operator=(const TFailingWriter&) = delete;

  ssize_t Write(int Handle, const void* Buffer, std::size_t Count, std::int64_t Offset) override {
    if (++FCalls != FFailAt) return TFileWriter::Write(Handle, Buffer, Count, Offset);
    if (FFault == fkCrash) ::_exit(0);
    if (TFileWriter::Write(Handle, Buffer, Count / 2, Offset) < 0) return -1;
    errno = ENOSPC;
    return -1;
  }
  int Truncate(int Handle, std::int64_t Length) override {
    if (++FCalls != FFailAt) return TFileWriter::Truncate(Handle, Length);
    if (FFault == fkCrash) ::_exit(0);
    errno = EIO;
    return -1;
  }
  // The chosen write was reached (so the operation did not run through untouched).
  bool Fired() const { return FCalls >= FFailAt; }
  // Stops failing: what follows (closing the files) writes normally.
  void Disarm() { FFailAt = 0; }

 private:
  int FFailAt;
  TFault FFault;
  int FCalls = 0;
  TFileWriter* FBefore = nullptr;
};

inline constexpr int BaseRecords = 150;

struct TFiles {
  std::vector<std::uint8_t> Table, ByKey, ByNumber;
  bool operator==(const TFiles&) const = default;
};

class TFaultRig {
 public:
  explicit TFaultRig(TPagedFileMode Mode) : FMode(Mode) {
    std::vector<std::string> Rows;
    for (int I = 0; I < BaseRecords; ++I) {
      char Row[16];
      std::snprintf(Row, sizeof Row, " K%06d%6d", I * 2, (I * 37) % 1000);
      Rows.push_back(Row);
    }
    WriteFile(Name("t.dbf"), MakeDbf({{"K", 'C', 7}, {"N", 'N', 6}}, Rows));
    {
      TDbaseFile File;
      File.SetFileName(Name("t.dbf"));
      File.SetMode(pfExclusiveOpen);
      File.Open();
      Build(File, "k.ndx", "K", ixPrimary);
      Build(File, "n.ndx", "N", 0);
    }
    Run([](TDbaseFile&) {});  // the files as an open and close in this mode leave them
    FBase = Snapshot();
  }

  std::string Name(const std::string& File) const { return FDir.File(File); }
  const TFiles& Base() const { return FBase; }
  TFiles Snapshot() const {
    return {ReadFile(Name("t.dbf")), ReadFile(Name("k.ndx")), ReadFile(Name("n.ndx"))};
  }
  void Restore() const {
    WriteFile(Name("t.dbf"), FBase.Table);
    WriteFile(Name("k.ndx"), FBase.ByKey);
    WriteFile(Name("n.ndx"), FBase.ByNumber);
  }

  // Opens the table with both indexes, runs Operation and closes; the files written by the
  // operation itself can be inspected in Check before the close.
  void Run(const std::function<void(TDbaseFile&)>& Operation,
           const std::function<void(TDbaseFile&)>& Check = nullptr) {
    TDbaseFile File;
    File.SetFileName(Name("t.dbf"));
    File.SetMode(FMode);
    File.Open();
    for (const char* Index : {"k.ndx", "n.ndx"}) {
      auto Ndx = std::make_unique<TIndexFile>(File);
      Ndx->SetFileName(Name(Index));
      Ndx->SetMode(FMode);
      Ndx->Open();
      File.AddIndex(std::move(Ndx));
    }
    Operation(File);
    if (Check) Check(File);
    File.Close();
  }

  // The first fault of either index (empty when both are sound) and the record count.
  std::string Verify(int& Count) const {
    TDbaseFile File;
    File.SetFileName(Name("t.dbf"));
    File.SetMode(pfReadOnly);
    File.Open();
    Count = File.RecordCount();
    std::string Fault;
    for (const char* Index : {"k.ndx", "n.ndx"}) {
      TIndexFile Ndx(File);
      Ndx.SetFileName(Name(Index));
      Ndx.SetMode(pfReadOnly);
      Ndx.Open();
      Fault += VerifyIndex(Ndx);
    }
    return Fault;
  }

 private:
  void Build(TDbaseFile& File, const char* Index, const char* Expr, TIndexOptions Options) {
    TIndexFile Ndx(File);
    Ndx.SetFileName(Name(Index));
    Ndx.SetMode(pfExclusiveCreate);
    Ndx.Open();
    Ndx.CreateIndex(Expr, Options);
    Ndx.Rebuild();
  }

  TScratchDir FDir;
  TPagedFileMode FMode;
  TFiles FBase;
};

inline void SetRecord(TDbaseFile& File, std::vector<std::uint8_t>& R, const char* Key, int Number) {
  File.SetFieldData(0, ftString, TVariant(std::string(Key)), R.data());
  File.SetFieldData(1, ftInteger, TVariant(Number), R.data());
}

struct TTableOperation {
  const char* Name;
  int CountAfter;  // records in the table once the operation ran through
  std::function<void(TDbaseFile&)> Run;
};

inline std::vector<TTableOperation> Operations() {
  return {
      {"append at the end", BaseRecords + 1,
       [](TDbaseFile& F) {
         std::vector<std::uint8_t> R(F.RecordSize());
         F.InitRecord(R.data());
         SetRecord(F, R, "Z", 999999);
         F.Insert(R.data());
       }},
      {"append in the middle", BaseRecords + 1,
       [](TDbaseFile& F) {
         std::vector<std::uint8_t> R(F.RecordSize());
         F.InitRecord(R.data());
         SetRecord(F, R, "K000101", 500);
         F.Insert(R.data());
       }},
      {"edit both keys", BaseRecords,
       [](TDbaseFile& F) {
         std::vector<std::uint8_t> R(F.RecordSize());
         F.LockRecord(3, R.data());
         SetRecord(F, R, "A", 7);
         F.PostRecord(3, R.data());
       }},
      {"delete", BaseRecords,
       [](TDbaseFile& F) {
         std::vector<std::uint8_t> R(F.RecordSize());
         F.DeleteRecord(40, R.data());
       }},
  };
}

// Calls Fired(Op, At) on the base files for write At = 1, 2, ... of each operation, until it says
// the operation ran through before reaching that write or a check failed; returns the write
// positions where it fired.
inline int AtEveryWrite(TFaultRig& Rig,
                        const std::function<bool(const TTableOperation&, int)>& Fired) {
  int Positions = 0;
  for (const TTableOperation& Op : Operations()) {
    for (int At = 1;; ++At) {
      SCOPED_TRACE(std::string(Op.Name) + ", write " + std::to_string(At));
      Rig.Restore();
      if (!Fired(Op, At)) break;
      ++Positions;
      if (::testing::Test::HasFailure()) return Positions;
    }
  }
  return Positions;
}

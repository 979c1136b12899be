// Every write of an append, an edit or a delete is made to fail in turn (half of its bytes
// written, then "no space left"); after each failure the table and its indexes must be
// byte-for-byte as before and sound, and the error must carry the system's message.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>

#include "table/DbaseMessages.h"
#include "table/NdxIndex.h"
#include "table/NdxVerify.h"
#include "tests/table/DbaseTestFiles.h"
#include "tests/table/WriteFaultSupport.h"

namespace {

constexpr int BaseRecords = 150;

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

void SetRecord(TDbaseFile& File, std::vector<std::uint8_t>& R, const char* Key, int Number) {
  File.SetFieldData(0, ftString, TVariant(std::string(Key)), R.data());
  File.SetFieldData(1, ftInteger, TVariant(Number), R.data());
}

struct TOperation {
  const char* Name;
  int CountAfter;  // records in the table once the operation ran through
  std::function<void(TDbaseFile&)> Run;
};

std::vector<TOperation> Operations() {
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

// Fails write 1, 2, 3 ... of each operation until one runs through without reaching the
// failing write. Returns the write positions tried.
int TryEveryWrite(TPagedFileMode Mode) {
  TFaultRig Rig(Mode);
  int Positions = 0;
  for (const TOperation& Op : Operations()) {
    for (int FailAt = 1;; ++FailAt) {
      SCOPED_TRACE(std::string(Op.Name) + ", write " + std::to_string(FailAt));
      Rig.Restore();
      bool Fired = false, Failed = false;
      Rig.Run(
          [&](TDbaseFile& F) {
            TFailingWriter Writer(FailAt, TFailingWriter::fkDiskFull);
            try {
              Op.Run(F);
            } catch (const EDbaseError& E) {
              Failed = true;
              EXPECT_NE(std::string(E.what()).find(std::strerror(ENOSPC)), std::string::npos)
                  << E.what();
            }
            Fired = Writer.Fired();
          },
          [&](TDbaseFile&) {
            // Shared files hold nothing back: the files are as before already now.
            if (Failed && Mode == pfReadWriteOpen) {
              EXPECT_TRUE(Rig.Snapshot() == Rig.Base());
            }
          });
      EXPECT_EQ(Failed, Fired);
      int Count = 0;
      EXPECT_EQ(Rig.Verify(Count), "");
      if (!Fired) {
        EXPECT_EQ(Count, Op.CountAfter);
        EXPECT_FALSE(Rig.Snapshot() == Rig.Base());
        break;
      }
      ++Positions;
      EXPECT_EQ(Count, BaseRecords);
      EXPECT_TRUE(Rig.Snapshot() == Rig.Base());
      if (::testing::Test::HasFailure()) return Positions;
    }
  }
  return Positions;
}

}  // namespace

TEST(WriteFaultTest, SharedFilesAreUnchangedAfterAFailedWriteAtEveryPosition) {
  const int Positions = TryEveryWrite(pfReadWriteOpen);
  // Each operation writes the record, the table header and index pages when shared.
  EXPECT_GE(Positions, 4 * 3);
  std::printf("shared: %d write positions failed in 4 operations\n", Positions);
}

TEST(WriteFaultTest, ExclusiveFilesAreUnchangedAfterAFailedWriteAtEveryPosition) {
  const int Positions = TryEveryWrite(pfExclusiveOpen);
  EXPECT_GE(Positions, 4);
  std::printf("exclusive: %d write positions failed in 4 operations\n", Positions);
}

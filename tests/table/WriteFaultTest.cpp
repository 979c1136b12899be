// Every write of an append, an edit or a delete is made to fail in turn: half of its bytes
// written, then "no space left", after which the table and its indexes must be byte-for-byte as
// before and sound, and the error must carry the system's message; or the process dies there,
// which must leave a table that opens: every record readable, the count in the header matching
// the file's size, and each index sound, or found damaged at open and rebuilt from the table with
// a notice. While others hold the table such an index is left out (IndexOutOfStepTest).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "table/DbaseMessages.h"
#include "table/DbaseTable.h"
#include "tests/table/WriteFaultSupport.h"

namespace {

constexpr int Completed = 7;

// Runs Op in a child that ends itself at write At (its open and close included); returns
// Completed when the operation ran through before reaching that write.
int RunChild(TFaultRig& Rig, const TTableOperation& Op, int At) {
  return Reap(Spawn([&] {
    TFailingWriter Writer(At, TFailingWriter::fkCrash);
    Rig.Run(Op.Run);
    return Completed;
  }));
}

struct TReopen {
  int Notices = 0;
  std::string Error;
  std::vector<std::string> LeftOut;  // notices of indexes the open went without
};

// Opens the table as the program and the command do (shared) with both indexes attached, and
// checks what the crash left: the header's count is the count the size gives, every record reads
// back as it was or as the operation made it, and the indexes are sound.
TReopen Reopen(TFaultRig& Rig, const TTableOperation& Op) {
  TReopen Result;
  TDbaseTable Table(nullptr);
  Table.SetTableName(Rig.Name("t.dbf"));
  Table.SetShowDeleted(true);
  Table.OnIndexNotice = [&](TDbaseTable*, const std::string& Notice) {
    ++Result.Notices;
    EXPECT_NE(Notice.find("rebuilt"), std::string::npos) << Notice;
    if (Notice.find("cannot be rebuilt now") != std::string::npos) Result.LeftOut.push_back(Notice);
  };
  Table.Open();
  try {
    for (const char* Index : {"k.ndx", "n.ndx"}) Table.AttachIndexFile(Rig.Name(Index));
  } catch (const EDbaseError& E) {
    Result.Error = E.what();
    return Result;
  }
  TDbaseFile& File = *Table.TableFile();
  const int Count = File.RecordCount();
  EXPECT_TRUE(Count == BaseRecords || Count == Op.CountAfter) << Count;
  const auto Bytes = ReadFile(Rig.Name("t.dbf"));
  EXPECT_EQ((Bytes.size() - File.HeaderSize()) / File.RecordSize(), std::size_t(Count));
  EXPECT_EQ(GetLE32(Bytes.data() + 4), std::uint32_t(Count));
  std::vector<std::uint8_t> Record(File.RecordSize());
  for (int RecNo = 1; RecNo <= Count; ++RecNo) {
    EXPECT_TRUE(File.ReadRecord(RecNo, Record.data()));
    const std::string Key = File.GetFieldData(0, ftString, Record.data()).AsString();
    char Original[16];
    std::snprintf(Original, sizeof Original, "K%06d", (RecNo - 1) * 2);
    // The operations write only the keys "A" (edit), "Z" and "K000101" (appends).
    EXPECT_TRUE(Key == Original || Key == "A" || Key == "Z" || Key == "K000101")
        << "record " << RecNo << ": " << Key;
  }
  for (const char* Index : {"k.ndx", "n.ndx"}) {
    if (TIndexFile* Open = Table.FindIndex(Rig.Name(Index))) {
      EXPECT_EQ(VerifyIndex(*Open), "") << Index;
    }
  }
  EXPECT_EQ(File.IndexCount() + Result.LeftOut.size(), 2u);
  return Result;
}

// Ends the child at write 1, 2, 3 ... of each operation until one runs through; returns the
// write positions tried and counts the indexes rebuilt.
int CrashAtEveryWrite(TPagedFileMode Mode, int& Rebuilt) {
  TFaultRig Rig(Mode);
  return AtEveryWrite(Rig, [&](const TTableOperation& Op, int At) {
    const int Status = RunChild(Rig, Op, At);
    EXPECT_TRUE(Status == 0 || Status == Completed) << Status;
    const TReopen After = Reopen(Rig, Op);
    EXPECT_EQ(After.Error, "");
    Rebuilt += After.Notices;
    return Status == 0;
  });
}

// Fails write 1, 2, 3 ... of each operation until one runs through without reaching the
// failing write. Returns the write positions tried.
int TryEveryWrite(TPagedFileMode Mode) {
  TFaultRig Rig(Mode);
  return AtEveryWrite(Rig, [&](const TTableOperation& Op, int FailAt) {
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
    EXPECT_EQ(Count, Fired ? BaseRecords : Op.CountAfter);
    EXPECT_EQ(Rig.Snapshot() == Rig.Base(), Fired);
    return Fired;
  });
}

}  // namespace

TEST(CrashRecoveryTest, TableOpensAfterACrashAtEveryWrite) {
  // Shared, each operation writes the record, the table header and index pages.
  for (const auto& [Mode, Least] :
       {std::pair(pfReadWriteOpen, 4 * 3), std::pair(pfExclusiveOpen, 4)}) {
    int Rebuilt = 0;
    const int Positions = CrashAtEveryWrite(Mode, Rebuilt);
    EXPECT_GE(Positions, Least);
    EXPECT_GT(Rebuilt, 0);
    std::printf("mode %d: %d crash positions in 4 operations, %d indexes rebuilt\n", int(Mode),
                Positions, Rebuilt);
  }
}

TEST(WriteFaultTest, FilesAreUnchangedAfterAFailedWriteAtEveryPosition) {
  // Shared, each operation writes the record, the table header and index pages.
  for (const auto& [Mode, Least] :
       {std::pair(pfReadWriteOpen, 4 * 3), std::pair(pfExclusiveOpen, 4)}) {
    const int Positions = TryEveryWrite(Mode);
    EXPECT_GE(Positions, Least);
    std::printf("mode %d: %d write positions failed in 4 operations\n", int(Mode), Positions);
  }
}

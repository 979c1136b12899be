// Opens arbitrary bytes as an NDX index over a fixed table, walks it both ways, verifies it,
// positions on records and keys, then inserts, changes and deletes keys and walks again.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "table/DbaseFile.h"
#include "table/DbaseMessages.h"
#include "table/NdxIndex.h"
#include "table/NdxVerify.h"
#include "tests/support/ScratchFolder.h"

namespace {

constexpr int Records = 60;

// In a folder of the run's own under TMPDIR, removed at exit after the table below.
std::string Scratch(const char* Extension) {
  static const TScratchFolder Folder("ndx_fuzz-");
  return (Folder / (std::string("index") + Extension)).string();
}

std::vector<std::uint8_t> MakeRecord(TDbaseFile& Table, int Value) {
  std::vector<std::uint8_t> Record(Table.RecordSize());
  Table.InitRecord(Record.data());
  Table.SetFieldData(0, Table.FieldDefs()[0].FieldType, Value, Record.data());
  Table.SetFieldData(1, ftString, "n" + std::to_string(Value * 7 % 23), Record.data());
  return Record;
}

// The table the index belongs to: IDX N(6) and NAME C(10), records 1..Records; removed at
// exit.
class TFixedTable {
 public:
  TFixedTable() {
    FTable.SetFileName(Scratch(".dbf"));
    FTable.SetMode(pfExclusiveCreate);
    FTable.CreateTable({{"IDX", 'N', 6}, {"NAME", 'C', 10}});
    for (int I = 1; I <= Records; ++I) FTable.Insert(MakeRecord(FTable, (I * 37) % Records).data());
  }
  ~TFixedTable() {
    FTable.Close();
    std::remove(FTable.FileName().c_str());
  }
  TDbaseFile& Table() { return FTable; }

 private:
  TDbaseFile FTable;
};

void Walk(TIndexFile& Index) {
  Index.CursorFirst();
  for (int Steps = 0; Steps < 4000 && Index.CursorNext(); ++Steps) Index.CursorRecNo();
  Index.CursorLast();
  for (int Steps = 0; Steps < 4000 && Index.CursorPrior(); ++Steps) Index.CursorRecNo();
}

void Exercise(TDbaseFile& Table, TIndexFile& Index, bool Writable) {
  Walk(Index);
  VerifyIndex(Index);
  Index.EstimatedCount();
  std::vector<std::uint8_t> Record(Table.RecordSize());
  for (int RecNo : {1, Records / 2, Records}) {
    Table.ReadRecord(RecNo, Record.data());
    if (Index.CursorGotoRecord(RecNo, Record.data())) Index.CursorNext();
  }
  Index.CursorSeek(Index.Key().Build(MakeRecord(Table, 17).data()));
  if (!Writable) return;
  for (int Value = 0; Value < 40; ++Value) {
    const auto New = MakeRecord(Table, Value * 13 % 50);
    try {
      Index.InsertKey(Records + 1 + Value, New.data());
    } catch (const EDbaseError&) {
      // Key violations are expected in a distinct index.
    }
  }
  Index.UpdateKey(3, MakeRecord(Table, 3).data(), MakeRecord(Table, 1000).data());
  for (int Value = 0; Value < 40; Value += 3)
    Index.DeleteKey(Records + 1 + Value, MakeRecord(Table, Value * 13 % 50).data());
  Walk(Index);
  VerifyIndex(Index);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static TFixedTable Fixed;
  TDbaseFile& Table = Fixed.Table();
  const std::string Name = Scratch(".ndx");
  for (TPagedFileMode Mode : {pfReadOnly, pfExclusiveOpen, pfReadWriteOpen}) {
    if (FILE* Out = std::fopen(Name.c_str(), "wb")) {
      std::fwrite(Data, 1, Size, Out);
      std::fclose(Out);
    }
    try {
      TIndexFile Index(Table);
      Index.SetFileName(Name);
      Index.SetMode(Mode);
      Index.Open();
      Exercise(Table, Index, Mode != pfReadOnly);
      Index.Close();
    } catch (const Exception&) {
      // Refused with a message: that is the sound outcome for bad bytes.
    }
  }
  std::remove(Name.c_str());
  return 0;
}

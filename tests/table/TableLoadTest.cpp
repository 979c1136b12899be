// Seven processes on one shared table and index: four append, one moves keys, two read all the
// while. No record may be lost or doubled, the index must be sound at the end, and no reader may
// ever see a torn record. A peer that opened the index before the others grew it closes last: it
// must not put its older view back. TESSOLON_LOAD_RECORDS sets the appends per process (2,000 by
// default; the sanitizer pass runs fewer).
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "table/DbaseMessages.h"
#include "table/NdxVerify.h"
#include "tests/table/NdxTestSupport.h"

namespace {

constexpr int Appenders = 4;
constexpr int Readers = 2;
// A moved key is its appended key plus this; appended keys stay below it.
constexpr int Moved = 50000;

int RecordsPerAppender() {
  const char* Text = std::getenv("TESSOLON_LOAD_RECORDS");
  const int Value = Text ? std::atoi(Text) : 0;
  return Value > 0 && Value < Moved ? Value : 2000;
}

// Counters the children share with the parent.
struct TShared {
  std::atomic<bool> AppendersDone{false};
  std::atomic<long> Moves{0};
  std::atomic<long> RecordsRead{0};
  std::atomic<long> Torn{0};
};

// A record says the same thing three times: KEY, and the text "P<appender>R<number>" (with "M"
// once moved) in both A and B. Anything else read back is a torn record.
struct TRow {
  int Appender = 0, Number = 0;
  bool IsMoved = false;
};

class TLoadTable {
 public:
  explicit TLoadTable(const std::string& Name) {
    FFile.SetFileName(Name);
    FFile.SetMode(pfReadWriteOpen);
    FFile.Open();
  }
  void AttachIndex(const std::string& Name) {
    auto Index = std::make_unique<TIndexFile>(FFile);
    Index->SetFileName(Name);
    Index->SetMode(pfReadWriteOpen);
    Index->Open();
    FIndex = Index.get();
    FFile.AddIndex(std::move(Index));
  }
  TDbaseFile& File() { return FFile; }
  TIndexFile& Index() { return *FIndex; }

  void Fill(std::vector<std::uint8_t>& R, const TRow& Row) const {
    char Text[16];
    std::snprintf(Text, sizeof Text, "P%dR%05d%s", Row.Appender, Row.Number,
                  Row.IsMoved ? "M" : "");
    FFile.SetFieldData(0, ftFloat, TVariant(double(Key(Row))), R.data());
    FFile.SetFieldData(1, ftString, TVariant(std::string(Text)), R.data());
    FFile.SetFieldData(2, ftString, TVariant(std::string(Text)), R.data());
  }
  static int Key(const TRow& Row) {
    return Row.Appender * 100000 + Row.Number + (Row.IsMoved ? Moved : 0);
  }
  // The row a record holds; false when its parts disagree.
  bool Parse(const std::vector<std::uint8_t>& R, TRow& Row) const {
    if (R[0] != ' ') return false;
    const std::string A = FFile.GetFieldData(1, ftString, R.data()).AsString();
    const std::string B = FFile.GetFieldData(2, ftString, R.data()).AsString();
    char Mark[4] = {};
    if (A != B || std::sscanf(A.c_str(), "P%dR%5d%1s", &Row.Appender, &Row.Number, Mark) < 2)
      return false;
    Row.IsMoved = Mark[0] == 'M';
    char Again[16];
    std::snprintf(Again, sizeof Again, "P%dR%05d%s", Row.Appender, Row.Number, Mark);
    return A == Again && FFile.GetFieldData(0, ftFloat, R.data()).AsFloat() == Key(Row);
  }

 private:
  TDbaseFile FFile;
  TIndexFile* FIndex = nullptr;
};

void Append(const TNdxTable& T, int Appender, int Count) {
  TLoadTable Table(T.TableName());
  Table.AttachIndex(T.File("key.ndx"));
  std::vector<std::uint8_t> R(Table.File().RecordSize());
  for (int I = 0; I < Count; ++I) {
    Table.File().InitRecord(R.data());
    Table.Fill(R, {Appender, I, false});
    Table.File().Insert(R.data());
  }
}

// Moves the keys of records it finds, picked at random, until the appenders are done.
void MoveKeys(const TNdxTable& T, TShared& Shared) {
  TLoadTable Table(T.TableName());
  Table.AttachIndex(T.File("key.ndx"));
  std::vector<std::uint8_t> R(Table.File().RecordSize());
  unsigned Seed = 7;
  while (!Shared.AppendersDone) {
    const int Count = Table.File().RecordCount();
    if (Count == 0) continue;
    const int RecNo = 1 + int(rand_r(&Seed) % unsigned(Count));
    try {
      Table.File().LockRecord(RecNo, R.data());
    } catch (const EDbaseError&) {
      continue;  // an appender holds it
    }
    TRow Row;
    if (!Table.Parse(R, Row) || Row.IsMoved) {
      Table.File().UnlockRecord(RecNo);
      continue;
    }
    Row.IsMoved = true;
    Table.Fill(R, Row);
    Table.File().PostRecord(RecNo, R.data());
    ++Shared.Moves;
  }
}

// Scans in file order and in key order, checking every record it reads.
void Read(const TNdxTable& T, TShared& Shared, bool ByKey) {
  TLoadTable Table(T.TableName());
  if (ByKey) Table.AttachIndex(T.File("key.ndx"));
  std::vector<std::uint8_t> R(Table.File().RecordSize());
  auto Check = [&](int RecNo) {
    TRow Row;
    if (!Table.File().ReadRecord(RecNo, R.data()) || !Table.Parse(R, Row)) {
      ++Shared.Torn;
      std::fprintf(stderr, "torn record %d: %.*s\n", RecNo, int(R.size()), (const char*)R.data());
    }
    ++Shared.RecordsRead;
  };
  do {
    if (ByKey) {
      for (Table.Index().CursorFirst(); Table.Index().CursorNext();)
        Check(Table.Index().CursorRecNo());
    } else {
      const int Count = Table.File().RecordCount();
      for (int RecNo = 1; RecNo <= Count; ++RecNo) Check(RecNo);
    }
  } while (!Shared.AppendersDone);
}

}  // namespace

TEST(TableLoadTest, AppendersAKeyMoverAndReadersShareOneTableAndIndex) {
  const int PerAppender = RecordsPerAppender();
  TNdxTable T({{"KEY", 'N', 8}, {"A", 'C', 10}, {"B", 'C', 10}}, pfReadWriteOpen);
  TIndexFile& Created = T.CreateIndex("key.ndx", "KEY", ixPrimary | ixUnique);
  T.Table().RemoveIndex(&Created);

  void* Memory =
      ::mmap(nullptr, sizeof(TShared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(Memory, MAP_FAILED);
  auto* Shared = new (Memory) TShared;

  auto Early = std::make_unique<TLoadTable>(T.TableName());
  Early->AttachIndex(T.File("key.ndx"));
  std::vector<pid_t> Writers, Others;
  for (int A = 1; A <= Appenders; ++A)
    Writers.push_back(Spawn([&, A] {
      Append(T, A, PerAppender);
      return 0;
    }));
  Others.push_back(Spawn([&] {
    MoveKeys(T, *Shared);
    return 0;
  }));
  for (int I = 0; I < Readers; ++I)
    Others.push_back(Spawn([&, I] {
      Read(T, *Shared, I == 1);
      return 0;
    }));
  for (pid_t Pid : Writers) EXPECT_EQ(Reap(Pid), 0);
  Shared->AppendersDone = true;
  for (pid_t Pid : Others) EXPECT_EQ(Reap(Pid), 0);
  Early.reset();
  EXPECT_EQ(Shared->Torn, 0);
  EXPECT_GT(Shared->Moves, 0);

  // Every appended row once, moved as often as the mover said, and the index sound.
  TLoadTable Table(T.TableName());
  Table.AttachIndex(T.File("key.ndx"));
  const int Count = Table.File().RecordCount();
  EXPECT_EQ(Count, Appenders * PerAppender);
  std::set<std::pair<int, int>> Seen;
  long MovedRows = 0;
  std::vector<std::uint8_t> R(Table.File().RecordSize());
  for (int RecNo = 1; RecNo <= Count; ++RecNo) {
    TRow Row;
    ASSERT_TRUE(Table.File().ReadRecord(RecNo, R.data()) && Table.Parse(R, Row)) << RecNo;
    EXPECT_TRUE(Row.Appender >= 1 && Row.Appender <= Appenders && Row.Number < PerAppender);
    EXPECT_TRUE(Seen.emplace(Row.Appender, Row.Number).second) << "doubled: " << RecNo;
    MovedRows += Row.IsMoved;
  }
  EXPECT_EQ(Seen.size(), std::size_t(Appenders * PerAppender));
  EXPECT_EQ(MovedRows, Shared->Moves);
  EXPECT_EQ(VerifyIndex(Table.Index()), "");
  std::printf("%d records appended by %d processes, %ld keys moved, %ld records read\n", Count,
              Appenders, Shared->Moves.load(), Shared->RecordsRead.load());
  Shared->~TShared();
  ::munmap(Memory, sizeof(TShared));
}

// Two processes append to one shared table, one through the table object and one through the
// table file, while this one reads it both ways: no record is lost or doubled, the counts only
// grow, and a table object opened before they began sees every record once they have ended.
#include <gtest/gtest.h>

#include <set>

#include "table/DbaseTable.h"
#include "tests/table/TableTestFiles.h"

TEST(DbaseTableConcurrencyTest, TwoWritersLoseNothingAndAReaderSeesTheirRecords) {
  constexpr int PerWriter = 1000;
  TScratchDir Dir;
  const std::string File = Dir.File("shared.dbf");
  WriteTable(File, {{"WRITER", 'N', 1}, {"SEQ", 'N', 5}}, {});
  TDbaseTable Reader(nullptr);
  Reader.SetTableName(File);
  Reader.Open();
  const auto Counter = OpenFile(File, pfReadOnly);

  const pid_t ThroughTable = Spawn([&] {
    TDbaseTable T(nullptr);
    T.SetTableName(File);
    T.Open();
    for (int I = 1; I <= PerWriter; ++I) {
      T.Append();
      T.FieldByName("WRITER")->SetAsInteger(1);
      T.FieldByName("SEQ")->SetAsInteger(I);
      T.Post();
    }
    return 0;
  });
  const pid_t ThroughFile = Spawn([&] {
    const auto F = OpenFile(File);
    std::vector<std::uint8_t> R(F->RecordSize());
    for (int I = 1; I <= PerWriter; ++I) {
      F->InitRecord(R.data());
      F->SetFieldData(0, ftInteger, TVariant(2), R.data());
      F->SetFieldData(1, ftInteger, TVariant(I), R.data());
      F->Insert(R.data());
    }
    F->WriteHeader();
    return 0;
  });
  int Counted = 0, Scanned = 0, Statuses[2] = {-1, -1};
  for (int Running = 2; Running > 0;) {
    const int Count = Counter->RecordCount();
    ASSERT_GE(Count, Counted);
    Counted = Count;
    int Seen = 0;
    for (Reader.First(); !Reader.Eof(); Reader.Next()) ++Seen;
    ASSERT_GE(Seen, Scanned);
    Scanned = Seen;
    for (int W = 0; W < 2; ++W)
      if (Statuses[W] == -1 &&
          waitpid(W == 0 ? ThroughTable : ThroughFile, &Statuses[W], WNOHANG) > 0)
        --Running;
  }
  for (int Status : Statuses) EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0);

  std::set<std::pair<int, int>> Seen;
  int Records = 0;
  for (Reader.First(); !Reader.Eof(); Reader.Next(), ++Records)
    Seen.insert(
        {Reader.FieldByName("WRITER")->AsInteger(), Reader.FieldByName("SEQ")->AsInteger()});
  EXPECT_EQ(Records, 2 * PerWriter);
  EXPECT_EQ(Seen.size(), 2u * PerWriter);
  EXPECT_EQ(*Seen.begin(), std::make_pair(1, 1));
  EXPECT_EQ(*Seen.rbegin(), std::make_pair(2, PerWriter));
  Reader.Close();
  const auto Bytes = ReadFile(File);
  const TStoredHeader Header = StoredHeader(Bytes);
  EXPECT_EQ(Header.Count, 2u * PerWriter);
  EXPECT_EQ(Bytes.size(),
            std::size_t(Header.HeaderLength + 2 * PerWriter * Header.RecordLength + 1));
  EXPECT_EQ(Bytes.back(), 0x1A);
}

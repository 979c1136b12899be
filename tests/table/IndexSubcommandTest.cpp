// The index parts of the table command: create, list, verify, and --index keeping an index up
// to date through set, append and delete.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "table/TableCommand.h"
#include "tests/table/DbaseTableTestSupport.h"

namespace {

struct TRun {
  int Status;
  std::string Out, Err;
};

TRun RunIndex(const std::vector<std::string>& Args) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int Status = TableCommand(Args);
  std::string Out = testing::internal::GetCapturedStdout();
  return {Status, Out, testing::internal::GetCapturedStderr()};
}

class IndexCommand : public testing::Test {
 protected:
  void SetUp() override {
    WriteTable(Table, SampleColumns,
               {Record(SampleColumns, {"3", "Mosquito"}),
                Record(SampleColumns, {"1", "Flea"}, true), Record(SampleColumns, {"2", "Gnat"})});
  }
  TTableDir Dir;
  std::string Table = Dir.File("para.dbf");
  std::string Ndx = Dir.File("idx.ndx");
};

TEST_F(IndexCommand, CreateListAndVerify) {
  ASSERT_EQ(RunIndex({Table, "index", Ndx, "create", "IDX", "--distinct"}).Status, 0);
  EXPECT_EQ(RunIndex({Table, "index", Ndx, "list"}).Out, "1\t2\n2\t3\n3\t1\n");
  const TRun V = RunIndex({Table, "index", Ndx, "verify"});
  EXPECT_EQ(V.Status, 0) << V.Err;

  ASSERT_EQ(RunIndex({Table, "index", Dir.File("name.ndx"), "create", "name_pest", "--descending"})
                .Status,
            0);
  EXPECT_EQ(RunIndex({Table, "index", Dir.File("name.ndx"), "list"}).Out,
            "Mosquito\t1\nGnat\t3\nFlea\t2\n");
}

TEST_F(IndexCommand, IndexOptionKeepsTheIndexUpToDate) {
  ASSERT_EQ(RunIndex({Table, "index", Ndx, "create", "IDX", "--unique"}).Status, 0);
  EXPECT_EQ(RunIndex({Table, "--index", Ndx, "append", "IDX=0", "NAME_PEST=Tick"}).Status, 0);
  EXPECT_EQ(RunIndex({Table, "--index=" + Ndx, "set", "1", "IDX=7"}).Status, 0);
  EXPECT_EQ(RunIndex({Table, "--index", Ndx, "delete", "3"}).Status, 0);
  EXPECT_EQ(RunIndex({Table, "index", Ndx, "list"}).Out, "0\t4\n1\t2\n2\t3\n7\t1\n");
  EXPECT_EQ(RunIndex({Table, "index", Ndx, "verify"}).Status, 0);

  // A change made without the index leaves it stale: verify names the fault and exits 1.
  EXPECT_EQ(RunIndex({Table, "set", "4", "IDX=9"}).Status, 0);
  const TRun V = RunIndex({Table, "index", Ndx, "verify"});
  EXPECT_EQ(V.Status, 1);
  EXPECT_EQ(V.Err, "Index \"" + Ndx + "\": key '0' is not the key of record 4.\n");
}

TEST_F(IndexCommand, KeyViolationRefusesTheAppend) {
  ASSERT_EQ(RunIndex({Table, "index", Ndx, "create", "IDX", "--distinct"}).Status, 0);
  const TRun R = RunIndex({Table, "--index", Ndx, "append", "IDX=3"});
  EXPECT_EQ(R.Status, 1);
  EXPECT_EQ(R.Err, "Key violation. (Key already present in file).\r\nIndex: " + Ndx +
                       "\r\nRecord=1 Key='3'.\n");
  const std::string Listing = RunIndex({Table, "list"}).Out;
  EXPECT_EQ(std::count(Listing.begin(), Listing.end(), '\n'), 3);
  EXPECT_EQ(RunIndex({Table, "index", Ndx, "list"}).Out, "1\t2\n2\t3\n3\t1\n");
}

TEST_F(IndexCommand, FailedCreateLeavesNoFileAndBadArgumentsExit2) {
  WriteTable(Table, SampleColumns, {Record(SampleColumns, {"1"}), Record(SampleColumns, {"1"})});
  const TRun R = RunIndex({Table, "index", Ndx, "create", "IDX", "--distinct"});
  EXPECT_EQ(R.Status, 1);
  EXPECT_NE(R.Err.find("Key violation"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Ndx));
  EXPECT_EQ(RunIndex({Table, "index", Ndx, "create", "NOPE"}).Err,
            "Index based on unknown field \"NOPE\".\n");
  EXPECT_FALSE(std::filesystem::exists(Ndx));
  EXPECT_EQ(RunIndex({Table, "index", Ndx, "create", "IDX", "--fast"}).Status, 2);
  EXPECT_EQ(RunIndex({Table, "index", Ndx, "shuffle"}).Status, 2);
  EXPECT_EQ(RunIndex({Table, "index", Ndx, "list"}).Err,
            "Open: file not found: \"" + Ndx + "\".\n");
}

// What a crash leaves: the mark of a change that never finished, set here by hand.
TEST_F(IndexCommand, CutOffChangeIsReportedByVerifyAndRebuiltWhenAttached) {
  ASSERT_EQ(RunIndex({Table, "index", Ndx, "create", "IDX", "--distinct"}).Status, 0);
  {
    std::fstream File(Ndx, std::ios::binary | std::ios::in | std::ios::out);
    File.seekp(22);
    File.put(char(0xC5));
  }
  const std::string Damaged =
      "Index file \"" + Ndx + "\" is damaged: a change to it was cut off before it was complete.";
  const TRun V = RunIndex({Table, "index", Ndx, "verify"});
  EXPECT_EQ(V.Status, 1);
  EXPECT_EQ(V.Err, Damaged + "\n");

  const TRun A = RunIndex({Table, "--index", Ndx, "append", "IDX=5", "NAME_PEST=Tick"});
  EXPECT_EQ(A.Status, 0);
  EXPECT_EQ(A.Err, "tessolon table: " + Damaged + " It has been rebuilt from the table.\n");
  EXPECT_EQ(RunIndex({Table, "index", Ndx, "list"}).Out, "1\t2\n2\t3\n3\t1\n5\t4\n");
  EXPECT_EQ(RunIndex({Table, "index", Ndx, "verify"}).Status, 0);
}

}  // namespace

#include "table/TableCommand.h"

#include <gtest/gtest.h>

#include "table/DbaseFile.h"

#include "tests/table/DbaseTableTestSupport.h"

namespace {

const std::vector<TColumn> Columns = {{"ID", 'N', 3}, {"NAME", 'C', 10}, {"PRICE", 'N', 7, 2},
                                      {"OK", 'L', 1}, {"WHEN", 'D', 8},  {"BIG", 'N', 12}};

struct TRun {
  int Status;
  std::string Out, Err;
};

TRun RunTable(const std::vector<std::string>& Args) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int Status = TableCommand(Args);
  std::string Out = testing::internal::GetCapturedStdout();
  return {Status, Out, testing::internal::GetCapturedStderr()};
}

class TableCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    WriteTable(File, Columns,
               {Record(Columns, {"1", "Fly", "1.50", "T", "20240229", "123456789012"}),
                Record(Columns, {"2", "", "", "", "", ""}, true),
                Record(Columns, {"-42", "  Gnat", "-0.25", "f", "19991231", "0"})});
  }
  std::string List() {
    const TRun R = RunTable({File, "list"});
    EXPECT_EQ(R.Status, 0) << R.Err;
    return R.Out;
  }
  TTableDir Dir;
  std::string File = Dir.File("t.dbf");
};

}  // namespace

TEST_F(TableCommandTest, ListPrintsFlagThenTabSeparatedValues) {
  EXPECT_EQ(List(),
            " \t1\tFly\t1.5\tT\t20240229\t123456789012\n"
            "*\t2\t\t\t\t\t\n"
            " \t-42\t  Gnat\t-0.25\tF\t19991231\t0\n");
}

TEST_F(TableCommandTest, InfoShowsHeaderAndFields) {
  const TRun R = RunTable({File, "info"});
  ASSERT_EQ(R.Status, 0) << R.Err;
  EXPECT_NE(R.Out.find("Version byte: 0x03 (dBase III, level 3)"), std::string::npos) << R.Out;
  EXPECT_NE(R.Out.find("Records: 3\n"), std::string::npos);
  EXPECT_NE(R.Out.find("Record length: 42\n"), std::string::npos);
  EXPECT_NE(R.Out.find("Code page: 437\n"), std::string::npos);
  EXPECT_NE(R.Out.find("  PRICE      N   7  2  Float\n"), std::string::npos) << R.Out;
  EXPECT_NE(R.Out.find("  ID         N   3  0  Smallint\n"), std::string::npos);
  // Looking does not touch the file (no header date rewrite).
  EXPECT_EQ(ReadBytes(File)[1], 99);
}

TEST_F(TableCommandTest, SetAppendDelete) {
  EXPECT_EQ(RunTable({File, "set", "1", "name=Wasp", "PRICE=", "when=2001-02-03"}).Status, 0);
  EXPECT_EQ(RunTable({File, "append", "ID=7", "NAME=Bee", "OK=T", "PRICE=3"}).Status, 0);
  EXPECT_EQ(RunTable({File, "delete", "3"}).Status, 0);
  EXPECT_EQ(RunTable({File, "set", "2", "NAME=Back"}).Status,
            0);  // deleted records are addressable
  EXPECT_EQ(List(),
            " \t1\tWasp\t\tT\t20010203\t123456789012\n"
            "*\t2\tBack\t\t\t\t\n"
            "*\t-42\t  Gnat\t-0.25\tF\t19991231\t0\n"
            " \t7\tBee\t3\tT\t\t\n");
}

TEST_F(TableCommandTest, EngineRefusalsExitOne) {
  const auto Before = ReadBytes(File);
  TRun R = RunTable({File, "set", "9", "NAME=x"});
  EXPECT_EQ(R.Status, 1);
  EXPECT_EQ(R.Err, "Record 9 does not exist (the table has 3 records).\n");
  R = RunTable({File, "set", "1", "NOPE=1"});
  EXPECT_EQ(R.Status, 1);
  EXPECT_EQ(R.Err, "Field 'NOPE' not found\n");
  R = RunTable({File, "append", "PRICE=abc"});
  EXPECT_EQ(R.Status, 1);
  EXPECT_EQ(R.Err, "'abc' is not a valid floating point value for field 'PRICE'\n");
  R = RunTable({File, "set", "1", "ID=1000"});  // three digits only
  EXPECT_EQ(R.Status, 1);
  EXPECT_NE(R.Err.find("ID"), std::string::npos) << R.Err;
  R = RunTable({Dir.File("none.dbf"), "list"});
  EXPECT_EQ(R.Status, 1);
  EXPECT_EQ(R.Err, "Open: file not found: \"" + Dir.File("none.dbf") + "\".\n");
  // Nothing was written but the header of the opened-for-writing table.
  const auto After = ReadBytes(File);
  EXPECT_TRUE(std::equal(Before.begin() + 4, Before.end(), After.begin() + 4));
}

TEST_F(TableCommandTest, BadArgumentsExitTwo) {
  for (const std::vector<std::string>& Args :
       std::vector<std::vector<std::string>>{{},
                                             {File},
                                             {File, "frobnicate"},
                                             {File, "set", "x", "NAME=a"},
                                             {File, "set", "0", "NAME=a"},
                                             {File, "set", "1"},
                                             {File, "set", "1", "NAME"},
                                             {File, "append", "=1"},
                                             {File, "delete"},
                                             {File, "list", "extra"}}) {
    const TRun R = RunTable(Args);
    EXPECT_EQ(R.Status, 2) << testing::PrintToString(Args);
    EXPECT_NE(R.Err.find("tessolon table: "), std::string::npos);
  }
  EXPECT_EQ(RunTable({"--help"}).Status, 0);
}

TEST_F(TableCommandTest, OpenOptionChoosesSharedOrExclusiveAccess) {
  TDbaseFile Other;
  Other.SetFileName(File);
  Other.SetMode(pfReadWriteOpen);
  Other.Open();
  EXPECT_EQ(RunTable({File, "--open", "shared", "list"}).Out, List());
  EXPECT_EQ(RunTable({File, "--open=exclusive", "list"}).Status, 1);
  Other.Close();
  EXPECT_EQ(RunTable({File, "--open=exclusive", "list"}).Out, List());
  EXPECT_EQ(RunTable({File, "--open", "alone", "list"}).Status, 2);
}

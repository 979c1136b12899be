// The table command: list, info, set, append, delete, the encodings, the exit statuses, and the
// index subcommand with --index keeping an index up to date.
#include "table/TableCommand.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "table/CodePage.h"
#include "table/DbaseMessages.h"
#include "table/DbaseTable.h"
#include "tests/table/TableTestFiles.h"

namespace {

const std::vector<TRawField> Columns = {{"ID", 'N', 3}, {"NAME", 'C', 10}, {"PRICE", 'N', 7, 2},
                                        {"OK", 'L', 1}, {"WHEN", 'D', 8},  {"BIG", 'N', 12}};

class TableCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    WriteTable(File, Columns,
               {Record(Columns, {"1", "Fly", "1.50", "T", "20240229", "123456789012"}),
                Record(Columns, {"2", "", "", "", "", ""}, true),
                Record(Columns, {"-42", "  Gnat", "-0.25", "f", "19991231", "0"})});
  }
  std::string List() {
    const TTableRun R = RunTable({File, "list"});
    EXPECT_EQ(R.Status, 0) << R.Err;
    return R.Out;
  }
  TScratchDir Dir;
  std::string File = Dir.File("t.dbf");
};

}  // namespace

TEST_F(TableCommandTest, InfoShowsHeaderAndFields) {
  const TTableRun R = RunTable({File, "info"});
  ASSERT_EQ(R.Status, 0) << R.Err;
  EXPECT_NE(R.Out.find("Version byte: 0x03 (dBase III, level 3)"), std::string::npos) << R.Out;
  EXPECT_NE(R.Out.find("Records: 3\n"), std::string::npos);
  EXPECT_NE(R.Out.find("Record length: 42\n"), std::string::npos);
  EXPECT_NE(R.Out.find("Code page: 437\n"), std::string::npos);
  EXPECT_NE(R.Out.find("  PRICE      N   7  2  Float\n"), std::string::npos) << R.Out;
  EXPECT_NE(R.Out.find("  ID         N   3  0  Smallint\n"), std::string::npos);
  // Looking does not touch the file (no header date rewrite).
  EXPECT_EQ(ReadFile(File)[1], 99);
}

TEST_F(TableCommandTest, ListSetAppendDelete) {
  EXPECT_EQ(List(),
            " \t1\tFly\t1.5\tT\t20240229\t123456789012\n"
            "*\t2\t\t\t\t\t\n"
            " \t-42\t  Gnat\t-0.25\tF\t19991231\t0\n");
  EXPECT_EQ(RunTable({File, "set", "1", "name=Wasp", "PRICE=", "when=2001-02-03"}).Status, 0);
  EXPECT_EQ(RunTable({File, "append", "ID=7", "NAME=Bee", "OK=T", "PRICE=3"}).Status, 0);
  EXPECT_EQ(RunTable({File, "delete", "3"}).Status, 0);
  EXPECT_EQ(RunTable({File, "set", "2", "NAME=Back"}).Status, 0);  // deleted ones too
  EXPECT_EQ(List(),
            " \t1\tWasp\t\tT\t20010203\t123456789012\n"
            "*\t2\tBack\t\t\t\t\n"
            "*\t-42\t  Gnat\t-0.25\tF\t19991231\t0\n"
            " \t7\tBee\t3\tT\t\t\n");
}

// Each ends one line on stderr with exit status 1 and writes nothing but the header of the table
// opened for writing; a record another user edits is refused as locked.
TEST_F(TableCommandTest, EngineRefusalsExitOne) {
  const auto Before = ReadFile(File);
  const auto Holder = OpenFile(File);
  std::vector<std::uint8_t> Held(Holder->RecordSize());
  Holder->LockRecord(2, Held.data());
  const std::pair<std::vector<std::string>, std::string> Cases[] = {
      {{File, "set", "9", "NAME=x"}, "Record 9 does not exist (the table has 3 records).\n"},
      {{File, "set", "1", "NOPE=1"}, "Field 'NOPE' not found\n"},
      {{File, "append", "PRICE=abc"},
       "'abc' is not a valid floating point value for field 'PRICE'\n"},
      {{File, "set", "1", "ID=1000"}, " does not fit in field ID.\n"},  // three digits only
      {{File, "set", "2", "NAME=x"}, "Record locked.\n"},
      {{Dir.File("none.dbf"), "list"}, "Open: file not found: \"" + Dir.File("none.dbf") + "\".\n"},
  };
  for (const auto& [Args, Error] : Cases) {
    const TTableRun R = RunTable(Args);
    EXPECT_EQ(R.Status, 1) << testing::PrintToString(Args);
    EXPECT_TRUE(R.Err.ends_with(Error) && R.Err.find('\n') == R.Err.size() - 1) << R.Err;
  }
  const auto After = ReadFile(File);
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
    const TTableRun R = RunTable(Args);
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

namespace {

const std::vector<TRawField> TextColumns = {
    {"IDX", 'N', 3}, {"NAME", 'C', 12}, {DBASE_LOCK_FIELD, 'C', 8}};
// A lock field's stamp is binary (counter, time, year 2026): never text to judge.
const std::string LockStamp("\x02\x00\x0C\xFF\x00\x7E\x0C\x08", 8);

// A table of NAME values, the first Copies times, then the last one.
void WriteNames(const std::string& File, std::uint8_t LanguageId, const std::string& First,
                int Copies, const std::string& Last) {
  std::vector<std::string> Records(Copies, Record(TextColumns, {"1", First, LockStamp}));
  Records.push_back(Record(TextColumns, {"2", Last, LockStamp}));
  WriteTable(File, TextColumns, Records, LanguageId);
}

}  // namespace

// Tables with no code-page mark hold UTF-8 when LibreOffice Calc wrote them and OEM text when
// old dBase programs did; every reader (the table object, list, info) sees the same choice.
TEST_F(TableCommandTest, TextIsReadInTheEncodingTheMarkTheTextOrTheUserNames) {
  const std::string Moth = "Moth \xC3\x9C";  // UTF-8 "Moth Ü"; "M\201cke" is cp437 "Mücke"
  const struct {
    std::uint8_t LanguageId;
    std::string First;
    int Copies;
    std::string Last;
    const char* Encoding;  // --encoding, or nullptr
    int CodePage;
    const char* Why;
    std::string LastRead;  // the last NAME as read, UTF-8
  } Cases[] = {
      {0, Moth, 1, "Fly", nullptr, 65001, "UTF-8 (no code-page mark; the text is valid UTF-8)",
       "Fly"},
      {0, "Fly", 1, Moth, nullptr, 65001, "UTF-8 (no code-page mark; the text is valid UTF-8)",
       "Moth \u00DC"},
      {0, "Fly", 1, "M\201cke", nullptr, 437, "cp437 (no code-page mark; default)", "M\u00FCcke"},
      {0, "Moth", 1, "Fly", nullptr, 437, "cp437 (no code-page mark; default)", "Fly"},
      // The whole table counts, not its first block: a cp437 byte behind 1.2 MB of UTF-8.
      {0, Moth, 50000, "M\201cke", nullptr, 437, "cp437 (no code-page mark; default)",
       "M\u00FCcke"},
      {0x05, "Fly", 1, Moth, nullptr, 65001,
       "UTF-8 (unknown code-page mark 0x05; the text is valid UTF-8)", "Moth \u00DC"},
      // A mark is believed even when the text would pass as UTF-8.
      {0x57, "Fly", 1, Moth, nullptr, 1252, "cp1252 (code-page mark 0x57)", "Moth \u00C3\u0153"},
      {0x57, "Fly", 1, Moth, "utf-8", 65001, "UTF-8 (--encoding)", "Moth \u00DC"},
      {0, "Fly", 1, Moth, "CP437", 437, "cp437 (--encoding)", "Moth \u251C\u00A3"},
  };
  for (const auto& Case : Cases) {
    const std::string Label = Case.Why + std::string(" / ") + Case.Last;
    WriteNames(File, Case.LanguageId, Case.First, Case.Copies, Case.Last);
    TDbaseTable Table(nullptr);
    Table.SetTableName(File);
    Table.SetReadOnly(true);
    if (Case.Encoding) Table.SetChosenCodePage(CodePageOfEncodingName(Case.Encoding));
    Table.Open();
    Table.Last();
    EXPECT_EQ(Table.FieldByName("NAME")->AsString(), Case.LastRead) << Label;
    EXPECT_EQ(Table.CodePage(), Case.CodePage) << Label;
    Table.Close();

    std::vector<std::string> InfoArgs = {File, "info"}, ListArgs = {File, "list"};
    if (Case.Encoding)
      for (auto* Args : {&InfoArgs, &ListArgs})
        Args->insert(Args->begin() + 1, {"--encoding", Case.Encoding});
    const TTableRun Info = RunTable(InfoArgs);
    EXPECT_NE(Info.Out.find("\nCode page: " + std::to_string(Case.CodePage) +
                            "\nEncoding: " + Case.Why + "\nProduction index: "),
              std::string::npos)
        << Label << '\n'
        << Info.Out;
    const TTableRun List = RunTable(ListArgs);
    EXPECT_TRUE(List.Out.ends_with("\t2\t" + Case.LastRead + "\n")) << Label;
  }
  for (const std::string Name : {"KLINGON", "CP037"}) {  // CP037 is EBCDIC
    const TTableRun Bad = RunTable({File, "--encoding", Name, "list"});
    EXPECT_EQ(Bad.Status, 2) << Name;
    EXPECT_NE(Bad.Err.find("unknown encoding '" + Name + "'"), std::string::npos) << Bad.Err;
  }
}

// Text too long for its field is cut; in a UTF-8 table only between characters.
TEST_F(TableCommandTest, WritingKeepsTheTablesEncodingAndCutsBetweenCharacters) {
  const std::vector<TRawField> Short = {{"NAME", 'C', 6}};
  const struct {
    const char* Encoding;
    std::string Value;
    std::string Stored;
  } Cases[] = {
      {nullptr, "abcd\u00DC", "abcd\xC3\x9C"},        // fits exactly
      {nullptr, "abcde\u00DC", "abcde "},             // Ü would end past the field
      {nullptr, "a\u20AC\u20AC", "a\xE2\x82\xAC  "},  // so would the second €
      {nullptr, "\u00DC\u00DC\u00DC\u00DC", "\xC3\x9C\xC3\x9C\xC3\x9C"},
      {"CP1252", "Caf\u00E9", "Caf\xE9  "},
      {"CP1252", "Caf\u00E9 au lait", "Caf\xE9 a"},
  };
  for (const auto& Case : Cases) {
    WriteTable(File, Short, {Record(Short, {"\xC3\x9C"}), Record(Short, {"x"})});
    std::vector<std::string> Args = {File, "set", "2", "NAME=" + Case.Value};
    if (Case.Encoding) Args.insert(Args.begin() + 1, {"--encoding", Case.Encoding});
    const TTableRun R = RunTable(Args);
    ASSERT_EQ(R.Status, 0) << R.Err;
    const auto Bytes = ReadFile(File);
    const std::size_t Second = 65 + 7 + 1;  // header, record 1, deletion flag
    EXPECT_EQ(std::string(Bytes.begin() + Second, Bytes.begin() + Second + 6), Case.Stored)
        << Case.Value;
  }
  // An append into a UTF-8 table writes UTF-8.
  WriteTable(File, Short, {Record(Short, {"\xC3\x9C"})});
  ASSERT_EQ(RunTable({File, "append", "NAME=M\u00FCcke"}).Status, 0);
  EXPECT_EQ(List(), " \t\u00DC\n \tM\u00FCcke\n");
}

// Writers store the year as year - 1900, LibreOffice Calc as its last two digits.
TEST_F(TableCommandTest, HeaderYearsBelowEightyAreFrom2000) {
  for (const auto& [Byte, Year] : std::vector<std::pair<std::uint8_t, std::string>>{
           {26, "2026"}, {0, "2000"}, {79, "2079"}, {80, "1980"}, {99, "1999"}, {126, "2026"}}) {
    auto Bytes = ReadFile(File);
    Bytes[1] = Byte;
    Bytes[2] = 12;
    Bytes[3] = 8;
    WriteFile(File, Bytes);
    EXPECT_NE(RunTable({File, "info"}).Out.find("\nLast update: " + Year + "-12-08\n"),
              std::string::npos)
        << int(Byte);
  }
}

namespace {

class IndexCommand : public testing::Test {
 protected:
  void SetUp() override {
    WriteTable(Table, SampleFields,
               {Record(SampleFields, {"3", "Mosquito"}), Record(SampleFields, {"1", "Flea"}, true),
                Record(SampleFields, {"2", "Gnat"})});
  }
  std::string Listed(const std::string& Index) {
    return RunTable({Table, "index", Index, "list"}).Out;
  }
  TScratchDir Dir;
  std::string Table = Dir.File("para.dbf");
  std::string Ndx = Dir.File("idx.ndx");
};

}  // namespace

// create builds in key order, deleted records included; --index keeps the index up to date
// through set, append and delete; a change made without it leaves it stale, and verify says so.
TEST_F(IndexCommand, CreateListVerifyAndKeepUpToDate) {
  const std::string Names = Dir.File("name.ndx");
  ASSERT_EQ(RunTable({Table, "index", Names, "create", "name_pest", "--descending"}).Status, 0);
  EXPECT_EQ(Listed(Names), "Mosquito\t1\nGnat\t3\nFlea\t2\n");
  ASSERT_EQ(RunTable({Table, "index", Ndx, "create", "IDX", "--unique"}).Status, 0);
  EXPECT_EQ(Listed(Ndx), "1\t2\n2\t3\n3\t1\n");
  EXPECT_EQ(RunTable({Table, "--index", Ndx, "append", "IDX=0", "NAME_PEST=Tick"}).Status, 0);
  EXPECT_EQ(RunTable({Table, "--index=" + Ndx, "set", "1", "IDX=7"}).Status, 0);
  EXPECT_EQ(RunTable({Table, "--index", Ndx, "delete", "3"}).Status, 0);
  EXPECT_EQ(Listed(Ndx), "0\t4\n1\t2\n2\t3\n7\t1\n");
  const TTableRun Sound = RunTable({Table, "index", Ndx, "verify"});
  EXPECT_EQ(Sound.Status, 0) << Sound.Err;

  EXPECT_EQ(RunTable({Table, "set", "4", "IDX=9"}).Status, 0);
  const TTableRun V = RunTable({Table, "index", Ndx, "verify"});
  EXPECT_EQ(V.Status, 1);
  EXPECT_EQ(V.Err, "Index \"" + Ndx + "\": key '0' is not the key of record 4.\n");
}

TEST_F(IndexCommand, FailedCreateLeavesNoFileAndBadArgumentsExit2) {
  WriteTable(Table, SampleFields, {Record(SampleFields, {"1"}), Record(SampleFields, {"1"})});
  const TTableRun R = RunTable({Table, "index", Ndx, "create", "IDX", "--distinct"});
  EXPECT_EQ(R.Status, 1);
  EXPECT_NE(R.Err.find("Key violation"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Ndx));
  EXPECT_EQ(RunTable({Table, "index", Ndx, "create", "NOPE"}).Err,
            "Index based on unknown field \"NOPE\".\n");
  EXPECT_FALSE(std::filesystem::exists(Ndx));
  EXPECT_EQ(RunTable({Table, "index", Ndx, "create", "IDX", "--fast"}).Status, 2);
  EXPECT_EQ(RunTable({Table, "index", Ndx, "shuffle"}).Status, 2);
  EXPECT_EQ(RunTable({Table, "index", Ndx, "list"}).Err,
            "Open: file not found: \"" + Ndx + "\".\n");
}

// What a crash leaves: the mark of a change that never finished, set here by hand.
TEST_F(IndexCommand, CutOffChangeIsReportedByVerifyAndRebuiltWhenAttached) {
  ASSERT_EQ(RunTable({Table, "index", Ndx, "create", "IDX", "--distinct"}).Status, 0);
  {
    std::fstream File(Ndx, std::ios::binary | std::ios::in | std::ios::out);
    File.seekp(22);
    File.put(char(0xC5));
  }
  const std::string Damaged =
      "Index file \"" + Ndx + "\" is damaged: a change to it was cut off before it was complete.";
  const TTableRun V = RunTable({Table, "index", Ndx, "verify"});
  EXPECT_EQ(V.Status, 1);
  EXPECT_EQ(V.Err, Damaged + "\n");

  const TTableRun A = RunTable({Table, "--index", Ndx, "append", "IDX=5", "NAME_PEST=Tick"});
  EXPECT_EQ(A.Status, 0);
  EXPECT_EQ(A.Err, "tessolon table: " + Damaged + " It has been rebuilt from the table.\n");
  EXPECT_EQ(Listed(Ndx), "1\t2\n2\t3\n3\t1\n5\t4\n");
  EXPECT_EQ(RunTable({Table, "index", Ndx, "verify"}).Status, 0);
}

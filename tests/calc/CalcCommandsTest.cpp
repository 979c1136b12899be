// LibreOffice Calc as the user's other program: it reads the shipped table, writes tables of its
// own and edits ours beside our index. What the program's commands then show is checked against
// what Calc itself reads and writes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <sstream>

#include "tests/calc/CalcRoundTrips.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/ShellRun.h"

namespace fs = std::filesystem;

namespace {

const fs::path Program = fs::path(TESSOLON_BINARY_DIR) / "tessolon";

std::vector<std::string> Split(const std::string& Text, const std::string& Separator) {
  std::vector<std::string> Parts;
  std::size_t From = 0;
  for (std::size_t At; (At = Text.find(Separator, From)) != std::string::npos;) {
    Parts.push_back(Text.substr(From, At - From));
    From = At + Separator.size();
  }
  Parts.push_back(Text.substr(From));
  return Parts;
}

std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> Result;
  std::istringstream In(Text);
  for (std::string Line; std::getline(In, Line);) Result.push_back(Line);
  return Result;
}

// One value as Calc's CSV and the table command write it: numbers compare as numbers (Calc
// keeps the field's decimals, the command writes the shortest form), text as text.
bool SameValue(const std::string& Calc, const std::string& Ours) {
  if (IsNumber(Calc) && IsNumber(Ours)) return std::stod(Calc) == std::stod(Ours);
  return Calc == Ours;
}

// `table FILE list` shows Csv's records, in its order, none deleted.
void ExpectListedAsCalc(const TCsv& Csv, const std::string& Listed) {
  const auto Rows = Lines(Listed);
  ASSERT_EQ(Rows.size(), Csv.size() - 1) << Listed;
  for (std::size_t R = 0; R < Rows.size(); ++R) {
    const auto Cells = Split(Rows[R], "\t");
    const auto& Expected = Csv[R + 1];
    ASSERT_EQ(Cells.size(), Expected.size() + 1) << Rows[R];
    EXPECT_EQ(Cells[0], " ") << Rows[R];
    for (std::size_t C = 0; C < Expected.size(); ++C)
      EXPECT_TRUE(SameValue(Expected[C], Cells[C + 1]))
          << Csv[0][C] << ": Calc " << Expected[C] << ", list " << Cells[C + 1];
  }
}

// The line of Text that starts with Prefix, or "(none)".
std::string LineStarting(const std::string& Text, const std::string& Prefix) {
  for (const std::string& Line : Lines(Text))
    if (Line.rfind(Prefix, 0) == 0) return Line;
  return "(none)";
}

// What a line of `profiles` says of the record's own cells: "KEY  NAME  every I ms  tone D
// ms", the numbers in their shortest form.
std::string ProfileCells(const std::string& Key, const std::string& Name,
                         const std::string& Interval, const std::string& Duration) {
  const auto Number = [](const std::string& Text) {
    return IsNumber(Text) ? std::to_string(std::lround(std::stod(Text))) : Text;
  };
  return Key + "  " + Name + "  every " + Number(Interval) + " ms  tone " + Number(Duration) +
         " ms";
}

// The same from a line "KEY  NAME  BAND  step S Hz  every I ms  tone D ms  WAVE".
std::string ProfileCells(const std::string& Line) {
  const auto Parts = Split(Line, "  ");
  if (Parts.size() < 6) return Line;
  return ProfileCells(Parts[0], Parts[1], Split(Parts[4], " ")[1], Split(Parts[5], " ")[1]);
}

std::vector<std::string> ProfileNames(const std::string& Out) {
  std::vector<std::string> Names;
  for (const std::string& Line : Lines(Out)) Names.push_back(Split(Line, "  ").at(1));
  return Names;
}

std::string Quoted(const fs::path& Path) {
  return "'" + Path.string() + "'";
}

class CalcPeer : public testing::Test {
 protected:
  void SetUp() override {
    if (!TCalc::Installed()) GTEST_SKIP() << "LibreOffice Calc (soffice) is not installed";
    Trips = &CalcRoundTrips();
  }

  // The program run in the scratch folder, whose data/para.dbf is then its pest table.
  TShellRun Tessolon(const std::string& Args) {
    return RunShell(Folder.Path(), "cd " + Quoted(Folder.Path()) + " && XDG_DATA_HOME=" +
                                       Quoted(Folder / "xdg") + " " + Quoted(Program) + " " + Args);
  }
  // The given table as the pest table, without an index.
  void UseTable(const fs::path& Table) {
    fs::remove_all(Folder / "data");
    fs::create_directories(Folder / "data");
    fs::copy_file(Table, Folder / "data/para.dbf");
  }

  const TCalcRoundTrips* Trips = nullptr;
  TScratchFolder Folder{"tessolon-calc-run-"};
};

}  // namespace

TEST_F(CalcPeer, ReadsOurTableAsTheTableCommandListsIt) {
  const TCsv& Csv = Trips->ShippedCsv;
  EXPECT_EQ(ReadWholeFile(Trips->ShippedTable),
            ReadWholeFile(fs::path(TESSOLON_SOURCE_DIR) / "data/para.dbf"));
  const TShellRun List = Tessolon("table " + Quoted(Trips->ShippedTable) + " list");
  ASSERT_EQ(List.Status, 0) << List.Err;
  ExpectListedAsCalc(Csv, List.Out);

  // Calc's first row defines the fields as `table info` lists them: name, type, size, decimals.
  const TShellRun Info = Tessolon("table " + Quoted(Trips->ShippedTable) + " info");
  ASSERT_EQ(Info.Status, 0) << Info.Err;
  std::vector<std::string> Ours;
  for (const std::string& Line : Lines(Info.Out.substr(Info.Out.find("Fields: ")))) {
    char Name[16], Type;
    int Size, Decimals;
    if (std::sscanf(Line.c_str(), " %15s %c %d %d", Name, &Type, &Size, &Decimals) == 4)
      Ours.push_back(std::string(Name) + "," + Type + "," + std::to_string(Size) +
                     (Type == 'C' ? "" : "," + std::to_string(Decimals)));
  }
  EXPECT_EQ(Ours, Csv[0]) << Info.Out;
}

// Thai names the program appended to the shipped table: Calc, told the Thai character set,
// reads them as `table list` shows them.
TEST_F(CalcPeer, ReadsThaiNamesTheProgramAppended) {
  const TCsv& Csv = Trips->ThaiCsv;
  const TShellRun List = Tessolon("table " + Quoted(Trips->ThaiTable) + " list");
  ASSERT_EQ(List.Status, 0) << List.Err;
  ExpectListedAsCalc(Csv, List.Out);
  ASSERT_GT(Csv.size(), ThaiPests.size());
  const std::size_t Name = CsvColumn(Csv, "NAME_PEST");
  std::vector<std::string> Appended;
  for (std::size_t R = Csv.size() - ThaiPests.size(); R < Csv.size(); ++R)
    Appended.push_back(Csv[R][Name]);
  EXPECT_EQ(Appended, ThaiPests);
}

// Calc marks no code page in its dBase tables and writes the year less 1900, so 26 for 2026.
// Unmarked UTF-8 text reads as UTF-8; other unmarked text keeps the default code page, 437,
// unless the user names the encoding.
TEST_F(CalcPeer, ItsTablesReadWithTheirNamesTheirYearAndTheirEncoding) {
  const std::vector<std::string> Cp437Reading = {"Moth \u2584", "Grillon \u0398"};
  const struct {
    const char* Title;
    fs::path Table;
    std::string Option;
    std::vector<std::string> Names;
    const char* Encoding;
  } Cases[] = {
      {"UTF-8", Trips->Utf8Table, "", NonAsciiPests, "UTF-8"},
      {"windows-1252", Trips->Cp1252Table, "", Cp437Reading, "437"},
      {"windows-1252 named", Trips->Cp1252Table, " --encoding cp1252", NonAsciiPests, "1252"},
  };
  const std::size_t NameColumn = CsvColumn(Trips->ShippedCsv, "NAME_PEST") + 1;
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Title);
    const std::string Bytes = ReadWholeFile(Case.Table);
    ASSERT_GT(Bytes.size(), 32u);
    ASSERT_EQ(std::uint8_t(Bytes[29]), 0) << "Calc now marks its tables' code page";
    const int YearByte = std::uint8_t(Bytes[1]);
    ASSERT_LT(YearByte, 80) << "Calc now writes the year otherwise";

    const std::string Table = " " + Quoted(Case.Table) + Case.Option;
    const TShellRun Info = Tessolon("table" + Table + " info");
    EXPECT_EQ(Info.Status, 0) << Info.Err;
    char Updated[64];
    std::snprintf(Updated, sizeof Updated, "Last update: %04d-%02d-%02d", 2000 + YearByte, Bytes[2],
                  Bytes[3]);
    EXPECT_EQ(LineStarting(Info.Out, "Last update: "), Updated);
    EXPECT_NE(LineStarting(Info.Out, "Encoding: ").find(Case.Encoding), std::string::npos)
        << LineStarting(Info.Out, "Encoding: ");

    const TShellRun List = Tessolon("table" + Table + " list");
    EXPECT_EQ(List.Status, 0) << List.Err;
    std::vector<std::string> Listed;
    for (const std::string& Line : Lines(List.Out))
      Listed.push_back(Split(Line, "\t").at(NameColumn));
    EXPECT_EQ(Listed, Case.Names);
    if (!Case.Option.empty()) continue;

    UseTable(Case.Table);
    const TShellRun Profiles = Tessolon("profiles");
    EXPECT_EQ(Profiles.Status, 0) << Profiles.Err;
    EXPECT_EQ(ProfileNames(Profiles.Out), Case.Names);
  }
}

// The user's case: the shipped table opened in Calc, profiles added, changed and deleted, saved
// over para.dbf as dBase; our idx.ndx, which Calc knows nothing of, stays beside it.
TEST_F(CalcPeer, ItsEditBesideOurOldIndexLeavesNoProfileOut) {
  const TCsv& Csv = Trips->EditedCsv;
  // Calc kept the edit it was given.
  ASSERT_EQ(Csv.size(), Trips->EditCsv.size());
  for (std::size_t R = 0; R < Csv.size(); ++R)
    for (std::size_t C = 0; C < Csv[R].size(); ++C)
      ASSERT_TRUE(SameValue(Trips->EditCsv[R][C], Csv[R][C])) << Csv[R][C];
  CopyFolderKeepingTimes(Trips->EditedData, Folder / "data");

  // Every profile of Calc's table, in key order.
  const std::size_t Idx = CsvColumn(Csv, "IDX"), Name = CsvColumn(Csv, "NAME_PEST"),
                    Interval = CsvColumn(Csv, "TIME_CH"), Duration = CsvColumn(Csv, "DURLATE");
  std::map<long, std::string> ByKey;
  for (std::size_t R = 1; R < Csv.size(); ++R)
    ByKey[std::stol(Csv[R][Idx])] =
        ProfileCells(Csv[R][Idx], Csv[R][Name], Csv[R][Interval], Csv[R][Duration]);
  std::vector<std::string> Expected;
  for (const auto& Entry : ByKey) Expected.push_back(Entry.second);

  // The first open finds the index stale, mends it and says so, naming it; later ones say
  // nothing. Either way every profile is listed, in key order.
  for (const bool First : {true, false}) {
    SCOPED_TRACE(First ? "first profiles" : "second profiles");
    const TShellRun Profiles = Tessolon("profiles");
    EXPECT_EQ(Profiles.Status, 0) << Profiles.Err;
    EXPECT_EQ(Profiles.Err.find("idx.ndx") != std::string::npos, First) << Profiles.Err;
    std::vector<std::string> Listed;
    for (const std::string& Line : Lines(Profiles.Out)) Listed.push_back(ProfileCells(Line));
    EXPECT_EQ(Listed, Expected);
  }

  // A sweep finds each new or renamed profile; one tick written to a file is enough.
  std::vector<std::string> Sought = {ChangedName};
  for (const auto& Added : AddedPests) Sought.push_back(Added.second);
  for (const std::string& Pest : Sought) {
    SCOPED_TRACE(Pest);
    const fs::path Wave = Folder / "tick.wav";
    fs::remove(Wave);
    const TShellRun Sweep =
        Tessolon("sweep --pest '" + Pest + "' --ticks 1 --export " + Quoted(Wave));
    EXPECT_EQ(Sweep.Status, 0) << Sweep.Err;
    EXPECT_EQ(Sweep.Out.rfind("1 ", 0), 0u) << Sweep.Out;
    EXPECT_EQ(Sweep.Err.find("idx.ndx"), std::string::npos) << Sweep.Err;
    EXPECT_TRUE(fs::exists(Wave));
  }

  const TShellRun List = Tessolon("table data/para.dbf list");
  ASSERT_EQ(List.Status, 0) << List.Err;
  ExpectListedAsCalc(Csv, List.Out);
  const TShellRun Verify = Tessolon("table data/para.dbf index data/idx.ndx verify");
  EXPECT_EQ(Verify.Status, 0) << Verify.Err;
}

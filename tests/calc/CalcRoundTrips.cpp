#include "tests/calc/CalcRoundTrips.h"

#include <algorithm>
#include <stdexcept>
#include <variant>

#include "tests/support/ScratchFolder.h"
#include "tests/support/ShellRun.h"

namespace fs = std::filesystem;

namespace {

// Calc's character sets for its dBase export, and its Thai one (TIS-620, whose letters are
// those of code page 874) for reading.
const std::string DbaseUtf8 = "dbf:dBase:76", DbaseWindows1252 = "dbf:dBase:1",
                  DbaseThai = "dBase:87";

const fs::path Shipped = fs::path(TESSOLON_SOURCE_DIR) / "data";

// The shipped CSV with the user's edit: rows added after the others, one changed, one gone.
TCsv Edit(const TCsv& Csv) {
  const std::size_t Idx = CsvColumn(Csv, "IDX"), Name = CsvColumn(Csv, "NAME_PEST"),
                    Interval = CsvColumn(Csv, "TIME_CH");
  TCsv Result;
  for (const auto& Row : Csv) {
    if (Row[Idx] == DeletedIdx) continue;
    Result.push_back(Row);
    if (Row[Idx] != ChangedIdx) continue;
    Result.back()[Name] = ChangedName;
    Result.back()[Interval] = ChangedInterval;
  }
  // Each added profile takes the numbers of the last row.
  const std::vector<std::string> Model = Csv.back();
  for (const auto& [Key, Pest] : AddedPests) {
    Result.push_back(Model);
    Result.back()[Idx] = Key;
    Result.back()[Name] = Pest;
  }
  return Result;
}

// The shipped table with ThaiPests appended by the program, keys from 20 on.
fs::path AppendThaiPests(const fs::path& Folder) {
  fs::create_directories(Folder);
  const fs::path Table = Folder / "para.dbf";
  fs::copy_file(Shipped / "para.dbf", Table);
  const std::string Program = (fs::path(TESSOLON_BINARY_DIR) / "tessolon").string();
  for (std::size_t I = 0; I < ThaiPests.size(); ++I) {
    const TShellRun Append =
        RunShell(Folder, ShellQuoted(Program) + " table " + ShellQuoted(Table.string()) +
                             " append IDX=" + std::to_string(20 + I) + " " +
                             ShellQuoted("NAME_PEST=" + ThaiPests[I]));
    if (Append.Status != 0) throw std::runtime_error("tessolon table append: " + Append.Err);
  }
  return Table;
}

TCalcRoundTrips Make(const fs::path& Root) {
  const TCalc Calc(Root / "office");
  TCalcRoundTrips Trips;
  fs::create_directories(Root / "shipped");
  Trips.ShippedTable = Root / "shipped/para.dbf";
  fs::copy_file(Shipped / "para.dbf", Trips.ShippedTable);
  Trips.ShippedCsv = ReadCsv(Calc.Convert({Trips.ShippedTable}, CsvOut, Root / "shipped-csv")[0]);
  if (Trips.ShippedCsv.size() < 2) throw std::runtime_error("Calc's CSV of para.dbf is empty");

  // The names take the shipped table's fields and the numbers of its first profile.
  TCsv Names = {Trips.ShippedCsv[0]};
  for (const std::string& Pest : NonAsciiPests) {
    Names.push_back(Trips.ShippedCsv[1]);
    Names.back()[CsvColumn(Names, "IDX")] = std::to_string(Names.size() - 1);
    Names.back()[CsvColumn(Names, "NAME_PEST")] = Pest;
  }
  fs::create_directories(Root / "in");
  WriteCsv(Root / "in/names.csv", Names);
  Trips.EditCsv = Edit(Trips.ShippedCsv);
  WriteCsv(Root / "in/para.csv", Trips.EditCsv);

  // The index is the older file, as after any use of the shipped table.
  Trips.EditedData = Root / "edited/data";
  fs::create_directories(Trips.EditedData);
  fs::copy_file(Shipped / "idx.ndx", Trips.EditedData / "idx.ndx");
  fs::copy_file(Shipped / "para.dbf", Trips.EditedData / "para.dbf");
  // One start writes the edit over the table and the names beside it, which then move out.
  Calc.Convert({Root / "in/names.csv", Root / "in/para.csv"}, DbaseUtf8, Trips.EditedData, CsvIn);
  fs::create_directories(Root / "utf8");
  Trips.Utf8Table = Root / "utf8/names.dbf";
  fs::rename(Trips.EditedData / "names.dbf", Trips.Utf8Table);
  Trips.Cp1252Table =
      Calc.Convert({Root / "in/names.csv"}, DbaseWindows1252, Root / "cp1252", CsvIn)[0];

  // Calc reads a copy, so that nothing of its own comes near the data folder.
  CopyFolderKeepingTimes(Trips.EditedData, Root / "edited-copy");
  Trips.EditedCsv =
      ReadCsv(Calc.Convert({Root / "edited-copy/para.dbf"}, CsvOut, Root / "edited-csv")[0]);

  Trips.ThaiTable = AppendThaiPests(Root / "thai");
  Trips.ThaiCsv = ReadCsv(Calc.Convert({Trips.ThaiTable}, CsvOut, Root / "thai-csv", DbaseThai)[0]);
  return Trips;
}

}  // namespace

const TCalcRoundTrips& CalcRoundTrips() {
  static const TScratchFolder Root("tessolon-calc-");
  // A failure is kept too, so that every test names it, not only the first.
  static const std::variant<TCalcRoundTrips, std::string> Made =
      []() -> std::variant<TCalcRoundTrips, std::string> {
    try {
      return Make(Root.Path());
    } catch (const std::exception& E) {
      return E.what();
    }
  }();
  if (const auto* Error = std::get_if<std::string>(&Made)) throw std::runtime_error(*Error);
  return std::get<TCalcRoundTrips>(Made);
}

std::size_t CsvColumn(const TCsv& Csv, const std::string& Field) {
  const auto& Header = Csv.at(0);
  for (std::size_t I = 0; I < Header.size(); ++I)
    if (Header[I].rfind(Field + ",", 0) == 0) return I;
  throw std::runtime_error("no field " + Field + " in the CSV");
}

void CopyFolderKeepingTimes(const fs::path& From, const fs::path& To) {
  std::vector<fs::path> Files;
  for (const auto& Entry : fs::directory_iterator(From))
    if (Entry.is_regular_file()) Files.push_back(Entry.path());
  std::sort(Files.begin(), Files.end(), [](const fs::path& A, const fs::path& B) {
    return fs::last_write_time(A) < fs::last_write_time(B);
  });
  fs::create_directories(To);
  for (const fs::path& File : Files) {
    const fs::path Copy = To / File.filename();
    fs::copy_file(File, Copy, fs::copy_options::overwrite_existing);
    fs::last_write_time(Copy, fs::last_write_time(File));
  }
}

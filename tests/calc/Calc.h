// LibreOffice Calc run as a black box (soffice --headless --convert-to), and the CSV files it
// reads and writes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// One office with a profile, home and temporary folder of its own, so that tests side by side
// and the user's own office never meet. Each Convert starts it once for many files.
class TCalc {
 public:
  // True when soffice is on the PATH.
  static bool Installed();

  explicit TCalc(std::filesystem::path Folder) : FFolder(std::move(Folder)) {}

  // Converts every file of Inputs into OutDir in one start of the office and returns the
  // outputs, named as the inputs with Filter's extension. Filter is as --convert-to takes it
  // ("dbf:dBase:76"), InFilter as --infilter (empty: Calc's choice). Throws std::runtime_error
  // with Calc's own words when an output is missing.
  std::vector<std::filesystem::path> Convert(const std::vector<std::filesystem::path>& Inputs,
                                             const std::string& Filter,
                                             const std::filesystem::path& OutDir,
                                             const std::string& InFilter = "") const;

 private:
  std::filesystem::path FFolder;
};

// Calc's CSV export and import: the first row holds the dBase field definitions
// ("NAME_PEST,C,30"), the cells are separated by commas, text cells are quoted.
inline const std::string CsvOut = "csv:Text - txt - csv (StarCalc):44,34,76,1";
inline const std::string CsvIn = "CSV:44,34,76,1";

// A CSV file as rows of cells. A cell is quoted when it is not a plain number, '"' doubled
// inside; no cell holds a line break.
using TCsv = std::vector<std::vector<std::string>>;
TCsv ReadCsv(const std::filesystem::path& Name);
void WriteCsv(const std::filesystem::path& Name, const TCsv& Rows);

// True when Text is a whole decimal number (sign, digits, one point), as Calc and the table
// command write numbers.
bool IsNumber(const std::string& Text);

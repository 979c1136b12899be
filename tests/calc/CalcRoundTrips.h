// The round trips through Calc that this suite's tests read, made once a process: Calc starts
// five times for all of them.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/calc/Calc.h"

// Profiles that Calc writes from CSV, with names outside ASCII.
inline const std::vector<std::string> NonAsciiPests = {"Moth \u00dc", "Grillon \u00e9"};
// Pest names in Thai ("mosquito", "cockroach"), which the shipped table's code page holds.
inline const std::vector<std::string> ThaiPests = {"\u0E22\u0E38\u0E07",
                                                   "\u0E41\u0E21\u0E25\u0E07\u0E2A\u0E32\u0E1A"};
// The user's edit of the shipped table in Calc: these rows added (out of key order), ...
inline const std::vector<std::pair<std::string, std::string>> AddedPests = {{"11", "Hornet"},
                                                                            {"0", "Wasp"}};
// ... this one renamed and given another interval, ...
inline const std::string ChangedIdx = "4", ChangedName = "Field mouse", ChangedInterval = "220";
// ... and this one deleted.
inline const std::string DeletedIdx = "3";

struct TCalcRoundTrips {
  std::filesystem::path ShippedTable;  // a copy of data/para.dbf, which Calc read
  TCsv ShippedCsv;                     // Calc's CSV of it
  // NonAsciiPests written by Calc as dBase tables, in UTF-8 and in windows-1252.
  std::filesystem::path Utf8Table, Cp1252Table;
  // A data folder: Calc's table from the edited CSV written over a copy of the shipped one,
  // whose idx.ndx stays beside it. No program of ours has opened it.
  std::filesystem::path EditedData;
  TCsv EditCsv;    // the CSV the edit gave Calc
  TCsv EditedCsv;  // Calc's CSV of the table it wrote
  // A copy of the shipped table with ThaiPests appended by `tessolon table FILE append`, and
  // Calc's CSV of it. Calc reads no code-page mark (it takes IBM 850 whatever the table says),
  // so it is told the Thai character set.
  std::filesystem::path ThaiTable;
  TCsv ThaiCsv;
};

// Made at the first call; throws when Calc fails.
const TCalcRoundTrips& CalcRoundTrips();

// The column of a table CSV whose definition cell names Field ("NAME_PEST,C,30").
std::size_t CsvColumn(const TCsv& Csv, const std::string& Field);

// Copies the files of folder From into To (made when missing), each keeping its modification
// time, in the order of those times: a table written after its index stays so.
void CopyFolderKeepingTimes(const std::filesystem::path& From, const std::filesystem::path& To);

// Where the pest table lives. A working directory that has data/para.dbf keeps its own table (a
// source checkout, a copied folder); started anywhere else, the program uses the user's copy in
// $XDG_DATA_HOME/tessolon/data/, made from the installed table the first time, so that edits
// never reach the installed files.
#pragma once

#include <filesystem>
#include <string>

struct TDataPlaces {
  std::filesystem::path Current;    // the working directory
  std::filesystem::path UserData;   // $XDG_DATA_HOME, else ~/.local/share; empty when unknown
  std::filesystem::path Installed;  // the installed table's folder; empty when not installed
};

// The places of this process: its working directory, its environment and its own location.
TDataPlaces ProcessDataPlaces();

// The folder of para.dbf, ending in a slash. Copies the installed table into the user's folder
// when that has none yet, and gives a copy made before the table carried its code page the
// shipped table's mark (MarkPlainTable). When the copy fails the user's folder is still the
// answer: opening the table there then names the table that is missing.
std::string PestTableFolder(const TDataPlaces& Places);
std::string PestTableFolder();

// A fresh scratch folder whose data/ holds a copy of the shipped pest table (and its index when
// one is shipped), so tests may change the table freely.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/ScratchFolder.h"

// Returns the folder (data/ lies inside); the caller removes it when done.
inline std::filesystem::path MakeScratchDataFolder(const std::string& Prefix) {
  namespace fs = std::filesystem;
  const fs::path Dir = MakeScratchFolder(Prefix);
  fs::create_directories(Dir / "data");
  const fs::path Shipped = fs::path(TESSOLON_SOURCE_DIR) / "data";
  fs::copy_file(Shipped / "para.dbf", Dir / "data" / "para.dbf");
  if (fs::exists(Shipped / "idx.ndx")) fs::copy_file(Shipped / "idx.ndx", Dir / "data" / "idx.ndx");
  return Dir;
}

// The headless commands' tests run in a scratch folder that is the current directory, with the
// pest table in data/ and the standard streams captured.
#pragma once

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "tests/support/ScratchFolder.h"

class TSweepFolder {
 public:
  // With Shipped, data/para.dbf is a copy of the shipped table; otherwise data/ is empty.
  explicit TSweepFolder(const std::string& Prefix, bool Shipped = true) : FFolder(Prefix) {
    std::filesystem::create_directories(FFolder / "data");
    if (Shipped)
      std::filesystem::copy_file(std::filesystem::path(TESSOLON_SOURCE_DIR) / "data" / "para.dbf",
                                 FFolder / "data" / "para.dbf");
    FPrevious = std::filesystem::current_path();
    std::filesystem::current_path(FFolder.Path());
    FOldOut = std::cout.rdbuf(Out.rdbuf());
    FOldErr = std::cerr.rdbuf(Err.rdbuf());
  }
  ~TSweepFolder() {
    std::cout.rdbuf(FOldOut);
    std::cerr.rdbuf(FOldErr);
    std::filesystem::current_path(FPrevious);
  }
  TSweepFolder(const TSweepFolder&) = delete;
  TSweepFolder& operator=(const TSweepFolder&) = delete;

  std::filesystem::path Data() const { return FFolder / "data"; }
  std::ostringstream Out, Err;

 private:
  TScratchFolder FFolder;
  std::filesystem::path FPrevious;
  std::streambuf *FOldOut = nullptr, *FOldErr = nullptr;
};

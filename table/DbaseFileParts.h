// What the sources of TDbaseFile share (DbaseFile.cpp: opening and the header; DbaseRecords.cpp:
// records; DbaseAppend.cpp: appending; DbaseEncoding.cpp: the code page).
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <exception>
#include <memory>
#include <vector>

#include "table/DbaseFile.h"

// Ends the records in the file.
inline constexpr std::uint8_t EndOfFile = 0x1A;

inline std::tm LocalNow() {
  const std::time_t Now = std::time(nullptr);
  std::tm Result{};
  localtime_r(&Now, &Result);
  return Result;
}

// The indexes' side of one change of the table: begun on every index at construction, put
// back by Undo or at the end of the scope unless kept.
class TIndexChanges {
 public:
  using TIndexList = std::vector<std::unique_ptr<TDbaseIndexLink>>;
  explicit TIndexChanges(const TIndexList& Indexes) : FIndexes(Indexes) {
    try {
      for (; FBegun < FIndexes.size(); ++FBegun) FIndexes[FBegun]->BeginChange();
    } catch (...) {
      Undo();
      throw;
    }
  }
  ~TIndexChanges() { Undo(); }
  TIndexChanges(const TIndexChanges&) = delete;
  TIndexChanges& operator=(const TIndexChanges&) = delete;
  void Write() {
    for (const auto& Index : FIndexes) Index->WriteChange();
  }
  void Keep() {
    for (; FBegun > 0; --FBegun) FIndexes[FBegun - 1]->EndChange(true);
  }
  void Undo() {
    for (; FBegun > 0; --FBegun) {
      try {
        FIndexes[FBegun - 1]->EndChange(false);
      } catch (const std::exception&) {
      }
    }
  }

 private:
  const TIndexList& FIndexes;
  std::size_t FBegun = 0;
};

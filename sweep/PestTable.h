// The pest profile table as the headless commands use it: para.dbf in the table's folder with
// idx.ndx attached, in key order.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "table/DbaseTable.h"

class TPestTable {
 public:
  // Opens DataFolder/para.dbf read-only, attaches idx.ndx on IDX and orders by it. An idx.ndx
  // that no longer matches the table is rebuilt, or else left out (file order); either way
  // OnNotice is told why.
  TPestTable(const std::string& DataFolder,
             const std::function<void(const std::string& Notice)>& OnNotice);

  void First() { FTable.First(); }
  void Next() { FTable.Next(); }
  bool Eof() const { return FTable.Eof(); }
  TField* Field(const std::string& Name) const { return FTable.FieldByName(Name); }
  // Make the matching record current; false when none matches.
  bool LocatePest(const std::string& Name);
  bool LocateIdx(long long Idx);
  TDbaseTable& Table() { return FTable; }

 private:
  TDbaseTable FTable{nullptr};
};

// A band of frequencies in hertz.
struct TBand {
  int64_t Low, High;
};
// The part of Band (its limits in either order) at or above Hertz; none when all of it lies
// below.
std::optional<TBand> PartAtOrAbove(TBand Band, int64_t Hertz);

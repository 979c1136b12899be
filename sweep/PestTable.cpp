#include "sweep/PestTable.h"

#include <algorithm>

#include "platform/data/TextCase.h"
#include "sweep/PestFields.h"

TPestTable::TPestTable(const std::string& DataFolder,
                       const std::function<void(const std::string& Notice)>& OnNotice) {
  FTable.SetFilePath(DataFolder);
  FTable.OnIndexNotice = [OnNotice](TDbaseTable*, const std::string& Notice) { OnNotice(Notice); };
  FTable.SetTableName("para.dbf");
  FTable.SetReadOnly(true);
  // The table's one index definition; a missing idx.ndx is rebuilt from the records at open.
  FTable.Indexes().Add({"idx.ndx", PestField::Idx, ixPrimary | ixUnique});
  FTable.Open();
  FTable.AttachIndexFile("idx.ndx");
  // Listing in key order and seeking a key both go through the index.
  FTable.SetIndexName("idx.ndx");
  FTable.First();
}

bool TPestTable::LocatePest(const std::string& Name) {
  for (FTable.First(); !FTable.Eof(); FTable.Next())
    if (SameText(Field(PestField::Name)->AsString(), Name)) return true;
  return false;
}

bool TPestTable::LocateIdx(long long Idx) {
  return FTable.Locate(PestField::Idx, TVariant(static_cast<int64_t>(Idx)), 0);
}

std::optional<TBand> PartAtOrAbove(TBand Band, int64_t Hertz) {
  const int64_t Low = std::min(Band.Low, Band.High), High = std::max(Band.Low, Band.High);
  if (High < Hertz) return std::nullopt;
  return TBand{std::max(Low, Hertz), High};
}

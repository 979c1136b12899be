#include "sweep/PestTable.h"

#include <algorithm>

#include "platform/data/TextCase.h"
#include "sound/ToneGen.h"

TPestTable::TPestTable(const std::string& DataFolder) {
  FTable.SetFilePath(DataFolder);
  FTable.SetTableName("para.dbf");
  FTable.SetReadOnly(true);
  // The table's one index definition; a missing idx.ndx is rebuilt from the records at open.
  FTable.Indexes().Add({"idx.ndx", "IDX", ixPrimary | ixUnique});
  FTable.Open();
  FTable.AttachIndexFile("idx.ndx");
  // Listing in key order and seeking a key both go through the index.
  FTable.SetIndexName("idx.ndx");
  FTable.First();
}

bool TPestTable::LocatePest(const std::string& Name) {
  for (FTable.First(); !FTable.Eof(); FTable.Next())
    if (SameText(Field("NAME_PEST")->AsString(), Name)) return true;
  return false;
}

bool TPestTable::LocateIdx(long long Idx) {
  return FTable.Locate("IDX", TVariant(static_cast<int64_t>(Idx)), 0);
}

double TPlainSweepHost::FieldAsFloat(const std::string& Name) {
  return NumberFieldAsFloat(*FTable.Field(Name));
}

int64_t TPlainSweepHost::FieldAsInteger(const std::string& Name) {
  return NumberFieldAsInteger(*FTable.Field(Name));
}

std::string TPlainSweepHost::FieldAsString(const std::string& Name) {
  return FTable.Field(Name)->AsString();
}

void TPlainSweepHost::SetBand(int Min, int Max) {
  FMin = Min;
  FMax = std::max(Min, Max);
  SetPosition(FPosition);
}

void TPlainSweepHost::SetPosition(int Value) {
  FPosition = std::clamp(Value, FMin, FMax);
}

void ApplyDialogToneSettings(TToneGen& ToneGen) {
  ToneGen.SetLoop(true);
  ToneGen.SetAMAmplitude(30);
  ToneGen.SetAMWaveform(tgSine);
  ToneGen.SetAMFrequency(0.3f);
}

std::optional<TBand> PartAtOrAbove(TBand Band, int64_t Hertz) {
  const int64_t Low = std::min(Band.Low, Band.High), High = std::max(Band.Low, Band.High);
  if (High < Hertz) return std::nullopt;
  return TBand{std::max(Low, Hertz), High};
}

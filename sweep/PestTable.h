// The pest profile table as the headless commands use it: para.dbf in the table's folder with
// idx.ndx attached, in key order, and a sweep host over its current record with the Adjustment
// dialog's initial settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sweep/Sweep.h"
#include "table/DbaseTable.h"

class TToneGen;

class TPestTable {
 public:
  // Opens DataFolder/para.dbf read-only, attaches idx.ndx on IDX and orders by it.
  explicit TPestTable(const std::string& DataFolder);

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

// The band bar and the dialog's boxes as plain values, the record from the table.
class TPlainSweepHost : public ISweepHost {
 public:
  explicit TPlainSweepHost(TPestTable& Table) : FTable(Table) {}

  double FieldAsFloat(const std::string& Name) override;
  int64_t FieldAsInteger(const std::string& Name) override;
  std::string FieldAsString(const std::string& Name) override;
  int BandMin() override { return FMin; }
  int BandMax() override { return FMax; }
  int Position() override { return FPosition; }
  void SetBand(int Min, int Max) override;
  void SetPosition(int Value) override;
  void SetStep(int) override {}
  void SetInterval(int Milliseconds) override { FInterval = Milliseconds; }
  int Interval() const { return FInterval; }
  bool AutoChange() override { return true; }
  bool SoundCard() override { return FSoundCard; }
  void SetSoundCard(bool Value) { FSoundCard = Value; }
  bool PlayADSR() override { return true; }
  bool Stereo() override { return true; }
  int LeftVolume() override { return 60; }
  int RightVolume() override { return 80; }
  int Amplitude() override { return 30; }

 private:
  TPestTable& FTable;
  // The dialog's track bar and timer as stored.
  int FMin = 15000, FMax = 50000, FPosition = 15000, FInterval = 1000;
  bool FSoundCard = true;
};

// The settings the Adjustment dialog's tone generator is stored with.
void ApplyDialogToneSettings(TToneGen& ToneGen);

// A band of frequencies in hertz.
struct TBand {
  int64_t Low, High;
};
// The part of Band (its limits in either order) at or above Hertz; none when all of it lies
// below.
std::optional<TBand> PartAtOrAbove(TBand Band, int64_t Hertz);

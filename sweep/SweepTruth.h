// What a played sweep says about the sound its tones carry into hearing: the level of the pass at
// its start, a line whenever a tick's level falls into another class, and, with ultrasound-only
// synthesis, why a tone below 20.5 kHz stays silent. Shared by the command's terminal lines and its
// service log.
#pragma once

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "sound/AudibleLevel.h"
#include "sweep/ServiceLog.h"
#include "sweep/SweepLevel.h"

class TToneGen;

class TSweepTruth {
 public:
  TSweepTruth(ISweepLog& Log, const TToneGen& ToneGen, bool ADSR, int Interval)
      : FLog(Log), FToneGen(ToneGen), FADSR(ADSR), FInterval(Interval) {}
  // Measures one pass through Positions and says it.
  void Start(const std::vector<int>& Positions);
  // After tick Number has played the tone generator's tone.
  void Tick(long long Number);
  // Whether ultrasound-only synthesis leaves the tone generator's main tone out; said once.
  bool SilentBelowHearing(long long Number);

 private:
  unsigned OutputRate() const;

  ISweepLog& FLog;
  const TToneGen& FToneGen;
  bool FADSR;
  int FInterval;
  TToneLevels FLevels;
  std::optional<TAudibleClass> FSaid;
  // Each frequency's tick measured once per output rate: a tick only looks its level up.
  std::map<std::pair<int, unsigned>, TSweepLevel> FTicks;
  bool FWarnedBelow = false;
};

#include "sweep/SweepTruth.h"

#include <cmath>

#include "platform/core/Messages.h"
#include "sound/OutputLimit.h"
#include "sound/ToneGen.h"
#include "sound/UltrasoundTone.h"

unsigned TSweepTruth::OutputRate() const {
  const auto Limit = CurrentOutputLimit(FToneGen.ImageRate());
  return Limit ? Limit->Rate : 0;
}

void TSweepTruth::Start(const std::vector<int>& Positions) {
  const TSweepLevel Level =
      MeasureSweepLevel(FToneGen, Positions, FADSR, FInterval, OutputRate(), FLevels);
  FSaid = Level.Class();
  FLog.Notice(TLogPriority::Notice,
              FormatMessage("these tones carry %s", SweepLevelText(Level).c_str()));
}

void TSweepTruth::Tick(long long Number) {
  const unsigned Rate = OutputRate();
  auto Found = FTicks.find({FToneGen.Frequency(), Rate});
  if (Found == FTicks.end())
    Found = FTicks
                .emplace(std::pair(FToneGen.Frequency(), Rate),
                         MeasureSweepLevel(FToneGen, {FToneGen.Frequency()}, FADSR, FInterval, Rate,
                                           FLevels))
                .first;
  const TSweepLevel& Level = Found->second;
  if (FSaid == Level.Class()) return;
  FSaid = Level.Class();
  FLog.Notice(TLogPriority::Notice,
              FormatMessage("tick %lld, %d Hz: the tones now carry %s", Number,
                            FToneGen.Frequency(), SweepLevelText(Level).c_str()));
}

bool TSweepTruth::SilentBelowHearing(long long Number) {
  if (!FToneGen.UltrasoundOnly() || FToneGen.Frequency() >= UltrasoundFloor) return false;
  if (!FWarnedBelow)
    FLog.Warning(
        FormatMessage("tick %lld: %d Hz lies below 20.5 kHz, which ultrasound only "
                      "leaves out; every such tick stays silent",
                      Number, FToneGen.Frequency()));
  FWarnedBelow = true;
  return true;
}

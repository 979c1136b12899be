// What a played or exported sweep tells of its ticks, as the session reports them: each tick on
// the terminal or in the service log, and once each what band-limiting leaves out, what the output
// cannot carry, the output lost or back, and what the tones carry into hearing.
#pragma once

#include <optional>
#include <string>

#include "sweep/ServiceLog.h"
#include "sweep/SweepSession.h"
#include "sweep/SweepTruth.h"

class TToneGen;

// Says when the sound card's output goes away (its server stopped, the device was unplugged)
// and when the sweep plays on a new one, once each time.
class TOutputWatch {
 public:
  TOutputWatch(ISweepLog& Log, unsigned ImageRate) : FLog(Log), FImageRate(ImageRate) {}
  // False while there is no output.
  bool Check();

 private:
  ISweepLog& FLog;
  unsigned FImageRate;
  bool FGone = false;
  unsigned FLosses = 0;
};

class TSweepReport final : public ISweepObserver {
 public:
  // Plays: the sweep reaches the sound card's output, whose losses and level it tells; the level
  // of the session's pass is said at once.
  TSweepReport(ISweepLog& Log, TSweepSession& Session, const TToneGen& ToneGen, bool Plays);

  void Ticked(long long Number, int Position) override;
  void TickFailed(long long Number, int Position, const std::string& Message) override;

 private:
  ISweepLog& FLog;
  const TToneGen& FToneGen;
  bool FPlays;
  TOutputWatch FWatch;
  std::optional<TSweepTruth> FTruth;
  bool FWarnedLeftOut = false, FWarnedNotCarried = false;
};

#include "sweep/SweepReport.h"

#include <vector>

#include "platform/audio/SoundService.h"
#include "platform/core/Messages.h"
#include "platform/core/Translation.h"
#include "sound/BandLimited.h"
#include "sound/OutputLimit.h"
#include "sound/ToneGen.h"

namespace {

// Says once, at the first tick that leaves a partial out, what band-limited synthesis leaves
// out; true once said.
bool WarnLeftOut(ISweepLog& Log, const TToneGen& ToneGen, long long Tick) {
  const std::vector<int64_t> LeftOut = PartialsLeftOut(ToneGen.Settings());
  if (LeftOut.empty()) return false;
  Log.Warning(
      FormatMessage("tick %lld: %lld Hz is at or above half the image's rate of %u "
                    "samples per second and is left out (later ticks alike)",
                    Tick, static_cast<long long>(LeftOut.front()), ToneGen.ImageRate()));
  return true;
}

// Says once a run, at the first tick whose tone the output cannot carry, that such ticks stay
// silent; true once said.
bool WarnNotCarried(ISweepLog& Log, const TToneGen& ToneGen, long long Tick) {
  if (ToneGen.Carried()) return false;
  const auto Limit = CurrentOutputLimit(ToneGen.ImageRate());
  const std::string Why = Limit ? Limit->Text() : Tr("the output runs below the tone's rate");
  Log.Warning(FormatMessage(
      "tick %lld: %d Hz cannot be carried: %s; every tick the output cannot carry stays silent",
      Tick, ToneGen.Frequency(), Why.c_str()));
  return true;
}

}  // namespace

bool TOutputWatch::Check() {
  const TOutputChain Chain = SoundService().Output(FImageRate);
  if (Chain.Rate == 0) {
    if (!FGone)
      FLog.Notice(
          TLogPriority::Warning,
          Tr("the output is gone; the sweep goes on and plays again as soon as there is one"));
    FGone = true;
    return false;
  }
  if (FGone || Chain.Losses != FLosses)
    FLog.Notice(TLogPriority::Notice,
                FormatMessage("playing on the new output: %s", Chain.Describe().c_str()));
  FGone = false;
  FLosses = Chain.Losses;
  return true;
}

TSweepReport::TSweepReport(ISweepLog& Log, TSweepSession& Session, const TToneGen& ToneGen,
                           bool Plays)
    : FLog(Log), FToneGen(ToneGen), FPlays(Plays), FWatch(Log, ToneGen.ImageRate()) {
  if (!Plays) return;
  FTruth.emplace(Log, ToneGen, Session.Settings().PlayADSR, Session.State().Interval);
  FTruth->Start(Session.PassPositions());
}

void TSweepReport::Ticked(long long Number, int Position) {
  bool Silent = false;
  if (!FWarnedLeftOut) FWarnedLeftOut = WarnLeftOut(FLog, FToneGen, Number);
  if (FPlays) {
    if (!FWarnedNotCarried) FWarnedNotCarried = WarnNotCarried(FLog, FToneGen, Number);
    Silent = !FWatch.Check() || !FToneGen.Carried() || FTruth->SilentBelowHearing(Number);
    FTruth->Tick(Number);
  }
  FLog.Played(Number, Position, Silent);
}

// An error (a refused speaker tone, an empty field) ends only that tick, as in the window, where
// the timer stays enabled.
void TSweepReport::TickFailed(long long Number, int Position, const std::string& Message) {
  FLog.Failed(Number, Position, Message);
}

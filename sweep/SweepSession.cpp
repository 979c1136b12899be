#include "sweep/SweepSession.h"

#include <algorithm>

#include "platform/audio/SoundService.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Translation.h"
#include "platform/data/DataSet.h"
#include "platform/data/Field.h"
#include "sound/OutputLimit.h"
#include "sound/ToneGen.h"
#include "sweep/OutputNotes.h"
#include "sweep/PestFields.h"

namespace {

// "22:00" for minute 1320 of the day.
std::string ClockTime(int Minute) {
  const auto TwoDigits = [](int N) { return std::string{char('0' + N / 10), char('0' + N % 10)}; };
  return TwoDigits(Minute / 60) + ":" + TwoDigits(Minute % 60);
}

}  // namespace

TSweepSession::TSweepSession(TDataSet& Table, TToneGen& ToneGen, ISweepOutput& Output)
    : FTable(Table),
      FToneGen(ToneGen),
      FEngine(Output),
      FLevelMeter(std::make_unique<TSweepLevelMeter>()) {}

TSweepSession::~TSweepSession() = default;

void TSweepSession::AddObserver(ISweepObserver& Observer) {
  FObservers.push_back(&Observer);
}

void TSweepSession::RemoveObserver(ISweepObserver& Observer) {
  std::erase(FObservers, &Observer);
}

// An observer may remove itself while told; the others are still told.
template <class Call>
void TSweepSession::Tell(Call&& Notify) {
  for (ISweepObserver* Observer : std::vector<ISweepObserver*>(FObservers))
    if (std::ranges::find(FObservers, Observer) != FObservers.end()) Notify(*Observer);
}

void TSweepSession::SetSettings(const TSweepSettings& Settings) {
  // A running sweep moved to the other output leaves nothing sounding on the old one: the sound
  // card's tone would loop on past Stop, which silences only the output chosen then.
  if (FRunning && Settings.SoundCard != FSettings.SoundCard) Silence();
  if (Settings.BandLimited != FToneGen.BandLimited()) FToneGen.SetBandLimited(Settings.BandLimited);
  if (Settings.UltrasoundOnly != FToneGen.UltrasoundOnly())
    FToneGen.SetUltrasoundOnly(Settings.UltrasoundOnly);
  FSettings = Settings;
}

void TSweepSession::SetState(const TSweepState& State) {
  FState = State;
  Tell([this](ISweepObserver& O) { O.StateChanged(FState); });
}

void TSweepSession::SetPosition(int Position) {
  const int Before = FState.Position;
  FState.SetPosition(Position);
  if (FState.Position != Before) Tell([this](ISweepObserver& O) { O.StateChanged(FState); });
}

void TSweepSession::Select(const TVariant& Key) {
  if (!Key.IsNull() && !(FTable.FieldByName(PestField::Idx)->Value() == Key))
    FTable.Locate(PestField::Idx, Key, 0);
  // What was applied before an error stays applied, and is shown.
  TSweepState State = FState;
  try {
    FEngine.Select(Record(), FSettings, State);
  } catch (...) {
    FState = State;
    Tell([this](ISweepObserver& O) { O.StateChanged(FState); });
    throw;
  }
  FState = State;
  Tell([this](ISweepObserver& O) { O.StateChanged(FState); });
  Tell([](ISweepObserver& O) { O.Selected(); });
}

void TSweepSession::Start() {
  FRunning = true;
  FTicks = 0;
  Tell([](ISweepObserver& O) { O.RunningChanged(true); });
}

void TSweepSession::Stop() {
  FRunning = false;
  Silence();
  // Forgotten, not told: a watcher clears its own at Stop, and the next run tells it again.
  FSilence.clear();
  FLevel.clear();
  FWaiting = false;
  Tell([](ISweepObserver& O) { O.RunningChanged(false); });
}

void TSweepSession::Silence() {
  FEngine.Silence(FSettings);
}

bool TSweepSession::Waiting() const {
  return FSchedule && !FSchedule->Contains(FClock->Now());
}

std::optional<int> TSweepSession::Tick() {
  // Outside the hours nothing plays, and the position waits where it stands.
  if (Waiting()) {
    if (!FWaiting) Silence();
    FWaiting = true;
    TellSilence(Tr("waiting for ") + ClockTime(FSchedule->StartMinute()));
    return std::nullopt;
  }
  FWaiting = false;
  const long long Number = ++FTicks;
  // The position moves first, so a refused tone still leaves the position it was refused at.
  try {
    const TPestRecord Current = Record();
    FState.SetPosition(TSweepEngine::NextPosition(Current, FSettings, FState));
    Tell([this](ISweepObserver& O) { O.StateChanged(FState); });
    FEngine.RunAllNight(Current, FSettings, FState.Position);
  } catch (const Exception& E) {
    Tell([&](ISweepObserver& O) { O.TickFailed(Number, FState.Position, E.Message()); });
    throw;
  }
  Tell([&](ISweepObserver& O) { O.Ticked(Number, FState.Position); });
  TellSilence(FWatchOutput && FSettings.SoundCard ? SilentToneShort(FToneGen) : "");
  if (FWatchOutput) TellLevel();
  return FState.Position;
}

void TSweepSession::TellSilence(const std::string& Reason) {
  if (Reason == FSilence) return;
  FSilence = Reason;
  Tell([&](ISweepObserver& O) { O.SilenceChanged(Reason); });
}

std::vector<int> TSweepSession::PassPositions() const {
  return ::PassPositions(Record(), FSettings, FState);
}

const TSweepLevel* TSweepSession::PassLevel(const TOutputChain& Chain) {
  if (!FSettings.SoundCard) return nullptr;
  try {
    const auto Limit = OutputLimit(Chain, FToneGen.ImageRate());
    return &FLevelMeter->Of(FToneGen, PassPositions(), FSettings.PlayADSR, FState.Interval,
                            Limit ? Limit->Rate : 0);
  } catch (const Exception&) {
    return nullptr;
  }
}

void TSweepSession::TellLevel() {
  std::string Level, Class;
  const TSweepLevel* Measured = PassLevel(SoundService().Output(FToneGen.ImageRate()));
  if (Measured && Measured->Power > 0) {
    Level = SweepLevelShort(*Measured);
    Class = AudibleClassName(Measured->Class());
  }
  if (Level == FLevel) return;
  FLevel = Level;
  Tell([&](ISweepObserver& O) { O.LevelChanged(Level, Class); });
}

#include "sweep/SweepLevel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "platform/core/Messages.h"
#include "platform/core/Translation.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"

namespace {

// A pass never plays more ticks than this; a band of that many steps is measured on its first.
constexpr std::size_t MostTicks = 2000;

void AddShare(std::vector<TAudibleShare>& Shares, const TAudibleShare& Share, double Weight) {
  auto Same = std::find_if(Shares.begin(), Shares.end(), [&](const TAudibleShare& S) {
    return S.Source == Share.Source && S.Row == Share.Row;
  });
  if (Same == Shares.end()) {
    Shares.push_back(Share);
    Shares.back().Power *= Weight;
    return;
  }
  Same->Power += Share.Power * Weight;
  if (Share.LowHertz != 0 || Share.HighHertz != 0) {
    Same->LowHertz =
        Same->LowHertz == 0 ? Share.LowHertz : std::min(Same->LowHertz, Share.LowHertz);
    Same->HighHertz = std::max(Same->HighHertz, Share.HighHertz);
  }
}

}  // namespace

std::vector<int> PassPositions(const TPestRecord& Record, const TSweepSettings& Settings,
                               const TSweepState& State) {
  std::vector<int> Positions;
  std::set<int> Seen;
  TSweepState Next = State;
  while (Positions.size() < MostTicks) {
    Next.SetPosition(TSweepEngine::NextPosition(Record, Settings, Next));
    if (!Seen.insert(Next.Position).second) break;
    Positions.push_back(Next.Position);
  }
  return Positions;
}

TSweepLevel MeasureSweepLevel(const TToneGen& ToneGen, const std::vector<int>& Positions, bool ADSR,
                              int Interval, unsigned OutputRate, TToneLevels& Levels) {
  TSweepLevel Level;
  TToneSettings Settings = ToneGen.Settings();
  Level.Table = Settings.AM;
  Level.Multiplier = Settings.AMUseMultiplier;
  const TEnvelopeSettings Envelope = ToneGen.Envelope();
  const TEnvelopeSettings* Shape = ADSR ? &Envelope : nullptr;
  const unsigned Rate = ToneGen.ImageRate();
  const double Gain = std::pow(
      10.0, VolumeGainDb(ToneGen.LeftVolume(), ToneGen.RightVolume(), Settings.Stereo) / 10);
  std::vector<const TToneLevel*> Tones;
  for (int Position : Positions) {
    Settings.Frequency = std::clamp(Position, 20, 50000);
    Tones.push_back(&Levels.Of(Settings, Shape, OutputRate));
  }
  Level.Ticks = int(Tones.size());
  if (Tones.empty()) return Level;
  const int64_t TickFrames = Interval > 0 ? int64_t(Interval) * Rate / 1000 : 0;
  for (std::size_t I = 0; I < Tones.size(); ++I) {
    const TToneLevel& Tone = *Tones[I];
    const int64_t Frames = TickFrames > 0 ? TickFrames : int64_t(Tone.Loop.size());
    double Power = Tone.Power;
    // The service fades ultrasound-only tones out and in, so their tick changes do not click.
    if (!Settings.UltrasoundOnly && TickFrames > 0) {
      const double Click =
          TickChangeEnergy(Tone.Loop, Frames, Tones[(I + 1) % Tones.size()]->Loop, Rate) /
          double(Frames);
      Power += Click;
      AddShare(Level.Shares, {TShareSource::TickChange, -1, 0, 0, Click},
               Gain / double(Tones.size()));
    }
    if (!Tone.Played || Tone.Power <= 0) ++Level.SilentTicks;
    for (const TAudibleShare& Share : Tone.Shares)
      AddShare(Level.Shares, Share, Gain / double(Tones.size()));
    Level.Power += Power * Gain / double(Tones.size());
    if (Power * Gain > Level.LoudestPower) {
      Level.LoudestPower = Power * Gain;
      Level.LoudestHertz = std::clamp(Positions[I], 20, 50000);
    }
  }
  std::erase_if(Level.Shares, [](const TAudibleShare& S) { return S.Power <= 0; });
  std::sort(Level.Shares.begin(), Level.Shares.end(),
            [](const TAudibleShare& A, const TAudibleShare& B) { return A.Power > B.Power; });
  return Level;
}

const TSweepLevel& TSweepLevelMeter::Of(const TToneGen& ToneGen, const std::vector<int>& Positions,
                                        bool ADSR, int Interval, unsigned OutputRate) {
  TAsked Asked{ToneGen.Settings(),
               ToneGen.Envelope(),
               ToneGen.LeftVolume(),
               ToneGen.RightVolume(),
               Positions,
               ADSR,
               Interval,
               OutputRate};
  Asked.Settings.Frequency = 0;  // the positions say which frequencies play
  if (FAsked != Asked) {
    FLevel = MeasureSweepLevel(ToneGen, Positions, ADSR, Interval, OutputRate, FLevels);
    FAsked = std::move(Asked);
  }
  return FLevel;
}

std::string SweepLevelText(const TSweepLevel& Level) {
  if (Level.Power <= 0) return Tr("no audible sound: nothing between 20 Hz and 20 kHz");
  std::string Text = FormatMessage("%s sound at %s", AudibleClassWord(Level.Class()).c_str(),
                                   DbText(Level.Db()).c_str());
  if (Level.Ticks > 1)
    Text += FormatMessage(" (loudest tick %s at %d Hz)",
                          DbText(PowerDb(Level.LoudestPower)).c_str(), Level.LoudestHertz);
  return Text + MostlyText(Level.Shares, Level.Table, Level.Multiplier);
}

std::string SweepLevelShort(const TSweepLevel& Level) {
  if (Level.Power <= 0) return Tr("silent");
  return DbText(Level.Db()) + " " + AudibleClassWord(Level.Class());
}

std::string SweepLevelSentence(const TSweepLevel& Level) {
  if (Level.Power <= 0) return Tr("These tones carry no audible sound.");
  return FormatMessage("These tones carry %s sound: %s%s.", AudibleClassWord(Level.Class()).c_str(),
                       DbText(Level.Db()).c_str(),
                       MostlyText(Level.Shares, Level.Table, Level.Multiplier).c_str());
}

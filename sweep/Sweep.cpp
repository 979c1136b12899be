#include "sweep/Sweep.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>

#include "platform/core/Exceptions.h"
#include "platform/data/Field.h"
#include "sweep/PestFields.h"

int64_t RoundHalfEvenSaturated(long double X) {
  constexpr long double Lowest = static_cast<long double>(std::numeric_limits<int64_t>::min());
  constexpr long double Highest = -Lowest;
  if (std::isnan(X)) return 0;
  if (X <= Lowest) return std::numeric_limits<int64_t>::min();
  if (X >= Highest) return std::numeric_limits<int64_t>::max();
  // nearbyint follows the rounding mode, which nothing in the program changes from to-nearest.
  const int Saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const long double Rounded = std::nearbyint(X);
  std::fesetround(Saved);
  return static_cast<int64_t>(Rounded);
}

int64_t BeatToFreq(float X) {
  // Both divisions in extended precision; the constant is the extended value nearest 0.69897.
  const long double Value = static_cast<long double>(X) / 0.5L / 0.69897L;
  return RoundHalfEvenSaturated(Value);
}

TTGWave WaveIndex(int N) {
  switch (N) {
    case 0:
      return tgSine;
    case 1:
      return tgSquare;
    case 2:
      return tgTriangle;
    case 3:
      return tgSawtooth;
    default:
      return tgNoise;
  }
}

namespace {

// Callers use the low 32 bits of a converted limit.
int Low32(int64_t Value) {
  return static_cast<int32_t>(static_cast<uint32_t>(Value));
}

int ClampToInt(int64_t Value) {
  if (Value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  if (Value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(Value);
}

}  // namespace

double TPestRecord::Float(const char* Name) const {
  return NumberFieldAsFloat(*FTable.FieldByName(Name));
}

int TPestRecord::Integer(const char* Name) const {
  return ClampToInt(NumberFieldAsInteger(*FTable.FieldByName(Name)));
}

std::string TPestRecord::Text(const char* Name) const {
  return FTable.FieldByName(Name)->AsString();
}

void TSweepState::SetBand(int Min, int Max) {
  BandMin = Min;
  BandMax = std::max(Min, Max);
  SetPosition(Position);
}

void TSweepState::SetPosition(int Value) {
  Position = std::clamp(Value, BandMin, BandMax);
}

void TSweepEngine::Select(const TPestRecord& Record, const TSweepSettings& Settings,
                          TSweepState& State) {
  const int Low = Low32(BeatToFreq(static_cast<float>(Record.Float(PestField::BandStart))));
  const int High = Low32(BeatToFreq(static_cast<float>(Record.Float(PestField::BandEnd))));
  // A bar cannot hold an inverted band; keep the previous one rather than a half-applied one.
  if (Low > High)
    throw Exception("Pest \"" + Record.Text(PestField::Name) + "\": its band starts at " +
                    std::to_string(Low) + " Hz, above its end at " + std::to_string(High) +
                    " Hz; the band was not changed");
  State.SetBand(Low, High);
  State.SetPosition(Low);
  State.Step = Record.Integer(PestField::Step);
  State.Interval = Record.Integer(PestField::Interval);
  FOutput.SetWaveform(WaveIndex(Record.Integer(PestField::Waveform)));
  FOutput.SetStereo(Settings.Stereo);
  FOutput.SetLeftVolume(Settings.LeftVolume);
  FOutput.SetRightVolume(Settings.RightVolume);
  FOutput.SetAMAmplitude(Settings.Amplitude);
  FOutput.SetDuration(Record.Integer(PestField::Duration));
}

int TSweepEngine::NextPosition(const TPestRecord& Record, const TSweepSettings& Settings,
                               const TSweepState& State) {
  TSweepState Next = State;
  if (Settings.AutoChange) {
    const long double Sum = static_cast<long double>(State.Position) +
                            static_cast<long double>(Record.Float(PestField::Step));
    // The bar holds a sum outside the band at its nearer end.
    const long double Held = std::fmin(std::fmax(Sum, static_cast<long double>(State.BandMin)),
                                       static_cast<long double>(State.BandMax));
    Next.SetPosition(static_cast<int>(RoundHalfEvenSaturated(Held)));
  }
  return Next.Position >= Next.BandMax ? Next.BandMin : Next.Position;
}

int TSweepEngine::Tick(const TPestRecord& Record, const TSweepSettings& Settings,
                       TSweepState& State) {
  State.SetPosition(NextPosition(Record, Settings, State));
  RunAllNight(Record, Settings, State.Position);
  return State.Position;
}

void TSweepEngine::RunAllNight(const TPestRecord& Record, const TSweepSettings& Settings,
                               int Position) {
  if (Settings.SoundCard)
    SNDOut(Settings, Position);
  else
    SpkOut(Record, Position);
}

void TSweepEngine::SNDOut(const TSweepSettings& Settings, int Position) {
  FOutput.SoundCardTone(Position, Settings.PlayADSR);
}

void TSweepEngine::SpkOut(const TPestRecord& Record, int Position) {
  FOutput.SpeakerTone(Position, Record.Integer(PestField::Duration));
}

void TSweepEngine::Silence(const TSweepSettings& Settings) {
  if (Settings.SoundCard)
    FOutput.SoundCardStop();
  else
    FOutput.SpeakerSilence();
}

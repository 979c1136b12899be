#include "sweep/Sweep.h"

#include <cfenv>
#include <cmath>
#include <limits>

#include "platform/core/Exceptions.h"

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

int TSweepEngine::FieldAsInt(const std::string& Name) {
  return ClampToInt(FHost.FieldAsInteger(Name));
}

void TSweepEngine::Select() {
  const int Low = Low32(BeatToFreq(static_cast<float>(FHost.FieldAsFloat("F_START"))));
  const int High = Low32(BeatToFreq(static_cast<float>(FHost.FieldAsFloat("F_END"))));
  // A bar cannot hold an inverted band; keep the previous one rather than a half-applied one.
  if (Low > High)
    throw Exception("Pest \"" + FHost.FieldAsString("NAME_PEST") + "\": its band starts at " +
                    std::to_string(Low) + " Hz, above its end at " + std::to_string(High) +
                    " Hz; the band was not changed");
  FHost.SetBand(Low, High);
  FHost.SetPosition(Low);
  FHost.SetStep(FieldAsInt("VAL_CH"));
  FHost.SetInterval(FieldAsInt("TIME_CH"));
  FOutput.SetWaveform(WaveIndex(FieldAsInt("WAV_FRM")));
  FOutput.SetStereo(FHost.Stereo());
  FOutput.SetLeftVolume(FHost.LeftVolume());
  FOutput.SetRightVolume(FHost.RightVolume());
  FOutput.SetAMAmplitude(FHost.Amplitude());
  FOutput.SetDuration(FieldAsInt("DURLATE"));
}

int TSweepEngine::Tick() {
  if (FHost.AutoChange()) {
    const long double Sum = static_cast<long double>(FHost.Position()) +
                            static_cast<long double>(FHost.FieldAsFloat("VAL_CH"));
    // The bar holds a sum outside the band at its nearer end.
    const long double Held = std::fmin(std::fmax(Sum, static_cast<long double>(FHost.BandMin())),
                                       static_cast<long double>(FHost.BandMax()));
    FHost.SetPosition(static_cast<int>(RoundHalfEvenSaturated(Held)));
  }
  if (FHost.Position() >= FHost.BandMax()) FHost.SetPosition(FHost.BandMin());
  const int Played = FHost.Position();
  RunAllNight();
  return Played;
}

void TSweepEngine::RunAllNight() {
  if (FHost.SoundCard())
    SNDOut();
  else
    SpkOut();
}

void TSweepEngine::SNDOut() {
  FOutput.SoundCardTone(FHost.Position(), FHost.PlayADSR());
}

void TSweepEngine::SpkOut() {
  FOutput.SpeakerTone(FHost.Position(), FieldAsInt("DURLATE"));
}

void TSweepEngine::Silence() {
  if (FHost.SoundCard())
    FOutput.SoundCardStop();
  else
    FOutput.SpeakerSilence();
}

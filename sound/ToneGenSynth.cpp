#include "sound/ToneGenSynth.h"

#include <algorithm>
#include <cmath>

int64_t TruncSaturated(double Value) {
  constexpr double Limit = 4611686018427387904.0;  // 2^62
  if (std::isnan(Value)) return 0;
  return Trunc(std::clamp(Value, -Limit, Limit));
}

int64_t ToneDataSize(const TToneSettings& Settings) {
  const int64_t Hundreds = Settings.Quality == tgHiQ ? 960 : 441;
  const int64_t Size =
      int64_t(SampleBytes(Settings.Resolution)) * Settings.Duration * Hundreds / 10;
  return Settings.Stereo ? Size * 2 : Size;
}

TWaveFormat ToneWaveFormat(const TToneSettings& Settings) {
  TWaveFormat Format;
  Format.Rate = uint32_t(SampleRate(Settings.Quality));
  Format.Channels = Settings.Stereo ? 2 : 1;
  Format.Bits = uint16_t(8 * SampleBytes(Settings.Resolution));
  return Format;
}

std::vector<TPartial> TonePartials(const TToneSettings& Settings) {
  const TAMTable& AM = Settings.AM;
  int32_t Sum = 0;
  for (int16_t Amplitude : AM.Amplitudes) Sum += Amplitude;
  std::vector<TPartial> Partials{
      {100 - Sum, Settings.Frequency, Settings.Waveform, Settings.BandLimited}};
  for (int Row = 0; Row < AMRowCount; ++Row) {
    int64_t Amplitude = AM.Amplitudes[Row];
    if (Sum > 100) Amplitude = Amplitude * 100 / Sum;
    const double Frequency = AM.Frequencies[Row];
    const int64_t Hertz =
        Settings.AMUseMultiplier
            ? std::clamp<int64_t>(TruncSaturated(Settings.Frequency * Frequency), 20, 50000)
            : TruncSaturated(Frequency);
    Partials.push_back({Amplitude, Hertz, AM.Waveforms[Row], Settings.BandLimited});
  }
  return Partials;
}

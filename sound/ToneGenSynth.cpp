#include "sound/ToneGenSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sound/BandLimited.h"

namespace {

int64_t Trunc(double Value) {
  return int64_t(std::trunc(Value));
}

// What a frame's value v adds to a sample: trunc(v) to a 16-bit sample; to an 8-bit byte the
// offset it gets from trunc(128 + v), which differs from trunc(v) for negative fractions.
int64_t Delta(double Value, bool SixteenBit) {
  return SixteenBit ? Trunc(Value) : Trunc(128.0 + Value) - 128;
}

// Adds Value(j) into every frame, j counting frames within the cycle. Cycle k starts at frame
// trunc((k - 1) * P); a first cycle of 0 frames never ends.
template <bool SixteenBit, bool Stereo, class TValue>
void Mix(uint8_t* Data, int64_t DataSize, double P, TValue Value) {
  constexpr int64_t FrameBytes = (SixteenBit ? 2 : 1) * (Stereo ? 2 : 1);
  const int64_t Frames = (DataSize + FrameBytes - 1) / FrameBytes;
  int64_t Length = Trunc(P), J = 0, Cycle = 1;
  for (int64_t Frame = 0; Frame < Frames;) {
    const int64_t Run = Length > J ? std::min(Length - J, Frames - Frame) : Frames - Frame;
    uint8_t* Out = Data + Frame * FrameBytes;
    for (int64_t K = 0; K < Run; ++K, ++J, Out += FrameBytes)
      AddToFrame<SixteenBit, Stereo>(Out, Value(J));
    Frame += Run;
    if (J == Length) {
      J = 0;
      ++Cycle;
      Length = Trunc(double(Cycle) * P - std::trunc(double(Cycle - 1) * P));
    }
  }
}

template <class TValue>
void MixAny(uint8_t* Data, int64_t DataSize, double P, bool SixteenBit, bool Stereo, TValue Value) {
  if (SixteenBit && Stereo) Mix<true, true>(Data, DataSize, P, Value);
  if (SixteenBit && !Stereo) Mix<true, false>(Data, DataSize, P, Value);
  if (!SixteenBit && Stereo) Mix<false, true>(Data, DataSize, P, Value);
  if (!SixteenBit && !Stereo) Mix<false, false>(Data, DataSize, P, Value);
}

// Every cycle restarts its waveform at phase 0, so the value of a frame depends only on its
// place j in the cycle: the ramps and the sine are computed once per place.
std::vector<int64_t> CycleTable(TTGWave Waveform, double P, int64_t Hh, double Span, double Low,
                                bool SixteenBit) {
  const int64_t Places = Trunc(P) + 2;  // no cycle is longer than trunc(P) + 1 frames
  const int64_t First = Trunc(P);
  std::vector<int64_t> Table(std::size_t(Places), 0);
  double V = Low;
  const double W = 2.0 * std::numbers::pi / double(First);
  const double Step = Waveform == tgTriangle ? Span / double(Hh) : Span / double(First);
  for (int64_t J = 0; J < Places; ++J) {
    double Value;
    if (Waveform == tgSine) {
      Value = double(Trunc(std::sin(double(J) * W) / 2 * Span));
    } else if (Waveform == tgSawtooth) {
      Value = double(Trunc(V));
      V += Step;
    } else {
      Value = double(Trunc(V));
      if (J < Hh) {
        V += Step;
      } else {
        V -= Step;
        if (V < Low) V = Low;
      }
    }
    Table[std::size_t(J)] = Delta(Value, SixteenBit);
  }
  return Table;
}

}  // namespace

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

void RenderPartial(uint8_t* Data, int64_t DataSize, const TPartial& Partial,
                   TTGResolution Resolution, TTGQuality Quality, bool Stereo, TToneNoise& Noise) {
  const int64_t A = Partial.Amplitude;
  if (A <= 0 || Partial.Frequency <= 0) return;
  if (Partial.BandLimited && Partial.Waveform <= tgSawtooth) {
    RenderBandLimited(Data, DataSize, Partial, Resolution, Quality, Stereo);
    return;
  }
  const bool SixteenBit = Resolution == tg16Bit;
  const double Span = SixteenBit ? double(A * 65534) / 100 : double(A * 254) / 100;
  const double Low = SixteenBit ? double(A * -32767) / 100 : double(A * -127) / 100;
  const double P = double(SampleRate(Quality)) / double(Partial.Frequency);
  const int64_t Length = Trunc(P);
  const int64_t Hh = Trunc(P + 0.5) / 2;

  switch (Partial.Waveform) {
    case tgSine:
    case tgSawtooth:
    case tgTriangle: {
      // A zero first cycle (or half cycle, for the triangle) leaves no step to take.
      if (Length == 0 || (Partial.Waveform == tgTriangle && Hh == 0)) return;
      const std::vector<int64_t> Table = CycleTable(Partial.Waveform, P, Hh, Span, Low, SixteenBit);
      MixAny(Data, DataSize, P, SixteenBit, Stereo,
             [&Table](int64_t J) { return Table[std::size_t(J)]; });
      return;
    }
    case tgSquare: {
      const int64_t LowDelta = Delta(Low, SixteenBit), HighDelta = Delta(Span / 2, SixteenBit);
      MixAny(Data, DataSize, P, SixteenBit, Stereo,
             [=](int64_t J) { return J < Hh ? LowDelta : HighDelta; });
      return;
    }
    default: {
      const uint32_t Range = uint32_t(Trunc(Span + 1));
      MixAny(Data, DataSize, P, SixteenBit, Stereo, [&Noise, Range, Low, SixteenBit](int64_t) {
        return Delta(double(Noise.Random(Range)) + Low, SixteenBit);
      });
      return;
    }
  }
}

#include "sound/BandLimited.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "sound/Fft.h"

namespace {

// The smallest cycle, and cycles at least eight points per highest harmonic: the images that
// linear interpolation adds then stay more than 90 dB below the tone.
constexpr std::size_t MinCycleSize = 4096;
constexpr std::size_t PointsPerHarmonic = 8;

// The response of linear interpolation at harmonic K of a cycle of Size points.
double InterpolationGain(int64_t K, std::size_t Size) {
  const double X = std::numbers::pi * double(K) / double(Size);
  const double Sinc = std::sin(X) / X;
  return Sinc * Sinc;
}

template <bool SixteenBit, bool Stereo>
void Mix(uint8_t* Out, int64_t First, int64_t Count, int64_t Hertz, int Rate,
         const std::vector<double>& Cycle, double Peak) {
  constexpr int64_t FrameBytes = (SixteenBit ? 2 : 1) * (Stereo ? 2 : 1);
  const double PointsPerPhase = double(Cycle.size() - 1) / double(Rate);
  // frame * Hertz modulo Rate, in integers: no drift however long the tone
  int64_t Phase = First % Rate * Hertz % Rate;
  for (int64_t Frame = 0; Frame < Count; ++Frame, Out += FrameBytes) {
    const double Position = double(Phase) * PointsPerPhase;
    const std::size_t I = std::size_t(Position);
    const double Value = Cycle[I] + (Position - double(I)) * (Cycle[I + 1] - Cycle[I]);
    AddToFrame<SixteenBit, Stereo>(Out, std::llround(Value * Peak));
    Phase += Hertz;
    if (Phase >= Rate) Phase -= Rate;
  }
}

}  // namespace

std::complex<double> HarmonicBin(TTGWave Waveform, int64_t K) {
  const double Odd = K % 2 == 1 ? 1.0 : 0.0;
  switch (Waveform) {
    case tgSine:
      return K == 1 ? std::complex<double>(0, -1) : 0.0;  // sin
    case tgSquare:
      return std::complex<double>(0, Odd / double(K));  // -sin(k x) / k, odd k
    case tgTriangle:
      return -Odd / double(K * K);  // -cos(k x) / k^2, odd k
    default:
      return std::complex<double>(0, 1.0 / double(K));  // -sin(k x) / k
  }
}

int64_t HarmonicsBelowHalfRate(int64_t Hertz, int Rate) {
  // k * Hertz < Rate / 2 exactly when 2 k Hertz <= Rate - 1.
  return Hertz > 0 ? (int64_t(Rate) - 1) / (2 * Hertz) : 0;
}

void BandLimitedCycle(TTGWave Waveform, int64_t Harmonics, std::size_t Size,
                      std::vector<double>& Cycle) {
  // Reused from build to build, for the reason the transform keeps its scratch memory.
  thread_local std::vector<std::complex<double>> Bins;
  Bins.assign(Size / 2 + 1, 0.0);
  for (int64_t K = 1; K <= Harmonics && std::size_t(K) < Size / 2; ++K)
    Bins[std::size_t(K)] = HarmonicBin(Waveform, K) / InterpolationGain(K, Size);
  Cycle.reserve(Size + 1);
  InverseRealFft(Bins, Size, Cycle);
  double Peak = 0;
  for (double Value : Cycle) Peak = std::max(Peak, std::abs(Value));
  if (Peak > 0)
    for (double& Value : Cycle) Value /= Peak;
  Cycle.push_back(Cycle.front());
}

TBandLimitedPartial::TBandLimitedPartial(const TPartial& Partial, TTGResolution Resolution,
                                         TTGQuality Quality, bool Stereo)
    : FHertz(Partial.Frequency),
      FRate(SampleRate(Quality)),
      FSixteenBit(Resolution == tg16Bit),
      FStereo(Stereo) {
  const int64_t Harmonics = HarmonicsBelowHalfRate(Partial.Frequency, FRate);
  if (Partial.Amplitude <= 0 || Harmonics == 0) return;
  const std::size_t Size =
      std::max(MinCycleSize, PointsPerHarmonic * PowerOfTwoAtLeast(std::size_t(Harmonics)));
  BandLimitedCycle(Partial.Waveform, Harmonics, Size, FCycle);
  // The plain partial's peak: its low level, so the sum stays within full scale as it does.
  FPeak = double(Partial.Amplitude * (FSixteenBit ? 32767 : 127)) / 100;
}

void TBandLimitedPartial::Add(uint8_t* Out, int64_t First, int64_t Count) const {
  if (FSixteenBit && FStereo) Mix<true, true>(Out, First, Count, FHertz, FRate, FCycle, FPeak);
  if (FSixteenBit && !FStereo) Mix<true, false>(Out, First, Count, FHertz, FRate, FCycle, FPeak);
  if (!FSixteenBit && FStereo) Mix<false, true>(Out, First, Count, FHertz, FRate, FCycle, FPeak);
  if (!FSixteenBit && !FStereo) Mix<false, false>(Out, First, Count, FHertz, FRate, FCycle, FPeak);
}

bool LeftOutWhenBandLimited(const TPartial& Partial, TTGQuality Quality) {
  return Partial.Amplitude > 0 && Partial.Waveform <= tgSawtooth && Partial.Frequency > 0 &&
         HarmonicsBelowHalfRate(Partial.Frequency, SampleRate(Quality)) == 0;
}

std::vector<int64_t> PartialsLeftOut(const TToneSettings& Settings) {
  std::vector<int64_t> LeftOut;
  if (!Settings.BandLimited || Settings.UltrasoundOnly) return LeftOut;
  for (const TPartial& Partial : TonePartials(Settings))
    if (LeftOutWhenBandLimited(Partial, Settings.Quality)) LeftOut.push_back(Partial.Frequency);
  return LeftOut;
}

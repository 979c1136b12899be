#include "sound/UltrasoundTone.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "sound/BandLimited.h"
#include "sound/Fft.h"

namespace {

using TBins = std::vector<std::complex<double>>;

// The highest magnitude of one cycle of the waveform's first Harmonics harmonics, so that the
// partial peaks where the plain one does.
double ShapePeak(TTGWave Waveform, int64_t Harmonics) {
  const std::size_t Size =
      std::max<std::size_t>(4096, 8 * PowerOfTwoAtLeast(std::size_t(Harmonics)));
  TBins Bins(Size / 2 + 1, 0.0);
  for (int64_t K = 1; K <= Harmonics; ++K) Bins[std::size_t(K)] = HarmonicBin(Waveform, K);
  std::vector<double> Cycle;
  InverseRealFft(Bins, Size, Cycle);
  double Peak = 0;
  for (double Value : Cycle) Peak = std::max(Peak, std::abs(Value));
  return Peak;
}

// Adds a periodic partial to Bins: its harmonics on whole multiples of the bin nearest its
// frequency, so that the loop holds whole cycles.
void AddPeriodic(TBins& Bins, const TPartial& Partial, int64_t Frames) {
  const int64_t Half = Frames / 2;
  const int64_t First = std::llround(double(Partial.Frequency) * double(Frames) / UltrasoundRate);
  if (First <= 0 || First >= Half) return;
  const int64_t Harmonics = (Half - 1) / First;
  const double Peak = double(Partial.Amplitude) * 32767 / 100;
  const double Scale = Peak / ShapePeak(Partial.Waveform, Harmonics);
  for (int64_t K = 1; K <= Harmonics; ++K)
    Bins[std::size_t(K * First)] += Scale * HarmonicBin(Partial.Waveform, K);
}

// Adds the plain noise partial's draws with everything below 20.5 kHz taken out, scaled to peak
// where the plain noise does: what is left of it would otherwise clip.
void AddNoise(TBins& Bins, const TPartial& Partial, int64_t Frames, TToneNoise& Noise) {
  const double Span = double(Partial.Amplitude * 65534) / 100;
  const double Low = double(Partial.Amplitude * -32767) / 100;
  const uint32_t Range = uint32_t(std::trunc(Span + 1));
  std::vector<double> Draws(static_cast<std::size_t>(Frames));
  for (double& Draw : Draws) Draw = double(Noise.Random(Range)) + Low;
  TBins Spectrum = RealFft(Draws);
  const std::size_t Floor = std::size_t(UltrasoundFloor * Frames / UltrasoundRate);
  std::fill(Spectrum.begin(), Spectrum.begin() + std::ptrdiff_t(std::min(Floor, Spectrum.size())),
            0.0);
  std::vector<double> Filtered;
  InverseRealFft(Spectrum, std::size_t(Frames), Filtered);
  double Peak = 0;
  for (double Value : Filtered) Peak = std::max(Peak, std::abs(Value));
  if (Peak <= 0) return;
  const double Scale = -Low / Peak;
  for (std::size_t K = Floor; K < Spectrum.size(); ++K) Bins[K] += Spectrum[K] * Scale;
}

}  // namespace

bool KeptForUltrasound(const TPartial& Partial) {
  if (Partial.Amplitude <= 0 || Partial.Frequency <= 0) return false;
  if (Partial.Waveform > tgSawtooth) return true;
  return Partial.Frequency >= UltrasoundFloor && 2 * Partial.Frequency < UltrasoundRate;
}

std::vector<int64_t> UltrasoundLeftOut(const TToneSettings& Settings) {
  std::vector<int64_t> LeftOut;
  for (const TPartial& Partial : TonePartials(Settings))
    if (Partial.Amplitude > 0 && Partial.Frequency > 0 && Partial.Waveform <= tgSawtooth &&
        Partial.Frequency < UltrasoundFloor)
      LeftOut.push_back(Partial.Frequency);
  return LeftOut;
}

std::vector<double> UltrasoundFrames(const std::vector<TPartial>& Partials, int64_t Frames,
                                     TToneNoise& Noise) {
  if (Frames < 2) return std::vector<double>(std::size_t(std::max<int64_t>(Frames, 0)), 0.0);
  TBins Bins(std::size_t(Frames / 2 + 1), 0.0);
  for (const TPartial& Partial : Partials) {
    if (Partial.Amplitude <= 0 || Partial.Frequency <= 0) continue;
    if (Partial.Waveform > tgSawtooth)
      AddNoise(Bins, Partial, Frames, Noise);  // every noise partial draws, as in the plain tone
    else if (KeptForUltrasound(Partial))
      AddPeriodic(Bins, Partial, Frames);
  }
  std::vector<double> Out;
  InverseRealFft(Bins, std::size_t(Frames), Out);
  return Out;
}

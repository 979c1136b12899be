#include "sound/ToneSpectrum.h"

#include "sound/BandLimited.h"
#include "sound/UltrasoundTone.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

#include "platform/audio/WaveImage.h"
#include "sound/Fft.h"

namespace {

// Blackman-Harris, 4 terms.
double Window(std::size_t N, std::size_t Count) {
  const double X = 2.0 * std::numbers::pi * double(N) / double(Count > 1 ? Count - 1 : 1);
  return 0.35875 - 0.48829 * std::cos(X) + 0.14128 * std::cos(2 * X) - 0.01168 * std::cos(3 * X);
}

// Levels below this are shown as this: far under 16-bit quantisation.
constexpr double FloorDecibels = -200;

}  // namespace

double TSpectrum::PeakIn(double From, double To) const {
  double Peak = -std::numeric_limits<double>::infinity();
  for (std::size_t K = 0; K < Decibels.size(); ++K) {
    const double Hertz = double(K) * BinHertz;
    if (Hertz >= From && Hertz < To) Peak = std::max(Peak, Decibels[K]);
  }
  return Peak;
}

TSpectrum AnalyseWaveImage(const uint8_t* Image, std::size_t Size) {
  TWaveFormat Format;
  if (!ParseWaveImage(Image, Size, Format))
    throw std::invalid_argument("not a PCM RIFF/WAVE image");
  const std::size_t FrameBytes = Format.FrameBytes();
  const std::size_t Frames = Format.DataBytes / FrameBytes;
  if (Frames == 0) throw std::invalid_argument("the wave image holds no samples");
  const bool EightBit = Format.Bits == 8;
  const double FullScale = EightBit ? 127.0 : 32767.0;

  std::vector<double> Samples(PowerOfTwoAtLeast(Frames), 0.0);
  double WindowSum = 0;
  const uint8_t* Frame = Image + Format.DataOffset;
  for (std::size_t N = 0; N < Frames; ++N, Frame += FrameBytes) {
    const double Value =
        EightBit ? double(Frame[0]) - 128.0 : double(int16_t(Frame[0] | Frame[1] << 8));
    const double W = Window(N, Frames);
    Samples[N] = Value * W;
    WindowSum += W;
  }
  const std::vector<std::complex<double>> Bins = RealFft(Samples);

  TSpectrum Spectrum;
  Spectrum.Rate = Format.Rate;
  Spectrum.BinHertz = double(Format.Rate) / double(Samples.size());
  Spectrum.Decibels.reserve(Bins.size());
  // A sine of amplitude a gives a bin of a * WindowSum / 2.
  const double Scale = 2.0 / (WindowSum * FullScale);
  for (std::size_t K = 0; K < Bins.size(); ++K) {
    // The bins at 0 Hz and at half the rate have no mirror image to share their level with.
    const bool Unpaired = K == 0 || K + 1 == Bins.size();
    const double Magnitude = std::abs(Bins[K]) * (Unpaired ? Scale / 2 : Scale);
    Spectrum.Decibels.push_back(Magnitude > 0 ? std::max(FloorDecibels, 20 * std::log10(Magnitude))
                                              : FloorDecibels);
  }
  return Spectrum;
}

std::vector<int64_t> SoundingPartials(const TToneSettings& Settings) {
  std::vector<int64_t> Hertz;
  const std::vector<TPartial> Partials = TonePartials(Settings);
  for (std::size_t I = 1; I < Partials.size(); ++I) {
    const TPartial& P = Partials[I];
    if (P.Amplitude <= 0 || P.Frequency <= 0) continue;
    if (Settings.UltrasoundOnly
            ? !KeptForUltrasound(P)
            : Settings.BandLimited && LeftOutWhenBandLimited(P, Settings.Quality))
      continue;
    if (std::find(Hertz.begin(), Hertz.end(), P.Frequency) == Hertz.end())
      Hertz.push_back(P.Frequency);
  }
  return Hertz;
}

#include "tests/servers/SoundAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <numbers>
#include <sstream>

#include "platform/core/ByteOrder.h"
#include "sound/Fft.h"

namespace {

constexpr double FullScaleSinePower = 0.5;  // mean square of a sine peaking at 1
constexpr double LowestAudible = 20, HighestAudible = 20000;

double Db(double MeanSquare) {
  return 10 * std::log10(MeanSquare / FullScaleSinePower);
}

// Periodic Hann: its side lobes fall fast enough that a loud tone outside the audible band
// leaves nothing measurable inside it.
std::vector<double> Hann(std::size_t Size) {
  std::vector<double> Window(Size);
  for (std::size_t N = 0; N < Size; ++N)
    Window[N] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(N) / double(Size));
  return Window;
}

}  // namespace

TRecording ReadRawS16(const std::filesystem::path& File, unsigned Rate, unsigned Channels) {
  std::ifstream In(File, std::ios::binary);
  const std::vector<std::uint8_t> Bytes{std::istreambuf_iterator<char>(In), {}};
  TRecording Sound{Rate, Channels, {}};
  const std::size_t Frames = Bytes.size() / (2 * Channels);  // a torn last frame is dropped
  Sound.Samples.reserve(Frames * Channels);
  for (std::size_t I = 0; I < Frames * Channels; ++I)
    Sound.Samples.push_back(std::int16_t(GetLE16(&Bytes[2 * I])) / 32768.0);
  return Sound;
}

TAnalysis Analyse(const TRecording& Sound) {
  constexpr double Nothing = -std::numeric_limits<double>::infinity();
  TAnalysis Result;
  Result.Loudest = Result.Strongest = {0, Nothing, 0, Nothing};
  const std::size_t Channels = Sound.Channels, Rate = Sound.Rate;
  const std::size_t Frames = Sound.Samples.size() / Channels, Skip = Rate / 10;
  const std::size_t Size = PowerOfTwoAtLeast(Rate / 8);  // 170 ms at 48 and 96 kHz
  const std::vector<double> Window = Hann(Size);
  double WindowPower = 0;
  for (double W : Window) WindowPower += W * W;
  const auto Bin = [&](double Hz) { return std::size_t(Hz * double(Size) / double(Rate)); };
  const std::size_t Low = Bin(LowestAudible) + 1, Top = Size / 2 - 1;
  const std::size_t High = std::min(Bin(HighestAudible), Top);

  std::vector<double> Power(Size / 2 + 1), Windowed(Size);
  for (std::size_t Begin = Skip; Begin + Size + Skip <= Frames; Begin += Size / 2) {
    std::fill(Power.begin(), Power.end(), 0.0);
    for (std::size_t Channel = 0; Channel < Channels; ++Channel) {
      for (std::size_t N = 0; N < Size; ++N)
        Windowed[N] = Window[N] * Sound.Samples[(Begin + N) * Channels + Channel];
      const auto Bins = RealFft(Windowed);
      // One-sided bins hold half of each frequency's power; Parseval gives the mean square.
      for (std::size_t K = 0; K < Power.size(); ++K)
        Power[K] += 2 * std::norm(Bins[K]) / (double(Size) * WindowPower * double(Channels));
    }
    TStretch Stretch{double(Begin) / double(Rate), 0, 0, 0};
    double Audible = 0;
    for (std::size_t K = Low; K <= High; ++K) Audible += Power[K];
    Stretch.AudibleDb = Db(Audible);
    const std::size_t Peak = std::size_t(
        std::max_element(Power.begin() + long(Low), Power.begin() + long(Top)) - Power.begin());
    double PeakPower = 0;  // the window's main lobe spreads a sine over five bins
    for (std::size_t K = Peak - 2; K <= Peak + 2 && K < Power.size(); ++K) PeakPower += Power[K];
    Stretch.PeakHz = double(Peak) * double(Rate) / double(Size);
    Stretch.PeakDb = Db(PeakPower);
    if (Stretch.AudibleDb > Result.Loudest.AudibleDb) Result.Loudest = Stretch;
    if (Stretch.PeakDb > Result.Strongest.PeakDb) Result.Strongest = Stretch;
    Result.Stretches.push_back(Stretch);
  }
  return Result;
}

std::string TAnalysis::Describe() const {
  std::ostringstream Text;
  Text.precision(1);
  Text << std::fixed << Stretches.size() << " stretches; loudest audible band " << Loudest.AudibleDb
       << " dB at " << Loudest.Start << " s (strongest there " << Loudest.PeakHz << " Hz at "
       << Loudest.PeakDb << " dB); strongest frequency " << Strongest.PeakHz << " Hz at "
       << Strongest.PeakDb << " dB at " << Strongest.Start << " s";
  return Text.str();
}

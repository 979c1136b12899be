#include "sound/AudibleLevel.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <map>
#include <numbers>

#include "platform/audio/Passband.h"
#include "platform/core/Messages.h"
#include "platform/core/Translation.h"
#include "sound/Fft.h"
#include "sound/PartialCursor.h"
#include "sound/ToneBlocks.h"
#include "sound/UltrasoundTone.h"

namespace {

// Around each harmonic of a partial, what its envelope spreads it over still counts as the
// partial itself.
constexpr double OwnHertz = 100;

// Bins from 20 Hz to 20 kHz of a transform of Size frames at Rate.
struct TAudibleBins {
  std::size_t Low, High;  // inclusive
  TAudibleBins(std::size_t Size, unsigned Rate) {
    const double BinHertz = double(Rate) / double(Size);
    Low = std::size_t(std::ceil(AudibleLowHertz / BinHertz));
    High = std::min(std::size_t(AudibleHighHertz / BinHertz), (Size - 1) / 2);
  }
};

// Relative power in the audible band of Samples taken as one period, and, when Own is given,
// the part of it near the harmonics of Own hertz.
double LoopPower(const std::vector<double>& Samples, unsigned Rate, int64_t Own = 0,
                 double* OwnPower = nullptr) {
  if (Samples.size() < 2) return 0;
  const auto Bins = RealFft(Samples);
  const TAudibleBins Band(Samples.size(), Rate);
  const double BinHertz = double(Rate) / double(Samples.size());
  // A sine of amplitude a puts |X|^2 = (a N / 2)^2 into its bin; its power relative to a
  // full-scale sine's (1/2) is a^2, hence 4 / N^2.
  const double Scale = 4.0 / (double(Samples.size()) * double(Samples.size()));
  double Power = 0, Near = 0;
  for (std::size_t K = Band.Low; K <= Band.High; ++K) {
    const double P = std::norm(Bins[K]) * Scale;
    Power += P;
    if (Own > 0) {
      const double Hertz = double(K) * BinHertz;
      const double Harmonic = std::max(1.0, std::round(Hertz / double(Own))) * double(Own);
      if (std::abs(Hertz - Harmonic) <= OwnHertz) Near += P;
    }
  }
  if (OwnPower) *OwnPower = Near;
  return Power;
}

// A periodic Hann window and the sum of its squares.
struct THannWindow {
  std::vector<double> Weights;
  double SquareSum = 0;
};

// The window of Size points, made once per size: a pass's tick changes all use one size and each
// tone's loop another, and the cosines were most of a sweep's measuring. A few sizes are kept.
const THannWindow& HannWindow(std::size_t Size) {
  constexpr std::size_t KeptSizes = 4;
  thread_local std::map<std::size_t, THannWindow> Windows;
  if (auto Found = Windows.find(Size); Found != Windows.end()) return Found->second;
  if (Windows.size() >= KeptSizes) Windows.clear();
  THannWindow& Window = Windows[Size];
  Window.Weights.resize(Size);
  for (std::size_t N = 0; N < Size; ++N) {
    const double W = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(N) / double(Size));
    Window.Weights[N] = W;
    Window.SquareSum += W * W;
  }
  return Window;
}

// Relative audible power of Samples through a periodic Hann window, which leaves out what their
// ends add, and their energy (power times frames) when Energy is set.
double WindowedPower(const std::vector<double>& Samples, unsigned Rate, double* Energy = nullptr) {
  const std::size_t Size = Samples.size();
  if (Size < 2) return 0;
  const THannWindow& Window = HannWindow(Size);
  std::vector<double> Windowed(Size);
  for (std::size_t N = 0; N < Size; ++N) Windowed[N] = Samples[N] * Window.Weights[N];
  const double Sum = Window.SquareSum;
  const auto Bins = RealFft(Windowed);
  const TAudibleBins Band(Size, Rate);
  double Total = 0;
  for (std::size_t K = Band.Low; K <= Band.High; ++K) Total += std::norm(Bins[K]);
  // Parseval: the windowed samples' energy in the band is 2 |X|^2 / N over the positive bins,
  // twice that relative to a full-scale sine's power of 1/2.
  const double WindowedEnergy = 4.0 * Total / double(Size);
  if (Energy) *Energy = WindowedEnergy;
  return WindowedEnergy / Sum;
}

// The first channel of Image's frames at full scale 1.
std::vector<double> FirstChannel(const uint8_t* Data, int64_t Frames, const TToneSettings& S) {
  const bool Sixteen = S.Resolution == tg16Bit;
  const int64_t FrameBytes = (Sixteen ? 2 : 1) * (S.Stereo ? 2 : 1);
  std::vector<double> Out(std::size_t(std::max<int64_t>(Frames, 0)));
  for (int64_t F = 0; F < Frames; ++F) {
    const uint8_t* P = Data + F * FrameBytes;
    Out[std::size_t(F)] =
        Sixteen ? double(int16_t(P[0] | P[1] << 8)) / 32767 : (P[0] - 128) / 127.0;
  }
  return Out;
}

int64_t WholeFrames(const TToneSettings& S) {
  const int64_t FrameBytes = (S.Resolution == tg16Bit ? 2 : 1) * (S.Stereo ? 2 : 1);
  return ToneDataSize(S) / FrameBytes;
}

std::vector<double> WholeTone(const TToneSettings& S, const TEnvelopeSettings* Envelope) {
  TToneBlocks Blocks(S, Envelope);
  std::vector<uint8_t> Data;
  for (auto Block = Blocks.Next(); !Block.empty(); Block = Blocks.Next())
    Data.insert(Data.end(), Block.begin(), Block.end());
  return FirstChannel(Data.data(), WholeFrames(S), S);
}

// One partial alone, made as the whole tone makes it; Noise moves on as in the whole tone.
std::vector<double> PartialAlone(const TPartial& Partial, const TToneSettings& S,
                                 const TEnvelopeSettings* Envelope, TToneNoise& Noise) {
  const int64_t Frames = WholeFrames(S);
  const int64_t FrameBytes = (S.Resolution == tg16Bit ? 2 : 1) * (S.Stereo ? 2 : 1);
  std::vector<uint8_t> Data(std::size_t(Frames * FrameBytes + 64), FillByte(S.Resolution));
  if (S.UltrasoundOnly) {
    const std::vector<double> Values = UltrasoundFrames({Partial}, Frames, Noise);
    for (int64_t F = 0; F < Frames; ++F)
      AddToFrame<true, false>(&Data[std::size_t(F * FrameBytes)],
                              std::llround(std::clamp(Values[std::size_t(F)], -32767.0, 32767.0)));
  } else if (auto Cursor = MakePartialCursor(Partial, S, Frames, Noise)) {
    Cursor->Render(Data.data(), Frames, true);
  }
  if (Envelope)
    ApplyEnvelope(Data.data(), 0, Frames, ToneDataSize(S), S.Stereo, S.Resolution, *Envelope);
  return FirstChannel(Data.data(), Frames, S);
}

bool Sounds(const TPartial& P, const TToneSettings& S) {
  if (P.Amplitude <= 0 || P.Frequency <= 0) return false;
  return !S.UltrasoundOnly || KeptForUltrasound(P);
}

// Adds the shares of one partial, heard alone.
void AddPartialShares(TToneLevel& Level, const TPartial& P, int Row,
                      const std::vector<double>& Alone, unsigned Rate, bool Plain) {
  const bool Noise = P.Waveform > tgSawtooth;
  double Own = 0;
  const double Loop = LoopPower(Alone, Rate, Noise ? 0 : P.Frequency, &Own);
  if (Noise) Own = Loop;
  const double Rest = Loop - Own;
  const double Seam = std::clamp(Loop - WindowedPower(Alone, Rate), 0.0, Rest);
  auto Add = [&](TShareSource Source, double Power, int ShareRow) {
    if (Power > 0) Level.Shares.push_back({Source, ShareRow, P.Frequency, P.Frequency, Power});
  };
  Add(Noise     ? TShareSource::Noise
      : Row < 0 ? TShareSource::MainTone
                : TShareSource::Partial,
      Own, Row);
  if (Plain) {
    Add(TShareSource::Spurs, Rest - Seam, -1);
    Add(TShareSource::LoopSeam, Seam, -1);
  } else {
    Add(TShareSource::LoopSeam, Rest, -1);
  }
}

// Shares of one source (and row) added together, loudest first.
void MergeShares(std::vector<TAudibleShare>& Shares) {
  std::vector<TAudibleShare> Merged;
  for (const TAudibleShare& Share : Shares) {
    auto Same = std::find_if(Merged.begin(), Merged.end(), [&](const TAudibleShare& M) {
      return M.Source == Share.Source && M.Row == Share.Row;
    });
    if (Same == Merged.end()) {
      Merged.push_back(Share);
      if (Share.Source == TShareSource::Spurs || Share.Source == TShareSource::LoopSeam)
        Merged.back().LowHertz = Merged.back().HighHertz = 0;
      continue;
    }
    Same->Power += Share.Power;
    if (Same->LowHertz != 0 || Same->HighHertz != 0) {
      Same->LowHertz = std::min(Same->LowHertz, Share.LowHertz);
      Same->HighHertz = std::max(Same->HighHertz, Share.HighHertz);
    }
  }
  std::sort(Merged.begin(), Merged.end(),
            [](const TAudibleShare& A, const TAudibleShare& B) { return A.Power > B.Power; });
  Shares = std::move(Merged);
}

std::string KilohertzRange(int64_t Low, int64_t High) {
  auto Text = [](int64_t Hertz) {
    char Out[32];
    std::snprintf(Out, sizeof Out, "%.3g", double(Hertz) / 1000);
    return std::string(Out);
  };
  return Low == High ? Text(Low) + " kHz" : Text(Low) + "-" + Text(High) + " kHz";
}

void AppendKey(std::string& Key, const void* Value, std::size_t Size) {
  Key.append(static_cast<const char*>(Value), Size);
}

// The tone's settings as bytes. A string, not a vector of bytes: GCC 12 at -O3 takes the
// vectors' ordering for a read past any object (a false -Wstringop-overread).
std::string ToneKey(const TToneSettings& S, const TEnvelopeSettings* Envelope) {
  std::string Key;
  const int64_t Values[] = {S.Frequency,      S.Duration,         S.Waveform,        S.Resolution,
                            S.Quality,        S.Stereo,           S.AMUseMultiplier, S.BandLimited,
                            S.UltrasoundOnly, Envelope != nullptr};
  AppendKey(Key, Values, sizeof Values);
  AppendKey(Key, S.AM.Amplitudes, sizeof S.AM.Amplitudes);
  AppendKey(Key, S.AM.Waveforms, sizeof S.AM.Waveforms);
  AppendKey(Key, S.AM.Frequencies, sizeof S.AM.Frequencies);
  if (Envelope) {
    const int16_t Shape[] = {Envelope->Attack, Envelope->Hold, Envelope->Decay, Envelope->Sustain,
                             Envelope->Release};
    AppendKey(Key, Shape, sizeof Shape);
  }
  return Key;
}

}  // namespace

TAudibleClass AudibleClassOf(double Db) {
  if (Db < -60) return TAudibleClass::Faint;
  return Db <= -40 ? TAudibleClass::Quiet : TAudibleClass::Audible;
}

std::string AudibleClassWord(TAudibleClass Class) {
  switch (Class) {
    case TAudibleClass::Faint:
      return Tr("faint");
    case TAudibleClass::Quiet:
      return Tr("quiet");
    default:
      return Tr("audible");
  }
}

const char* AudibleClassName(TAudibleClass Class) {
  switch (Class) {
    case TAudibleClass::Faint:
      return "faint";
    case TAudibleClass::Quiet:
      return "quiet";
    default:
      return "audible";
  }
}

double PowerDb(double Power) {
  return Power > 0 ? 10 * std::log10(Power) : -HUGE_VAL;
}

TToneLevel MeasureToneLevel(const TToneSettings& Settings, const TEnvelopeSettings* Envelope,
                            unsigned OutputRate) {
  TToneLevel Level;
  const unsigned Rate = unsigned(SampleRate(Settings.Quality));
  if (OutputRate != 0 && OutputRate < Rate && Settings.Frequency >= PassbandEdge(OutputRate)) {
    Level.Played = false;
    return Level;
  }
  Level.Loop = WholeTone(Settings, Envelope);
  Level.Power = LoopPower(Level.Loop, Rate);
  if (Level.Power <= 0) return Level;
  const bool Plain = !Settings.BandLimited && !Settings.UltrasoundOnly;
  TToneNoise Noise;
  const std::vector<TPartial> Partials = TonePartials(Settings);
  for (std::size_t I = 0; I < Partials.size(); ++I) {
    const TPartial& P = Partials[I];
    // Every noise partial draws, heard or not, so that the next one draws as in the tone.
    if (!Sounds(P, Settings) && P.Waveform <= tgSawtooth) continue;
    const std::vector<double> Alone = PartialAlone(P, Settings, Envelope, Noise);
    if (Sounds(P, Settings)) AddPartialShares(Level, P, int(I) - 1, Alone, Rate, Plain);
  }
  MergeShares(Level.Shares);
  return Level;
}

double TickChangeEnergy(const std::vector<double>& Before, int64_t Cut,
                        const std::vector<double>& After, unsigned Rate) {
  // Half a window on each side of the cut: long enough to resolve 20 Hz... nearly; the click
  // itself lies within a few milliseconds of the cut.
  constexpr int64_t Half = 8192;
  auto At = [](const std::vector<double>& Loop, int64_t Frame) {
    if (Loop.empty()) return 0.0;
    const int64_t Size = int64_t(Loop.size());
    return Loop[std::size_t(((Frame % Size) + Size) % Size)];
  };
  std::vector<double> Joined(2 * Half), Old(2 * Half), New(2 * Half);
  for (int64_t N = 0; N < 2 * Half; ++N) {
    const int64_t Frame = N - Half;  // from the cut
    Old[std::size_t(N)] = At(Before, Cut + Frame);
    New[std::size_t(N)] = At(After, Frame);
    Joined[std::size_t(N)] = Frame < 0 ? Old[std::size_t(N)] : New[std::size_t(N)];
  }
  double Cutting = 0, Going = 0, Coming = 0;
  WindowedPower(Joined, Rate, &Cutting);
  WindowedPower(Old, Rate, &Going);
  WindowedPower(New, Rate, &Coming);
  return std::max(0.0, Cutting - (Going + Coming) / 2);
}

double VolumeGainDb(int LeftVolume, int RightVolume, bool Stereo) {
  const double Left = LeftVolume / 100.0, Right = RightVolume / 100.0;
  const double Power =
      Stereo ? (Left * Left + Right * Right) / 2 : (Left + Right) * (Left + Right) / 4;
  return PowerDb(Power);
}

const TToneLevel& TToneLevels::Of(const TToneSettings& Settings, const TEnvelopeSettings* Envelope,
                                  unsigned OutputRate) {
  TKey Key{ToneKey(Settings, Envelope), OutputRate};
  auto Found = FLevels.find(Key);
  if (Found == FLevels.end())
    Found =
        FLevels
            .emplace(std::move(Key),
                     std::make_unique<TToneLevel>(MeasureToneLevel(Settings, Envelope, OutputRate)))
            .first;
  return *Found->second;
}

std::string ShareText(const TAudibleShare& Share, const TAMTable& Table, bool Multiplier) {
  const std::string Range = KilohertzRange(Share.LowHertz, Share.HighHertz);
  switch (Share.Source) {
    case TShareSource::MainTone:
      return FormatMessage("the main tone (%s)", Range.c_str());
    case TShareSource::Partial: {
      const float Frequency =
          Share.Row >= 0 && Share.Row < AMRowCount ? Table.Frequencies[Share.Row] : 0;
      return Multiplier
                 ? FormatMessage("the partial at %g × the frequency (%s)", double(Frequency),
                                 Range.c_str())
                 : FormatMessage("the partial at %g Hz (%s)", double(Frequency), Range.c_str());
    }
    case TShareSource::Noise:
      return Tr("the noise");
    case TShareSource::Spurs:
      return Tr("spurs of the plain synthesis");
    case TShareSource::LoopSeam:
      return Tr("the loop seam and the samples' rounding");
    default:
      return Tr("the tick changes");
  }
}

std::string DbText(double Db) {
  if (!std::isfinite(Db)) return Tr("nothing (silent)");
  char Text[32];
  // Rounded first, so that nothing reads "-0".
  std::snprintf(Text, sizeof Text, "%.0f dBFS", std::round(Db) + 0.0);
  return Text;
}

std::string MostlyText(const std::vector<TAudibleShare>& Shares, const TAMTable& Table,
                       bool Multiplier) {
  // Shares within this much of the loudest are named beside it.
  constexpr double NamedWithinDb = 6;
  if (Shares.empty()) return "";
  std::string Text = FormatMessage(", mostly %s", ShareText(Shares[0], Table, Multiplier).c_str());
  for (std::size_t I = 1; I < Shares.size() && I < 3; ++I)
    if (PowerDb(Shares[I].Power) >= PowerDb(Shares[0].Power) - NamedWithinDb)
      Text += FormatMessage(" and %s", ShareText(Shares[I], Table, Multiplier).c_str());
  return Text;
}

// The tone command: what it hands to the component and the service, its warnings and its
// exit statuses; and band-limited synthesis measured from outside, on exported WAVE files analysed
// with a windowed DFT of the test's own: exact sine samples, the level of the plain waveforms, and
// the partials left out at half the rate.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "platform/audio/RecordingSoundService.h"
#include "platform/core/DefinitionReader.h"
#include "platform/core/DefinitionWriter.h"
#include "sound/ToneCommand.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"
#include "tests/support/ScratchFolder.h"

namespace {

// The left channel of a 16-bit WAVE file (44-byte header) as numbers.
std::vector<double> ReadLeft16(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  const std::vector<uint8_t> File{std::istreambuf_iterator<char>(In), {}};
  EXPECT_GE(File.size(), 44u);
  const int Channels = File[22];
  const uint32_t DataBytes = File[40] | File[41] << 8 | File[42] << 16 | uint32_t(File[43]) << 24;
  std::vector<double> Left;
  for (std::size_t At = 44; At + 1 < 44 + DataBytes; At += 2 * Channels)
    Left.push_back(int16_t(File[At] | File[At + 1] << 8));
  return Left;
}

// Levels in dB against a full-scale 16-bit sine, through a 4-term Blackman-Harris window (side
// lobes 92 dB down), one frequency at a time (Goertzel).
class TLevels {
 public:
  TLevels(const std::vector<double>& Samples, double Rate) : FRate(Rate) {
    const double Last = double(Samples.size() - 1);
    for (std::size_t N = 0; N < Samples.size(); ++N) {
      const double X = 2 * std::numbers::pi * double(N) / Last;
      const double W =
          0.35875 - 0.48829 * std::cos(X) + 0.14128 * std::cos(2 * X) - 0.01168 * std::cos(3 * X);
      FWindowed.push_back(Samples[N] * W);
      FWindowSum += W;
    }
  }
  double At(double Hertz) const {
    const double Coefficient = 2 * std::cos(2 * std::numbers::pi * Hertz / FRate);
    double S1 = 0, S2 = 0;
    for (double X : FWindowed) {
      const double S = X + Coefficient * S1 - S2;
      S2 = S1;
      S1 = S;
    }
    const double Magnitude = std::sqrt(std::max(0.0, S1 * S1 + S2 * S2 - Coefficient * S1 * S2));
    return 20 * std::log10(2 * Magnitude / FWindowSum / 32767 + 1e-30);
  }
  double PeakBetween(double From, double To, double Step) const {
    double Peak = -400;
    for (double Hertz = From; Hertz <= To; Hertz += Step) Peak = std::max(Peak, At(Hertz));
    return Peak;
  }

 private:
  double FRate;
  std::vector<double> FWindowed;
  double FWindowSum = 0;
};

class ToneGenCommand : public testing::Test {
 protected:
  int Run(std::vector<std::string> Args) {
    testing::internal::CaptureStderr();
    const int Status = ToneCommand(Args);
    FErr = testing::internal::GetCapturedStderr();
    return Status;
  }
  // The left channel the tone command exports with Args.
  std::vector<double> Export(std::vector<std::string> Args) {
    Args.insert(Args.end(), {"--export", FPath});
    EXPECT_EQ(Run(Args), 0);
    return ReadLeft16(FPath);
  }
  // The exported file holds the component's image.
  void ExpectExported(const TToneGen& Tone) {
    std::ifstream In(FPath, std::ios::binary);
    const std::vector<uint8_t> Written{std::istreambuf_iterator<char>(In), {}};
    ASSERT_EQ(Written.size(), std::size_t(Tone.DataBufferSize()));
    EXPECT_TRUE(std::equal(Written.begin(), Written.end(), Tone.GetDataBuffer()));
  }

  TRecordingSoundService FService;
  TScopedSoundService FInstall{FService};
  std::string FErr;
  const TScratchFolder FFolder{"tessolon-tone-"};
  const std::string FPath = (FFolder / "out.wav").string();
};

TEST_F(ToneGenCommand, ExportsTheComponentsImage) {
  ASSERT_EQ(
      Run({"--note", "O5A", "--waveform", "triangle", "--resolution", "8", "--quality", "lo",
           "--stereo", "--am", "2:40:square:1.5", "--envelope", "--sustain=80", "--export", FPath}),
      0)
      << FErr;
  TToneGen Tone(nullptr);
  Tone.SetFrequency(880);
  Tone.SetWaveform(tgTriangle);
  Tone.SetResolution(tg8Bit);
  Tone.SetQuality(tgLoQ);
  Tone.SetStereo(true);
  Tone.SetAMParameter(tgAMLevel2, 40, 1.5f, tgSquare);
  Tone.SetSustain(80);
  ASSERT_TRUE(Tone.PrepareADSR());
  ExpectExported(Tone);
  EXPECT_EQ(FErr, "");
}

// Both set the main frequency; the one given last counts, as when the component is set in turn.
TEST_F(ToneGenCommand, PropertiesAreSetInTheOrderGiven) {
  const struct {
    std::vector<std::string> Args;
    int64_t Hertz;
  } Cases[] = {{{"--note", "C", "--frequency", "1000"}, 1000},
               {{"--frequency", "1000", "--note=C"}, 0},
               {{"--frequency=300", "--frequency", "700"}, 700}};
  for (const auto& C : Cases) {
    std::vector<std::string> Args = C.Args;
    Args.insert(Args.end(), {"--export", FPath});
    ASSERT_EQ(Run(Args), 0) << FErr;
    TToneGen Tone(nullptr);
    if (C.Hertz)
      Tone.SetFrequency(C.Hertz);
    else
      Tone.SetNote("C");
    ASSERT_TRUE(Tone.Prepare());
    SCOPED_TRACE(testing::PrintToString(C.Args));
    ExpectExported(Tone);
  }
}

TEST_F(ToneGenCommand, PlaysOnceOrLoopsForAWhile) {
  ASSERT_EQ(Run({"--play"}), 0);
  ASSERT_EQ(FService.Plays().size(), 1u);
  EXPECT_EQ(FService.Plays()[0]->Flags, SND_MEMORY);
  FService.Clear();
  ASSERT_EQ(Run({"--play", "--seconds", "0.01", "--left", "50"}), 0);
  EXPECT_EQ(FService.Plays()[0]->Flags, SND_MEMORY | SND_ASYNC | SND_LOOP);
  EXPECT_EQ(FService.Trace().substr(FService.Trace().find('P')), "PSSV");  // stop, then restore
}

TEST_F(ToneGenCommand, WarnsWhenATonePassesHalfTheRate) {
  ASSERT_EQ(Run({"--frequency", "22050", "--quality", "lo", "--export", FPath}), 0);
  EXPECT_NE(FErr.find("22050 Hz is at or above half the image's rate of 44100"), std::string::npos)
      << FErr;
  ASSERT_EQ(Run({"--frequency", "22049", "--quality", "lo", "--export", FPath}), 0);
  EXPECT_EQ(FErr, "");
  // An output slower than the 96 kHz image: the program converts the image, whose partials
  // above the converter's edge are removed; a main frequency above it is not played at all.
  FService.Rate = 44100;
  ASSERT_EQ(Run({"--frequency", "20000", "--am", "1:10:sine:1.2", "--play"}), 0);
  EXPECT_EQ(FErr,
            "tessolon tone: warning: 24000 Hz is removed: the output (SDL's recording driver at "
            "44100 Hz) carries nothing at or above 20.1 kHz\n");
  EXPECT_EQ(FService.Plays().size(), 1u);
  FService.Clear();
  FService.Rate = 48000;
  for (const char* Seconds : {"0", "0.01"}) {
    EXPECT_EQ(Run({"--frequency", "30000", "--play", "--seconds", Seconds}), 1);
    EXPECT_EQ(
        FErr,
        "tessolon tone: warning: 30000 Hz cannot be carried: the output (SDL's recording "
        "driver at 48000 Hz) carries nothing at or above 21.9 kHz; the tone was not played\n");
    EXPECT_TRUE(FService.Plays().empty());
  }
}

TEST_F(ToneGenCommand, BadArgumentsAndRefusals) {
  for (const std::vector<std::string>& Args : {std::vector<std::string>{},
                                               {"--waveform", "hum", "--play"},
                                               {"--note", "H", "--play"},
                                               {"--am", "9:10:sine:1", "--play"},
                                               {"--am", "1:10:sine", "--play"},
                                               {"--resolution", "12", "--play"},
                                               {"--frequency", "x", "--play"},
                                               {"--seconds", "1"},
                                               {"--play", "--loud"}}) {
    EXPECT_EQ(Run(Args), 2) << testing::PrintToString(Args);
    EXPECT_EQ(std::count(FErr.begin(), FErr.end(), '\n'), 1) << FErr;
  }
  EXPECT_EQ(Run({"--export", "/nonexistent-dir/tone.wav"}), 1);
  EXPECT_TRUE(FService.Plays().empty());
}

TEST_F(ToneGenCommand, BandLimitedSquareAt15kHzFoldsBackOnlyWhenPlain) {
  const std::vector<std::string> Square{"--frequency", "15000", "--waveform", "square",
                                        "--duration",  "150",   "--stereo"};
  const TLevels Plain(Export(Square), 96000);
  const double PlainTone = Plain.At(15000);
  // The 7th harmonic, 105 kHz, folds to 9 kHz.
  const double Alias = Plain.At(9000);
  EXPECT_GE(PlainTone - Alias, 18) << PlainTone << " " << Alias;
  EXPECT_LE(PlainTone - Alias, 25) << PlainTone << " " << Alias;

  auto Args = Square;
  Args.push_back("--band-limited");
  const TLevels Clean(Export(Args), 96000);
  const double Tone = Clean.At(15000);
  EXPECT_NEAR(Tone, PlainTone, 3);
  EXPECT_LT(Clean.PeakBetween(500, 14000, 5), Tone - 60);
  EXPECT_EQ(FErr, "");
}

TEST_F(ToneGenCommand, BandLimitedSawtoothAndTriangleKeepOnlyTheirHarmonicsBelowHalfTheRate) {
  // At 44100 samples per second a 7 kHz sawtooth keeps 7, 14 and 21 kHz.
  const TLevels Saw(Export({"--frequency", "7000", "--waveform", "sawtooth", "--quality", "lo",
                            "--duration", "200", "--band-limited"}),
                    44100);
  const double Tone = Saw.At(7000);
  EXPECT_NEAR(Saw.At(14000), Tone - 20 * std::log10(2.0), 0.5);  // harmonic k has 1/k
  EXPECT_NEAR(Saw.At(21000), Tone - 20 * std::log10(3.0), 0.5);
  for (auto [From, To] : {std::pair{100.0, 6900.0}, {7100, 13900}, {14100, 20900}})
    EXPECT_LT(Saw.PeakBetween(From, To, 5), Tone - 60) << From;

  const TLevels Triangle(
      Export({"--frequency", "3000", "--waveform", "triangle", "--band-limited"}), 96000);
  const double Fundamental = Triangle.At(3000);
  EXPECT_NEAR(Triangle.At(9000), Fundamental - 20 * std::log10(9.0), 0.5);  // 1/k^2, odd k
  EXPECT_LT(Triangle.At(6000), Fundamental - 60);
  EXPECT_LT(Triangle.PeakBetween(100, 2900, 5), Fundamental - 60);
}

TEST_F(ToneGenCommand, BandLimitedASineRunsWithExactPhaseAtThePlainPeak) {
  TToneGen Tone(nullptr);
  Tone.SetBandLimited(true);
  Tone.SetFrequency(1234);
  Tone.SetDuration(1000);
  ASSERT_TRUE(Tone.Prepare());
  const uint8_t* Data = Tone.GetDataBuffer() + WaveHeaderSize;
  int Worst = 0;
  for (int N = 0; N < 96000; ++N) {
    const int Expected =
        int(std::lround(32767 * std::sin(2 * std::numbers::pi * 1234 * N / 96000)));
    Worst = std::max(Worst, std::abs(int16_t(Data[2 * N] | Data[2 * N + 1] << 8) - Expected));
  }
  EXPECT_LE(Worst, 1);
}

TEST_F(ToneGenCommand, BandLimitedPartialsShareFullScaleWithoutWrappingAndStereoChannelsAgree) {
  TToneGen Tone(nullptr);
  Tone.SetBandLimited(true);
  Tone.SetStereo(true);
  Tone.SetWaveform(tgSquare);
  Tone.SetFrequency(700);
  Tone.SetAMParameter(tgAMLevel1, 40, 1.7f, tgSawtooth);
  Tone.SetAMParameter(tgAMLevel2, 20, 3.1f, tgTriangle);
  ASSERT_TRUE(Tone.Prepare());
  const uint8_t* Data = Tone.GetDataBuffer() + WaveHeaderSize;
  int Peak = 0;
  for (int Frame = 0; Frame < 9600; ++Frame) {
    const int Left = int16_t(Data[4 * Frame] | Data[4 * Frame + 1] << 8);
    ASSERT_EQ(Left, int16_t(Data[4 * Frame + 2] | Data[4 * Frame + 3] << 8)) << Frame;
    Peak = std::max(Peak, std::abs(Left));
  }
  // Each partial peaks at its own share of 32767; together they never pass full scale.
  EXPECT_LE(Peak, 32767);
  EXPECT_GT(Peak, 32767 * 4 / 10);

  Tone.SetAMParameter(tgAMLevel1, 0, 1, tgSine);
  Tone.SetAMParameter(tgAMLevel2, 0, 1, tgSine);
  Tone.SetResolution(tg8Bit);
  ASSERT_TRUE(Tone.Prepare());
  const uint8_t* Bytes = Tone.GetDataBuffer() + WaveHeaderSize;
  const auto [Low, High] = std::minmax_element(Bytes, Bytes + 2 * 9600);
  // Up to the plain square's levels, 128 - 127 and 128 + 127, and no further.
  EXPECT_TRUE(1 <= *Low && *Low <= 6) << int(*Low);
  EXPECT_TRUE(250 <= *High && *High <= 255) << int(*High);
}

TEST_F(ToneGenCommand, BandLimitedPartialsAtOrAboveHalfTheRateAreLeftOutAndSaidSo) {
  const auto Silent = Export({"--frequency", "48000", "--waveform", "square", "--band-limited"});
  EXPECT_TRUE(std::all_of(Silent.begin(), Silent.end(), [](double S) { return S == 0; }));
  EXPECT_EQ(FErr,
            "tessolon tone: warning: 48000 Hz is at or above half the image's rate of 96000 "
            "samples per second and is left out\n");

  // The main tone stays; its row at twice the frequency (held at 50000 Hz) goes, and at the
  // lower rate so does the tone.
  const TLevels Kept(Export({"--frequency", "30000", "--am", "1:50:sine:2", "--band-limited"}),
                     96000);
  EXPECT_NEAR(Kept.At(30000), 20 * std::log10(0.5), 0.5);
  EXPECT_EQ(FErr,
            "tessolon tone: warning: 50000 Hz is at or above half the image's rate of 96000 "
            "samples per second and is left out\n");
  Export({"--frequency", "30000", "--am", "1:50:sine:2", "--band-limited", "--quality", "lo"});
  EXPECT_NE(FErr.find("30000 Hz is at or above half the image's rate of 44100"), std::string::npos);
  EXPECT_NE(FErr.find("50000 Hz is at or above half the image's rate of 44100"), std::string::npos);
}

TEST_F(ToneGenCommand, BandLimitedPublishedPropertyOffByDefaultRebuildsWhenSetAndLeavesNoiseAlone) {
  TToneGen Tone(nullptr);
  EXPECT_FALSE(Tone.BandLimited());
  ASSERT_TRUE(Tone.Prepare());
  Tone.SetBandLimited(true);
  EXPECT_TRUE(Tone.WaveChanged());
  Tone.SetName("ToneGen1");
  const std::string Written = WriteDefinition(Tone);
  EXPECT_NE(Written.find("BandLimited = True"), std::string::npos) << Written;
  TToneGen Read(nullptr);
  ReadDefinition(Read, Written, "test");
  EXPECT_TRUE(Read.BandLimited());

  // Noise has no harmonics to limit: the same samples either way.
  Tone.SetWaveform(tgNoise);
  ASSERT_TRUE(Tone.Prepare());
  const std::vector<uint8_t> Limited(Tone.GetDataBuffer(),
                                     Tone.GetDataBuffer() + Tone.DataBufferSize());
  Tone.SetBandLimited(false);
  ASSERT_TRUE(Tone.Prepare());
  EXPECT_TRUE(std::equal(Limited.begin(), Limited.end(), Tone.GetDataBuffer()));
}

}  // namespace

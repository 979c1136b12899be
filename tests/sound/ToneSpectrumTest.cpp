// The spectrum analysis on images made here from exact sines, and the picture the tone command
// hands to its writer.
#include "sound/ToneSpectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/audio/RecordingSoundService.h"
#include "sound/ToneCommand.h"
#include "sound/ToneGenSynth.h"

namespace {

struct TSine {
  double Hertz, Amplitude;
};

// A mono image of the sum of Sines, rounded to whole sample values.
std::vector<uint8_t> Image(int Rate, bool SixteenBit, int Frames, std::vector<TSine> Sines) {
  const int Bytes = SixteenBit ? 2 : 1;
  std::vector<uint8_t> Result(WaveHeaderSize + std::size_t(Frames * Bytes));
  WriteWaveHeader(Result.data(),
                  {.Rate = uint32_t(Rate), .Channels = 1, .Bits = uint16_t(8 * Bytes)},
                  uint32_t(Frames * Bytes));
  for (int N = 0; N < Frames; ++N) {
    double Value = 0;
    for (const TSine& Sine : Sines)
      Value += Sine.Amplitude * std::sin(2 * std::numbers::pi * Sine.Hertz * N / Rate);
    const long Sample = std::lround(Value);
    uint8_t* At = Result.data() + WaveHeaderSize + N * Bytes;
    if (SixteenBit) {
      At[0] = uint8_t(Sample);
      At[1] = uint8_t(Sample >> 8);
    } else {
      At[0] = uint8_t(Sample + 128);
    }
  }
  return Result;
}

TEST(ToneSpectrum, LevelsAreDecibelsAgainstAFullScaleSine) {
  // Half scale (-6.02 dB) at 1 kHz and 1/200 of full scale (-46.02 dB) at 5 kHz.
  const auto Wave = Image(96000, true, 9600, {{1000, 16383.5}, {5000, 163.835}});
  const TSpectrum Spectrum = AnalyseWaveImage(Wave.data(), Wave.size());
  EXPECT_EQ(Spectrum.Rate, 96000u);
  EXPECT_EQ(Spectrum.Decibels.size(), 16384u / 2 + 1);  // 9600 frames padded to 16384
  EXPECT_DOUBLE_EQ(Spectrum.BinHertz, 96000.0 / 16384);
  EXPECT_NEAR(Spectrum.PeakIn(950, 1050), -6.02, 0.5);
  EXPECT_NEAR(Spectrum.PeakIn(4950, 5050), -46.02, 0.5);
  EXPECT_LT(Spectrum.PeakIn(1200, 4800), -100);
  EXPECT_LT(Spectrum.PeakIn(5200, 48000), -100);
  EXPECT_TRUE(std::isinf(Spectrum.PeakIn(48001, 60000)));

  const auto Eight = Image(44100, false, 4410, {{2000, 127}});
  const TSpectrum Low = AnalyseWaveImage(Eight.data(), Eight.size());
  EXPECT_EQ(Low.Rate, 44100u);
  EXPECT_NEAR(Low.PeakIn(1900, 2100), 0, 0.5);
}

TEST(ToneSpectrum, RefusesWhatIsNoWaveImage) {
  const std::vector<uint8_t> Junk(100, 7);
  EXPECT_THROW(AnalyseWaveImage(Junk.data(), Junk.size()), std::invalid_argument);
  const auto Empty = Image(96000, true, 0, {});
  EXPECT_THROW(AnalyseWaveImage(Empty.data(), Empty.size()), std::invalid_argument);
}

TEST(ToneSpectrum, ToneCommandHandsThePictureToItsWriter) {
  TRecordingSoundService Service;
  TScopedSoundService Install(Service);
  std::vector<std::pair<TSpectrumPicture, std::string>> Drawn;
  const TSpectrumWriter Writer = [&Drawn](const TSpectrumPicture& Picture,
                                          const std::string& FileName) {
    Drawn.emplace_back(Picture, FileName);
  };
  ASSERT_EQ(ToneCommand({"--frequency", "15000", "--waveform", "square", "--band-limited", "--am",
                         "1:20:sine:0.5", "--spectrum", "tone.png"},
                        Writer),
            0);
  ASSERT_EQ(Drawn.size(), 1u);
  const auto& [Picture, FileName] = Drawn[0];
  EXPECT_EQ(FileName, "tone.png");
  EXPECT_EQ(Picture.ToneHertz, 15000);
  // SDL's dummy driver (set for the tests) opens at whatever rate it is asked for.
  EXPECT_EQ(Picture.DeviceRate, 96000u);
  EXPECT_EQ(Picture.Title,
            "15000 Hz square with 1 added partial, 96000 samples per second, 16-bit, "
            "band-limited");
  EXPECT_EQ(Picture.Spectrum.Rate, 96000u);
  // 80 % square and a 20 % sine at 7.5 kHz: -14 dB.
  EXPECT_NEAR(Picture.Spectrum.PeakIn(7400, 7600), 20 * std::log10(0.2), 0.5);
  EXPECT_GT(Picture.Spectrum.PeakIn(14900, 15100), -3);
  EXPECT_TRUE(Service.Plays().empty());

  testing::internal::CaptureStderr();
  EXPECT_EQ(ToneCommand({"--spectrum", "tone.png"}), 1);  // no writer: no pictures
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tessolon tone: this build cannot draw pictures\n");
  const TSpectrumWriter Failing = [](const TSpectrumPicture&, const std::string&) {
    throw std::runtime_error("cannot write the picture 'x.png'");
  };
  testing::internal::CaptureStderr();
  EXPECT_EQ(ToneCommand({"--spectrum", "x.png"}, Failing), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tessolon tone: cannot write the picture 'x.png'\n");
}

}  // namespace

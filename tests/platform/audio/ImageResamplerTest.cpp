// The program's own conversion to an output below the image's rate: what it keeps arrives at its
// level, what lies above the output's half rate is removed instead of folded, and a loop stays
// seamless across its joint; a tone played again is not converted again, and plays the same.
#include "platform/audio/sdl/ImageResampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/audio/Passband.h"
#include "platform/audio/sdl/ConvertedImages.h"
#include "platform/core/ByteOrder.h"

namespace {

constexpr double Pi = std::numbers::pi;

// A 16-bit stereo sine image at half full scale.
TSharedImage Sine(uint32_t Rate, double Hertz, std::size_t Frames) {
  const std::size_t Bytes = Frames * 4;
  auto Image = std::make_shared<std::vector<uint8_t>>(WaveHeaderSize + Bytes);
  WriteWaveHeader(Image->data(), {.Rate = Rate, .Channels = 2, .Bits = 16}, uint32_t(Bytes));
  for (std::size_t I = 0; I < Frames; ++I) {
    const auto Value = int16_t(std::lround(16384 * std::sin(2 * Pi * Hertz * I / Rate)));
    PutLE16(Image->data() + WaveHeaderSize + 4 * I, uint16_t(Value));
    PutLE16(Image->data() + WaveHeaderSize + 4 * I + 2, uint16_t(Value));
  }
  return Image;
}

// The left channel of a converted image, in full-scale units.
std::vector<double> Left(const TSharedImage& Image, TWaveFormat& Format) {
  EXPECT_TRUE(ParseWaveImage(Image->data(), Image->size(), Format));
  std::vector<double> Samples;
  for (std::size_t I = 0; I < Format.DataBytes / 4; ++I)
    Samples.push_back(int16_t(GetLE16(Image->data() + Format.DataOffset + 4 * I)) / 32768.0);
  return Samples;
}

double Rms(const std::vector<double>& Samples, std::size_t From, std::size_t To) {
  double Sum = 0;
  for (std::size_t I = From; I < To; ++I) Sum += Samples[I] * Samples[I];
  return std::sqrt(Sum / double(To - From));
}

// The amplitude of Hertz in the samples (one bin of a DFT).
double Amplitude(const std::vector<double>& Samples, double Hertz, unsigned Rate) {
  double Re = 0, Im = 0;
  for (std::size_t I = 0; I < Samples.size(); ++I) {
    Re += Samples[I] * std::cos(2 * Pi * Hertz * I / Rate);
    Im += Samples[I] * std::sin(2 * Pi * Hertz * I / Rate);
  }
  return 2 * std::hypot(Re, Im) / double(Samples.size());
}

TEST(ImageResampler, KeepsWhatTheOutputCarriesAndRemovesTheRestWithoutFolding) {
  // The edge the commands tell without loading the converter is the converter's own.
  EXPECT_DOUBLE_EQ(ConverterPassband(), ConverterPassbandEnd);
  EXPECT_NEAR(PassbandEdge(48000), 21870, 100);
  EXPECT_NEAR(PassbandEdge(44100), 20090, 100);
  struct TCase {
    double Hertz;
    unsigned To;
    double Kept;  // the amplitude that must arrive, of the 0.5 sent
  };
  const TCase Cases[] = {{1000, 48000, 0.5}, {15000, 48000, 0.5}, {20000, 44100, 0.5},
                         {30000, 48000, 0},  {25000, 44100, 0},   {40000, 48000, 0}};
  for (const TCase& Case : Cases)
    for (bool Loop : {false, true}) {
      SCOPED_TRACE(testing::Message() << Case.Hertz << " Hz to " << Case.To << ", loop " << Loop);
      const TSharedImage Image = Sine(96000, Case.Hertz, 48000);
      TWaveFormat From, To;
      ASSERT_TRUE(ParseWaveImage(Image->data(), Image->size(), From));
      const std::vector<double> Out = Left(ConvertImageRate(Image, From, Case.To, Loop), To);
      EXPECT_EQ(To.Rate, Case.To);
      EXPECT_EQ(Out.size(), std::size_t(std::lround(48000.0 * Case.To / 96000)));
      const std::size_t Quarter = Out.size() / 4;
      if (Case.Kept > 0) {
        EXPECT_NEAR(Amplitude(Out, Case.Hertz, Case.To), Case.Kept, 0.01);
      } else {
        // Nothing at all: no folded image at Rate - Hertz, nor anything else, above the 16-bit
        // rounding of silence (the edges, where a cut-off tone starts, aside when not looping).
        EXPECT_LT(Amplitude(Out, Case.To - Case.Hertz, Case.To), 1e-4);
        EXPECT_LT(Rms(Out, Quarter, 3 * Quarter), 1e-4);
      }
    }
}

TEST(ImageResampler, ALoopRunsOnAcrossItsJointWithoutAClick) {
  // 50 whole cycles of 1 kHz loop seamlessly; so must their conversion, right up to both ends,
  // where a conversion from silence would still be ringing in.
  const TSharedImage Image = Sine(96000, 1000, 4800);
  TWaveFormat From, To;
  ASSERT_TRUE(ParseWaveImage(Image->data(), Image->size(), From));
  for (bool Loop : {true, false}) {
    const std::vector<double> Out = Left(ConvertImageRate(Image, From, 44100, Loop), To);
    double Worst = 0;
    for (std::size_t I = 0; I < Out.size(); ++I)
      if (I < 200 || I + 200 >= Out.size())
        Worst = std::max(Worst, std::abs(Out[I] - 0.5 * std::sin(2 * Pi * 1000 * I / 44100)));
    if (Loop)
      EXPECT_LT(Worst, 0.0005) << Worst;
    else
      EXPECT_GT(Worst, 0.002);  // the check above does tell a loop from a cut-off tone
  }
}

TEST(ConvertedImages, AToneBuiltAgainGetsItsFirstConversionAndEveryOtherToneItsOwn) {
  TConvertedImages Kept;
  const TSharedImage First = Sine(96000, 1000, 4800);
  TWaveFormat From;
  ASSERT_TRUE(ParseWaveImage(First->data(), First->size(), From));
  const TSharedImage Converted = Kept.Of(First, From, 48000, true);
  EXPECT_EQ(*Converted, *ConvertImageRate(First, From, 48000, true));
  // The same bytes built again: the kept conversion itself.
  EXPECT_EQ(Kept.Of(Sine(96000, 1000, 4800), From, 48000, true), Converted);
  // Another tone, rate or loop flag is converted as itself.
  const struct {
    TSharedImage Image;
    unsigned Rate;
    bool Loop;
  } Others[] = {
      {Sine(96000, 1001, 4800), 48000, true}, {First, 44100, true}, {First, 48000, false}};
  for (const auto& Other : Others) {
    const TSharedImage Got = Kept.Of(Other.Image, From, Other.Rate, Other.Loop);
    EXPECT_NE(Got, Converted);
    EXPECT_EQ(*Got, *ConvertImageRate(Other.Image, From, Other.Rate, Other.Loop));
  }
}

TEST(ConvertedImages, KeepsNoMoreThanItsBoundAndLetsTheLeastRecentlyPlayedGo) {
  // A tenth of a second of stereo at 96000 Hz, 57,688 bytes with its conversion to 48000 Hz:
  // five fit the bound, the sixth pushes out the one played longest ago, and an image larger
  // than the bound is converted but not kept.
  constexpr std::size_t Entry = 57'688;
  TConvertedImages Kept(5 * Entry + Entry / 2);
  std::vector<TSharedImage> Images, Converted;
  for (int Tone = 0; Tone < 6; ++Tone) Images.push_back(Sine(96000, 1000 + Tone, 9600));
  TWaveFormat From;
  ASSERT_TRUE(ParseWaveImage(Images[0]->data(), Images[0]->size(), From));
  for (int Tone = 0; Tone < 5; ++Tone)
    Converted.push_back(Kept.Of(Images[Tone], From, 48000, true));
  ASSERT_EQ(Images[0]->size() + Converted[0]->size(), Entry);
  EXPECT_EQ(Kept.Of(Images[0], From, 48000, true), Converted[0]);  // now the most recent
  Kept.Of(Images[5], From, 48000, true);
  EXPECT_EQ(Kept.Of(Images[0], From, 48000, true), Converted[0]);
  EXPECT_NE(Kept.Of(Images[1], From, 48000, true), Converted[1]);  // it went

  const TSharedImage Long = Sine(96000, 1000, 96000);
  const TSharedImage Once = Kept.Of(Long, From, 48000, true);
  EXPECT_NE(Kept.Of(Long, From, 48000, true), Once);               // too large to keep
  EXPECT_EQ(Kept.Of(Images[0], From, 48000, true), Converted[0]);  // and it pushed nothing out
}

}  // namespace

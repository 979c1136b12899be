// The wave image: the partial list, each waveform's first samples, the cycle arithmetic at the
// edges of the rate, the export of the whole block, and ultrasound-only synthesis. The header and
// the spare area are held byte for byte by ToneBlocksTest's images.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "platform/audio/RecordingSoundService.h"
#include "platform/core/ByteOrder.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"
#include "sound/ToneSpectrum.h"
#include "sound/UltrasoundTone.h"
#include "tests/support/ScratchFolder.h"

namespace {

class ToneGenImage : public testing::Test {
 protected:
  const uint8_t* Build() {
    EXPECT_TRUE(FTone.Prepare());
    return FTone.GetDataBuffer();
  }
  std::vector<int> Samples16(int Count) {
    const uint8_t* Data = Build() + WaveHeaderSize;
    std::vector<int> Out;
    for (int I = 0; I < Count; ++I) Out.push_back(int16_t(GetLE16(Data + 2 * I)));
    return Out;
  }
  std::vector<int> Bytes8(int From, int Count) {
    const uint8_t* Data = Build() + WaveHeaderSize;
    return std::vector<int>(Data + From, Data + From + Count);
  }

  TRecordingSoundService FService;
  TScopedSoundService FInstall{FService};
  TToneGen FTone{nullptr};
};

TEST_F(ToneGenImage, FirstSamplesOfEachWaveform) {
  FTone.SetFrequency(20000);
  EXPECT_EQ(Samples16(12),
            (std::vector<int>{0, 32767, 0, -32767, 0, 32767, 0, -32767, 0, 0, 32767, 0}));
  FTone.SetFrequency(1000);
  FTone.SetResolution(tg8Bit);
  FTone.SetWaveform(tgSquare);
  EXPECT_EQ(Bytes8(46, 4), (std::vector<int>{1, 1, 255, 255}));
  EXPECT_EQ(Bytes8(94, 4), (std::vector<int>{255, 255, 1, 1}));
  FTone.SetWaveform(tgTriangle);
  EXPECT_EQ(Bytes8(0, 5), (std::vector<int>{1, 7, 12, 17, 23}));
  EXPECT_EQ(Bytes8(47, 3), (std::vector<int>{249, 255, 249}));  // 255 only in double
  FTone.SetWaveform(tgSawtooth);
  EXPECT_EQ(Bytes8(0, 5), (std::vector<int>{1, 4, 7, 9, 12}));
  EXPECT_EQ(Bytes8(96, 2), (std::vector<int>{1, 4}));
  FTone.SetWaveform(tgNoise);
  EXPECT_EQ(Bytes8(0, 5), (std::vector<int>{9, 220, 52, 70, 172}));
  EXPECT_EQ(Bytes8(0, 5), (std::vector<int>{9, 220, 52, 70, 172}));  // reseeded every build
}

TEST_F(ToneGenImage, PartialList) {
  FTone.SetAMParameter(tgAMLevel1, 100, 1.5f, tgSine);
  FTone.SetAMParameter(tgAMLevel2, 50, 1e30f, tgSine);
  FTone.SetAMParameter(tgAMLevel3, 0, std::nanf(""), tgSine);
  auto Partials = TonePartials(FTone.Settings());
  EXPECT_LE(Partials[0].Amplitude, 0);
  EXPECT_EQ(Partials[1].Amplitude, 66);
  EXPECT_EQ(Partials[1].Frequency, 660);
  EXPECT_EQ(Partials[2].Amplitude, 33);
  EXPECT_EQ(Partials[2].Frequency, 50000);
  EXPECT_EQ(Partials[3].Frequency, 20);
  FTone.SetAMUseMultiplier(false);
  Partials = TonePartials(FTone.Settings());
  EXPECT_EQ(Partials[1].Frequency, 1);
  EXPECT_EQ(Partials[3].Frequency, 0);
}

TEST_F(ToneGenImage, EdgesOfTheRate) {
  auto Peak = [&] {
    const uint8_t* Data = Build() + WaveHeaderSize;
    int Max = 0;
    for (int I = 0; I < FTone.DataBufferSize() - 76; I += 2)
      Max = std::max(Max, std::abs(int(int16_t(GetLE16(Data + I)))));
    return Max;
  };
  FTone.SetFrequency(32000);
  EXPECT_EQ(Peak(), 28377);
  FTone.SetFrequency(32001);  // two-frame cycles land on multiples of pi
  EXPECT_EQ(Peak(), 0);
  FTone.SetQuality(tgLoQ);
  FTone.SetFrequency(45000);  // no cycle at all: skipped, the build goes on
  EXPECT_EQ(Peak(), 0);
  FTone.SetWaveform(tgTriangle);
  FTone.SetFrequency(29401);
  EXPECT_EQ(Peak(), 0);
  FTone.SetWaveform(tgSquare);
  EXPECT_EQ(Samples16(3), (std::vector<int>{32767, 32767, 32767}));
}

TEST_F(ToneGenImage, ExportWritesTheWholeBlock) {
  const TScratchFolder Folder("tessolon-export-");
  const std::filesystem::path Path = Folder / "tone.wav";
  EXPECT_FALSE(FTone.ExportFile(Path));
  EXPECT_FALSE(std::filesystem::exists(Path));
  Build();
  ASSERT_TRUE(FTone.ExportFile(Path));
  std::ifstream In(Path, std::ios::binary);
  const std::vector<uint8_t> Written{std::istreambuf_iterator<char>(In), {}};
  ASSERT_EQ(Written.size(), 19276u);
  EXPECT_TRUE(std::equal(Written.begin(), Written.end(), FTone.GetDataBuffer()));
  EXPECT_FALSE(FTone.ExportFile("/nonexistent-dir/x.wav"));
}

std::vector<int> Samples(const TToneGen& Tone) {
  std::vector<int> Out;
  const uint8_t* Data = Tone.GetDataBuffer() + 44;
  const int Channels = Tone.Stereo() ? 2 : 1;
  for (int32_t I = 0; I + 2 * Channels <= Tone.DataBufferSize() - 76; I += 2 * Channels)
    Out.push_back(int16_t(Data[I] | Data[I + 1] << 8));
  return Out;
}

// Ultrasound-only synthesis: the image's format whatever the boxes say, the tone where it was
// asked for (within the loop's whole cycles), a seam that continues the wave, partials below
// 20.5 kHz left out, and the fade the service is asked for.
class UltrasoundTone : public ToneGenImage {
 protected:
  void SetUp() override {
    FTone.SetUltrasoundOnly(true);
    FTone.SetDuration(150);
  }
};

}  // namespace

TEST_F(UltrasoundTone, Is16BitAt96000HzWhateverResolutionAndQualitySay) {
  FTone.SetResolution(tg8Bit);
  FTone.SetQuality(tgLoQ);
  FTone.SetStereo(true);
  FTone.SetFrequency(30000);
  ASSERT_TRUE(FTone.Prepare());
  const uint8_t* Image = FTone.GetDataBuffer();
  EXPECT_EQ(Image[24] | Image[25] << 8 | Image[26] << 16, 96000);
  EXPECT_EQ(Image[34], 16);
  EXPECT_EQ(FTone.DataBufferSize(), 150 * 96 * 4 + 76);
  EXPECT_EQ(FTone.ImageRate(), 96000u);
  // Both channels alike, as the plain synthesis makes them.
  const uint8_t* Data = Image + 44;
  for (int I = 0; I < 150 * 96; ++I) ASSERT_EQ(GetLE16(Data + 4 * I), GetLE16(Data + 4 * I + 2));
}

TEST_F(UltrasoundTone, PlaysTheToneAboveHearingWithAWholeCycleSeamAndNothingBelow) {
  for (const TTGWave Wave : {tgSine, tgSquare, tgTriangle, tgSawtooth}) {
    SCOPED_TRACE(int(Wave));
    FTone.SetWaveform(Wave);
    FTone.SetFrequency(31003);
    ASSERT_TRUE(FTone.Prepare());
    const TSpectrum Spectrum =
        AnalyseWaveImage(FTone.GetDataBuffer(), std::size_t(FTone.DataBufferSize()));
    // Whole cycles in 150 ms: the nearest multiple of 1000 / 150 Hz, 31000 Hz.
    const double Peak = Spectrum.PeakIn(30990, 31010);
    EXPECT_GT(Peak, -12);
    EXPECT_LT(Spectrum.PeakIn(20, 20000), Peak - 90);
    // The peak where the plain partial's lies: full scale.
    const std::vector<int> S = Samples(FTone);
    const int Highest = *std::max_element(S.begin(), S.end(),
                                          [](int A, int B) { return std::abs(A) < std::abs(B); });
    EXPECT_NEAR(std::abs(Highest), 32767, 330);
    // The frame after the last is the first: the wave's slope carries on across the seam as it
    // does within the loop.
    int Steepest = 0;
    for (std::size_t N = 1; N < S.size(); ++N)
      Steepest = std::max(Steepest, std::abs(S[N] - S[N - 1]));
    EXPECT_LE(std::abs(S.front() - S.back()), Steepest);
  }
}

TEST_F(UltrasoundTone, LeavesOutWhatLiesBelowAndAsksTheServiceToFade) {
  // The dialog's partial at 0.3 times 25 kHz lies at 7.5 kHz: left out, the main tone stays.
  FTone.SetFrequency(25000);
  FTone.SetAMAmplitude(30);
  FTone.SetAMFrequency(0.3f);
  EXPECT_EQ(UltrasoundLeftOut(FTone.Settings()), std::vector<int64_t>{7500});
  ASSERT_TRUE(FTone.Prepare());
  const TSpectrum Spectrum =
      AnalyseWaveImage(FTone.GetDataBuffer(), std::size_t(FTone.DataBufferSize()));
  EXPECT_GT(Spectrum.PeakIn(24990, 25010), -6);
  EXPECT_LT(Spectrum.PeakIn(20, 20000), -100);
  // Below 20.5 kHz the main tone goes too, and with nothing left the image is silent.
  FTone.SetFrequency(20400);
  FTone.SetAMAmplitude(0);
  EXPECT_EQ(UltrasoundLeftOut(FTone.Settings()), std::vector<int64_t>{20400});
  ASSERT_TRUE(FTone.Prepare());
  const std::vector<int> S = Samples(FTone);
  EXPECT_TRUE(std::all_of(S.begin(), S.end(), [](int V) { return V == 0; }));
  FTone.SetLoop(true);
  FTone.Play();
  ASSERT_FALSE(FService.Plays().empty());
  EXPECT_EQ(FService.Plays().back()->Flags, SND_MEMORY | SND_ASYNC | SND_LOOP | SND_FADE);
  // Without the box, the defined synthesis and flags as ever.
  FTone.SetUltrasoundOnly(false);
  FTone.Play();
  EXPECT_EQ(FService.Plays().back()->Flags, SND_MEMORY | SND_ASYNC | SND_LOOP);
  EXPECT_EQ(FTone.ImageRate(), 96000u);
}

// Ultrasound-only synthesis through the tone generator: the image's format whatever the boxes
// say, the tone where it was asked for (within the loop's whole cycles), a seam that continues the
// wave, partials below 20.5 kHz left out, and the fade the service is asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/audio/RecordingSoundService.h"
#include "platform/core/ByteOrder.h"
#include "sound/ToneGen.h"
#include "sound/ToneSpectrum.h"
#include "sound/UltrasoundTone.h"

namespace {

std::vector<int> Samples(const TToneGen& Tone) {
  std::vector<int> Out;
  const uint8_t* Data = Tone.GetDataBuffer() + 44;
  const int Channels = Tone.Stereo() ? 2 : 1;
  for (int32_t I = 0; I + 2 * Channels <= Tone.DataBufferSize() - 76; I += 2 * Channels)
    Out.push_back(int16_t(Data[I] | Data[I + 1] << 8));
  return Out;
}

class UltrasoundTone : public testing::Test {
 protected:
  void SetUp() override {
    FTone.SetUltrasoundOnly(true);
    FTone.SetDuration(150);
  }
  TRecordingSoundService FService;
  TScopedSoundService FScope{FService};
  TToneGen FTone{nullptr};
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

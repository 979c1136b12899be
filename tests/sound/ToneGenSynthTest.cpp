// The wave image: the partial list, each waveform's first samples, the cycle arithmetic at the
// edges of the rate, and the export of the whole block. The header and the spare area are held
// byte for byte by ToneBlocksTest's images.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>

#include <filesystem>
#include <fstream>

#include "platform/audio/RecordingSoundService.h"
#include "platform/core/ByteOrder.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"
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

}  // namespace

// End-to-end through SDL's disk driver: what reaches the "device" file must be the image's
// samples, whole, gapless when looping, and scaled per channel by the program's volume; a voice
// played with SND_FADE rises from silence and falls back to it without a jump.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/audio/WaveImage.h"
#include "platform/audio/sdl/SdlSoundService.h"
#include "platform/core/ByteOrder.h"
#include "tests/support/DiskAudio.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScratchFolder.h"

namespace {

// A PCM image of Frames frames whose sample I is Sample(I), signed (8-bit samples are stored
// with the offset of 128).
std::vector<uint8_t> MakeImage(uint32_t Rate, uint16_t Channels, uint16_t Bits, std::size_t Frames,
                               const std::function<int(std::size_t)>& Sample) {
  const std::size_t SampleBytes = Bits / 8, Bytes = Frames * Channels * SampleBytes;
  std::vector<uint8_t> Image(WaveHeaderSize + Bytes);
  WriteWaveHeader(Image.data(), {.Rate = Rate, .Channels = Channels, .Bits = Bits},
                  uint32_t(Bytes));
  for (std::size_t I = 0; I < Frames * Channels; ++I) {
    if (Bits == 8)
      Image[44 + I] = uint8_t(Sample(I) + 128);
    else
      PutLE16(Image.data() + 44 + 2 * I, uint16_t(Sample(I)));
  }
  return Image;
}

// A 16-bit image whose samples never look like silence and never repeat within a sound.
std::vector<uint8_t> MakeImage(uint32_t Rate, uint16_t Channels, std::size_t Frames) {
  return MakeImage(Rate, Channels, 16, Frames,
                   [](std::size_t I) { return 1000 + int(I * 7919 % 30000); });
}

// A 16-bit image that holds one level throughout: what the voices add up to can be read off.
std::vector<uint8_t> Level(uint32_t Rate, uint16_t Channels, std::size_t Frames, int Value) {
  return MakeImage(Rate, Channels, 16, Frames, [=](std::size_t) { return Value; });
}

TSharedImage Share(const std::vector<uint8_t>& Image) {
  return std::make_shared<const std::vector<uint8_t>>(Image);
}

std::vector<uint8_t> Bytes16(std::initializer_list<std::pair<int, std::size_t>> Runs) {
  std::vector<uint8_t> Result;
  for (const auto& [Value, Count] : Runs)
    for (std::size_t I = 0; I < Count; ++I) {
      Result.push_back(uint8_t(Value));
      Result.push_back(uint8_t(uint16_t(Value) >> 8));
    }
  return Result;
}

// The longest run of 16-bit samples that all lie within Low..High.
std::size_t LongestRun(const std::vector<uint8_t>& Bytes, int Low, int High) {
  std::size_t Longest = 0, Run = 0;
  for (std::size_t I = 0; I + 1 < Bytes.size(); I += 2) {
    const int Sample = int16_t(Bytes[I] | Bytes[I + 1] << 8);
    Run = Sample >= Low && Sample <= High ? Run + 1 : 0;
    Longest = std::max(Longest, Run);
  }
  return Longest;
}

class DiskDriver : public testing::Test {
 protected:
  void SetUp() override { FService = std::make_unique<TSdlSoundService>(); }
  void TearDown() override { FService.reset(); }
  // Closes the device so the file is complete, then returns what was written to it.
  std::vector<uint8_t> DeviceBytes() {
    FService.reset();
    return FDevice.Bytes();
  }
  // Waits until the device has played Bytes more with the voices as they are now.
  void Play(std::uintmax_t Bytes) { ASSERT_TRUE(FDevice.WaitFor(FDevice.Size(), Bytes)); }
  static bool Contains(const std::vector<uint8_t>& Haystack, const uint8_t* From,
                       const uint8_t* To) {
    return std::search(Haystack.begin(), Haystack.end(), From, To) != Haystack.end();
  }
  static bool Contains(const std::vector<uint8_t>& Haystack, const std::vector<uint8_t>& Needle) {
    return Contains(Haystack, Needle.data(), Needle.data() + Needle.size());
  }

  const TScratchFolder FDir{"tessolon-audio-"};
  const TDiskAudio FDevice{FDir / "device.raw"};
  std::unique_ptr<TSdlSoundService> FService;
};

// A synchronous sound plays whole at its own rate; the next one of the same format follows on
// the same device (the disk driver would start a new file if it were reopened).
TEST_F(DiskDriver, SynchronousPlayDeliversWholeImagesOnTheOpenDevice) {
  const auto First = MakeImage(96000, 2, 4800);
  auto Second = MakeImage(96000, 2, 441);
  PutLE16(Second.data() + 44, 77);
  ASSERT_TRUE(FService->PlayImage(svTone, Share(First), SND_MEMORY));
  ASSERT_TRUE(FService->PlayImage(svTone, Share(Second), SND_MEMORY));
  EXPECT_EQ(FService->DeviceRate(), 96000u);
  const auto Written = DeviceBytes();
  EXPECT_TRUE(Contains(Written, First.data() + 44, First.data() + First.size()));
  EXPECT_TRUE(Contains(Written, Second.data() + 44, Second.data() + Second.size()));
}

// A loop repeats without a gap until stopped, and the service keeps its image alive until then
// though the caller let go.
TEST_F(DiskDriver, LoopRepeatsWithoutAGapUntilStopped) {
  const auto Samples = MakeImage(44100, 1, 441);  // 10 ms
  auto Image = Share(Samples);
  const std::weak_ptr<const std::vector<uint8_t>> Watch = Image;
  ASSERT_TRUE(FService->PlayImage(svTone, Image, SND_MEMORY | SND_ASYNC | SND_LOOP));
  Image.reset();
  Play(3 * 882);
  EXPECT_FALSE(Watch.expired());
  FService->Stop(svTone);
  EXPECT_TRUE(Watch.expired());
  std::vector<uint8_t> Twice(Samples.begin() + 44, Samples.end());
  Twice.insert(Twice.end(), Samples.begin() + 44, Samples.end());
  EXPECT_TRUE(Contains(DeviceBytes(), Twice));
}

TEST_F(DiskDriver, VolumeIsAppliedPerChannel) {
  auto Image = MakeImage(44100, 2, 2205);
  FService->SetVolume(svTone, 0x7FFF | 0xFFFFu << 16);
  ASSERT_TRUE(FService->PlayImage(svTone, Share(Image), SND_MEMORY));
  for (std::size_t I = 44; I < Image.size(); I += 4) {
    const int Left = int16_t(Image[I] | Image[I + 1] << 8) * 0x7FFF / 0xFFFF;
    PutLE16(Image.data() + I, uint16_t(Left));
  }
  // It says so, for the tone generator, which sets the channels apart only then.
  TWaveOutCaps Caps;
  ASSERT_TRUE(FService->GetDevCaps(svTone, Caps));
  EXPECT_TRUE(Caps.dwSupport & WAVECAPS_LRVOLUME);
  EXPECT_TRUE(Contains(DeviceBytes(), Image.data() + 44, Image.data() + Image.size()));
}

TEST_F(DiskDriver, RefusesWhatIsNotAPcmImage) {
  auto Image = MakeImage(44100, 1, 100);
  PutLE16(Image.data() + 34, 24);
  EXPECT_FALSE(FService->PlayImage(svTone, Share(Image), SND_MEMORY | SND_ASYNC));
  EXPECT_FALSE(FService->PlayImage(svTone, nullptr, SND_MEMORY | SND_ASYNC));
}

TEST_F(DiskDriver, VoicesAreAddedEachAtItsOwnVolumeAndClipped) {
  // The tone loops at half volume (1000 becomes 499); the speaker's voice keeps its full volume.
  FService->SetVolume(svTone, 0x7FFF7FFF);
  ASSERT_TRUE(FService->PlayImage(svTone, Share(Level(44100, 1, 441, 1000)),
                                  SND_MEMORY | SND_ASYNC | SND_LOOP));
  Play(2);
  // A synchronous sound returns when it has ended, while the other voice plays on.
  ASSERT_TRUE(FService->PlayImage(svSpeaker, Share(Level(44100, 1, 441, 3000)), SND_MEMORY));
  ASSERT_TRUE(FService->PlayImage(svSpeaker, Share(Level(44100, 1, 441, 32500)), SND_MEMORY));
  ASSERT_TRUE(FService->PlayImage(svSpeaker, Share(Level(44100, 1, 44100, 2000)),
                                  SND_MEMORY | SND_ASYNC | SND_LOOP));
  Play(2);
  FService->Stop(svSpeaker);
  Play(2 * 441);
  FService->Stop(svTone);
  const auto Written = DeviceBytes();
  EXPECT_TRUE(Contains(Written, Bytes16({{499, 1}, {3499, 441}, {499, 1}})));
  EXPECT_TRUE(Contains(Written, Bytes16({{499, 1}, {32767, 441}, {499, 1}})));
  // Stopping the speaker's voice leaves the tone sounding.
  EXPECT_TRUE(Contains(Written, Bytes16({{2499, 1}, {499, 441}})));
}

TEST_F(DiskDriver, ARicherVoiceMovesTheDeviceToItsFormatAndTheOtherVoiceIsConverted) {
  // The tone loops at 44.1 kHz in 8 bits, mono, at level 20 (5120 in 16 bits).
  const auto Tone = MakeImage(44100, 1, 8, 441, [](std::size_t) { return 20; });
  ASSERT_TRUE(FService->PlayImage(svTone, Share(Tone), SND_MEMORY | SND_ASYNC | SND_LOOP));
  EXPECT_EQ(FService->DeviceRate(), 44100u);
  Play(1);
  // 100 ms at 96 kHz, 16 bits, stereo, beside it: the device reopens (and the disk driver starts
  // its file anew) in that format.
  ASSERT_TRUE(FService->PlayImage(svSpeaker, Share(Level(96000, 2, 9600, 1000)), SND_MEMORY));
  EXPECT_EQ(FService->DeviceRate(), 96000u);
  Play(4 * 2000);  // 2000 stereo frames of the tone alone
  FService->Stop(svTone);
  const auto Written = DeviceBytes();
  // Both together in both channels for nearly the whole 100 ms, then the tone alone. The
  // resampler passes a constant level within a few parts in a thousand.
  EXPECT_GT(LongestRun(Written, 6100, 6130), 2 * 9000u);
  EXPECT_GT(LongestRun(Written, 5100, 5130), 2 * 2000u);
}

// A sound at a lower rate beside the tone (the speaker's beep beside a sweep's tone) is converted
// to the device's rate and played to its end, the tone going on unchanged.
TEST_F(DiskDriver, ASoundBelowTheDevicesRateIsConvertedAndPlayedToItsEnd) {
  ASSERT_TRUE(FService->PlayImage(svTone, Share(Level(96000, 1, 960, 1000)),
                                  SND_MEMORY | SND_ASYNC | SND_LOOP));
  Play(2);
  ASSERT_TRUE(FService->PlayImage(svSpeaker, Share(Level(44100, 1, 4410, 3000)), SND_MEMORY));
  EXPECT_EQ(FService->DeviceRate(), 96000u);
  Play(2 * 960);
  FService->Stop(svTone);
  const auto Written = DeviceBytes();
  EXPECT_GT(LongestRun(Written, 3985, 4015), 9000u);  // 100 ms together, less the edges
  EXPECT_GT(LongestRun(Written, 1000, 1000), 900u);   // then the tone alone
}

// A fading voice rises from silence, falls back to it when stopped, replaced or at the end of a
// sound played once, and never jumps on the way, so a tone above hearing starts, stops and
// changes without a click.
TEST_F(DiskDriver, AFadingVoiceNeverJumps) {
  constexpr int High = 20000;
  // A raised cosine over 4 ms (384 frames) rises at most pi / 2 / 384 of the level a frame.
  const int Smooth = int(std::ceil(High * M_PI / 2 / 384)) + 2;
  const uint32_t Loop = SND_MEMORY | SND_ASYNC | SND_LOOP | SND_FADE;
  ASSERT_TRUE(FService->PlayImage(svTone, Share(Level(96000, 1, 960, High)), Loop));
  Play(4 * 9600);
  // Replaced, then stopped; then a sound played once, which ends on its own.
  ASSERT_TRUE(FService->PlayImage(svTone, Share(Level(96000, 1, 960, -High)), Loop));
  Play(4 * 9600);
  FService->Stop(svTone);
  ASSERT_TRUE(
      FService->PlayImage(svTone, Share(Level(96000, 1, 9600, High)), SND_MEMORY | SND_FADE));
  const auto Written = DeviceBytes();
  std::vector<int> S;
  for (std::size_t I = 0; I + 1 < Written.size(); I += 2)
    S.push_back(int16_t(GetLE16(&Written[I])));
  ASSERT_FALSE(S.empty());
  int Largest = 0;
  for (std::size_t I = 1; I < S.size(); ++I) Largest = std::max(Largest, std::abs(S[I] - S[I - 1]));
  EXPECT_LE(Largest, Smooth);
  // Each level was reached in full, and the last sound ended in silence.
  EXPECT_EQ(*std::max_element(S.begin(), S.end()), High);
  EXPECT_EQ(*std::min_element(S.begin(), S.end()), -High);
  EXPECT_EQ(S.back(), 0);
}

TEST(SdlSoundService, WithoutADeviceItWarnsOnceAndKeepsWorkingSilently) {
  const TScopedEnv Driver("SDL_AUDIODRIVER", "no-such-driver");
  const auto Image = MakeImage(44100, 1, 441);
  testing::internal::CaptureStderr();
  {
    TSdlSoundService Service;
    EXPECT_TRUE(Service.PlayImage(svTone, Share(Image), SND_MEMORY));
    EXPECT_TRUE(Service.PlayImage(svTone, Share(Image), SND_MEMORY | SND_ASYNC));
    Service.Stop(svTone);
  }
  const std::string Err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(Err.begin(), Err.end(), '\n'), 1) << Err;
  EXPECT_NE(Err.find("continuing without sound"), std::string::npos);
}

}  // namespace

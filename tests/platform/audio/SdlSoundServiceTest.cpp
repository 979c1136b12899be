// End-to-end through SDL's disk driver: what reaches the "device" file must be the image's
// samples, whole, gapless when looping, and scaled per channel by the program's volume.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "platform/audio/SdlSoundService.h"

namespace {

void Put32(std::vector<uint8_t>& B, std::size_t At, uint32_t V) {
  for (int I = 0; I < 4; ++I) B[At + I] = uint8_t(V >> (8 * I));
}
void Put16(std::vector<uint8_t>& B, std::size_t At, uint16_t V) {
  B[At] = uint8_t(V);
  B[At + 1] = uint8_t(V >> 8);
}

// A 16-bit image whose samples never look like silence and never repeat within a sound.
std::vector<uint8_t> MakeImage(uint32_t Rate, uint16_t Channels, std::size_t Frames) {
  const std::size_t Bytes = Frames * Channels * 2;
  std::vector<uint8_t> Image(44 + Bytes);
  std::copy_n("RIFF", 4, Image.begin());
  Put32(Image, 4, uint32_t(Bytes + 36));
  std::copy_n("WAVEfmt ", 8, Image.begin() + 8);
  Put32(Image, 16, 16);
  Put16(Image, 20, 1);
  Put16(Image, 22, Channels);
  Put32(Image, 24, Rate);
  Put32(Image, 28, Rate * Channels * 2);
  Put16(Image, 32, uint16_t(Channels * 2));
  Put16(Image, 34, 16);
  std::copy_n("data", 4, Image.begin() + 36);
  Put32(Image, 40, uint32_t(Bytes));
  for (std::size_t I = 0; I < Frames * Channels; ++I)
    Put16(Image, 44 + 2 * I, uint16_t(1000 + (I * 7919) % 30000));
  return Image;
}

class DiskDriver : public testing::Test {
 protected:
  void SetUp() override {
    char Template[] = "/tmp/tessolon-audio-XXXXXX";
    ASSERT_NE(mkdtemp(Template), nullptr);
    FDir = Template;
    FFile = FDir / "device.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", FFile.c_str(), 1);
    FService = std::make_unique<TSdlSoundService>();
  }
  void TearDown() override {
    FService.reset();
    std::filesystem::remove_all(FDir);
  }
  // Closes the device so the file is complete, then returns what was written to it.
  std::vector<uint8_t> DeviceBytes() {
    FService.reset();
    std::ifstream In(FFile, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), {}};
  }
  static bool Contains(const std::vector<uint8_t>& Haystack, const uint8_t* From,
                       const uint8_t* To) {
    return std::search(Haystack.begin(), Haystack.end(), From, To) != Haystack.end();
  }

  std::filesystem::path FDir, FFile;
  std::unique_ptr<TSdlSoundService> FService;
};

TEST_F(DiskDriver, SynchronousPlayDeliversTheWholeImageAtItsOwnRate) {
  const auto Image = MakeImage(96000, 2, 4800);
  ASSERT_TRUE(FService->PlayImage(Image.data(), Image.size(), SND_MEMORY));
  EXPECT_EQ(FService->DeviceRate(), 96000u);
  const auto Written = DeviceBytes();
  EXPECT_TRUE(Contains(Written, Image.data() + 44, Image.data() + Image.size()));
}

TEST_F(DiskDriver, LoopRepeatsWithoutAGapUntilStopped) {
  const auto Image = MakeImage(44100, 1, 441);  // 10 ms
  ASSERT_TRUE(FService->PlayImage(Image.data(), Image.size(), SND_MEMORY | SND_ASYNC | SND_LOOP));
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  FService->Stop();
  std::vector<uint8_t> Twice(Image.begin() + 44, Image.end());
  Twice.insert(Twice.end(), Image.begin() + 44, Image.end());
  EXPECT_TRUE(Contains(DeviceBytes(), Twice.data(), Twice.data() + Twice.size()));
}

TEST_F(DiskDriver, VolumeIsAppliedPerChannel) {
  auto Image = MakeImage(44100, 2, 2205);
  FService->SetVolume(0, 0x7FFF | 0xFFFFu << 16);
  ASSERT_TRUE(FService->PlayImage(Image.data(), Image.size(), SND_MEMORY));
  for (std::size_t I = 44; I < Image.size(); I += 4) {
    const int Left = int16_t(Image[I] | Image[I + 1] << 8) * 0x7FFF / 0xFFFF;
    Put16(Image, I, uint16_t(Left));
  }
  EXPECT_TRUE(Contains(DeviceBytes(), Image.data() + 44, Image.data() + Image.size()));
}

TEST_F(DiskDriver, KeepsTheDeviceOpenWhileTheFormatStaysTheSame) {
  const auto First = MakeImage(44100, 1, 441);
  auto Second = MakeImage(44100, 1, 441);
  Put16(Second, 44, 77);  // the disk driver starts a new file whenever the device is reopened
  ASSERT_TRUE(FService->PlayImage(First.data(), First.size(), SND_MEMORY));
  ASSERT_TRUE(FService->PlayImage(Second.data(), Second.size(), SND_MEMORY));
  EXPECT_EQ(FService->DeviceRate(), 44100u);
  const auto Written = DeviceBytes();
  EXPECT_TRUE(Contains(Written, First.data() + 44, First.data() + First.size()));
  EXPECT_TRUE(Contains(Written, Second.data() + 44, Second.data() + Second.size()));
}

TEST_F(DiskDriver, RefusesWhatIsNotAPcmImage) {
  auto Image = MakeImage(44100, 1, 100);
  Put16(Image, 34, 24);
  EXPECT_FALSE(FService->PlayImage(Image.data(), Image.size(), SND_MEMORY | SND_ASYNC));
  EXPECT_FALSE(FService->PlayImage(nullptr, 0, SND_MEMORY | SND_ASYNC));
}

}  // namespace

namespace {

TEST(SdlSoundService, WithoutADeviceItWarnsOnceAndKeepsWorkingSilently) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  const auto Image = MakeImage(44100, 1, 441);
  testing::internal::CaptureStderr();
  {
    TSdlSoundService Service;
    EXPECT_TRUE(Service.PlayImage(Image.data(), Image.size(), SND_MEMORY));
    EXPECT_TRUE(Service.PlayImage(Image.data(), Image.size(), SND_MEMORY | SND_ASYNC));
    Service.Stop();
  }
  const std::string Err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(Err.begin(), Err.end(), '\n'), 1) << Err;
  EXPECT_NE(Err.find("continuing without sound"), std::string::npos);
}

}  // namespace

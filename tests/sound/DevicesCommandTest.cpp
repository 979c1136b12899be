// The devices command under SDL's dummy and disk drivers (each test runs in a process of its
// own, so the driver chosen here is the one SDL starts), and its words for outputs that
// resample or run below the image's rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sstream>

#include "sound/DevicesCommand.h"
#include "tests/support/DiskAudio.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScratchFolder.h"

namespace {

class DevicesCommandTest : public testing::Test {
 protected:
  void SetUp() override { FOldOut = std::cout.rdbuf(FOut.rdbuf()); }
  void TearDown() override { std::cout.rdbuf(FOldOut); }
  int Run(const std::vector<std::string>& Args) {
    FOut.str("");
    testing::internal::CaptureStderr();
    const int Status = DevicesCommand(Args);
    FErr = testing::internal::GetCapturedStderr();
    return Status;
  }

  std::string FErr;
  std::ostringstream FOut;
  std::streambuf* FOldOut = nullptr;
};

TEST_F(DevicesCommandTest, DummyDriverOpensAtTheAskedFormat) {
  const TScopedEnv Driver("SDL_AUDIODRIVER", "dummy");
  ASSERT_EQ(Run({}), 0) << FErr;
  EXPECT_EQ(FOut.str(),
            "Audio driver: dummy\n"
            "Image asked for: 96000 Hz, signed 16-bit, 2 channels\n"
            "default output: opens at 96000 Hz, signed 16-bit, 2 channels; plays the image at "
            "its own rate\n"
            "System audio output device: opens at 96000 Hz, signed 16-bit, 2 channels; plays the "
            "image at its own rate\n");
  ASSERT_EQ(Run({"--quality", "lo", "--resolution=8", "--mono"}), 0) << FErr;
  EXPECT_NE(FOut.str().find("default output: opens at 44100 Hz, unsigned 8-bit, 1 channel; "),
            std::string::npos)
      << FOut.str();
}

TEST_F(DevicesCommandTest, DiskDriverListsWithoutPlaying) {
  const TScratchFolder Folder("tessolon-devices-");
  const TDiskAudio Device(Folder / "device.raw");
  ASSERT_EQ(Run({}), 0) << FErr;
  EXPECT_EQ(FOut.str().substr(0, 19), "Audio driver: disk\n");
  EXPECT_NE(FOut.str().find("default output: opens at 96000 Hz"), std::string::npos);
  // Opened and closed at once: nothing was played into the device's file. The driver's thread
  // may write a buffer of silence before the device closes, never a sound.
  const std::vector<uint8_t> Bytes = Device.Bytes();
  EXPECT_TRUE(std::all_of(Bytes.begin(), Bytes.end(), [](uint8_t B) { return B == 0; }));
}

TEST_F(DevicesCommandTest, RefusalsAndBadArguments) {
  const TScopedEnv Driver("SDL_AUDIODRIVER", "no-such-driver");
  EXPECT_EQ(Run({}), 1);
  EXPECT_EQ(FErr.rfind("tessolon devices: no audio driver could be started (", 0), 0u) << FErr;
  for (const std::vector<std::string>& Bad :
       {std::vector<std::string>{"--quality", "mid"}, {"--resolution", "24"}, {"--loud"}}) {
    EXPECT_EQ(Run(Bad), 2) << testing::PrintToString(Bad);
  }
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(FOut.str().find("Usage: tessolon devices"), std::string::npos);
}

TEST(DescribeOutput, SaysWhenTheOutputResamplesOrRunsBelowTheImage) {
  TImageFormat Image;  // 96000 Hz
  TOutputDevice Device;
  Device.Name = "Speakers";
  Device.Opened = true;
  Device.Rate = 48000;
  Device.Channels = 2;
  Device.SampleFormat = "float 32-bit";
  EXPECT_EQ(DescribeOutput(Device, Image),
            "Speakers: opens at 48000 Hz, float 32-bit, 2 channels; runs below the image's "
            "rate: the program converts the 96000 Hz image to 48000 Hz itself, and nothing at or "
            "above 21.9 kHz is carried");
  Device.Rate = 192000;
  EXPECT_EQ(DescribeOutput(Device, Image),
            "Speakers: opens at 192000 Hz, float 32-bit, 2 channels; resamples the 96000 Hz "
            "image to 192000 Hz");
  Device.Opened = false;
  Device.Error = "busy";
  EXPECT_EQ(DescribeOutput(Device, Image), "Speakers: cannot be opened (busy)");
}

}  // namespace

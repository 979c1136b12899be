#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/hw/PortIO.h"
#include "platform/hw/SpeakerDevice.h"
#include "tests/support/ScratchFolder.h"

namespace {

class SpeakerDeviceDir : public testing::Test {
 protected:
  SpeakerDeviceDir() : Dir(MakeScratchFolder("speaker-hw-")) {}
  ~SpeakerDeviceDir() override { std::filesystem::remove_all(Dir); }
  std::string Touch(const std::string& Name) {
    std::ofstream(Dir / Name).flush();
    return (Dir / Name).string();
  }
  std::filesystem::path Dir;
};

}  // namespace

TEST_F(SpeakerDeviceDir, FindsThePcSpeakerEntryOnly) {
  EXPECT_EQ(FindSpeakerDevice(Dir.string()), "");
  EXPECT_EQ(FindSpeakerDevice((Dir / "missing").string()), "");
  Touch("platform-i8042-serio-0-event-kbd");
  EXPECT_EQ(FindSpeakerDevice(Dir.string()), "");
  Touch("platform-pcspkr-event-spkr-2");
  const auto First = Touch("platform-pcspkr-event-spkr");
  EXPECT_EQ(FindSpeakerDevice(Dir.string()), First);
}

TEST_F(SpeakerDeviceDir, OpenFailureNamesTheDevice) {
  try {
    TSpeakerDevice Missing((Dir / "missing").string());
    FAIL() << "opened a missing device";
  } catch (const EHardwareUnavailable& E) {
    EXPECT_NE(E.Message().find((Dir / "missing").string()), std::string::npos) << E.Message();
  }
}

TEST(SpeakerPorts, RefusalNamesThePortsAndTheReason) {
  try {
    OpenPorts({0x42, 0x43, 0x61});
  } catch (const EHardwareUnavailable& E) {
    EXPECT_NE(E.Message().find("I/O ports 0x42, 0x43 and 0x61"), std::string::npos) << E.Message();
    return;
  }
  GTEST_SKIP() << "this kernel grants port access; the real ports are left alone";
}

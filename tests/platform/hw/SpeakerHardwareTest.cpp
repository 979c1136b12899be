#include <gtest/gtest.h>

#include <fstream>

#include "platform/hw/PortIO.h"
#include "platform/hw/SpeakerDevice.h"
#include "tests/support/ScratchFolder.h"

// The speaker's input device is found by its name among the others; a missing one is refused
// with its name.
TEST(SpeakerDevice, FindsThePcSpeakerEntryOnlyAndNamesAMissingOne) {
  const TScratchFolder Dir("speaker-hw-");
  const auto Touch = [&](const std::string& Name) {
    std::ofstream(Dir / Name).flush();
    return (Dir / Name).string();
  };
  EXPECT_EQ(FindSpeakerDevice(Dir.Path().string()), "");
  EXPECT_EQ(FindSpeakerDevice(Dir / "missing"), "");
  Touch("platform-i8042-serio-0-event-kbd");
  EXPECT_EQ(FindSpeakerDevice(Dir.Path().string()), "");
  Touch("platform-pcspkr-event-spkr-2");
  const auto First = Touch("platform-pcspkr-event-spkr");
  EXPECT_EQ(FindSpeakerDevice(Dir.Path().string()), First);
  try {
    TSpeakerDevice Missing(Dir / "missing");
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

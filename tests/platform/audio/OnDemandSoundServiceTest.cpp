// The service the program holds before it needs the output: volumes set before the audio module
// is loaded reach the module's service when it is, and later ones go straight through. Here the
// suite carries the SDL output itself, on ctest's dummy driver.
#include "platform/audio/OnDemandSoundService.h"

#include <gtest/gtest.h>

#include "platform/audio/AudioEntry.h"

TEST(OnDemandSoundService, VolumesReachTheModulesServiceWhetherSetBeforeOrAfterItLoads) {
  TOnDemandSoundService Service;
  ISoundService& Loaded = *tessolon_audio_service();
  ASSERT_TRUE(Loaded.SetVolume(svTone, FullVolume));
  ASSERT_TRUE(Service.SetVolume(svTone, 0x40002000));
  uint32_t Volume = 0;
  ASSERT_TRUE(Loaded.GetVolume(svTone, Volume));
  EXPECT_EQ(Volume, FullVolume) << "set before the output was needed, yet handed on at once";

  EXPECT_NE(Service.Output(44100).Rate, 0u);
  ASSERT_TRUE(Loaded.GetVolume(svTone, Volume));
  EXPECT_EQ(Volume, 0x40002000u);
  ASSERT_TRUE(Service.SetVolume(svSpeaker, 0x00FF00FF));
  ASSERT_TRUE(Loaded.GetVolume(svSpeaker, Volume));
  EXPECT_EQ(Volume, 0x00FF00FFu);
  ASSERT_TRUE(Service.GetVolume(svTone, Volume));
  EXPECT_EQ(Volume, 0x40002000u);
}

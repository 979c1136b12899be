// Playback through the recording service: flags, volume words, the device volume over the
// component's life, and the rule that playback stops before the image is rebuilt or released.
#include <gtest/gtest.h>

#include "platform/audio/RecordingSoundService.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"

namespace {

class ToneGenPlayback : public testing::Test {
 protected:
  TRecordingSoundService FService;
  TScopedSoundService FInstall{FService};
};

TEST_F(ToneGenPlayback, FlagsAndIdle) {
  TToneGen Tone(nullptr);
  Tone.Play();
  EXPECT_EQ(FService.Plays().back()->Flags, 0x0005u);
  EXPECT_FALSE(Tone.Idle());
  Tone.SetLoop(true);
  Tone.PlayADSR();
  EXPECT_EQ(FService.Plays().back()->Flags, 0x000Du);
  Tone.SetLoop(false);
  Tone.SetAsync(false);
  Tone.Play();
  EXPECT_EQ(FService.Plays().back()->Flags, 0x0004u);
  EXPECT_TRUE(Tone.Idle());
  Tone.SetAsync(true);
  Tone.Play();
  Tone.Stop();
  EXPECT_TRUE(Tone.Idle());
  Tone.Stop();  // harmless while nothing plays
  EXPECT_TRUE(Tone.Idle());
}

TEST_F(ToneGenPlayback, StopsBeforeEveryRebuildAndRelease) {
  {
    TToneGen Tone(nullptr);
    FService.Clear();
    Tone.Play();  // build (stop), then stop, volume, play
    EXPECT_EQ(FService.Trace(), "SSVP");
    const uint8_t* First = FService.Plays()[0]->Address;
    EXPECT_EQ(First, Tone.GetDataBuffer());
    EXPECT_EQ(FService.Plays()[0]->Image.size(), 19276u);
    FService.Clear();
    Tone.Play();  // nothing changed: no rebuild
    EXPECT_EQ(FService.Trace(), "SVP");
    FService.Clear();
    Tone.PlayADSR();  // the envelope image is a new build
    EXPECT_EQ(FService.Trace(), "SSVP");
    FService.Clear();
    Tone.PlayADSR();
    Tone.Play();
    EXPECT_EQ(FService.Trace(), "SVPSSVP");
    FService.Clear();
    Tone.SetFrequency(1000);
    EXPECT_TRUE(Tone.Prepare());  // volume, then the stop before the old image goes
    EXPECT_EQ(FService.Trace(), "VS");
    FService.Clear();
  }
  EXPECT_EQ(FService.Trace(), "SV");  // destruction: stop, then the saved volume back
}

TEST_F(ToneGenPlayback, VolumeWords) {
  TToneGen Tone(nullptr);
  Tone.SetLeftVolume(50);
  EXPECT_EQ(FService.Volume[svTone], 0xFFFF7FFFu);  // sent at once while idle
  Tone.SetRightVolume(1);
  EXPECT_EQ(FService.Volume[svTone], 0x028F7FFFu);
  Tone.SetLoop(true);
  Tone.Play();
  Tone.SetLeftVolume(0);
  EXPECT_EQ(FService.Volume[svTone], 0x028F7FFFu);  // playing: waits for the next volume send
  Tone.PresetVolume();
  EXPECT_EQ(FService.Volume[svTone], 0x028F0000u);
}

TEST_F(ToneGenPlayback, DeviceVolumeIsSavedByTheFirstAndRestoredByTheLast) {
  FService.Caps.dwFormats = 0;  // one volume for both channels
  FService.Volume[svTone] = 0x1234;
  auto First = std::make_unique<TToneGen>(nullptr);
  EXPECT_EQ(TToneGen::SavedVolume(), 0x12341234u);
  EXPECT_EQ(FService.Volume[svTone], 0xFFFFFFFFu);
  FService.Clear();
  auto Second = std::make_unique<TToneGen>(nullptr);
  EXPECT_EQ(TToneGen::InstanceCount(), 2);
  EXPECT_EQ(FService.Count(scGetVolume) + FService.Count(scSetVolume), 0);
  Second->SetLeftVolume(10);
  First.reset();
  EXPECT_NE(FService.Volume[svTone], 0x12341234u);
  Second.reset();
  EXPECT_EQ(FService.Volume[svTone], 0x12341234u);
  EXPECT_EQ(TToneGen::InstanceCount(), 0);

  FService.VolumeReadFails = true;
  TToneGen Third(nullptr);
  EXPECT_EQ(TToneGen::SavedVolume(), 0u);
}

}  // namespace

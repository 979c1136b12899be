#include "sound/BleeperPaths.h"

#include <gtest/gtest.h>
#include <linux/input.h>

#include <filesystem>
#include <fstream>

#include "platform/audio/RecordingSoundService.h"
#include "platform/core/ByteOrder.h"
#include "sound/BeepCommand.h"
#include "sound/ToneGen.h"
#include "tests/support/ScratchFolder.h"

namespace {

int16_t SampleAt(const std::vector<uint8_t>& Image, std::size_t N) {
  return int16_t(Image[44 + 2 * N] | Image[45 + 2 * N] << 8);
}

// The tones written to a stand-in for the kernel's device (a plain file).
std::vector<int32_t> TonesIn(const std::filesystem::path& File) {
  std::ifstream In(File, std::ios::binary);
  std::vector<int32_t> Tones;
  input_event Event;
  while (In.read(reinterpret_cast<char*>(&Event), sizeof Event)) {
    EXPECT_EQ(Event.type, EV_SND);
    EXPECT_EQ(Event.code, SND_TONE);
    Tones.push_back(Event.value);
  }
  return Tones;
}

class BleeperDeviceDir : public testing::Test {
 protected:
  BleeperDeviceDir() : Dir(MakeScratchFolder("bleeper-")) {}
  ~BleeperDeviceDir() override { std::filesystem::remove_all(Dir); }
  std::filesystem::path AddDevice() {
    const auto Device = Dir / "platform-pcspkr-event-spkr";
    std::ofstream(Device).flush();
    return Device;
  }
  std::filesystem::path Dir;
  TRecordingSoundService Sound;
};

}  // namespace

TEST(BleeperSquareWave, ASecondHoldsWholePeriods) {
  const auto Image = SquareWaveImage(440, SquareWaveRate);
  ASSERT_EQ(Image.size(), 44u + 2 * SquareWaveRate);

  // The first half period is high for 44100 / 880 = 50.1 samples, then low.
  EXPECT_EQ(SampleAt(Image, 0), SquareWaveAmplitude);
  EXPECT_EQ(SampleAt(Image, 50), SquareWaveAmplitude);
  EXPECT_EQ(SampleAt(Image, 51), -SquareWaveAmplitude);
  // Exactly 440 rising edges in a second, the last across the seam of the loop.
  int Rising = 0;
  for (uint32_t N = 0; N < SquareWaveRate; ++N)
    Rising +=
        SampleAt(Image, N) > 0 && SampleAt(Image, (N + SquareWaveRate - 1) % SquareWaveRate) < 0;
  EXPECT_EQ(Rising, 440);
}

TEST(BleeperSoundCard, TimedToneUntilSilencedAndLongTone) {
  TRecordingSoundService Sound;
  std::vector<uint32_t> Slept;
  TSoundCardBeep Beep(&Sound, [&](uint32_t MSecs) { Slept.push_back(MSecs); });

  Beep.Beep(440, 200);  // played to its end from one image of exactly 200 ms
  ASSERT_EQ(Sound.Trace(), "P");
  EXPECT_EQ(Sound.Events[0].Flags, SND_MEMORY | SND_SYNC);
  EXPECT_EQ(GetLE32(Sound.Events[0].Image.data() + 40), 2 * 8820u);

  Sound.Clear();
  Beep.Beep(1000, -1);  // a looped second, returning at once
  ASSERT_EQ(Sound.Trace(), "P");
  EXPECT_EQ(Sound.Events[0].Flags, SND_MEMORY | SND_ASYNC | SND_LOOP);
  EXPECT_EQ(GetLE32(Sound.Events[0].Image.data() + 40), 2 * SquareWaveRate);
  Beep.Silence();
  EXPECT_EQ(Sound.Trace(), "PS");

  Sound.Clear();
  Beep.Beep(1000, 0);
  EXPECT_EQ(Sound.Trace(), "S");

  Sound.Clear();
  Beep.Beep(1000, LongestImageMSecs + 1);
  EXPECT_EQ(Sound.Trace(), "PS");
  EXPECT_EQ(Sound.Events[0].Flags, SND_MEMORY | SND_ASYNC | SND_LOOP);
  EXPECT_EQ(Slept, std::vector<uint32_t>{LongestImageMSecs + 1});
}

TEST_F(BleeperDeviceDir, EvdevBeepWritesToneThenSilence) {
  const auto Device = AddDevice();
  std::vector<uint32_t> Slept;
  {
    TEvdevBeep Beep(std::make_unique<TSpeakerDevice>(Device.string()),
                    [&](uint32_t MSecs) { Slept.push_back(MSecs); });
    Beep.Beep(1000, 200);
    Beep.Beep(440, -1);
    Beep.Silence();
    Beep.Beep(880, 0);
  }
  EXPECT_EQ(Slept, (std::vector<uint32_t>{200, 0}));
  // The last 0 comes from closing the device.
  EXPECT_EQ(TonesIn(Device), (std::vector<int32_t>{1000, 0, 440, 0, 880, 0, 0}));
}

TEST_F(BleeperDeviceDir, StartUpChoosesThePath) {
  // Without the kernel's device: auto takes the sound card, evdev is refused.
  auto Speaker = MakeBleeper(spAuto, Dir.string(), &Sound);
  EXPECT_TRUE(Speaker->PlatformIsNT());
  Speaker->SpeakerTone(440, 1);
  EXPECT_EQ(Sound.Trace(), "P");
  EXPECT_THROW(MakeBleeper(spEvdev, Dir.string(), &Sound), EHardwareUnavailable);

  // A device that cannot be opened for writing: auto still falls back, evdev reports it.
  std::filesystem::create_directory(Dir / "platform-pcspkr-event-spkr");
  MakeBleeper(spAuto, Dir.string(), &Sound)->SpeakerTone(440, 1);
  EXPECT_EQ(Sound.Trace(), "PP");
  EXPECT_THROW(MakeBleeper(spEvdev, Dir.string(), &Sound), EHardwareUnavailable);
  std::filesystem::remove(Dir / "platform-pcspkr-event-spkr");

  // With it: auto takes the device, the sound card hears nothing.
  const auto Device = AddDevice();
  Sound.Clear();
  MakeBleeper(spAuto, Dir.string(), &Sound)->SpeakerTone(1000, 1);
  EXPECT_EQ(TonesIn(Device), (std::vector<int32_t>{1000, 0, 0}));
  EXPECT_EQ(Sound.Trace(), "");
  MakeBleeper(spSoundCard, Dir.string(), &Sound)->SpeakerTone(1000, 1);
  EXPECT_EQ(Sound.Trace(), "P");
}

TEST(BleeperCommand, ExitStatusFollowsTheOutcome) {
  TRecordingSoundService Sound;
  TScopedSoundService Scope(Sound);
  EXPECT_EQ(BeepCommand({"--help"}), 0);
  EXPECT_EQ(BeepCommand({"440"}), 2);
  EXPECT_EQ(BeepCommand({"440", "10", "--path", "speaker"}), 2);
  EXPECT_EQ(BeepCommand({"20", "10", "--path", "soundcard"}), 1);   // below 37 on this path
  EXPECT_EQ(BeepCommand({"20001", "10", "--path=soundcard"}), 1);   // above 20000
  EXPECT_EQ(BeepCommand({"440", "-2", "--path", "soundcard"}), 1);  // MSecs < -1
  EXPECT_EQ(Sound.Trace(), "");

  EXPECT_EQ(BeepCommand({"--path", "soundcard", "440", "20"}), 0);
  ASSERT_EQ(Sound.Trace(), "P");
  EXPECT_EQ(Sound.Events[0].Image.size(), 44u + 2 * 882);
}

// The speaker's sound-card path beside the tone generator: a sweep switched from the sound card
// to the speaker leaves the last tone looping while the speaker beeps, and Stop with the speaker
// chosen silences only the speaker.
TEST(ToneBesideSpeaker, EachKeepsItsOwnVoice) {
  TRecordingSoundService Sound;
  TScopedSoundService Install(Sound);
  TToneGen Tone(nullptr);
  TBleeper Speaker(std::make_unique<TSoundCardBeep>());
  Tone.SetLoop(true);
  Tone.SetLeftVolume(50);
  Tone.Play();                    // the last tick on the sound card
  Speaker.SpeakerTone(440, 150);  // the next ticks on the speaker
  Speaker.SpeakerTone(640, 150);
  EXPECT_TRUE(Sound.Looping(svTone));
  EXPECT_EQ(Sound.Plays(svSpeaker).size(), 2u);
  // The tone generator's volume is its own voice's, never the speaker's.
  EXPECT_EQ(Sound.Trace(svSpeaker), "PP");
  EXPECT_EQ(Sound.Volume[svSpeaker], 0xFFFFFFFFu);

  Speaker.SpeakerSilence();  // Stop with the speaker chosen
  EXPECT_EQ(Sound.Trace(svSpeaker), "PPS");
  EXPECT_TRUE(Sound.Looping(svTone));

  // The other way round: a speaker tone until silenced sounds on when the tone generator stops.
  Speaker.SpeakerTone(440, -1);
  Tone.Stop();
  EXPECT_FALSE(Sound.Looping(svTone));
  EXPECT_TRUE(Sound.Looping(svSpeaker));
}

// The speaker's sound-card path beside the tone generator: a sweep switched from the sound card
// to the speaker leaves the last tone looping while the speaker beeps, and Stop with the speaker
// chosen silences only the speaker. Through the recording service and through SDL's disk driver.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "platform/audio/RecordingSoundService.h"
#include "platform/audio/sdl/SdlSoundService.h"
#include "sound/BleeperPaths.h"
#include "sound/ToneGen.h"
#include "tests/support/DiskAudio.h"
#include "tests/support/ScratchFolder.h"

namespace {

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

// The amplitude of the Freq component of Count samples at Rate, for a window of whole periods.
double Amplitude(const int16_t* Samples, std::size_t Count, double Freq, double Rate) {
  const double Coeff = 2 * std::cos(2 * M_PI * Freq / Rate);
  double S1 = 0, S2 = 0;
  for (std::size_t I = 0; I < Count; ++I) {
    const double S0 = Samples[I] + Coeff * S1 - S2;
    S2 = S1;
    S1 = S0;
  }
  return 2 * std::sqrt(S1 * S1 + S2 * S2 - Coeff * S1 * S2) / double(Count);
}

// 25 ms at 96 kHz: 25 periods of 1000 Hz and 11 of 440 Hz, so neither leaks into the other.
constexpr std::size_t Window = 2400;
constexpr double Rate = 96000;
// The fundamental of the speaker's square wave: 4 / pi of its height.
const double BeepAmplitude = 4 / M_PI * SquareWaveAmplitude;

bool Near(double Value, double Expected) {
  return std::abs(Value - Expected) < 0.05 * Expected;
}

class ToneBesideSpeakerOnDisk : public testing::Test {
 protected:
  void SetUp() override { FService = std::make_unique<TSdlSoundService>(); }
  void TearDown() override { FService.reset(); }
  // Closes the device so the file is complete; the samples written to it.
  std::vector<int16_t> DeviceSamples() {
    FService.reset();
    const std::vector<uint8_t> Bytes = FDevice.Bytes();
    std::vector<int16_t> Samples(Bytes.size() / 2);
    std::memcpy(Samples.data(), Bytes.data(), Samples.size() * 2);
    return Samples;
  }
  // Waits until the device has played Blocks analysis windows more with the voices as they are.
  void Play(std::uintmax_t Blocks) {
    ASSERT_TRUE(FDevice.WaitFor(FDevice.Size(), Blocks * Window * sizeof(int16_t)));
  }

  const TScratchFolder FDir{"tessolon-voices-"};
  const TDiskAudio FDevice{FDir / "device.raw"};
  std::unique_ptr<TSdlSoundService> FService;
};

TEST_F(ToneBesideSpeakerOnDisk, BothSoundAndStoppingTheSpeakerLeavesTheTone) {
  double ToneAmplitude;
  {
    TScopedSoundService Install(*FService);
    TToneGen Tone(nullptr);  // mono, 16 bits, 96 kHz
    Tone.SetLoop(true);
    Tone.SetFrequency(1000);  // 100 whole periods in the 100 ms image: a seamless loop
    Tone.SetLeftVolume(50);
    Tone.SetRightVolume(50);
    Tone.Play();
    std::vector<int16_t> Image(Window);
    std::memcpy(Image.data(), Tone.GetDataBuffer() + 44, Window * 2);
    ToneAmplitude = Amplitude(Image.data(), Window, 1000, Rate) * 0x7FFF / 0xFFFF;
    Play(1);

    TBleeper Speaker(std::make_unique<TSoundCardBeep>(FService.get()));
    Speaker.SpeakerTone(440, 300);
    EXPECT_EQ(FService->DeviceRate(), 96000u);  // the richer of the two formats
    Speaker.SpeakerTone(440, -1);
    Play(2);
    Speaker.SpeakerSilence();
    Play(6);
  }
  const auto Samples = DeviceSamples();
  ASSERT_GT(ToneAmplitude, 1000);

  std::size_t Both = 0, LastBeep = 0, ToneAfterBeep = 0;
  for (std::size_t Block = 0; (Block + 1) * Window <= Samples.size(); ++Block) {
    const int16_t* At = Samples.data() + Block * Window;
    const double Beep = Amplitude(At, Window, 440, Rate), Tone = Amplitude(At, Window, 1000, Rate);
    // The beep at full height (not at the tone generator's half volume) over the looping tone.
    if (Near(Beep, BeepAmplitude) && Near(Tone, ToneAmplitude)) ++Both;
    if (Beep > 0.1 * BeepAmplitude) {
      LastBeep = Block;
      ToneAfterBeep = 0;
    } else if (Near(Tone, ToneAmplitude) && Beep < 0.02 * BeepAmplitude && Block > LastBeep) {
      ++ToneAfterBeep;
    }
  }
  EXPECT_GE(Both, 10u);  // at least the 300 ms beep, 25 ms a block
  EXPECT_GE(ToneAfterBeep, 4u) << "the tone stopped with the speaker";
}

}  // namespace

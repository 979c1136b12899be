// The tone command: what it hands to the component and the service, its warnings and its
// exit statuses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/audio/RecordingSoundService.h"
#include "sound/ToneCommand.h"
#include "sound/ToneGen.h"
#include "tests/support/ScratchFolder.h"

namespace {

class ToneGenCommand : public testing::Test {
 protected:
  int Run(std::vector<std::string> Args) {
    testing::internal::CaptureStderr();
    const int Status = ToneCommand(Args);
    FErr = testing::internal::GetCapturedStderr();
    return Status;
  }
  // The exported file holds the component's image.
  void ExpectExported(const TToneGen& Tone) {
    std::ifstream In(FPath, std::ios::binary);
    const std::vector<uint8_t> Written{std::istreambuf_iterator<char>(In), {}};
    ASSERT_EQ(Written.size(), std::size_t(Tone.DataBufferSize()));
    EXPECT_TRUE(std::equal(Written.begin(), Written.end(), Tone.GetDataBuffer()));
  }

  TRecordingSoundService FService;
  TScopedSoundService FInstall{FService};
  std::string FErr;
  const TScratchFolder FFolder{"tessolon-tone-"};
  const std::string FPath = (FFolder / "out.wav").string();
};

TEST_F(ToneGenCommand, ExportsTheComponentsImage) {
  ASSERT_EQ(
      Run({"--note", "O5A", "--waveform", "triangle", "--resolution", "8", "--quality", "lo",
           "--stereo", "--am", "2:40:square:1.5", "--envelope", "--sustain=80", "--export", FPath}),
      0)
      << FErr;
  TToneGen Tone(nullptr);
  Tone.SetFrequency(880);
  Tone.SetWaveform(tgTriangle);
  Tone.SetResolution(tg8Bit);
  Tone.SetQuality(tgLoQ);
  Tone.SetStereo(true);
  Tone.SetAMParameter(tgAMLevel2, 40, 1.5f, tgSquare);
  Tone.SetSustain(80);
  ASSERT_TRUE(Tone.PrepareADSR());
  ExpectExported(Tone);
  EXPECT_EQ(FErr, "");
}

// Both set the main frequency; the one given last counts, as when the component is set in turn.
TEST_F(ToneGenCommand, PropertiesAreSetInTheOrderGiven) {
  const struct {
    std::vector<std::string> Args;
    int64_t Hertz;
  } Cases[] = {{{"--note", "C", "--frequency", "1000"}, 1000},
               {{"--frequency", "1000", "--note=C"}, 0},
               {{"--frequency=300", "--frequency", "700"}, 700}};
  for (const auto& C : Cases) {
    std::vector<std::string> Args = C.Args;
    Args.insert(Args.end(), {"--export", FPath});
    ASSERT_EQ(Run(Args), 0) << FErr;
    TToneGen Tone(nullptr);
    if (C.Hertz)
      Tone.SetFrequency(C.Hertz);
    else
      Tone.SetNote("C");
    ASSERT_TRUE(Tone.Prepare());
    SCOPED_TRACE(testing::PrintToString(C.Args));
    ExpectExported(Tone);
  }
}

TEST_F(ToneGenCommand, PlaysOnceOrLoopsForAWhile) {
  ASSERT_EQ(Run({"--play"}), 0);
  ASSERT_EQ(FService.Plays().size(), 1u);
  EXPECT_EQ(FService.Plays()[0]->Flags, SND_MEMORY);
  FService.Clear();
  ASSERT_EQ(Run({"--play", "--seconds", "0.01", "--left", "50"}), 0);
  EXPECT_EQ(FService.Plays()[0]->Flags, SND_MEMORY | SND_ASYNC | SND_LOOP);
  EXPECT_EQ(FService.Trace().substr(FService.Trace().find('P')), "PSSV");  // stop, then restore
}

TEST_F(ToneGenCommand, WarnsWhenATonePassesHalfTheRate) {
  ASSERT_EQ(Run({"--frequency", "22050", "--quality", "lo", "--export", FPath}), 0);
  EXPECT_NE(FErr.find("22050 Hz is at or above half the image's rate of 44100"), std::string::npos)
      << FErr;
  ASSERT_EQ(Run({"--frequency", "22049", "--quality", "lo", "--export", FPath}), 0);
  EXPECT_EQ(FErr, "");
  // An output slower than the 96 kHz image: the program converts the image, whose partials
  // above the converter's edge are removed; a main frequency above it is not played at all.
  FService.Rate = 44100;
  ASSERT_EQ(Run({"--frequency", "20000", "--am", "1:10:sine:1.2", "--play"}), 0);
  EXPECT_EQ(FErr,
            "tessolon tone: warning: 24000 Hz is removed: the output (SDL's recording driver at "
            "44100 Hz) carries nothing at or above 20.1 kHz\n");
  EXPECT_EQ(FService.Plays().size(), 1u);
  FService.Clear();
  FService.Rate = 48000;
  for (const char* Seconds : {"0", "0.01"}) {
    EXPECT_EQ(Run({"--frequency", "30000", "--play", "--seconds", Seconds}), 1);
    EXPECT_EQ(
        FErr,
        "tessolon tone: warning: 30000 Hz cannot be carried: the output (SDL's recording "
        "driver at 48000 Hz) carries nothing at or above 21.9 kHz; the tone was not played\n");
    EXPECT_TRUE(FService.Plays().empty());
  }
}

TEST_F(ToneGenCommand, BadArgumentsAndRefusals) {
  for (const std::vector<std::string>& Args : {std::vector<std::string>{},
                                               {"--waveform", "hum", "--play"},
                                               {"--note", "H", "--play"},
                                               {"--am", "9:10:sine:1", "--play"},
                                               {"--am", "1:10:sine", "--play"},
                                               {"--resolution", "12", "--play"},
                                               {"--frequency", "x", "--play"},
                                               {"--seconds", "1"},
                                               {"--play", "--loud"}}) {
    EXPECT_EQ(Run(Args), 2) << testing::PrintToString(Args);
    EXPECT_EQ(std::count(FErr.begin(), FErr.end(), '\n'), 1) << FErr;
  }
  EXPECT_EQ(Run({"--export", "/nonexistent-dir/tone.wav"}), 1);
  EXPECT_TRUE(FService.Plays().empty());
}

}  // namespace

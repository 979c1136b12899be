// The program on real sound servers, heard at the sink's monitor. A server whose sink runs at
// 48000 Hz cannot carry a tone above about 21.8 kHz: its resampler folds a 30 kHz tone down to
// an audible 18 kHz. The program must learn that rate, keep tones below it intact, and play
// nothing it cannot carry, saying why. A server that can switch to 96000 Hz must carry them.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "tests/servers/Playback.h"

namespace {

struct TServerCase {
  const char* Name;
  TServerSettings Settings;
  const char* Called;     // what `tessolon devices` must call it
  const char* NotCalled;  // and must not
};

std::ostream& operator<<(std::ostream& Out, const TServerCase& Case) {
  return Out << Case.Name;
}

std::string ServerCaseName(const testing::TestParamInfo<TServerCase>& Info) {
  return Info.param.Name;
}

// Each configuration's server is started once per process and shared by its tests.
class ServerTest : public testing::TestWithParam<TServerCase> {
 protected:
  static void TearDownTestSuite() { Servers.clear(); }
  const TSoundServer& Server() {
    std::unique_ptr<TSoundServer>& Shared = Servers[GetParam().Settings.Describe()];
    if (!Shared) Shared = std::make_unique<TSoundServer>(GetParam().Settings);
    return *Shared;
  }

 private:
  static inline std::map<std::string, std::unique_ptr<TSoundServer>> Servers;
};

void ExpectArrives(const TPlayed& Played, unsigned Hz, const TPlayed& Reference) {
  SCOPED_TRACE("heard: " + Played.Heard.Describe() + "\nreference: " + Reference.Heard.Describe() +
               "\nstderr: " + Played.Run.Err);
  EXPECT_EQ(Played.Run.ExitStatus, 0) << Played.Run.Status;
  EXPECT_NEAR(Played.Heard.Strongest.PeakHz, Hz, FrequencyToleranceHz);
  EXPECT_NEAR(Played.Heard.Strongest.PeakDb, Reference.Heard.Strongest.PeakDb, LevelToleranceDb);
}

// --- Sinks at 48000 Hz, which cannot follow a stream's rate.

using FortyEightKiloHertz = ServerTest;

const TServerCase At48k[] = {
    {"PulseAudio", TServerSettings::PulseAudio(48000), "PulseAudio", "PipeWire"},
    {"PipeWire", TServerSettings::PipeWire(48000, {48000}), "PipeWire", nullptr},
};
INSTANTIATE_TEST_SUITE_P(Servers, FortyEightKiloHertz, testing::ValuesIn(At48k), ServerCaseName);

TEST_P(FortyEightKiloHertz, DevicesNameTheServerAndItsRate) {
  const TCommandResult Run = Server().Session().RunProgram({"devices"}, "tessolon");
  EXPECT_EQ(Run.ExitStatus, 0) << Run.Status << "\n" << Run.Err;
  const auto Lines = LinesWith(Run.Out, "Sound server: ");
  ASSERT_EQ(Lines.size(), 1u) << Run.Out;
  EXPECT_EQ(Lines[0].rfind("Sound server: ", 0), 0u) << Lines[0];
  EXPECT_NE(Lines[0].find(GetParam().Called), std::string::npos) << Lines[0];
  if (GetParam().NotCalled) {
    EXPECT_EQ(Lines[0].find(GetParam().NotCalled), std::string::npos) << Lines[0];
  }
  EXPECT_NE(Lines[0].find("48000"), std::string::npos) << Lines[0];
}

TEST_P(FortyEightKiloHertz, AudibleToneArrivesIntact) {
  ExpectArrives(PlayAndRecord(Server(), 48000, ToneArgs(15000)), 15000, Reference(15000));
}

TEST_P(FortyEightKiloHertz, ToneItCannotCarryIsRefusedAndNothingIsHeard) {
  const TPlayed Played = PlayAndRecord(Server(), 48000, ToneArgs(30000));
  EXPECT_LT(Played.Heard.Loudest.AudibleDb, InaudibleDb) << Played.Heard.Describe();
  EXPECT_EQ(Played.Run.ExitStatus, 1) << Played.Run.Status;
  EXPECT_FALSE(LinesWith(Played.Run.Err, "48000").empty()) << Played.Run.Err;
}

TEST_P(FortyEightKiloHertz, SweepAboveWhatItCarriesIsSilentAndWarnedOnce) {
  // The cockroach's band, 25000 to 40000 Hz, lies wholly above what 48000 Hz carries.
  const TPlayed Played =
      PlayAndRecord(Server(), 48000, {"sweep", "--pest", "Cockroach", "--seconds", "3"});
  EXPECT_TRUE(Played.Run.ExitStatus.has_value()) << Played.Run.Status;
  EXPECT_LT(Played.Heard.Loudest.AudibleDb, InaudibleDb) << Played.Heard.Describe();
  EXPECT_EQ(LinesWith(Played.Run.Err, "48000").size(), 1u) << Played.Run.Err;
}

// --- Servers that follow a stream to 96000 Hz when nothing else plays.

using FollowsToNinetySixKiloHertz = ServerTest;

const TServerCase To96k[] = {
    {"PipeWire", TServerSettings::PipeWire(48000, {48000, 96000}), "PipeWire", nullptr},
    {"PulseAudio", TServerSettings::PulseAudio(48000, 96000), "PulseAudio", "PipeWire"},
};
INSTANTIATE_TEST_SUITE_P(Servers, FollowsToNinetySixKiloHertz, testing::ValuesIn(To96k),
                         ServerCaseName);

TEST_P(FollowsToNinetySixKiloHertz, ToneAboveTwentyKilohertzSwitchesTheSinkAndArrives) {
  // The recorder joins only once the program plays: a recorder at 96000 Hz would switch the
  // sink by itself, and one at 48000 Hz would hold it there.
  // The tone lasts long enough for the recorder to join on a busy machine.
  TChildProcess Program(Server().Session().Program(ToneArgs(30000, 8000), "tessolon"));
  TSoundServer::TSinkState Sink;
  ASSERT_TRUE(WaitUntil(std::chrono::seconds(60),
                        [&] {
                          Sink = Server().Sink();
                          return Sink.State == "RUNNING" || !Program.Running();
                        }) &&
              Sink.State == "RUNNING")
      << "the program never played: " << ReadWholeFile(Program.Launch().Err);
  EXPECT_EQ(Sink.Rate, 96000u);
  // Heard until the tone ends: on a busy machine the output may drop out now and then, and the
  // strongest stretch of the whole tone is the one compared.
  TMonitorRecording Monitor(Server(), 96000, "monitor");
  const TCommandResult Run = Finish(Program, std::chrono::seconds(60));
  const TPlayed Played{Run, Analyse(Monitor.Stop())};
  ExpectArrives(Played, 30000, Reference(30000));
}

}  // namespace

// --- The reference itself: at the tone's own rate nothing converts it, high or not.

TEST(ReferenceServer, CarriesTonesAboveTwentyKilohertzAtTheLevelOfAudibleOnes) {
  const TPlayed& Audible = Reference(15000);
  EXPECT_EQ(Audible.Run.ExitStatus, 0) << Audible.Run.Status << "\n" << Audible.Run.Err;
  EXPECT_NEAR(Audible.Heard.Strongest.PeakHz, 15000, FrequencyToleranceHz)
      << Audible.Heard.Describe();
  ExpectArrives(Reference(30000), 30000, Audible);
}

// The program on plain ALSA with no server: the default output converts whatever it is given to
// 48000 Hz, so the program must learn that rate as it learns a server's.
#include <gtest/gtest.h>

#include "tests/servers/Playback.h"

TEST(PlainAlsa, DevicesNameTheRateAndOnlyWhatItCarriesIsWritten) {
  const TAlsaFileOutput Alsa;
  const TCommandResult Devices = Alsa.Session().RunProgram({"devices"}, "tessolon");
  EXPECT_EQ(Devices.ExitStatus, 0) << Devices.Status << "\n" << Devices.Err;
  EXPECT_FALSE(LinesWith(Devices.Out, "48000").empty()) << Devices.Out;
  Alsa.TakeWritten();

  // An audible tone reaches the file intact, so the file does show what the program plays.
  const TCommandResult Audible = Alsa.Session().RunProgram(ToneArgs(15000), "tessolon");
  const TAnalysis Written = Analyse(Alsa.TakeWritten());
  EXPECT_EQ(Audible.ExitStatus, 0) << Audible.Status << "\n" << Audible.Err;
  EXPECT_NEAR(Written.Strongest.PeakHz, 15000, FrequencyToleranceHz) << Written.Describe();
  EXPECT_NEAR(Written.Strongest.PeakDb, Reference(15000).Heard.Strongest.PeakDb, LevelToleranceDb)
      << Written.Describe() << "\nreference: " << Reference(15000).Heard.Describe();

  const TCommandResult High = Alsa.Session().RunProgram(ToneArgs(30000), "tessolon");
  const TAnalysis Folded = Analyse(Alsa.TakeWritten());
  EXPECT_LT(Folded.Loudest.AudibleDb, InaudibleDb) << Folded.Describe();
  EXPECT_EQ(High.ExitStatus, 1) << High.Status;
  EXPECT_FALSE(LinesWith(High.Err, "48000").empty()) << High.Err;
}

// The shipped profiles swept as the headless sweep plays them: what their tones carry into
// hearing by default (the dialog's partial at 0.3 times the frequency) and with ultrasound only,
// said once at the start and whenever a tick's class changes; the pass the level is taken over;
// and the service asked to fade ultrasound-only tones.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/audio/RecordingSoundService.h"
#include "sound/ToneGen.h"
#include "sweep/DialogDefaults.h"
#include "sweep/PestTable.h"
#include "sweep/SweepCommand.h"
#include "sweep/SweepLevel.h"
#include "sweep/SweepOutput.h"
#include "tests/sweep/SweepFolder.h"

namespace {

// The shipped table in the current directory; the streams captured.
class ShippedSweep : public testing::Test {
 protected:
  void SetUp() override { FService.Rate = 96000; }

  // The level of Pest's sweep through one pass, as the headless sweep plays it.
  TSweepLevel Level(const std::string& Pest, bool UltrasoundOnly,
                    std::vector<int>* Positions = nullptr) {
    TPestTable Table(FFolder.Data().string(), [](const std::string&) {});
    EXPECT_TRUE(Table.LocatePest(Pest));
    TToneGen ToneGen(nullptr);
    ApplyDialogToneSettings(ToneGen);
    ToneGen.SetUltrasoundOnly(UltrasoundOnly);
    TToneGenOutput Output(ToneGen);
    TSweepEngine Engine(Output);
    TSweepSettings Settings = StoredDialogDefaults().Settings;
    TSweepState State = StoredDialogDefaults().State;
    const TPestRecord Record(Table.Table());
    Engine.Select(Record, Settings, State);
    const std::vector<int> Pass = PassPositions(Record, Settings, State);
    if (Positions) *Positions = Pass;
    return MeasureSweepLevel(ToneGen, Pass, Settings.PlayADSR, State.Interval, 0, FLevels);
  }

  TSweepFolder FFolder{"tessolon-level-"};
  std::ostringstream& FErr = FFolder.Err;
  TRecordingSoundService FService;
  TScopedSoundService FScope{FService};
  TToneLevels FLevels;
};

}  // namespace

TEST_F(ShippedSweep, ThePassRunsThroughTheBandOnceAndTheDialogsPartialIsHeard) {
  std::vector<int> Positions;
  const TSweepLevel Cockroach = Level("Cockroach", false, &Positions);
  // 25000-40000 Hz in steps of 500: the first tick plays 25500, the top wraps to the bottom.
  ASSERT_EQ(Positions.size(), 30u);
  EXPECT_EQ(Positions.front(), 25500);
  EXPECT_EQ(Positions.back(), 25000);
  // The partial at 0.3 times the frequency lies at 7.5-11.85 kHz: 30 % of full scale, shaped by
  // the envelope and at the dialog's volumes, it is the loudest share, well above -40 dBFS.
  EXPECT_EQ(Cockroach.Class(), TAudibleClass::Audible);
  EXPECT_GT(Cockroach.Db(), -25);
  EXPECT_LT(Cockroach.Db(), -12);
  ASSERT_FALSE(Cockroach.Shares.empty());
  EXPECT_EQ(Cockroach.Shares[0].Source, TShareSource::Partial);
  EXPECT_EQ(Cockroach.Shares[0].LowHertz, 7500);
  EXPECT_EQ(Cockroach.Shares[0].HighHertz, 11850);  // 0.3 times 39500: 40000 wraps
  EXPECT_NE(SweepLevelSentence(Cockroach).find("These tones carry audible sound: "),
            std::string::npos);
  EXPECT_NE(SweepLevelSentence(Cockroach).find("mostly the partial at 0.3 × the frequency "
                                               "(7.5-11.8 kHz)"),
            std::string::npos)
      << SweepLevelSentence(Cockroach);
}

TEST_F(ShippedSweep, UltrasoundOnlyPutsNothingAudibleIntoTheBandsAboveHearing) {
  for (const char* Pest : {"Cockroach", "Rat", "Mouse", "Bat", "Flea"}) {
    SCOPED_TRACE(Pest);
    const TSweepLevel Swept = Level(Pest, true);
    EXPECT_LT(Swept.Db(), -60);
    EXPECT_LT(PowerDb(Swept.LoudestPower), -60);
    EXPECT_EQ(Swept.Class(), TAudibleClass::Faint);
  }
  // Flea's band starts at 18000 Hz: its ticks below 20.5 kHz stay silent.
  EXPECT_GT(Level("Flea", true).SilentTicks, 0);
  EXPECT_EQ(Level("Cockroach", true).SilentTicks, 0);
}

TEST_F(ShippedSweep, APlayedSweepSaysItsLevelAndUltrasoundOnlyFades) {
  ASSERT_EQ(SweepCommand({"--pest", "Flea", "--ticks", "12", "--ultrasound-only"}), 0)
      << FErr.str();
  const std::string Err = FErr.str();
  EXPECT_EQ(Err.rfind("tessolon sweep: these tones carry faint sound at ", 0), 0u) << Err;
  EXPECT_NE(Err.find("tessolon sweep: warning: tick 1: 18300 Hz lies below 20.5 kHz, which "
                     "ultrasound only leaves out; every such tick stays silent\n"),
            std::string::npos)
      << Err;
  ASSERT_FALSE(FService.Plays(svTone).empty());
  for (const TSoundEvent* Play : FService.Plays(svTone)) EXPECT_NE(Play->Flags & SND_FADE, 0u);
  // The same sweep by default: audible, and played without a fade.
  FErr.str("");
  FService.Clear();
  ASSERT_EQ(SweepCommand({"--pest", "Flea", "--ticks", "2"}), 0);
  EXPECT_EQ(FErr.str().rfind("tessolon sweep: these tones carry audible sound at ", 0), 0u)
      << FErr.str();
  for (const TSoundEvent* Play : FService.Plays(svTone)) EXPECT_EQ(Play->Flags & SND_FADE, 0u);
}

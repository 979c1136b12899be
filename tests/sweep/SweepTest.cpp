#include "sweep/Sweep.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/data/DatabaseError.h"
#include "sweep/PestFields.h"
#include "table/DbaseTable.h"
#include "tests/support/ScratchFolder.h"

TEST(BeatToFreq, ConvertsStoredLimitsToHertz) {
  EXPECT_EQ(BeatToFreq(5250), 15022);
  EXPECT_EQ(BeatToFreq(17500), 50074);
  EXPECT_EQ(BeatToFreq(5242.275f), 15000);  // single precision first: 5242.27490234375
  EXPECT_EQ(BeatToFreq(6989.7f), 20000);
  EXPECT_EQ(BeatToFreq(7000), 20029);
  EXPECT_EQ(BeatToFreq(1), 3);
  EXPECT_EQ(BeatToFreq(0), 0);
  EXPECT_EQ(BeatToFreq(-5250), -15022);
}

TEST(RoundHalfEvenSaturated, GoesToTheEvenNeighbourOnlyWhenExactlyHalfway) {
  EXPECT_EQ(RoundHalfEvenSaturated(2.5L), 2);
  EXPECT_EQ(RoundHalfEvenSaturated(3.5L), 4);
  EXPECT_EQ(RoundHalfEvenSaturated(-2.5L), -2);
  EXPECT_EQ(RoundHalfEvenSaturated(2.5000001L), 3);
  EXPECT_EQ(RoundHalfEvenSaturated(1e30L), INT64_MAX);
  EXPECT_EQ(RoundHalfEvenSaturated(-1e30L), INT64_MIN);
}

TEST(WaveIndex, MapsTheFourShapesAndEverythingElseToNoise) {
  EXPECT_EQ(WaveIndex(0), tgSine);
  EXPECT_EQ(WaveIndex(1), tgSquare);
  EXPECT_EQ(WaveIndex(2), tgTriangle);
  EXPECT_EQ(WaveIndex(3), tgSawtooth);
  for (int N : {4, 5, 255, -1, -100}) EXPECT_EQ(WaveIndex(N), tgNoise) << N;
}

namespace {

class TFakeOutput : public ISweepOutput {
 public:
  std::vector<std::string> Calls;
  std::optional<TTGWave> Waveform;
  int Duration = -1;

  void SetWaveform(TTGWave Value) override { Waveform = Value; }
  void SetStereo(bool Value) override { Calls.push_back(Value ? "stereo" : "mono"); }
  void SetLeftVolume(int Value) override { Calls.push_back("L" + std::to_string(Value)); }
  void SetRightVolume(int Value) override { Calls.push_back("R" + std::to_string(Value)); }
  void SetAMAmplitude(int Value) override { Calls.push_back("A" + std::to_string(Value)); }
  void SetDuration(int Value) override { Duration = Value; }
  void SoundCardTone(int Frequency, bool ADSR) override {
    Calls.push_back((ADSR ? "adsr " : "card ") + std::to_string(Frequency));
  }
  void SoundCardStop() override { Calls.push_back("card stop"); }
  void SpeakerTone(int Frequency, int Ms) override {
    if (Frequency > 20000) throw ERangeError("Bleeper: Freq > 20000");
    Calls.push_back("spk " + std::to_string(Frequency) + " " + std::to_string(Ms));
  }
  void SpeakerSilence() override { Calls.push_back("spk stop"); }
};

// The worked example's profile in a real pest table of one record, the dialog's settings and its
// band bar before a selection.
class SweepEngine : public testing::Test {
 protected:
  void SetUp() override {
    Table.SetFilePath(Folder.Path().string() + "/");
    Table.SetTableName("para.dbf");
    Table.SetOpenMode(omAutoCreate);
    AddPestFieldDefs(Table.FieldDefs());
    Table.Open();
    Table.Append();
    Table.FieldByName(PestField::Name)->SetAsString("Mosquito");
    Table.Post();
    for (auto [Name, Value] : {std::pair{PestField::BandStart, 5250},
                               {PestField::BandEnd, 17500},
                               {PestField::Step, 500},
                               {PestField::Interval, 200},
                               {PestField::Duration, 150},
                               {PestField::Waveform, 1}})
      Set(Name, Value);
  }
  // Stores Value (none: empty) in the record.
  void Set(const char* Name, std::optional<double> Value) {
    Table.Edit();
    if (Value)
      Table.FieldByName(Name)->SetAsFloat(*Value);
    else
      Table.FieldByName(Name)->Clear();
    Table.Post();
  }

  TScratchFolder Folder;
  TDbaseTable Table{nullptr};
  TPestRecord Record{Table};
  TSweepSettings Settings{true, true, true, true, 60, 80, 30};
  TSweepState State{15000, 50000, 15000, 1, 1000};
  TFakeOutput Output;
  TSweepEngine Engine{Output};
};

}  // namespace

TEST_F(SweepEngine, SelectionAppliesTheWholeProfileAndAHigherBandReplacesBothLimits) {
  Engine.Select(Record, Settings, State);
  EXPECT_EQ(State, (TSweepState{15022, 50074, 15022, 500, 200}));
  EXPECT_EQ(Output.Waveform, tgSquare);
  EXPECT_EQ(Output.Duration, 150);
  EXPECT_EQ(Output.Calls, (std::vector<std::string>{"stereo", "L60", "R80", "A30"}));

  // A band wholly above the last one replaces both limits.
  Set(PestField::BandStart, 5242.275);  // 15000 Hz
  Set(PestField::BandEnd, 6989.7);      // 20000 Hz
  Engine.Select(Record, Settings, State);
  Set(PestField::BandStart, 8737.1);  // 25000 Hz
  Set(PestField::BandEnd, 10484.6);   // 30000 Hz
  Engine.Select(Record, Settings, State);
  EXPECT_EQ(State, (TSweepState{25000, 30000, 25000, 500, 200}));
}

TEST_F(SweepEngine, WorkedExampleCyclesEvery71Ticks) {
  Engine.Select(Record, Settings, State);
  std::vector<int> Played;
  for (int I = 0; I < 142; ++I) Played.push_back(Engine.Tick(Record, Settings, State));
  EXPECT_EQ(Played[0], 15522);
  EXPECT_EQ(Played[69], 50022);
  EXPECT_EQ(Played[70], 15022);  // 50522 held at Max, which wraps
  EXPECT_EQ(Played[71], 15522);
  EXPECT_EQ(Played[140], 50022);
  EXPECT_EQ(Played[141], 15022);
  EXPECT_EQ(Output.Calls.back(), "adsr 15022");
}

TEST_F(SweepEngine, SpeakerRefusesAbove20000AndTheNextTickGoesOn) {
  Engine.Select(Record, Settings, State);
  Settings.SoundCard = false;
  for (int I = 0; I < 9; ++I) Engine.Tick(Record, Settings, State);
  EXPECT_EQ(Output.Calls.back(), "spk 19522 150");
  EXPECT_THROW(Engine.Tick(Record, Settings, State), ERangeError);
  EXPECT_EQ(State.Position, 20022);  // the position moved before the refusal
  Set(PestField::Duration, 40);
  State.Position = 15000 - 500 + 22;
  Engine.Tick(Record, Settings, State);
  EXPECT_EQ(Output.Calls.back(), "spk 15022 40");  // tone length read at every speaker tick
}

TEST_F(SweepEngine, TickWithoutAutoChangeReplaysThePositionAndWrapsAtMax) {
  Engine.Select(Record, Settings, State);
  Settings.AutoChange = false;
  Settings.PlayADSR = false;
  EXPECT_EQ(Engine.Tick(Record, Settings, State), 15022);
  State.Position = State.BandMax;
  EXPECT_EQ(Engine.Tick(Record, Settings, State), 15022);
  EXPECT_EQ(Output.Calls.back(), "card 15022");
}

TEST_F(SweepEngine, FractionalAndNegativeStepsReadAtEveryTick) {
  Engine.Select(Record, Settings, State);
  const std::pair<double, int> Steps[] = {{0.5, 15022},      // 15022.5 goes to even
                                          {1.5, 15024},      // 15023.5 goes to even
                                          {-90000, 15022},   // held at Min, never wraps downwards
                                          {900000, 15022}};  // held at Max, then wrapped
  for (auto [Step, Expected] : Steps) {
    Set(PestField::Step, Step);
    EXPECT_EQ(Engine.Tick(Record, Settings, State), Expected) << Step;
  }
}

TEST_F(SweepEngine, EmptyFieldsStopWhereTheyAreRead) {
  Set(PestField::Duration, std::nullopt);
  EXPECT_THROW(Engine.Select(Record, Settings, State), EDatabaseError);
  EXPECT_EQ(State.Interval, 200);  // steps before the failing one stay applied
  EXPECT_EQ(Output.Waveform, tgSquare);
  Set(PestField::Step, std::nullopt);
  EXPECT_THROW(Engine.Tick(Record, Settings, State), EDatabaseError);
  Settings.AutoChange = false;
  EXPECT_NO_THROW(Engine.Tick(Record, Settings, State));
}

TEST_F(SweepEngine, InvertedBandIsRefusedAndThePreviousBandStays) {
  Engine.Select(Record, Settings, State);
  Engine.Tick(Record, Settings, State);
  Set(PestField::BandStart, 20000);  // 57227 Hz
  Set(PestField::Interval, 999);
  try {
    Engine.Select(Record, Settings, State);
    FAIL() << "an inverted band was accepted";
  } catch (const Exception& E) {
    EXPECT_NE(E.Message().find("Mosquito"), std::string::npos) << E.Message();
  }
  EXPECT_EQ(State, (TSweepState{15022, 50074, 15522, 500, 200}));
}

TEST_F(SweepEngine, SilenceFollowsTheOutputChosenAtThatMoment) {
  Engine.Silence(Settings);
  Settings.SoundCard = false;
  Engine.Silence(Settings);
  EXPECT_EQ(Output.Calls, (std::vector<std::string>{"card stop", "spk stop"}));
}

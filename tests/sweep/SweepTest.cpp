#include "sweep/Sweep.h"

#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/data/DatabaseError.h"
#include "sound/ToneGen.h"
#include "sweep/PestFields.h"
#include "sweep/SweepSession.h"
#include "table/DbaseTable.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScratchFolder.h"

// Stored limits to hertz (single precision first: 5242.275f is 5242.27490234375), the rounding
// the positions take, and the waveform numbers.
TEST(SweepValues, LimitsRoundingAndWaveforms) {
  const std::pair<float, int> Limits[] = {{5250, 15022},    {17500, 50074}, {5242.275f, 15000},
                                          {6989.7f, 20000}, {7000, 20029},  {1, 3},
                                          {0, 0},           {-5250, -15022}};
  for (const auto& [Beat, Hertz] : Limits) EXPECT_EQ(BeatToFreq(Beat), Hertz) << Beat;
  const std::pair<long double, int64_t> Rounded[] = {
      {2.5L, 2}, {3.5L, 4}, {-2.5L, -2}, {2.5000001L, 3}, {1e30L, INT64_MAX}, {-1e30L, INT64_MIN}};
  for (const auto& [Value, Expected] : Rounded)
    EXPECT_EQ(RoundHalfEvenSaturated(Value), Expected) << double(Value);
  const TTGWave Shapes[] = {tgSine, tgSquare, tgTriangle, tgSawtooth};
  for (int N = 0; N < 4; ++N) EXPECT_EQ(WaveIndex(N), Shapes[N]) << N;
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

// Without auto change the step is not even read.
TEST_F(SweepEngine, TickWithoutAutoChangeReplaysThePositionAndWrapsAtMax) {
  Engine.Select(Record, Settings, State);
  Set(PestField::Step, std::nullopt);
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

namespace {

// What a session told, one line a notification.
class TToldLog : public ISweepObserver {
 public:
  std::vector<std::string> Lines;
  void StateChanged(const TSweepState& S) override {
    Lines.push_back("state " + std::to_string(S.BandMin) + "-" + std::to_string(S.BandMax) +
                    " at " + std::to_string(S.Position) + " step " + std::to_string(S.Step) +
                    " every " + std::to_string(S.Interval));
  }
  void Selected() override { Lines.push_back("selected"); }
  void RunningChanged(bool Running) override { Lines.push_back(Running ? "running" : "stopped"); }
  void Ticked(long long Number, int Position) override {
    Lines.push_back("tick " + std::to_string(Number) + " " + std::to_string(Position));
  }
  void TickFailed(long long Number, int Position, const std::string& Message) override {
    Lines.push_back("failed " + std::to_string(Number) + " " + std::to_string(Position) + " " +
                    Message);
  }
  void SilenceChanged(const std::string& Reason) override { Lines.push_back("silent: " + Reason); }
  // The lines since the last call.
  std::vector<std::string> Take() { return std::exchange(Lines, {}); }
};

class TSetClock : public TClock {
 public:
  std::chrono::system_clock::time_point Time;
  std::chrono::system_clock::time_point Now() const override { return Time; }
  void SetHour(int Hour) {
    Time = std::chrono::system_clock::time_point{} + std::chrono::hours(Hour);
  }
};

// The engine's table with a second profile (key 2) after the first (key 1), and a session on it
// that tells a log.
class SweepSessionTest : public SweepEngine {
 protected:
  void SetUp() override {
    SweepEngine::SetUp();
    Set(PestField::Idx, 1);
    Table.Append();
    Table.FieldByName(PestField::Name)->SetAsString("Cockroach");
    Table.Post();
    for (auto [Name, Value] : {std::pair{PestField::Idx, 2.0},
                               {PestField::BandStart, 8737.1},  // 25000 Hz
                               {PestField::BandEnd, 10484.6},   // 30000 Hz
                               {PestField::Step, 100},
                               {PestField::Interval, 300},
                               {PestField::Duration, 40},
                               {PestField::Waveform, 2}})
      Set(Name, Value);
    Session.SetState(State);
    Session.SetSettings(Settings);
    Session.SetClock(Clock);
    Session.AddObserver(Told);
    Told.Take();
  }

  TToneGen ToneGen{nullptr};
  TSweepSession Session{Table, ToneGen, Output};
  TToldLog Told;
  TSetClock Clock;
};

}  // namespace

// The key picks the record; a tick reads only the step and the tone length from whichever record is
// current then (the dialog's << and >>), while band, interval and waveform stay the selection's.
TEST_F(SweepSessionTest, SelectionTakesTheKeyedRecordAndTicksReadStepAndToneLengthFromTheCurrent) {
  Settings.SoundCard = false;
  Session.SetSettings(Settings);
  Session.Select(TVariant(int64_t(1)));  // the current record is key 2
  EXPECT_EQ(Table.FieldByName(PestField::Name)->AsString(), "Mosquito");
  EXPECT_EQ(Told.Take(), (std::vector<std::string>{"state 15022-50074 at 15022 step 500 every 200",
                                                   "selected"}));
  Session.Start();
  EXPECT_EQ(Session.Tick(), 15522);
  Table.Next();
  Session.SetPosition(15000);  // the bar dragged below the band is held at its start
  EXPECT_EQ(Session.Tick(), 15122);
  EXPECT_EQ(Output.Calls.back(), "spk 15122 40");
  EXPECT_EQ(Output.Waveform, tgSquare);
  EXPECT_EQ(Told.Take(), (std::vector<std::string>{
                             "running", "state 15022-50074 at 15522 step 500 every 200",
                             "tick 1 15522", "state 15022-50074 at 15022 step 500 every 200",
                             "state 15022-50074 at 15122 step 500 every 200", "tick 2 15122"}));
  Session.Select(TVariant());  // the current record, whatever its key
  EXPECT_EQ(Session.State(), (TSweepState{25000, 30000, 25000, 100, 300}));
  EXPECT_EQ(Output.Waveform, tgTriangle);
}

TEST_F(SweepSessionTest, OutsideTheHoursNothingPlaysTheOutputIsSilencedOnceAndWhyIsToldOnce) {
  const TScopedEnv Zone("TZ", "UTC");
  tzset();
  Session.SetSchedule(TSchedule::Parse("22:00-06:00"));
  Session.Select(TVariant(int64_t(1)));
  Session.Start();
  Clock.SetHour(12);
  Output.Calls.clear();
  Told.Take();
  EXPECT_EQ(Session.Tick(), std::nullopt);
  EXPECT_EQ(Session.Tick(), std::nullopt);
  EXPECT_EQ(Output.Calls, (std::vector<std::string>{"card stop"}));
  Clock.SetHour(23);
  EXPECT_EQ(Session.Tick(), 15522);
  EXPECT_EQ(Told.Take(), (std::vector<std::string>{"silent: waiting for 22:00",
                                                   "state 15022-50074 at 15522 step 500 every 200",
                                                   "tick 1 15522", "silent: "}));
  Session.SetSchedule(std::nullopt);
  Clock.SetHour(12);
  EXPECT_EQ(Session.Tick(), 16022);
  tzset();
}

// An empty field is told and raised where it is read, with what came before it kept; a tick that
// fails still counts.
TEST_F(SweepSessionTest, ErrorsAreToldAndRaisedLeavingWhatWasApplied) {
  Set(PestField::Duration, std::nullopt);
  EXPECT_THROW(Session.Select(TVariant()), EDatabaseError);
  EXPECT_EQ(Told.Take(),
            (std::vector<std::string>{"state 25000-30000 at 25000 step 100 every 300"}));
  Set(PestField::Step, std::nullopt);
  Session.Start();
  Told.Take();
  EXPECT_THROW(Session.Tick(), EDatabaseError);
  ASSERT_EQ(Told.Lines.size(), 1u);
  EXPECT_EQ(Told.Lines[0].rfind("failed 1 25000 ", 0), 0u) << Told.Lines[0];
  EXPECT_EQ(Session.Ticks(), 1);
}

// Moving a running sweep to the other output silences the one it leaves, so nothing loops on past
// Stop, which silences the output chosen then; stopped, the box changes nothing. Band-limited and
// ultrasound-only synthesis reach the tone generator at once.
TEST_F(SweepSessionTest, AnOutputLeftIsSilencedAndSynthesisChoicesReachTheToneGenerator) {
  Session.Select(TVariant(int64_t(1)));
  Session.Start();
  Session.Tick();
  Settings.SoundCard = false;
  Session.SetSettings(Settings);
  Session.Tick();
  Session.Stop();
  Settings.SoundCard = true;
  Settings.BandLimited = Settings.UltrasoundOnly = true;
  Session.SetSettings(Settings);
  Output.Calls.erase(Output.Calls.begin(), Output.Calls.begin() + 4);  // the selection's
  EXPECT_EQ(Output.Calls,
            (std::vector<std::string>{"adsr 15522", "card stop", "spk 16022 150", "spk stop"}));
  EXPECT_TRUE(ToneGen.BandLimited());
  EXPECT_TRUE(ToneGen.UltrasoundOnly());
  EXPECT_FALSE(Session.Running());
}

#include "sweep/Sweep.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

#include "platform/core/Exceptions.h"

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

// A record of numbers (empty when absent) and a track-bar-like band.
class TFakeHost : public ISweepHost {
 public:
  std::map<std::string, std::optional<double>> Record;
  int Min = 15000, Max = 50000, Pos = 15000, Step = 1, Interval = 1000;
  bool Auto = true, Card = true, ADSR = true, Ster = true;

  double FieldAsFloat(const std::string& Name) override {
    auto Value = Record.at(Name);
    if (!Value) throw EConvertError("'' is not a valid floating point value");
    return *Value;
  }
  int64_t FieldAsInteger(const std::string& Name) override {
    auto Value = Record.at(Name);
    if (!Value) throw EConvertError("'' is not a valid integer value");
    return RoundHalfEvenSaturated(*Value);
  }
  std::string FieldAsString(const std::string&) override { return "Mosquito"; }
  int BandMin() override { return Min; }
  int BandMax() override { return Max; }
  int Position() override { return Pos; }
  void SetBand(int AMin, int AMax) override {
    Min = AMin;
    Max = AMax;
    SetPosition(Pos);
  }
  void SetPosition(int Value) override { Pos = std::clamp(Value, Min, Max); }
  void SetStep(int Value) override { Step = Value; }
  void SetInterval(int Value) override { Interval = Value; }
  bool AutoChange() override { return Auto; }
  bool SoundCard() override { return Card; }
  bool PlayADSR() override { return ADSR; }
  bool Stereo() override { return Ster; }
  int LeftVolume() override { return 60; }
  int RightVolume() override { return 80; }
  int Amplitude() override { return 30; }
};

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

class SweepEngine : public testing::Test {
 protected:
  void SetUp() override {
    Host.Record = {{"F_START", 5250}, {"F_END", 17500}, {"VAL_CH", 500},
                   {"TIME_CH", 200},  {"DURLATE", 150}, {"WAV_FRM", 1}};
  }
  TFakeHost Host;
  TFakeOutput Output;
  TSweepEngine Engine{Host, Output};
};

}  // namespace

TEST_F(SweepEngine, SelectionAppliesTheWholeProfile) {
  Engine.Select();
  EXPECT_EQ(Host.Min, 15022);
  EXPECT_EQ(Host.Max, 50074);
  EXPECT_EQ(Host.Pos, 15022);
  EXPECT_EQ(Host.Step, 500);
  EXPECT_EQ(Host.Interval, 200);
  EXPECT_EQ(Output.Waveform, tgSquare);
  EXPECT_EQ(Output.Duration, 150);
  EXPECT_EQ(Output.Calls, (std::vector<std::string>{"stereo", "L60", "R80", "A30"}));
}

TEST_F(SweepEngine, WorkedExampleCyclesEvery71Ticks) {
  Engine.Select();
  std::vector<int> Played;
  for (int I = 0; I < 142; ++I) Played.push_back(Engine.Tick());
  EXPECT_EQ(Played[0], 15522);
  EXPECT_EQ(Played[69], 50022);
  EXPECT_EQ(Played[70], 15022);  // 50522 held at Max, which wraps
  EXPECT_EQ(Played[71], 15522);
  EXPECT_EQ(Played[140], 50022);
  EXPECT_EQ(Played[141], 15022);
  EXPECT_EQ(Output.Calls.back(), "adsr 15022");
}

TEST_F(SweepEngine, SpeakerRefusesAbove20000AndTheNextTickGoesOn) {
  Engine.Select();
  Host.Card = false;
  for (int I = 0; I < 9; ++I) Engine.Tick();
  EXPECT_EQ(Output.Calls.back(), "spk 19522 150");
  EXPECT_THROW(Engine.Tick(), ERangeError);
  EXPECT_EQ(Host.Pos, 20022);  // the position moved before the refusal
  Host.Record["DURLATE"] = 40;
  Host.Pos = 15000 - 500 + 22;
  Engine.Tick();
  EXPECT_EQ(Output.Calls.back(), "spk 15022 40");  // tone length read at every speaker tick
}

TEST_F(SweepEngine, TickWithoutAutoChangeReplaysThePositionAndWrapsAtMax) {
  Engine.Select();
  Host.Auto = false;
  Host.ADSR = false;
  EXPECT_EQ(Engine.Tick(), 15022);
  Host.Pos = Host.Max;
  EXPECT_EQ(Engine.Tick(), 15022);
  EXPECT_EQ(Output.Calls.back(), "card 15022");
}

TEST_F(SweepEngine, FractionalAndNegativeSteps) {
  Engine.Select();
  Host.Record["VAL_CH"] = 0.5;
  EXPECT_EQ(Engine.Tick(), 15022);  // 15022.5 goes to even
  Host.Record["VAL_CH"] = 1.5;
  EXPECT_EQ(Engine.Tick(), 15024);  // 15023.5 goes to even
  Host.Record["VAL_CH"] = -1e12;
  EXPECT_EQ(Engine.Tick(), 15022);  // held at Min, never wraps downwards
  Host.Record["VAL_CH"] = 1e12;
  EXPECT_EQ(Engine.Tick(), 15022);  // held at Max, then wrapped
}

TEST_F(SweepEngine, EmptyFieldsStopWhereTheyAreRead) {
  Host.Record["DURLATE"] = std::nullopt;
  EXPECT_THROW(Engine.Select(), EConvertError);
  EXPECT_EQ(Host.Interval, 200);  // steps before the failing one stay applied
  EXPECT_EQ(Output.Waveform, tgSquare);
  Host.Record["VAL_CH"] = std::nullopt;
  EXPECT_THROW(Engine.Tick(), EConvertError);
  Host.Auto = false;
  EXPECT_NO_THROW(Engine.Tick());
}

TEST_F(SweepEngine, InvertedBandIsRefusedAndThePreviousBandStays) {
  Engine.Select();
  Engine.Tick();
  Host.Record["F_START"] = 20000;  // 57227 Hz
  Host.Record["TIME_CH"] = 999;
  try {
    Engine.Select();
    FAIL() << "an inverted band was accepted";
  } catch (const Exception& E) {
    EXPECT_NE(E.Message().find("Mosquito"), std::string::npos) << E.Message();
  }
  EXPECT_EQ(Host.Min, 15022);
  EXPECT_EQ(Host.Max, 50074);
  EXPECT_EQ(Host.Pos, 15522);
  EXPECT_EQ(Host.Interval, 200);
}

TEST_F(SweepEngine, SelectingAHigherBandReplacesBothLimits) {
  Host.Record["F_START"] = 5242.275;
  Host.Record["F_END"] = 6989.7;
  Engine.Select();
  Host.Record["F_START"] = 8737.1;  // 25000 Hz
  Host.Record["F_END"] = 10484.6;   // 30000 Hz
  Engine.Select();
  EXPECT_EQ(Host.Min, 25000);
  EXPECT_EQ(Host.Max, 30000);
  EXPECT_EQ(Host.Pos, 25000);
}

TEST_F(SweepEngine, SilenceFollowsTheOutputChosenAtThatMoment) {
  Engine.Silence();
  Host.Card = false;
  Engine.Silence();
  EXPECT_EQ(Output.Calls, (std::vector<std::string>{"card stop", "spk stop"}));
}

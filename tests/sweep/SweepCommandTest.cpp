#include "sweep/SweepCommand.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <thread>

#include "platform/audio/RecordingSoundService.h"
#include "sweep/PestFields.h"
#include "sweep/Sweep.h"
#include "table/DbaseTable.h"
#include "table/TableCommand.h"
#include "tests/sweep/SweepFolder.h"

namespace fs = std::filesystem;

namespace {

struct TRow {
  int Idx;
  const char* Name;
  int TimeCh;
  double ValCh;
  int Durlate;
  double FStart, FEnd;
  int WavFrm;
};

// The worked example's profile, a band wholly above the speaker's limit with a 1 ms interval,
// a band across it, a profile whose timer never fires and one without a step (NaN: left empty).
// Written out of key order on purpose; between them they have every waveform.
const TRow Rows[] = {
    {3, "High", 1, 100, 5, 7000, 8000, 3},      {1, "Example", 200, 500, 150, 5250, 17500, 1},
    {2, "Quick", 20, 50, 10, 5250, 6000, 2},    {4, "Stopped", 0, 10, 10, 5250, 6000, 0},
    {5, "No step", 20, NAN, 10, 5250, 6000, 0}, {6, "Edge", 1, 200, 1, 6800, 7100, 4},
};

// The current directory holds data/para.dbf (no idx.ndx: the command builds it) with Rows.
class SweepCommandTest : public testing::Test {
 protected:
  void SetUp() override { WriteTable(); }

  void WriteTable() {
    TDbaseTable Table(nullptr);
    Table.SetFilePath(Folder.Data().string() + "/");
    Table.SetTableName("para.dbf");
    Table.SetOpenMode(omAutoCreate);
    Table.SetTableLevel(3);
    AddPestFieldDefs(Table.FieldDefs());
    Table.Open();
    for (const TRow& R : Rows) {
      Table.Append();
      Table.FieldByName("IDX")->SetAsInteger(R.Idx);
      Table.FieldByName("NAME_PEST")->SetAsString(R.Name);
      Table.FieldByName("TIME_CH")->SetAsInteger(R.TimeCh);
      if (!std::isnan(R.ValCh)) Table.FieldByName("VAL_CH")->SetAsFloat(R.ValCh);
      Table.FieldByName("DURLATE")->SetAsInteger(R.Durlate);
      Table.FieldByName("F_START")->SetAsFloat(R.FStart);
      Table.FieldByName("F_END")->SetAsFloat(R.FEnd);
      Table.FieldByName("WAV_FRM")->SetAsInteger(R.WavFrm);
      Table.Post();
    }
    Table.Close();
  }

  std::vector<std::string> Lines() {
    std::vector<std::string> Result;
    std::istringstream In(FOut.str());
    for (std::string Line; std::getline(In, Line);) Result.push_back(Line);
    return Result;
  }

  TSweepFolder Folder{"tessolon-sweep-", false};
  std::ostringstream &FOut = Folder.Out, &FErr = Folder.Err;
};

uint32_t Word(const std::string& Bytes, std::size_t At, int Size) {
  uint32_t Value = 0;
  for (int I = Size - 1; I >= 0; --I) Value = Value << 8 | uint8_t(Bytes[At + I]);
  return Value;
}

}  // namespace

// The profiles in key order through the rebuilt index, each with the level of what its sweep
// carries into hearing at the tones' own rate. Below the tones' 96000 Hz an output at R gets them
// through the program's conversion, which carries nothing from its passband edge up (21872 Hz at
// 48000, 18228 Hz at 40001); from 96000 up half the rate limits.
TEST_F(SweepCommandTest, ProfilesListInKeyOrderAndMarkThePartOfEachBandTheOutputCannotCarry) {
  ASSERT_EQ(ProfilesCommand({}), 0) << FErr.str();
  auto Out = Lines();
  ASSERT_EQ(Out.size(), 6u);
  EXPECT_EQ(Out[0],
            "1  Example  15022-50074 Hz  step 500 Hz  every 200 ms  tone 150 ms  square  -14 dBFS "
            "audible");
  EXPECT_EQ(Out[1].substr(0, 8), "2  Quick");
  EXPECT_EQ(Out[2].substr(0, 7), "3  High");
  EXPECT_EQ(Out[3].substr(0, 10), "4  Stopped");
  EXPECT_EQ(Out[4].substr(0, 49), "5  No step  15022-17168 Hz  step (empty) Hz  ever");
  EXPECT_TRUE(fs::exists("data/idx.ndx"));

  FOut.str("");
  ASSERT_EQ(ProfilesCommand({"--rate", "48000"}), 0) << FErr.str();
  Out = Lines();
  ASSERT_EQ(Out.size(), 6u);
  EXPECT_EQ(Out[0],
            "1  Example  15022-50074 Hz  step 500 Hz  every 200 ms  tone 150 ms  square  -16 dBFS "
            "audible  (21872-50074 Hz cannot be played at 48000 Hz)");
  EXPECT_TRUE(Out[2].ends_with("  (21872-22891 Hz cannot be played at 48000 Hz)")) << Out[2];
  for (const std::size_t Row : {1, 3, 4, 5})
    EXPECT_EQ(Out[Row].find("played"), std::string::npos) << Out[Row];

  // All of "Edge", 19457-20316 Hz, and of "High", 20029-22891 Hz, lie above 18228 Hz.
  FOut.str("");
  ASSERT_EQ(ProfilesCommand({"--rate=40001"}), 0) << FErr.str();
  Out = Lines();
  ASSERT_EQ(Out.size(), 6u);
  EXPECT_TRUE(Out[2].ends_with("  (the whole band cannot be played at 40001 Hz)")) << Out[2];
  EXPECT_TRUE(Out[5].ends_with("  (the whole band cannot be played at 40001 Hz)")) << Out[5];
  EXPECT_EQ(Out[1].find("played"), std::string::npos) << Out[1];

  FOut.str("");
  ASSERT_EQ(ProfilesCommand({"--rate", "96000"}), 0) << FErr.str();
  EXPECT_TRUE(Lines()[0].ends_with("  (48000-50074 Hz cannot be played at 96000 Hz)"));

  for (const std::vector<std::string>& Bad : {std::vector<std::string>{"--rate", "0"},
                                              {"--rate", "fast"},
                                              {"--rate"},
                                              {"--speed", "1"},
                                              {"extra"}})
    EXPECT_EQ(ProfilesCommand(Bad), 2) << testing::PrintToString(Bad);
}

TEST_F(SweepCommandTest, BandLimitedSweepLeavesOutTonesAtHalfTheRateAndSaysSoOnce) {
  ASSERT_EQ(SweepCommand({"--idx", "1", "--ticks", "70", "--export", "bl.wav", "--band-limited"}),
            0)
      << FErr.str();
  // The 66th tick, 48022 Hz, is the first at or above 48000 Hz.
  EXPECT_EQ(FErr.str(),
            "tessolon sweep: warning: tick 66: 48022 Hz is at or above half the image's rate of "
            "96000 samples per second and is left out (later ticks alike)\n");
  std::ifstream File("bl.wav", std::ios::binary);
  const std::string Wav{std::istreambuf_iterator<char>(File), {}};
  const uint32_t Rate = Word(Wav, 24, 4), BlockAlign = Word(Wav, 32, 2);
  ASSERT_EQ(Wav.size(), 44 + 70ull * Rate * 200 / 1000 * BlockAlign);
  // Each tick fills 200 ms. Left out, the square leaves only the added 30 % sine (the dialog's
  // amplitude): its peak is 30 % of full scale, where tick 65 still carries the square.
  auto Peak = [&](int Tick) {
    const std::size_t Frames = Rate / 5, From = 44 + (Tick - 1) * Frames * BlockAlign;
    int Result = 0;
    for (std::size_t At = From; At < From + Frames * BlockAlign; At += 2)
      Result = std::max(Result, std::abs(int(int16_t(Word(Wav, At, 2)))));
    return Result;
  };
  EXPECT_LE(Peak(66), 32767 * 30 / 100 + 1);
  EXPECT_GT(Peak(66), 32767 * 30 / 100 * 9 / 10);
  EXPECT_GT(Peak(65), 32767 * 9 / 10);
  EXPECT_EQ(SweepCommand({"--idx", "1", "--speaker", "--band-limited", "--ticks", "1"}), 2);
}

TEST_F(SweepCommandTest, WorkedExampleCyclesIn71TicksAndExportsEveryTickAtOnce) {
  const auto Start = std::chrono::steady_clock::now();
  ASSERT_EQ(SweepCommand({"--idx", "1", "--ticks", "142", "--export", "out.wav"}), 0) << FErr.str();
  // 142 ticks of 200 ms are 28.4 s of sound, written without waiting for them: a sweep that
  // waited could not end sooner, however fast the machine.
  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::milliseconds(142 * 200));
  const auto Out = Lines();
  ASSERT_EQ(Out.size(), 142u);
  for (int Tick = 1; Tick <= 142; ++Tick) {
    const int InCycle = (Tick - 1) % 71 + 1;
    const int Expected = InCycle == 71 ? 15022 : 15022 + 500 * InCycle;
    EXPECT_EQ(Out[Tick - 1], std::to_string(Tick) + " " + std::to_string(Expected));
  }
  EXPECT_EQ(Out[69], "70 50022");
  EXPECT_EQ(Out[70], "71 15022");

  std::ifstream File("out.wav", std::ios::binary);
  const std::string Wav{std::istreambuf_iterator<char>(File), {}};
  ASSERT_GE(Wav.size(), 44u);
  EXPECT_EQ(Wav.substr(0, 4), "RIFF");
  const uint32_t Rate = Word(Wav, 24, 4), BlockAlign = Word(Wav, 32, 2);
  EXPECT_EQ(Wav.size(), 44 + 142ull * Rate * 200 / 1000 * BlockAlign);
  EXPECT_EQ(Word(Wav, 40, 4), Wav.size() - 44);

  // --seconds exports the whole ticks that fall within it.
  FOut.str("");
  ASSERT_EQ(SweepCommand({"--idx", "1", "--seconds", "0.9", "--export", "short.wav"}), 0);
  EXPECT_EQ(Lines().size(), 4u);
  EXPECT_EQ(fs::file_size("short.wav"), 44 + 4ull * Rate * 200 / 1000 * BlockAlign);
}

TEST_F(SweepCommandTest, SpeakerPlaysUpToItsLimitAndRefusalsArePrintedPerTick) {
  TRecordingSoundService Service;
  TScopedSoundService Scope(Service);
  // Band 19457 .. 20316 in steps of 200, 1 ms tones every millisecond.
  ASSERT_EQ(SweepCommand({"--idx", "6", "--speaker", "--ticks", "6"}), 0) << FErr.str();
  EXPECT_EQ(Lines(),
            (std::vector<std::string>{"1 19657", "2 19857", "3 20057 Bleeper: Freq > 20000",
                                      "4 20257 Bleeper: Freq > 20000", "5 19457", "6 19657"}));
  // Band 20029 .. 22891: every tone, the wrap to the lower limit included, is above 20000.
  FOut.str("");
  ASSERT_EQ(SweepCommand({"--pest", "high", "--speaker", "--ticks", "3"}), 0) << FErr.str();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"1 20129 Bleeper: Freq > 20000",
                                               "2 20229 Bleeper: Freq > 20000",
                                               "3 20329 Bleeper: Freq > 20000"}));
}

TEST_F(SweepCommandTest, ExitStatusesSeparateRefusalsFromBadArguments) {
  EXPECT_EQ(SweepCommand({"--help"}), 0);
  EXPECT_NE(FOut.str().find("Usage: tessolon sweep"), std::string::npos);
  EXPECT_EQ(SweepCommand({"--pest", "Nobody", "--ticks", "1"}), 1);
  EXPECT_NE(FErr.str().find("no pest profile named 'Nobody'"), std::string::npos);
  EXPECT_EQ(SweepCommand({"--idx", "99", "--ticks", "1"}), 1);
  // An empty field refuses the selection with the conversion error, before anything is written.
  FErr.str("");
  const std::size_t Printed = FOut.str().size();
  EXPECT_EQ(SweepCommand({"--pest", "No step", "--ticks", "2", "--export", "none.wav"}), 1);
  EXPECT_EQ(FErr.str(), "'' is not a valid integer value for field 'VAL_CH'\n");
  EXPECT_EQ(FOut.str().size(), Printed);
  EXPECT_FALSE(fs::exists("none.wav"));
  // A timer with interval 0 never fires: nothing could ever play.
  EXPECT_EQ(SweepCommand({"--idx", "4", "--ticks", "1"}), 1);
  for (const std::vector<std::string>& Bad :
       {std::vector<std::string>{},
        {"--pest", "High", "--idx", "3"},
        {"--idx", "x"},
        {"--idx", "1", "--ticks", "-1"},
        {"--idx", "1", "--ticks", "1", "--seconds", "1"},
        {"--idx", "1", "--export", "a.wav"},
        {"--idx", "1", "--speaker", "--export", "a.wav", "--ticks", "1"},
        {"--idx", "1", "--loud"},
        {"--idx", "1", "--until-close"},
        {"--idx", "1", "--between", "22:00"},
        {"--idx", "1", "--between", "25:00-06:00"},
        {"--idx", "1", "--between", "06:00-06:00"},
        {"--idx", "1", "--between", "22:00-06:00", "--ticks", "1", "--export", "a.wav"}})
    EXPECT_EQ(SweepCommand(Bad), 2) << testing::PrintToString(Bad);
  EXPECT_FALSE(fs::exists("a.wav"));
  fs::remove_all("data");
  EXPECT_EQ(SweepCommand({"--idx", "1", "--ticks", "1"}), 1);
  EXPECT_EQ(ProfilesCommand({}), 1);
}

// Passes the command's output on and counts its lines as they come, for another thread to read.
class TLineWatch : public std::streambuf {
 public:
  explicit TLineWatch(std::streambuf* Target) : FTarget(Target) {}
  std::atomic<int> Lines{0};

 protected:
  int overflow(int Char) override {
    if (Char == '\n') ++Lines;
    return Char == traits_type::eof() ? Char : FTarget->sputc(char(Char));
  }

 private:
  std::streambuf* FTarget;
};

TEST_F(SweepCommandTest, InterruptStopsAPlayedSweepAndSilencesTheTone) {
  TRecordingSoundService Service;
  TScopedSoundService Scope(Service);
  TLineWatch Watch(FOut.rdbuf());
  std::cout.rdbuf(&Watch);
  // Once three ticks have played (so the command has its handler in place), Ctrl+C.
  std::atomic<bool> Returned{false};
  int LinesAtInterrupt = -1;
  std::thread Interrupter([&] {
    while (Watch.Lines < 3 && !Returned) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (Returned) return;
    kill(getpid(), SIGINT);
    LinesAtInterrupt = Watch.Lines;
  });
  // --seconds only ends the command should the interrupt be lost; the count below tells.
  const int Status = SweepCommand({"--pest", "Quick", "--seconds", "60"});
  Returned = true;
  Interrupter.join();
  std::cout.rdbuf(FOut.rdbuf());
  EXPECT_EQ(Status, 0);
  // Once the signal is sent, the command finishes at most the tick under way: the next one would
  // first nap, and the nap ends in the handler.
  ASSERT_GE(LinesAtInterrupt, 3);
  const auto Out = Lines();
  EXPECT_LE(int(Out.size()), LinesAtInterrupt + 1);
  EXPECT_EQ(Out[0], "1 15072");
  EXPECT_EQ(Service.Count(scPlay), int(Out.size()));
  // The last tone is stopped (the tone generator then gives the saved volume back).
  const std::string Trace = Service.Trace();
  EXPECT_NE(Trace.find('S', Trace.rfind('P')), std::string::npos) << Trace;
}

// The shipped table has the one layout in the code, a sound index and profiles inside the audible
// to ultrasonic range.
TEST(ShippedPestTable, LayoutIndexAndProfilesAreSound) {
  const std::string Data = std::string(TESSOLON_SOURCE_DIR) + "/data/";
  std::ostringstream Out;
  auto* Old = std::cout.rdbuf(Out.rdbuf());
  const int Verify = TableCommand({Data + "para.dbf", "index", Data + "idx.ndx", "verify"});
  std::cout.rdbuf(Old);
  EXPECT_EQ(Verify, 0) << Out.str();

  TDbaseTable Table(nullptr);
  Table.SetFilePath(Data);
  Table.SetTableName("para.dbf");
  Table.SetReadOnly(true);
  Table.Open();
  const TDbaseFieldDefs& Stored = Table.TableFile()->FieldDefs();
  const std::vector<TDbaseFieldDef> Expected = PestFileFields();
  ASSERT_EQ(Stored.Count(), int(Expected.size()));
  for (int I = 0; I < Stored.Count(); ++I) {
    EXPECT_EQ(Stored[I].FieldName, Expected[I].FieldName);
    EXPECT_EQ(Stored[I].NativeFieldType, Expected[I].NativeFieldType) << Stored[I].FieldName;
    EXPECT_EQ(Stored[I].Size, Expected[I].Size) << Stored[I].FieldName;
    EXPECT_EQ(Stored[I].Precision, Expected[I].Precision) << Stored[I].FieldName;
  }
  std::set<int64_t> Keys;
  for (Table.First(); !Table.Eof(); Table.Next()) {
    const std::string Name = Table.FieldByName("NAME_PEST")->AsString();
    EXPECT_TRUE(Keys.insert(Table.FieldByName("IDX")->AsLargeInt()).second) << Name;
    const int64_t Low = BeatToFreq(float(Table.FieldByName("F_START")->AsFloat()));
    const int64_t High = BeatToFreq(float(Table.FieldByName("F_END")->AsFloat()));
    // Below half the highest sample rate, 96000, no tone folds back down.
    EXPECT_TRUE(20 <= Low && Low < High && High < 48000) << Name;
    const double Step = Table.FieldByName("VAL_CH")->AsFloat();
    EXPECT_TRUE(Step > 0 && Step < double(High - Low) / 10) << Name;
    const int64_t Interval = Table.FieldByName("TIME_CH")->AsLargeInt();
    const int64_t Tone = Table.FieldByName("DURLATE")->AsLargeInt();
    EXPECT_TRUE(Interval > 0 && 10 <= Tone && Tone <= Interval) << Name;
    EXPECT_TRUE(0 <= Table.FieldByName("WAV_FRM")->AsLargeInt() &&
                Table.FieldByName("WAV_FRM")->AsLargeInt() <= 4)
        << Name;
  }
  EXPECT_GE(Keys.size(), 8u);
}

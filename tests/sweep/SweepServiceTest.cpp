// The sweep left to run on its own: its window of local time and its service log, under a clock
// the test sets and whose naps pass at once, so hours of sweeping take a moment.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <sstream>

#include "platform/audio/RecordingSoundService.h"
#include "platform/core/Translation.h"
#include "sweep/SweepCommand.h"
#include "table/TableCommand.h"
#include "tests/support/ScopedEnv.h"
#include "tests/sweep/SweepFolder.h"

using namespace std::chrono;

namespace {

// Berlin summer time; "22:00" is 20:00 UTC.
system_clock::time_point Berlin(int Day, int Hour, int Minute) {
  return sys_days{year{2026} / June / Day} + hours{Hour - 2} + minutes{Minute};
}

// Time of day and steady time from one count that only naps move; Events run once the count
// reaches their time of day, as if something happened to the machine meanwhile.
class TTestClock final : public ISweepClock {
 public:
  explicit TTestClock(system_clock::time_point Start) : FStart(Start) {}
  system_clock::time_point Now() const override { return FStart + FElapsed; }
  steady_clock::time_point Steady() const override { return steady_clock::time_point{} + FElapsed; }
  void Nap(steady_clock::duration Time) override {
    FElapsed += Time;
    while (!Events.empty() && Events.begin()->first <= Now()) {
      Events.begin()->second();
      Events.erase(Events.begin());
    }
  }
  std::multimap<system_clock::time_point, std::function<void()>> Events;

 private:
  system_clock::time_point FStart;
  steady_clock::duration FElapsed{};
};

// The shipped table and one profile more, a tone a minute in 19457-20316 Hz (above what an output
// at 40001 Hz carries), in the current directory; cout and cerr captured; local time is Berlin's.
class SweepService : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(
        TableCommand({"data/para.dbf", "append", "IDX=900", "NAME_PEST=Minute", "TIME_CH=60000",
                      "VAL_CH=200", "DURLATE=10", "F_START=6800", "F_END=7100", "WAV_FRM=0"}),
        0);
    FZone.emplace("TZ", "Europe/Berlin");
    tzset();
    unsetenv("JOURNAL_STREAM");
  }
  void TearDown() override {
    unsetenv("JOURNAL_STREAM");
    FZone.reset();
    tzset();
  }
  // What systemd sets for a service whose standard output is the journal: the stream's device
  // and inode, here those of this process's standard output.
  static void OutputToJournal() {
    struct stat Out {};
    ASSERT_EQ(fstat(STDOUT_FILENO, &Out), 0);
    setenv("JOURNAL_STREAM",
           (std::to_string(Out.st_dev) + ":" + std::to_string(Out.st_ino)).c_str(), 1);
  }

  TSweepFolder FFolder{"tessolon-sweep-service-"};
  std::ostringstream &FOut = FFolder.Out, &FErr = FFolder.Err;
  std::optional<TScopedEnv> FZone;
  TRecordingSoundService Service;
  TScopedSoundService Scope{Service};
};

}  // namespace

// Started by the timer at 22:00 for the window 22:00-00:30: the output goes away for five
// minutes and later runs too slowly for the band for ten; the sweep ends as the window closes.
TEST_F(SweepService, UnderSystemdTheSweepWritesAServiceLogAndEndsWithItsWindow) {
  OutputToJournal();
  Service.Rate = 48000;
  TTestClock Clock(Berlin(10, 22, 0));
  Clock.Events.emplace(Berlin(10, 22, 40), [&] { Service.Gone = true; });
  Clock.Events.emplace(Berlin(10, 22, 45), [&] { Service.Gone = false; });
  Clock.Events.emplace(Berlin(10, 23, 10), [&] { Service.Rate = 40001; });
  Clock.Events.emplace(Berlin(10, 23, 20), [&] { Service.Rate = 48000; });
  ASSERT_EQ(SweepCommand({"--pest", "minute", "--between", "22:00-00:30", "--until-close"}, Clock),
            0)
      << FErr.str();
  EXPECT_EQ(FErr.str(), "");
  EXPECT_EQ(FOut.str(),
            "<6>sweeping Minute (key 900): 19457-20316 Hz in steps of 200 Hz, a tone every 60000 "
            "ms, on SDL's recording driver at 48000 Hz (tones made at 96000 Hz), between "
            "22:00-00:30\n"
            "<5>these tones carry audible sound at -14 dBFS (loudest tick -12 dBFS at 19657 Hz), "
            "mostly the main tone (19.5-20.1 kHz) and the partial at 0.3 × the frequency "
            "(5.84-6.08 kHz)\n"
            "<5>the window 22:00-00:30 is open: playing until 00:30\n"
            "<4>the output is gone; the sweep goes on and plays again as soon as there is one\n"
            "<5>playing on the new output: SDL's recording driver at 48000 Hz\n"
            "<6>last hour: 54 ticks played, 5 silent, 0 errors\n"
            "<4>tick 70: 19457 Hz cannot be carried: the output (SDL's recording driver at 40001 "
            "Hz) carries nothing at or above 18.2 kHz; every tick the output cannot carry stays "
            "silent\n"
            "<5>tick 70, 19457 Hz: the tones now carry no audible sound: nothing between 20 Hz "
            "and 20 kHz\n"
            "<5>tick 80, 19457 Hz: the tones now carry audible sound at -12 dBFS, mostly the main "
            "tone (19.5 kHz) and the partial at 0.3 × the frequency (5.84 kHz)\n"
            "<6>last hour: 50 ticks played, 10 silent, 0 errors\n"
            "<6>stopped: the window 22:00-00:30 closed; in 2 h 30 min: 134 ticks played, 15 "
            "silent, 0 errors\n");
  // A tone a minute from 22:01 to 00:29 reaches the sound service, but for the ten the output
  // could not carry (with no output at all, the service takes them into nothing).
  EXPECT_EQ(Service.Count(scPlay), 149 - 10);
}

// The service log is in the user's language too, its counts and spans included.
TEST_F(SweepService, TheServiceLogIsInTheUsersLanguage) {
  const TScopedEnv Locale{"LC_ALL", "th_TH.UTF-8"}, Language{"LANGUAGE", nullptr};
  StartTranslations(std::filesystem::path(TESSOLON_BINARY_DIR) / "locale");
  OutputToJournal();
  Service.Rate = 48000;
  TTestClock Clock(Berlin(10, 22, 0));
  const int Status =
      SweepCommand({"--pest", "minute", "--between", "22:00-00:30", "--until-close"}, Clock);
  std::setlocale(LC_ALL, "C");
  ASSERT_EQ(Status, 0) << FErr.str();
  const std::string Log = FOut.str();
  for (const char* Line :
       {"<6>กำลังกวาดความถี่ Minute (คีย์ 900): 19457-20316 Hz ขั้นละ 200 Hz เสียงละ 60000 ms ทาง ",
        "<6>ชั่วโมงที่ผ่านมา: เล่น 59 จังหวะ เงียบ 0 จังหวะ ผิดพลาด 0 ครั้ง\n",
        "<6>หยุดแล้ว: ช่วงเวลา 22:00-00:30 ปิดแล้ว; ใน 2 ชั่วโมง 30 นาที: เล่น 149 จังหวะ เงียบ 0 "
        "จังหวะ ผิดพลาด 0 ครั้ง\n"})
    EXPECT_NE(Log.find(Line), std::string::npos) << Line << "\n" << Log;
}

// On a terminal the window is told on the error stream and the ticks as ever; a sweep that is
// not to end with its window waits for the next opening.
TEST_F(SweepService, OutsideItsWindowTheSweepIsSilentAndPlaysAgainWhenItOpens) {
  setenv("JOURNAL_STREAM", "1:1", 1);  // inherited from a service, but not this output's
  TTestClock Clock(Berlin(10, 21, 59));
  ASSERT_EQ(SweepCommand({"--idx", "900", "--between", "22:00-22:03", "--seconds", "86580"}, Clock),
            0)
      << FErr.str();
  EXPECT_EQ(FErr.str(),
            "tessolon sweep: these tones carry audible sound at -14 dBFS (loudest tick -12 dBFS at "
            "19657 Hz), mostly the main tone (19.5-20.1 kHz) and the partial at 0.3 × the "
            "frequency (5.84-6.08 kHz)\n"
            "tessolon sweep: the window 22:00-22:03 is closed: silent until 22:00\n"
            "tessolon sweep: the window 22:00-22:03 is open: playing until 22:03\n"
            "tessolon sweep: the window 22:00-22:03 is closed: silent until 22:00\n"
            "tessolon sweep: the window 22:00-22:03 is open: playing until 22:03\n");
  // 22:00, 22:01 and 22:02, then 22:00 and 22:01 the next day, when the run's time is up.
  EXPECT_EQ(FOut.str(), "1 19657\n2 19857\n3 20057\n4 20257\n5 19457\n");
  EXPECT_EQ(Service.Count(scPlay), 5);
  // Each closing stops the tone under way, as does the end.
  const std::string Trace = Service.Trace();
  for (std::size_t Play = Trace.find('P'); Play != std::string::npos;
       Play = Trace.find('P', Play + 1))
    EXPECT_NE(Trace.find('S', Play), std::string::npos) << Trace;
}

TEST_F(SweepService, AWindowIsCheckedBeforeAnythingPlays) {
  OutputToJournal();
  TTestClock Clock(Berlin(10, 21, 59));
  EXPECT_EQ(SweepCommand({"--idx", "900", "--between", "22:00-06:00", "--until-close"}, Clock), 0);
  EXPECT_NE(FOut.str().find("\n<6>stopped: started outside the window 22:00-06:00, which opens at "
                            "22:00; in 0 s: 0 ticks played, 0 silent, 0 errors\n"),
            std::string::npos)
      << FOut.str();
  EXPECT_EQ(Service.Count(scPlay), 0);
}

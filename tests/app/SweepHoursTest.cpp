// The hours to sweep on the "Sound output" page, set with real clicks and keys: the ticks keep to
// them under a clock the test sets, the tray's tip names them, and they are kept for the next
// start. That the hours follow the wall clock across midnight and daylight saving is the
// schedule's own test (tests/sweep).
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <ctime>
#include <optional>

#include "platform/qt/StdCtrls.h"
#include "sweep/Schedule.h"
#include "tests/app/WindowFixture.h"
#include "tests/platform/qt/ListDriver.h"
#include "tests/support/ScopedEnv.h"

using namespace std::chrono;

namespace {

class TTestClock : public TClock {
 public:
  system_clock::time_point Time;
  system_clock::time_point Now() const override { return Time; }
};

// June 2026 in UTC, the zone the test runs the windows in.
system_clock::time_point June(int Day, int Hour, int Minute) {
  return sys_days{year{2026} / 6 / Day} + hours{Hour} + minutes{Minute};
}

class SweepHours : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    Zone.emplace("TZ", "UTC");
    tzset();
    Start();
  }
  void TearDown() override {
    Zone.reset();
    tzset();
    WindowFixture::TearDown();
  }

  void Start() {
    StartProgram();
    frmUtil->SetClock(Clock);
    frmUtil->Show();
    Pages().SetActivePageIndex(2);
    App.ProcessMessages();
  }
  void Restart() {
    EndProgram();
    Start();
  }
  void Type(const char* Edit, const char* Text) {
    QLineEdit* Line = Util<TEdit>(Edit).LineEdit();
    Line->setFocus();
    Line->selectAll();
    QTest::keyClicks(Line, Text);
  }
  std::string Tip() { return Main<TTrayIcon>("TrayIcon1").Hint(); }
  std::string Status() { return Main<TControl>("lblPoint").Caption(); }

  TTestClock Clock;
  std::optional<TScopedEnv> Zone;
};

TEST_F(SweepHours, TheTicksKeepToTheHoursAndTheTipSaysWhich) {
  ListDriver::ChooseWithMouse(Selector(), 4);  // House fly: every tone of it can be played
  EXPECT_EQ(Tip(), "Tessolon 3.0");
  ClickBox("chBetween");
  EXPECT_EQ(Tip(), "Tessolon 3.0, sweeps 22:00-06:00");
  Type("edFrom", "21:30");
  EXPECT_EQ(Tip(), "Tessolon 3.0, sweeps 21:30-06:00");

  Main<TControl>("btnGo").Click();
  const std::string Waiting = "Tessolon 3.0, sweeps 21:30-06:00: waiting for 21:30";
  // While it plays, the tip says what the tones carry into hearing.
  const char* const Playing = "Tessolon 3.0, sweeps 21:30-06:00; heard: -10 dBFS audible";
  const struct {
    system_clock::time_point When;
    bool Plays;
    const char *Status, *Tip;
  } Ticks[] = {
      {June(10, 21, 29), false, "SILENT", Waiting.c_str()},
      {June(10, 21, 30), true, "AUDIBLE", Playing},
      {June(11, 0, 0), true, "AUDIBLE", Playing},
      {June(11, 5, 59), true, "AUDIBLE", Playing},
      {June(11, 6, 0), false, "SILENT", Waiting.c_str()},
      {June(11, 12, 0), false, "SILENT", Waiting.c_str()},
  };
  for (const auto& T : Ticks) {
    Clock.Time = T.When;
    const int Position = Band().Position();
    Sound.Clear();
    Tick();
    SCOPED_TRACE(std::to_string(system_clock::to_time_t(T.When)));
    EXPECT_EQ(Sound.Count(scPlay), T.Plays ? 1 : 0);
    EXPECT_EQ(Band().Position() != Position, T.Plays);  // outside the hours the bar waits
    EXPECT_EQ(Status(), T.Status);
    EXPECT_EQ(Tip(), T.Tip);
    // Leaving the hours stops the looping tone at once.
    EXPECT_EQ(Sound.Looping(svTone), T.Plays);
  }
  EXPECT_TRUE(Running());  // waiting is part of running
  Main<TControl>("btnStop").Click();
  EXPECT_EQ(Tip(), "Tessolon 3.0, sweeps 21:30-06:00");
}

TEST_F(SweepHours, TimesThatMakeNoWindowKeepTheLastAndTheHoursAreKept) {
  ClickBox("chBetween");
  const struct {
    const char *Edit, *Text, *Note, *Tip;
  } Steps[] = {
      {"edTo", "25:00", "Not taken (HH:MM)", "Tessolon 3.0, sweeps 22:00-06:00"},
      {"edTo", "22:00", "Not taken (HH:MM)", "Tessolon 3.0, sweeps 22:00-06:00"},
      {"edTo", "7:15", "", "Tessolon 3.0, sweeps 22:00-07:15"},
  };
  for (const auto& S : Steps) {
    SCOPED_TRACE(S.Text);
    Type(S.Edit, S.Text);
    EXPECT_EQ(Util<TLabel>("lblBetween").Caption(), S.Note);
    EXPECT_EQ(Tip(), S.Tip);
  }

  Restart();
  EXPECT_TRUE(Util<TCheckBox>("chBetween").Checked());
  EXPECT_EQ(Util<TEdit>("edFrom").Text(), "22:00");
  EXPECT_EQ(Util<TEdit>("edTo").Text(), "07:15");
  EXPECT_EQ(Tip(), "Tessolon 3.0, sweeps 22:00-07:15");
  ClickBox("chBetween");
  EXPECT_EQ(Tip(), "Tessolon 3.0");

  // Off, the hours stay as they were typed for the next time the box is ticked.
  Restart();
  EXPECT_FALSE(Util<TCheckBox>("chBetween").Checked());
  EXPECT_EQ(Util<TEdit>("edTo").Text(), "07:15");
  EXPECT_EQ(Tip(), "Tessolon 3.0");
}

}  // namespace

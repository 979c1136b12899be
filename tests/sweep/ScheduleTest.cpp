#include "sweep/Schedule.h"
#include "sweep/SweepClock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <thread>

#include "platform/core/Exceptions.h"
#include "tests/support/ScopedEnv.h"

using namespace std::chrono;

namespace {

// "2026-03-29 03:00+02": a wall-clock reading with its offset from UTC, so each instant is
// written as a person in the zone would read it, and stays unambiguous in the hour read twice.
system_clock::time_point At(const char* Text) {
  int Y, Mo, D, H, Mi, Offset;
  if (std::sscanf(Text, "%d-%d-%d %d:%d%d", &Y, &Mo, &D, &H, &Mi, &Offset) != 6) std::abort();
  return sys_days{year{Y} / Mo / D} + hours{H - Offset} + minutes{Mi};
}

// The window's times follow the C library's local zone; Berlin changes to summer time on
// 2026-03-29 (02:00 becomes 03:00) and back on 2026-10-25 (03:00 becomes 02:00).
class Schedule : public testing::Test {
 protected:
  Schedule() { tzset(); }
  ~Schedule() override {
    Zone.reset();
    tzset();
  }
  std::optional<TScopedEnv> Zone{std::in_place, "TZ", "Europe/Berlin"};
};

struct TCase {
  const char* Window;
  const char* When;
  bool Open;
  const char* NextOpen;
  const char* NextClose;
};

const TCase Cases[] = {
    // Across midnight, a summer night: the edges, and the change of day inside the window.
    {"22:00-06:00", "2026-06-10 21:59+02", false, "2026-06-10 22:00+02", "2026-06-11 06:00+02"},
    {"22:00-06:00", "2026-06-10 22:00+02", true, "2026-06-11 22:00+02", "2026-06-11 06:00+02"},
    {"22:00-06:00", "2026-06-10 23:59+02", true, "2026-06-11 22:00+02", "2026-06-11 06:00+02"},
    {"22:00-06:00", "2026-06-11 00:00+02", true, "2026-06-11 22:00+02", "2026-06-11 06:00+02"},
    {"22:00-06:00", "2026-06-11 05:59+02", true, "2026-06-11 22:00+02", "2026-06-11 06:00+02"},
    {"22:00-06:00", "2026-06-11 06:00+02", false, "2026-06-11 22:00+02", "2026-06-12 06:00+02"},
    // A change of month and year inside the window.
    {"22:00-06:00", "2026-12-31 23:30+01", true, "2027-01-01 22:00+01", "2027-01-01 06:00+01"},
    {"22:00-06:00", "2027-01-01 06:00+01", false, "2027-01-01 22:00+01", "2027-01-02 06:00+01"},
    // Within one day; ending at midnight; starting at midnight.
    {"08:00-17:00", "2026-06-10 07:59+02", false, "2026-06-10 08:00+02", "2026-06-10 17:00+02"},
    {"08:00-17:00", "2026-06-10 17:00+02", false, "2026-06-11 08:00+02", "2026-06-11 17:00+02"},
    {"18:00-00:00", "2026-06-10 23:59+02", true, "2026-06-11 18:00+02", "2026-06-11 00:00+02"},
    {"18:00-00:00", "2026-06-11 00:00+02", false, "2026-06-11 18:00+02", "2026-06-12 00:00+02"},
    {"00:00-06:00", "2026-06-09 23:59+02", false, "2026-06-10 00:00+02", "2026-06-10 06:00+02"},
    {"00:00-06:00", "2026-06-10 00:00+02", true, "2026-06-11 00:00+02", "2026-06-10 06:00+02"},
    // Into summer time: the night is an hour shorter and ends at 06:00 on the new clock.
    {"22:00-06:00", "2026-03-28 22:00+01", true, "2026-03-29 22:00+02", "2026-03-29 06:00+02"},
    {"22:00-06:00", "2026-03-29 01:59+01", true, "2026-03-29 22:00+02", "2026-03-29 06:00+02"},
    {"22:00-06:00", "2026-03-29 03:00+02", true, "2026-03-29 22:00+02", "2026-03-29 06:00+02"},
    {"22:00-06:00", "2026-03-29 06:00+02", false, "2026-03-29 22:00+02", "2026-03-30 06:00+02"},
    // A start or an end the clocks skip takes effect as they jump.
    {"02:30-05:00", "2026-03-29 01:59+01", false, "2026-03-29 03:00+02", "2026-03-29 05:00+02"},
    {"02:30-05:00", "2026-03-29 03:00+02", true, "2026-03-30 02:30+02", "2026-03-29 05:00+02"},
    {"01:00-02:30", "2026-03-29 01:59+01", true, "2026-03-30 01:00+02", "2026-03-29 03:00+02"},
    // A window wholly inside the skipped hour does not open that day.
    {"02:10-02:40", "2026-03-29 01:00+01", false, "2026-03-30 02:10+02", "2026-03-30 02:40+02"},
    // Back to standard time: the night is an hour longer, still ending at 06:00.
    {"22:00-06:00", "2026-10-25 02:30+02", true, "2026-10-25 22:00+01", "2026-10-25 06:00+01"},
    {"22:00-06:00", "2026-10-25 02:30+01", true, "2026-10-25 22:00+01", "2026-10-25 06:00+01"},
    {"22:00-06:00", "2026-10-25 05:59+01", true, "2026-10-25 22:00+01", "2026-10-25 06:00+01"},
    // The times read twice count at their first reading: closed at 02:30, the window stays
    // closed when 02:30 comes round again; opened at 02:30, it stays open through the repeat.
    {"22:00-02:30", "2026-10-25 02:29+02", true, "2026-10-25 22:00+01", "2026-10-25 02:30+02"},
    {"22:00-02:30", "2026-10-25 02:30+02", false, "2026-10-25 22:00+01", "2026-10-26 02:30+01"},
    {"22:00-02:30", "2026-10-25 02:15+01", false, "2026-10-25 22:00+01", "2026-10-26 02:30+01"},
    {"02:30-04:00", "2026-10-25 02:15+01", true, "2026-10-26 02:30+01", "2026-10-25 04:00+01"},
    {"02:10-02:40", "2026-10-25 02:20+01", false, "2026-10-26 02:10+01", "2026-10-26 02:40+01"},
};

}  // namespace

TEST_F(Schedule, OpensAndClosesByTheLocalClock) {
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::string(C.Window) + " at " + C.When);
    const TSchedule S = TSchedule::Parse(C.Window);
    EXPECT_EQ(S.Contains(At(C.When)), C.Open);
    EXPECT_EQ(S.NextOpen(At(C.When)), At(C.NextOpen));
    EXPECT_EQ(S.NextClose(At(C.When)), At(C.NextClose));
    // A second before a change and a second after it agree with the change.
    EXPECT_FALSE(S.Contains(At(C.NextOpen) - seconds{1}));
    EXPECT_TRUE(S.Contains(At(C.NextOpen)));
    EXPECT_TRUE(S.Contains(At(C.NextClose) - seconds{1}));
    EXPECT_FALSE(S.Contains(At(C.NextClose)));
  }
}

TEST_F(Schedule, ReadsWindowsAndRefusesWhatIsNotOne) {
  const TSchedule Night = TSchedule::Parse("22:00-06:00");
  EXPECT_EQ(Night.StartMinute(), 22 * 60);
  EXPECT_EQ(Night.EndMinute(), 6 * 60);
  EXPECT_EQ(TSchedule::Parse("9:05-17:30").Text(), "09:05-17:30");
  EXPECT_EQ(TSchedule::Parse(Night.Text()).Text(), "22:00-06:00");

  for (const char* Bad :
       {"", "22:00", "22:00-", "22:00-06:00x", " 22:00-06:00", "22.00-06.00", "24:00-06:00",
        "22:60-06:00", "22:0-06:00", "123:00-06:00", "-1:00-06:00", "22:00-22:00"}) {
    SCOPED_TRACE(Bad);
    try {
      TSchedule::Parse(Bad);
      ADD_FAILURE() << "accepted";
    } catch (const Exception& E) {
      EXPECT_NE(E.Message().find(std::string(Bad).empty() ? "HH:MM" : Bad), std::string::npos)
          << E.Message();
    }
  }
  EXPECT_THROW(TSchedule(0, 24 * 60), Exception);
  EXPECT_THROW(TSchedule(-1, 60), Exception);
}

// A played sweep naps between ticks; Ctrl+C may reach any of the process's threads, and the nap
// must end whichever it reached, not when its time is up.
TEST(MachineClock, ANapEndsWhenAnotherThreadEndsIt) {
  TMachineClock Clock;
  for (int Round = 0; Round < 2; ++Round) {
    const auto Start = std::chrono::steady_clock::now();
    std::thread Ender([] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      EndMachineNap();
    });
    Clock.Nap(std::chrono::seconds(60));
    Ender.join();
    // Far below the minute asked, however busy the machine, but not before it was ended: the
    // second round shows that the first left nothing behind.
    const auto Napped = std::chrono::steady_clock::now() - Start;
    EXPECT_LT(Napped, std::chrono::seconds(30)) << Round;
    EXPECT_GE(Napped, std::chrono::milliseconds(20)) << Round;
  }
  // Ended before it starts (the signal came between the check and the nap): it ends at once.
  EndMachineNap();
  const auto Start = std::chrono::steady_clock::now();
  Clock.Nap(std::chrono::seconds(60));
  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(30));
}

#include "sweep/Schedule.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <optional>

#include "platform/core/Exceptions.h"

using namespace std::chrono;

namespace {

constexpr int MinutesPerDay = 24 * 60;
constexpr long long SecondsPerDay = 24 * 60 * 60;

class TSystemClock final : public TClock {
 public:
  system_clock::time_point Now() const override { return system_clock::now(); }
};

// A wall-clock reading as one number: seconds from 1970-01-01 00:00 of the local calendar. It
// orders readings as a clock on the wall does, whatever the zone's offset.
using TLocalSeconds = long long;

TLocalSeconds LocalReading(std::time_t When) {
  std::tm L{};
  localtime_r(&When, &L);
  const sys_days Date{year{L.tm_year + 1900} / month(L.tm_mon + 1) / day(L.tm_mday)};
  return Date.time_since_epoch().count() * SecondsPerDay + L.tm_hour * 3600 + L.tm_min * 60 +
         L.tm_sec;
}

long long LocalDay(std::time_t When) {
  return LocalReading(When) / SecondsPerDay;
}

// The instant the clock on the wall first reads Reading, or, when the clocks skip it, the instant
// they jump over it.
std::time_t FirstReading(TLocalSeconds Reading) {
  const year_month_day Date{sys_days{days{Reading / SecondsPerDay}}};
  const long long Second = Reading % SecondsPerDay;
  std::optional<std::time_t> First;
  for (int Dst : {0, 1}) {
    std::tm T{};
    T.tm_year = int(Date.year()) - 1900;
    T.tm_mon = int(unsigned(Date.month())) - 1;
    T.tm_mday = int(unsigned(Date.day()));
    T.tm_hour = int(Second / 3600);
    T.tm_min = int(Second / 60 % 60);
    T.tm_sec = int(Second % 60);
    T.tm_isdst = Dst;
    const std::time_t Candidate = std::mktime(&T);
    if (Candidate != -1 && LocalReading(Candidate) == Reading)
      First = std::min(First.value_or(Candidate), Candidate);
  }
  if (First) return *First;
  // Skipped: the readings rise steadily around a jump forward, so search the day either side
  // (offsets lie within -12 h and +14 h) for the first instant that reads Reading or later.
  std::time_t Low = std::time_t(Reading - 15 * 3600), High = std::time_t(Reading + 13 * 3600);
  while (High - Low > 1) {
    const std::time_t Middle = Low + (High - Low) / 2;
    (LocalReading(Middle) >= Reading ? High : Low) = Middle;
  }
  return High;
}

struct TOpening {
  system_clock::time_point Open, Close;
  bool Empty() const { return Close <= Open; }
};

}  // namespace

const TClock& SystemClock() {
  static const TSystemClock Clock;
  return Clock;
}

TSchedule::TSchedule(int StartMinute, int EndMinute) : Start(StartMinute), End(EndMinute) {
  const auto Valid = [](int Minute) { return Minute >= 0 && Minute < MinutesPerDay; };
  if (!Valid(Start) || !Valid(End))
    throw Exception("a window of time runs from 00:00 to 23:59, not from minute " +
                    std::to_string(Start) + " to minute " + std::to_string(End));
  if (Start == End)
    throw Exception("the window " + Text() +
                    " starts as it ends; give a start and an end that differ");
}

TSchedule TSchedule::Parse(std::string_view Text) {
  const auto Refuse = [Text]() {
    return Exception("\"" + std::string(Text) +
                     "\" is not a window of local time such as 22:00-06:00 (HH:MM-HH:MM)");
  };
  std::size_t At = 0;
  const auto Number = [&](std::size_t MinDigits, std::size_t MaxDigits) {
    const std::size_t From = At;
    int Value = 0;
    while (At < Text.size() && At - From < MaxDigits &&
           std::isdigit(static_cast<unsigned char>(Text[At])))
      Value = Value * 10 + (Text[At++] - '0');
    if (At - From < MinDigits) throw Refuse();
    return Value;
  };
  const auto Expect = [&](char C) {
    if (At >= Text.size() || Text[At++] != C) throw Refuse();
  };
  const auto TimeOfDay = [&]() {
    const int Hour = Number(1, 2);
    Expect(':');
    const int Minute = Number(2, 2);
    if (Hour > 23 || Minute > 59) throw Refuse();
    return Hour * 60 + Minute;
  };
  const int StartMinute = TimeOfDay();
  Expect('-');
  const int EndMinute = TimeOfDay();
  if (At != Text.size()) throw Refuse();
  return TSchedule(StartMinute, EndMinute);
}

std::string TSchedule::Text() const {
  char Buffer[32];
  std::snprintf(Buffer, sizeof Buffer, "%02d:%02d-%02d:%02d", Start / 60, Start % 60, End / 60,
                End % 60);
  return Buffer;
}

namespace {

// The window that opens on the local day Day (days from 1970-01-01).
TOpening OpeningOf(long long Day, int Start, int End) {
  const long long CloseDay = Start < End ? Day : Day + 1;
  return {system_clock::from_time_t(FirstReading(Day * SecondsPerDay + Start * 60LL)),
          system_clock::from_time_t(FirstReading(CloseDay * SecondsPerDay + End * 60LL))};
}

std::time_t Seconds(system_clock::time_point When) {
  return system_clock::to_time_t(floor<seconds>(When));
}

}  // namespace

bool TSchedule::Contains(TTimePoint When) const {
  // A window that holds When opened on When's local day or the day before.
  const long long Today = LocalDay(Seconds(When));
  for (long long Day = Today - 1; Day <= Today; ++Day) {
    const TOpening O = OpeningOf(Day, Start, End);
    if (O.Open <= When && When < O.Close) return true;
  }
  return false;
}

TSchedule::TTimePoint TSchedule::NextOpen(TTimePoint When) const {
  // Every day but one inside the clocks' skipped hour has an opening, so three days suffice.
  const long long Today = LocalDay(Seconds(When));
  for (long long Day = Today - 1;; ++Day) {
    const TOpening O = OpeningOf(Day, Start, End);
    if (!O.Empty() && O.Open > When) return O.Open;
  }
}

TSchedule::TTimePoint TSchedule::NextClose(TTimePoint When) const {
  const long long Today = LocalDay(Seconds(When));
  for (long long Day = Today - 1;; ++Day) {
    const TOpening O = OpeningOf(Day, Start, End);
    if (!O.Empty() && O.Close > When) return O.Close;
  }
}

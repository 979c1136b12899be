// A daily window of local time, such as "22:00-06:00", in which a sweep plays. No Qt: the headless
// sweep (`sweep --between`) and the windows share it.
//
// The window opens each day at its start and closes at the first following end, the next day's
// when the window runs across midnight. Times are wall-clock times of the C library's local zone
// (TZ), so the window keeps to the clock across changes of daylight saving:
// - a start or end the clocks skip (02:30 when they jump from 02:00 to 03:00) takes effect when the
//   clocks jump; a window wholly inside the skipped hour does not open that day;
// - a start or end the clocks pass twice (02:30 when they go back from 03:00 to 02:00) takes effect
//   at its first pass: a window that closed at 02:30 does not open again when 02:30 comes round.
//
//   TSchedule Night = TSchedule::Parse("22:00-06:00");
//   if (!Night.Contains(Clock.Now())) Wait(Night.NextOpen(Clock.Now()));
#pragma once

#include <chrono>
#include <string>
#include <string_view>

// What tells the time. Tests give their own; everything else uses SystemClock().
class TClock {
 public:
  virtual ~TClock() = default;
  virtual std::chrono::system_clock::time_point Now() const = 0;
};

const TClock& SystemClock();

class TSchedule {
 public:
  using TTimePoint = std::chrono::system_clock::time_point;

  // Minutes after midnight, each 0..1439; throws Exception when out of range or equal (a window
  // that starts as it ends says neither "always" nor "never").
  TSchedule(int StartMinute, int EndMinute);

  // "HH:MM-HH:MM" (hours 0..23, one or two digits; minutes two digits); throws Exception with a
  // message that names the text and the form it wants.
  static TSchedule Parse(std::string_view Text);

  int StartMinute() const { return Start; }
  int EndMinute() const { return End; }
  // "22:00-06:00": what Parse reads back.
  std::string Text() const;

  // Whether the window is open at When.
  bool Contains(TTimePoint When) const;
  // The first opening after When, and the first closing after When (the end of the open window
  // when When is inside it).
  TTimePoint NextOpen(TTimePoint When) const;
  TTimePoint NextClose(TTimePoint When) const;

 private:
  int Start;
  int End;
};

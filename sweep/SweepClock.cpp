#include "sweep/SweepClock.h"

#include <time.h>

#include <ctime>

#include "platform/core/Messages.h"

using namespace std::chrono;

system_clock::time_point TMachineClock::Now() const {
  return SystemClock().Now();
}

steady_clock::time_point TMachineClock::Steady() const {
  return steady_clock::now();
}

void TMachineClock::Nap(steady_clock::duration Time) {
  // Unlike sleep_for, which sleeps on after a signal, one nanosleep ends in the handler, so an
  // interrupted sweep stops without finishing its nap.
  const auto Nanoseconds = duration_cast<nanoseconds>(Time).count();
  if (Nanoseconds <= 0) return;
  const timespec Span{time_t(Nanoseconds / 1000000000), long(Nanoseconds % 1000000000)};
  nanosleep(&Span, nullptr);
}

std::string LocalClockTime(system_clock::time_point When) {
  const std::time_t Seconds = system_clock::to_time_t(When);
  std::tm Local{};
  localtime_r(&Seconds, &Local);
  char Text[8];
  std::strftime(Text, sizeof Text, "%H:%M", &Local);
  return Text;
}

TWindowWatch::TWindowWatch(TSchedule Window, const TClock& Clock) : FWindow(Window), FClock(Clock) {
  Read();
}

bool TWindowWatch::Changed() {
  if (FClock.Now() < FChange) return false;
  const bool Was = FOpen;
  Read();
  return FOpen != Was;
}

std::string TWindowWatch::Text() const {
  const std::string Window = FWindow.Text(), Until = LocalClockTime(FChange);
  return FOpen ? FormatMessage("the window %s is open: playing until %s", Window.c_str(),
                               Until.c_str())
               : FormatMessage("the window %s is closed: silent until %s", Window.c_str(),
                               Until.c_str());
}

void TWindowWatch::Read() {
  const auto Now = FClock.Now();
  FOpen = FWindow.Contains(Now);
  FChange = FOpen ? FWindow.NextClose(Now) : FWindow.NextOpen(Now);
}

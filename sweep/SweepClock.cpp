#include "sweep/SweepClock.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>

#include "platform/core/Messages.h"

using namespace std::chrono;

namespace {

// The pipe that ends naps: its read end, and the write end a handler writes to (-1 until made).
int NapReadEnd = -1;
std::atomic<int> NapWriteEnd{-1};

}  // namespace

TMachineClock::TMachineClock() {
  // Made once, before any handler can write to it, and kept for the process's life.
  static const bool Made = [] {
    int Ends[2];
    if (pipe2(Ends, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    NapReadEnd = Ends[0];
    NapWriteEnd = Ends[1];
    return true;
  }();
  static_cast<void>(Made);
}

void EndMachineNap() {
  const int Saved = errno;  // the interrupted code may be about to read its own
  const int End = NapWriteEnd.load();
  // A full pipe already ends the next nap; write reports that, and nothing more is needed.
  if (End >= 0) static_cast<void>(write(End, "x", 1));
  errno = Saved;
}

system_clock::time_point TMachineClock::Now() const {
  return SystemClock().Now();
}

steady_clock::time_point TMachineClock::Steady() const {
  return steady_clock::now();
}

void TMachineClock::Nap(steady_clock::duration Time) {
  const auto Milliseconds = ceil<milliseconds>(Time).count();
  if (Milliseconds <= 0) return;
  pollfd Pipe{NapReadEnd, POLLIN, 0};
  // A signal that reaches this thread ends the poll too (EINTR): the caller looks again either way.
  if (poll(&Pipe, 1, int(std::min<long long>(Milliseconds, 1'000'000))) > 0) {
    char Drained[64];
    while (read(NapReadEnd, Drained, sizeof Drained) > 0) {
    }
  }
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

#include "sweep/ServiceLog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "platform/core/Messages.h"

using namespace std::chrono;

void TTerminalLog::Played(long long Tick, int Position, bool) {
  FOut << Tick << " " << Position << "\n";
  FOut.flush();
}

void TTerminalLog::Failed(long long Tick, int Position, const std::string& Error) {
  FOut << Tick << " " << Position << " " << Error << "\n";
  FOut.flush();
}

void TTerminalLog::Warning(const std::string& Text) {
  FErr << "tessolon sweep: " << FormatMessage("warning: %s", Text.c_str()) << "\n";
}

void TTerminalLog::Notice(TLogPriority, const std::string& Text) {
  FErr << "tessolon sweep: " << Text << "\n";
}

namespace {

// "2 h 5 min", "40 s": how long the sweep ran, to the minute once it is an hour or more.
std::string Span(system_clock::duration Time) {
  const long long Seconds = duration_cast<seconds>(Time).count();
  if (Seconds < 60) return FormatMessage("%lld s", Seconds);
  if (Seconds < 3600) return FormatMessage("%lld min %lld s", Seconds / 60, Seconds % 60);
  return FormatMessage("%lld h %lld min", Seconds / 3600, Seconds / 60 % 60);
}

}  // namespace

std::string TServiceLog::TCounts::Text() const {
  return Errors == 1
             ? FormatMessage("%lld ticks played, %lld silent, 1 error", Played, Silent)
             : FormatMessage("%lld ticks played, %lld silent, %lld errors", Played, Silent, Errors);
}

void TServiceLog::Write(TLogPriority Priority, const std::string& Text) {
  // One write per line, flushed at once: the journal stamps a line as it arrives.
  FOut << '<' << int(Priority) << '>' << Text << '\n';
  FOut.flush();
}

void TServiceLog::Started(const std::string& What) {
  FStart = FHourStart = FClock.Now();
  Write(TLogPriority::Info, What);
}

void TServiceLog::Played(long long, int, bool Silent) {
  ++(Silent ? FHour.Silent : FHour.Played);
  ++(Silent ? FRun.Silent : FRun.Played);
  Poll();
}

void TServiceLog::Failed(long long Tick, int, const std::string& Error) {
  ++FHour.Errors;
  ++FRun.Errors;
  if (FErrorsSaid.insert(Error).second)
    Write(TLogPriority::Error,
          FormatMessage("tick %lld: %s (the sweep goes on; such ticks are counted, not repeated)",
                        Tick, Error.c_str()));
  Poll();
}

void TServiceLog::Warning(const std::string& Text) {
  Write(TLogPriority::Warning, Text);
}

void TServiceLog::Notice(TLogPriority Priority, const std::string& Text) {
  Write(Priority, Text);
}

void TServiceLog::Poll() {
  const auto Now = FClock.Now();
  if (Now - FHourStart < hours{1}) return;
  if (FHour.Any()) Write(TLogPriority::Info, FormatMessage("last hour: %s", FHour.Text().c_str()));
  FHour = {};
  // Whole hours from the start; a clock that jumped starts the count again from now.
  FHourStart += hours{1};
  if (Now - FHourStart >= hours{1} || Now < FHourStart) FHourStart = Now;
}

void TServiceLog::Stopped(const std::string& Reason) {
  Write(TLogPriority::Info,
        FormatMessage("stopped: %s; in %s: %s", Reason.c_str(), Span(FClock.Now() - FStart).c_str(),
                      FRun.Text().c_str()));
}

bool StandardOutputIsJournal() {
  const char* Stream = std::getenv("JOURNAL_STREAM");
  if (!Stream) return false;
  uintmax_t Device = 0, Inode = 0;
  char End = 0;
  if (std::sscanf(Stream, "%ju:%ju%c", &Device, &Inode, &End) != 2) return false;
  struct stat Out {};
  return fstat(STDOUT_FILENO, &Out) == 0 && uintmax_t(Out.st_dev) == Device &&
         uintmax_t(Out.st_ino) == Inode;
}

std::unique_ptr<ISweepLog> MakeSweepLog(const TClock& Clock) {
  if (StandardOutputIsJournal()) return std::make_unique<TServiceLog>(std::cout, Clock);
  return std::make_unique<TTerminalLog>(std::cout, std::cerr);
}

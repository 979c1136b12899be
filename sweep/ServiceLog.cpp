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
  if (Seconds < 60) return std::to_string(Seconds) + " s";
  if (Seconds < 3600)
    return std::to_string(Seconds / 60) + " min " + std::to_string(Seconds % 60) + " s";
  return std::to_string(Seconds / 3600) + " h " + std::to_string(Seconds / 60 % 60) + " min";
}

}  // namespace

std::string TServiceLog::TCounts::Text() const {
  return std::to_string(Played) + " ticks played, " + std::to_string(Silent) + " silent, " +
         std::to_string(Errors) + (Errors == 1 ? " error" : " errors");
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
    Write(TLogPriority::Error, "tick " + std::to_string(Tick) + ": " + Error +
                                   " (the sweep goes on; such ticks are counted, not repeated)");
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
  if (FHour.Any()) Write(TLogPriority::Info, "last hour: " + FHour.Text());
  FHour = {};
  // Whole hours from the start; a clock that jumped starts the count again from now.
  FHourStart += hours{1};
  if (Now - FHourStart >= hours{1} || Now < FHourStart) FHourStart = Now;
}

void TServiceLog::Stopped(const std::string& Reason) {
  Write(TLogPriority::Info,
        "stopped: " + Reason + "; in " + Span(FClock.Now() - FStart) + ": " + FRun.Text());
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

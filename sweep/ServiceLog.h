// What a played sweep tells as it runs. On a terminal: each tick's number and frequency on
// standard output and the warnings on standard error, as ever. Under systemd, where standard
// output is the journal: a service log a person can read, with sd-daemon priority prefixes
// ("<4>" warning and so on), that says the start, what cannot be played and when the output goes
// and comes back, once each, sums the ticks up once an hour and ends with the reason for the stop.
#pragma once

#include <chrono>
#include <iosfwd>
#include <memory>
#include <set>
#include <string>

#include "sweep/Schedule.h"

// The journal's priorities, as sd-daemon(3) numbers them.
enum class TLogPriority { Error = 3, Warning = 4, Notice = 5, Info = 6 };

class ISweepLog {
 public:
  virtual ~ISweepLog() = default;
  // The pest, band and output, once the sweep is set up.
  virtual void Started(const std::string& What) = 0;
  // A tick that built its tone; Silent when the output could not carry it or was gone.
  virtual void Played(long long Tick, int Position, bool Silent) = 0;
  // A tick whose tone was refused (the speaker's limit, an empty field); the sweep goes on.
  virtual void Failed(long long Tick, int Position, const std::string& Error) = 0;
  // A warning said once for the run ("tick 3: 19657 Hz cannot be carried: ...").
  virtual void Warning(const std::string& Text) = 0;
  // A change worth a line: the output gone or back, the window closed or open.
  virtual void Notice(TLogPriority Priority, const std::string& Text) = 0;
  // Called as the sweep waits, so that a summary falls due even between ticks.
  virtual void Poll() = 0;
  virtual void Stopped(const std::string& Reason) = 0;
};

// Today's lines for a person at a terminal or a pipe; the start and the stop go unsaid.
class TTerminalLog final : public ISweepLog {
 public:
  TTerminalLog(std::ostream& Out, std::ostream& Err) : FOut(Out), FErr(Err) {}
  void Started(const std::string&) override {}
  void Played(long long Tick, int Position, bool Silent) override;
  void Failed(long long Tick, int Position, const std::string& Error) override;
  void Warning(const std::string& Text) override;
  void Notice(TLogPriority Priority, const std::string& Text) override;
  void Poll() override {}
  void Stopped(const std::string&) override {}

 private:
  std::ostream& FOut;
  std::ostream& FErr;
};

// The service log. Clock tells when an hour has passed; a summary is written for each hour in
// which a tick ran (a sweep that waits all day for its window says nothing meanwhile).
class TServiceLog final : public ISweepLog {
 public:
  TServiceLog(std::ostream& Out, const TClock& Clock) : FOut(Out), FClock(Clock) {}
  void Started(const std::string& What) override;
  void Played(long long Tick, int Position, bool Silent) override;
  void Failed(long long Tick, int Position, const std::string& Error) override;
  void Warning(const std::string& Text) override;
  void Notice(TLogPriority Priority, const std::string& Text) override;
  void Poll() override;
  void Stopped(const std::string& Reason) override;

 private:
  struct TCounts {
    long long Played = 0, Silent = 0, Errors = 0;
    bool Any() const { return Played + Silent + Errors > 0; }
    std::string Text() const;
  };
  void Write(TLogPriority Priority, const std::string& Text);

  std::ostream& FOut;
  const TClock& FClock;
  std::chrono::system_clock::time_point FStart, FHourStart;
  TCounts FHour, FRun;
  std::set<std::string> FErrorsSaid;  // each kind of refusal is said once, then counted
};

// Whether standard output is the journal's stream: $JOURNAL_STREAM names its device and inode.
// A program the service starts with its output elsewhere inherits the variable, hence the check.
bool StandardOutputIsJournal();

// The service log when standard output is the journal, else the terminal's lines.
std::unique_ptr<ISweepLog> MakeSweepLog(const TClock& Clock);

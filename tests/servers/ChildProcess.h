// Child processes for the sound-server tests: each runs in a process group of its own with its
// output in files, every wait is bounded, and stopping one ends everything in its group; a child
// dies with the test, too, so a daemon never outlives the test that started it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A complete environment for a child: the test's own, changed by Set and Unset.
class TEnvironment {
 public:
  static TEnvironment Inherited();
  TEnvironment& Set(const std::string& Name, const std::string& Value);
  TEnvironment& Unset(const std::string& Name);
  std::vector<std::string> Entries() const;  // NAME=VALUE

 private:
  std::map<std::string, std::string> FValues;
};

struct TLaunch {
  std::vector<std::string> Argv;  // Argv[0] is looked up in PATH; exit status 127: not started
  TEnvironment Environment;
  std::filesystem::path Folder;    // the working folder
  std::filesystem::path Out, Err;  // where stdout and stderr go; stdin is /dev/null
};

class TChildProcess {
 public:
  explicit TChildProcess(const TLaunch& Launch);
  // Stops the group: SIGTERM, then SIGKILL when it has not ended within a few seconds.
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  const TLaunch& Launch() const { return FLaunch; }
  // Sends Signal to the whole group.
  void Signal(int Signal);
  // The wait status (as waitpid gives it) once the process has ended, or nothing when it is
  // still running after Bound. The child is reaped only when the object goes, so its group
  // stays reserved until the rest of the group has been killed.
  std::optional<int> WaitFor(std::chrono::milliseconds Bound);
  bool Running() { return !WaitFor(std::chrono::milliseconds(0)); }

 private:
  TLaunch FLaunch;
  pid_t FPid = -1;
  std::optional<int> FStatus;
};

// What a finished command left: its exit status (nothing when it did not end within its bound
// or ended on a signal) and its output.
struct TCommandResult {
  std::optional<int> ExitStatus;
  std::string Status;  // "exit 0", "signal 11", "still running after 20000 ms"
  std::string Out, Err;
};

// Waits up to Bound for Child to end and collects what it left.
TCommandResult Finish(TChildProcess& Child, std::chrono::milliseconds Bound);
// Runs Launch to its end, killing it when it runs longer than Bound.
TCommandResult RunCommand(const TLaunch& Launch, std::chrono::milliseconds Bound);

// Describes a wait status for failure messages.
std::string DescribeStatus(std::optional<int> Status);

std::string ReadWholeFile(const std::filesystem::path& Name);

// Polls Ready every 50 ms until it holds (true) or Bound passes (false).
bool WaitUntil(std::chrono::milliseconds Bound, const std::function<bool()>& Ready);

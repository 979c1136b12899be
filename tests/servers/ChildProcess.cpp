#include "tests/servers/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

extern char** environ;

using namespace std::chrono_literals;

TEnvironment TEnvironment::Inherited() {
  TEnvironment Result;
  for (char** Entry = environ; *Entry != nullptr; ++Entry) {
    const std::string Text = *Entry;
    const auto Equals = Text.find('=');
    if (Equals != std::string::npos)
      Result.FValues[Text.substr(0, Equals)] = Text.substr(Equals + 1);
  }
  return Result;
}

TEnvironment& TEnvironment::Set(const std::string& Name, const std::string& Value) {
  FValues[Name] = Value;
  return *this;
}

TEnvironment& TEnvironment::Unset(const std::string& Name) {
  FValues.erase(Name);
  return *this;
}

std::vector<std::string> TEnvironment::Entries() const {
  std::vector<std::string> Result;
  for (const auto& [Name, Value] : FValues) Result.push_back(Name + "=" + Value);
  return Result;
}

TChildProcess::TChildProcess(const TLaunch& Launch) : FLaunch(Launch) {
  // Everything the child needs is made here: after fork it makes system calls only.
  std::vector<char*> Argv;
  for (const std::string& Arg : Launch.Argv) Argv.push_back(const_cast<char*>(Arg.c_str()));
  Argv.push_back(nullptr);
  const std::vector<std::string> Entries = Launch.Environment.Entries();
  std::vector<char*> Envp;
  for (const std::string& Entry : Entries) Envp.push_back(const_cast<char*>(Entry.c_str()));
  Envp.push_back(nullptr);
  const std::string Refusal = "cannot start " + Launch.Argv[0] + "\n";
  const pid_t Test = ::getpid();

  FPid = ::fork();
  if (FPid < 0) throw std::system_error(errno, std::generic_category(), Refusal);
  if (FPid == 0) {
    // A group of its own, so a stop reaches whatever the child starts; and killed with the
    // test, should the test itself crash or be killed.
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != Test) ::_exit(127);
    // Signals as a shell would hand them over, whatever the test runner blocks or ignores.
    sigset_t Empty;
    sigemptyset(&Empty);
    ::sigprocmask(SIG_SETMASK, &Empty, nullptr);
    for (int Signal : {SIGINT, SIGTERM, SIGPIPE, SIGHUP, SIGCHLD}) ::signal(Signal, SIG_DFL);
    const int Written = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    if (::dup2(::open("/dev/null", O_RDONLY | O_CLOEXEC), 0) == 0 &&
        ::dup2(::open(Launch.Out.c_str(), Written, 0644), 1) == 1 &&
        ::dup2(::open(Launch.Err.c_str(), Written, 0644), 2) == 2 &&
        ::chdir(Launch.Folder.c_str()) == 0)
      ::execvpe(Argv[0], Argv.data(), Envp.data());
    (void)!::write(2, Refusal.data(), Refusal.size());
    ::_exit(127);
  }
  ::setpgid(FPid, FPid);  // from this side too, so no signal to the group can come first
}

TChildProcess::~TChildProcess() {
  if (!WaitFor(0ms)) {
    Signal(SIGTERM);
    WaitFor(3s);
  }
  // The leader is not reaped yet, so the group's number still belongs to it: stragglers left in
  // the group are killed, never another process that happens to reuse the number.
  Signal(SIGKILL);
  int Ignored;
  while (::waitpid(FPid, &Ignored, 0) < 0 && errno == EINTR) {
  }
}

void TChildProcess::Signal(int Signal) {
  ::kill(-FPid, Signal);
}

std::optional<int> TChildProcess::WaitFor(std::chrono::milliseconds Bound) {
  WaitUntil(Bound, [&] {
    siginfo_t Info{};
    // WNOWAIT: look without reaping (see the destructor).
    if (!FStatus && ::waitid(P_PID, id_t(FPid), &Info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        Info.si_pid != 0)
      FStatus = Info.si_code == CLD_EXITED ? W_EXITCODE(Info.si_status, 0)
                                           : W_EXITCODE(0, Info.si_status);
    return FStatus.has_value();
  });
  return FStatus;
}

TCommandResult Finish(TChildProcess& Child, std::chrono::milliseconds Bound) {
  TCommandResult Result;
  const std::optional<int> Status = Child.WaitFor(Bound);
  Result.Status = Status ? DescribeStatus(Status)
                         : "still running after " + std::to_string(Bound.count()) + " ms";
  if (Status && WIFEXITED(*Status)) Result.ExitStatus = WEXITSTATUS(*Status);
  Result.Out = ReadWholeFile(Child.Launch().Out);
  Result.Err = ReadWholeFile(Child.Launch().Err);
  return Result;
}

TCommandResult RunCommand(const TLaunch& Launch, std::chrono::milliseconds Bound) {
  TChildProcess Child(Launch);
  return Finish(Child, Bound);
}

std::string DescribeStatus(std::optional<int> Status) {
  if (!Status) return "still running";
  if (WIFEXITED(*Status)) return "exit " + std::to_string(WEXITSTATUS(*Status));
  return "signal " + std::to_string(WTERMSIG(*Status));
}

std::string ReadWholeFile(const std::filesystem::path& Name) {
  std::ifstream In(Name, std::ios::binary);
  std::ostringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

bool WaitUntil(std::chrono::milliseconds Bound, const std::function<bool()>& Ready) {
  const auto Deadline = std::chrono::steady_clock::now() + Bound;
  while (!Ready()) {
    if (std::chrono::steady_clock::now() >= Deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

// Starts a program as a whole process, as a user would, for the benches that time one against
// another program: fork/exec through posix_spawn, its output thrown away. Also the benches'
// scratch folder.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"

extern char** environ;

// Runs the program with its output sent to /dev/null; false when it could not run or failed.
inline bool RunQuiet(std::vector<std::string> Args) {
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_addopen(&Actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> Argv;
  for (std::string& Arg : Args) Argv.push_back(Arg.data());
  Argv.push_back(nullptr);
  pid_t Child = 0;
  const int Error = ::posix_spawnp(&Child, Argv[0], &Actions, nullptr, Argv.data(), environ);
  posix_spawn_file_actions_destroy(&Actions);
  if (Error != 0) return false;
  int Status = 0;
  ::waitpid(Child, &Status, 0);
  return WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
}

// Seconds from starting Args to reaping it; negative when it could not run or failed.
inline double SecondsToRun(std::vector<std::string> Args) {
  const auto Start = std::chrono::steady_clock::now();
  if (!RunQuiet(std::move(Args))) return -1;
  const std::chrono::duration<double> Took = std::chrono::steady_clock::now() - Start;
  return Took.count();
}

// A file of the bench's own scratch folder, which goes when the bench ends.
inline std::string BenchFile(const std::string& Name) {
  static const TScratchFolder Folder("tessolon-bench-");
  return (Folder / Name).string();
}

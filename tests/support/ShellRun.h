// A command line run through the shell with its output caught, for tests that run the built
// program (or a peer program) as a process. Qt-free.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// How a process ended: its exit status (-1 when a signal ended it), stdout and stderr.
struct TShellRun {
  int Status;
  std::string Out, Err;
};

inline std::string ReadWholeFile(const std::filesystem::path& Name) {
  std::ifstream In(Name, std::ios::binary);
  std::stringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

// Text as one word of a shell command line.
inline std::string ShellQuoted(const std::string& Text) {
  std::string Result = "'";
  for (char C : Text) Result += C == '\'' ? std::string("'\\''") : std::string(1, C);
  return Result + "'";
}

// Runs CommandLine with stdout and stderr caught in two files in Folder (which it overwrites).
inline TShellRun RunShell(const std::filesystem::path& Folder, const std::string& CommandLine) {
  const std::filesystem::path Out = Folder / "out", Err = Folder / "err";
  const int Status =
      std::system((CommandLine + " >'" + Out.string() + "' 2>'" + Err.string() + "'").c_str());
  return {WIFEXITED(Status) ? WEXITSTATUS(Status) : -1, ReadWholeFile(Out), ReadWholeFile(Err)};
}

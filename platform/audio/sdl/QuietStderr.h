// Silences the process's standard error while it lives: SDL's backends (ALSA and the like)
// print their own diagnostics while they are probed, and the program reports in its own words.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

class TQuietStderr {
 public:
  TQuietStderr() {
    std::fflush(stderr);
    FSaved = dup(STDERR_FILENO);
    const int Null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (FSaved >= 0 && Null >= 0) dup2(Null, STDERR_FILENO);
    if (Null >= 0) close(Null);
  }
  ~TQuietStderr() {
    if (FSaved < 0) return;
    std::fflush(stderr);
    dup2(FSaved, STDERR_FILENO);
    close(FSaved);
  }
  TQuietStderr(const TQuietStderr&) = delete;
  TQuietStderr& operator=(const TQuietStderr&) = delete;

 private:
  int FSaved;
};

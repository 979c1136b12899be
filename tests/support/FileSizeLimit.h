// A full disk for one process, without root: while a TFileSizeLimit lives, no file of this
// process may grow past its limit, and a write beyond it fails with EFBIG (SIGXFSZ, which would
// end the process, is ignored meanwhile). Writes within a file's present size still succeed, as
// on a full disk.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>

class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t Limit) : FSignal(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &FBefore);
    rlimit Lower = FBefore;
    Lower.rlim_cur = Limit;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &Lower), 0) << std::strerror(errno);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &FBefore);
    std::signal(SIGXFSZ, FSignal);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  rlimit FBefore{};
  void (*FSignal)(int);
};

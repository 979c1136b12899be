// The byte-range locks TPagedFile shares a file with other processes by: open file description
// locks (F_OFD_SETLK), the offsets dBase peers lock at, and the markers and gates of our own.
#pragma once

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>

#include "table/PagedFile.h"

// Virtual lock offsets: page n at VirtualLockBase - n; the whole file from VirtualFileLockStart.
inline constexpr std::int64_t VirtualLockBase = 0xEFFFFFFE;
inline constexpr std::int64_t VirtualFileLockStart = 0xB46535FE;
inline constexpr std::int64_t VirtualFileLockLength = 1000000002;
inline constexpr std::int64_t PlainFileLockLength = 0x7FFFFFFF;

// Share-mode markers, above every page lock. Every opener with write access holds a shared
// lock on ShareWriteMarker, every opener that denies writing one on ShareDenyMarker.
inline constexpr std::int64_t ShareWriteMarker = 0xF0000010;
inline constexpr std::int64_t ShareDenyMarker = 0xF0000011;

// Gates: one lock byte per page from GateBase on, beyond every offset a dBase peer locks. See
// TPageGate.
inline constexpr std::int64_t GateBase = std::int64_t(1) << 62;

// Takes (or with F_UNLCK drops) a lock without waiting; false when refused.
bool SetOfdLock(int Handle, short Type, std::int64_t Offset, std::int64_t Length);
// True when another open file holds a lock that conflicts with one of Type over the range.
bool OthersHoldLock(int Handle, short Type, std::int64_t Offset, std::int64_t Length);
// Emulates the share modes: exclusive modes deny writing to others, the shared modes deny
// nothing, read-only asks nothing. False when the file is in use in a conflicting way.
bool AcquireShareMode(int Handle, TPagedFileMode Mode);

// Retries Attempt (true when done) until Limit has passed; false then. Locks that could wait
// cannot time out, so this polls, with pauses that grow from 50 us to 2 ms: a lock released at
// once costs little delay, one held long costs little processor time. The first attempt reads
// no clock, so an uncontended lock costs what one attempt costs.
template <class TAttempt>
bool RetryWithinLimit(std::chrono::milliseconds Limit, TAttempt Attempt) {
  if (Attempt()) return true;
  using namespace std::chrono;
  const auto Deadline = steady_clock::now() + Limit;
  constexpr auto MaxPause = microseconds(2000);
  auto Pause = microseconds(50);
  for (;;) {
    std::this_thread::sleep_for(Pause);
    if (Attempt()) return true;
    if (steady_clock::now() >= Deadline) return false;
    Pause = std::min(Pause * 2, MaxPause);
  }
}

// Held while the bytes of some pages are read (shared) or written (alone) in a file others share
// through virtual locks. The record locks cannot keep readers from a record half written: an
// edit holds its record's lock for as long as the user edits, and others go on reading the
// record meanwhile. A gate is held for one read or write only, so waiting for it is short; one
// held longer than the lock wait limit belongs to a program that does not know the gates (a lock
// over the whole file), and the read or write gives up. Where the system refuses the lock the
// bytes are read or written without it.
class TPageGate {
 public:
  TPageGate(int Handle, short Type, std::int64_t First, std::int64_t Count);
  ~TPageGate();
  TPageGate(const TPageGate&) = delete;
  TPageGate& operator=(const TPageGate&) = delete;
  bool TimedOut = false;

 private:
  int FHandle;
  struct flock FLock {};
  bool FHeld = false;
};

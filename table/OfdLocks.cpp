#include "table/OfdLocks.h"

#include <cerrno>

namespace {

struct flock OfdRange(short Type, std::int64_t Offset, std::int64_t Length) {
  struct flock Lock {};
  Lock.l_type = Type;
  Lock.l_whence = SEEK_SET;
  Lock.l_start = Offset;
  Lock.l_len = Length;
  return Lock;
}

}  // namespace

bool SetOfdLock(int Handle, short Type, std::int64_t Offset, std::int64_t Length) {
  struct flock Lock = OfdRange(Type, Offset, Length);
  while (::fcntl(Handle, F_OFD_SETLK, &Lock) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

bool OthersHoldLock(int Handle, short Type, std::int64_t Offset, std::int64_t Length) {
  struct flock Lock = OfdRange(Type, Offset, Length);
  if (::fcntl(Handle, F_OFD_GETLK, &Lock) != 0) return false;
  return Lock.l_type != F_UNLCK;
}

bool AcquireShareMode(int Handle, TPagedFileMode Mode) {
  if (Mode == pfReadOnly) return true;
  const bool DenyWrite = Mode == pfExclusiveCreate || Mode == pfExclusiveOpen;
  if (!SetOfdLock(Handle, F_RDLCK, ShareWriteMarker, 1)) return false;
  if (DenyWrite) {
    if (!SetOfdLock(Handle, F_RDLCK, ShareDenyMarker, 1)) return false;
    return !OthersHoldLock(Handle, F_WRLCK, ShareWriteMarker, 1);
  }
  return !OthersHoldLock(Handle, F_WRLCK, ShareDenyMarker, 1);
}

TPageGate::TPageGate(int Handle, short Type, std::int64_t First, std::int64_t Count)
    : FHandle(Handle) {
  FLock.l_type = Type;
  FLock.l_whence = SEEK_SET;
  FLock.l_start = GateBase + First;
  FLock.l_len = Count;
  bool Refused = false;
  const bool Done = RetryWithinLimit(TPagedFile::LockWaitLimit(), [&] {
    for (;;) {
      struct flock Lock = FLock;
      if (::fcntl(FHandle, F_OFD_SETLK, &Lock) == 0) return true;
      if (errno == EINTR) continue;
      Refused = errno != EAGAIN && errno != EACCES;
      return Refused;
    }
  });
  FHeld = Done && !Refused;
  TimedOut = !Done;
}

TPageGate::~TPageGate() {
  if (!FHeld) return;
  FLock.l_type = F_UNLCK;
  ::fcntl(FHandle, F_OFD_SETLK, &FLock);
}

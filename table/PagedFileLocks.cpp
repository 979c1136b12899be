// TPagedFile: page and file locks, the gates around reads and writes, waiting for others'
// locks, and the switch to exclusive access.
#include <fcntl.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "table/DbaseMessages.h"
#include "table/FileStream.h"
#include "table/OfdLocks.h"
#include "table/PagedFile.h"

namespace {

std::atomic<std::chrono::milliseconds::rep> GLockWaitLimit{DefaultLockWaitLimit.count()};

}  // namespace

bool TPagedFile::UsesGates() const {
  return FNeedLocks && FVirtualLocks && FPageOffsetByHeader && FPageSize > 0;
}

// The page an offset lies in: 0 for the header, records from 1.
std::int64_t TPagedFile::GatePage(std::int64_t Offset) const {
  const std::int64_t DataStart = FHeaderOffset + HeaderSize();
  return Offset < DataStart ? 0 : (Offset - DataStart) / FPageSize + 1;
}

std::int64_t TPagedFile::GatePages(std::int64_t Offset, int Count) const {
  return GatePage(Offset + std::max(Count, 1) - 1) - GatePage(Offset) + 1;
}

void TPagedFile::LockRange(int PageNo, std::int64_t& Offset, std::int64_t& Length) const {
  if (FVirtualLocks) {
    Offset = VirtualLockBase - PageNo;
    Length = 1;
  } else if (PageNo == 0 && FPageOffsetByHeader) {
    Offset = FHeaderOffset;
    Length = std::max(HeaderSize(), 1);
  } else {
    Offset = PageOffset(PageNo);
    Length = std::max(FPageSize, 1);
  }
}

void TPagedFile::WaitForReadAccess(std::int64_t Offset, std::int64_t Length) {
  // Virtual locks never cover data; plain page locks keep readers out while a page changes.
  if (!FNeedLocks || FVirtualLocks || FFileLocked || !Active()) return;
  const int Handle = FStream->Handle();
  if (!RetryWithinLimit(LockWaitLimit(),
                        [&] { return !OthersHoldLock(Handle, F_RDLCK, Offset, Length); }))
    GiveUpWaiting();
}

void TPagedFile::GiveUpWaiting() const {
  throw EDbaseError(FormatMessage(DbaseMessages::LockWaitGaveUp, FFileName.c_str()));
}

bool TPagedFile::TryLock(std::int64_t Offset, std::int64_t Length, bool Wait) {
  const short Type = ReadOnly() ? F_RDLCK : F_WRLCK;
  const int Handle = FStream->Handle();
  auto Attempt = [&] {
    if (SetOfdLock(Handle, Type, Offset, Length)) return true;
    if (errno != EAGAIN && errno != EACCES)
      throw EDbaseError(
          FormatMessage(DbaseMessages::IoError, FFileName.c_str(), std::strerror(errno)));
    return false;
  };
  if (!Wait) return Attempt();
  if (!RetryWithinLimit(LockWaitLimit(), Attempt)) GiveUpWaiting();
  return true;
}

bool TPagedFile::OthersLockPages(int First, int Last) const {
  if (!FNeedLocks || !FVirtualLocks || !Active() || First > Last) return false;
  const std::int64_t Low = std::max<std::int64_t>(VirtualLockBase - Last, 0);
  const std::int64_t High = VirtualLockBase - First;
  return High >= Low && OthersHoldLock(FStream->Handle(), F_WRLCK, Low, High - Low + 1);
}

void TPagedFile::Unlock(std::int64_t Offset, std::int64_t Length) {
  SetOfdLock(FStream->Handle(), F_UNLCK, Offset, Length);
}

bool TPagedFile::LockPage(int PageNo, bool Wait) {
  DropReadAhead();
  if (!FNeedLocks || FFileLocked || !Active()) return true;
  std::int64_t Offset, Length;
  LockRange(PageNo, Offset, Length);
  if (!TryLock(Offset, Length, Wait)) return false;
  FLockedPages.insert(PageNo);
  return true;
}

void TPagedFile::UnlockPage(int PageNo) {
  DropReadAhead();
  if (FLockedPages.erase(PageNo) == 0 || FFileLocked || !Active()) return;
  std::int64_t Offset, Length;
  LockRange(PageNo, Offset, Length);
  Unlock(Offset, Length);
}

bool TPagedFile::LockAllPages(bool Wait) {
  DropReadAhead();
  if (!FNeedLocks || FFileLocked || !Active()) return true;
  if (FVirtualLocks)
    FFileLocked = TryLock(VirtualFileLockStart, VirtualFileLockLength, Wait);
  else
    FFileLocked = TryLock(0, PlainFileLockLength, Wait);
  return FFileLocked;
}

void TPagedFile::UnlockAllPages() {
  DropReadAhead();
  if (!FFileLocked) return;
  FFileLocked = false;
  if (FVirtualLocks)
    Unlock(VirtualFileLockStart, VirtualFileLockLength);
  else
    Unlock(0, PlainFileLockLength);
  // Unlocking the whole range also dropped the page locks we still hold: take them again
  // (nobody else can have them, so the result says nothing).
  for (int PageNo : FLockedPages) {
    std::int64_t Offset, Length;
    LockRange(PageNo, Offset, Length);
    static_cast<void>(TryLock(Offset, Length, false));
  }
}

void TPagedFile::TryExclusive() {
  if (++FExclusiveDepth > 1 || IsExclusive() || !Active()) return;
  FSavedMode = FMode;
  FlushHeader();
  FStream.reset();
  FMode = pfExclusiveOpen;
  try {
    Open();
    FSwitchedToExclusive = true;
  } catch (const EFOpenError&) {
    FMode = FSavedMode;
    Open();
  }
  AfterReopen();
}

void TPagedFile::EndExclusive() {
  if (FExclusiveDepth == 0) return;
  if (--FExclusiveDepth > 0 || !FSwitchedToExclusive) return;
  FSwitchedToExclusive = false;
  FlushHeader();
  FStream.reset();
  FMode = FSavedMode;
  Open();
  AfterReopen();
}

std::chrono::milliseconds TPagedFile::LockWaitLimit() {
  return std::chrono::milliseconds(GLockWaitLimit.load());
}

void TPagedFile::SetLockWaitLimit(std::chrono::milliseconds Value) {
  GLockWaitLimit.store(Value.count());
}

void TPagedFile::CheckExclusiveAccess() const {
  if (!IsExclusive()) throw EDbaseError(Tr(DbaseMessages::NeedExclusiveAccess));
}

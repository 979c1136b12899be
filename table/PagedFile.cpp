#include "table/PagedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <optional>
#include <thread>

#include "table/DbaseMessages.h"
#include "table/FileStream.h"

namespace {

// Virtual lock offsets: page n at VirtualLockBase - n; the whole file from VirtualFileLockStart.
constexpr std::int64_t VirtualLockBase = 0xEFFFFFFE;
constexpr std::int64_t VirtualFileLockStart = 0xB46535FE;
constexpr std::int64_t VirtualFileLockLength = 1000000002;
constexpr std::int64_t PlainFileLockLength = 0x7FFFFFFF;

// Share-mode markers, above every page lock. Every opener with write access holds a shared
// lock on ShareWriteMarker, every opener that denies writing one on ShareDenyMarker.
constexpr std::int64_t ShareWriteMarker = 0xF0000010;
constexpr std::int64_t ShareDenyMarker = 0xF0000011;

// Gates: one lock byte per page from GateBase on, beyond every offset a dBase peer locks. See
// TPageGate.
constexpr std::int64_t GateBase = std::int64_t(1) << 62;

bool IsCreateMode(TPagedFileMode Mode) {
  return Mode == pfMemoryCreate || Mode == pfExclusiveCreate || Mode == pfReadWriteCreate;
}

bool SetOfdLock(int Handle, short Type, std::int64_t Offset, std::int64_t Length) {
  struct flock Lock {};
  Lock.l_type = Type;
  Lock.l_whence = SEEK_SET;
  Lock.l_start = Offset;
  Lock.l_len = Length;
  while (::fcntl(Handle, F_OFD_SETLK, &Lock) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

std::atomic<std::chrono::milliseconds::rep> GLockWaitLimit{DefaultLockWaitLimit.count()};

// Retries Attempt (true when done) until the lock wait limit has passed; false then. Locks that
// could wait cannot time out, so this polls, with pauses that grow from 50 us to 2 ms: a lock
// released at once costs little delay, one held long costs little processor time. The first
// attempt reads no clock, so an uncontended lock costs what one attempt costs.
template <class TAttempt>
bool RetryWithinLimit(TAttempt Attempt) {
  if (Attempt()) return true;
  using namespace std::chrono;
  const auto Deadline = steady_clock::now() + milliseconds(GLockWaitLimit.load());
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
  TPageGate(int Handle, short Type, std::int64_t First, std::int64_t Count) : FHandle(Handle) {
    FLock.l_type = Type;
    FLock.l_whence = SEEK_SET;
    FLock.l_start = GateBase + First;
    FLock.l_len = Count;
    bool Refused = false;
    const bool Done = RetryWithinLimit([&] {
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
  ~TPageGate() {
    if (!FHeld) return;
    FLock.l_type = F_UNLCK;
    ::fcntl(FHandle, F_OFD_SETLK, &FLock);
  }
  TPageGate(const TPageGate&) = delete;
  TPageGate& operator=(const TPageGate&) = delete;
  bool TimedOut = false;

 private:
  int FHandle;
  struct flock FLock {};
  bool FHeld = false;
};

// True when another open file holds a lock that conflicts with one of Type over the range.
bool OthersHoldLock(int Handle, short Type, std::int64_t Offset, std::int64_t Length) {
  struct flock Lock {};
  Lock.l_type = Type;
  Lock.l_whence = SEEK_SET;
  Lock.l_start = Offset;
  Lock.l_len = Length;
  if (::fcntl(Handle, F_OFD_GETLK, &Lock) != 0) return false;
  return Lock.l_type != F_UNLCK;
}

// Emulates the share modes: exclusive modes deny writing to others, the shared modes deny
// nothing, read-only asks nothing. False when the file is in use in a conflicting way.
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

}  // namespace

TPagedFile::TPagedFile() = default;

TPagedFile::~TPagedFile() {
  // A destructor must not throw: a failed final flush is lost with the object.
  try {
    TPagedFile::Close();
  } catch (const std::exception&) {
  }
}

void TPagedFile::SetFileName(const std::string& Value) {
  FFileName = Value;
}
void TPagedFile::SetMode(TPagedFileMode Value) {
  FMode = Value;
}

void TPagedFile::SetHeaderSize(int Value) {
  FHeader.resize(std::max(Value, 0), 0);
}
void TPagedFile::SetRecordSize(int Value) {
  FRecordSize = Value;
}
void TPagedFile::SetPageSize(int Value) {
  FPageSize = Value;
}

void TPagedFile::Open() {
  if (Active()) Close();
  FCreated = false;
  FFileLocked = false;
  FLockedPages.clear();
  DropReadAhead();
  FLastPageRead = -1;
  if (FMode == pfMemoryCreate) {
    FStream = std::make_unique<TMemoryStream>();
    FCreated = true;
    FNeedLocks = false;
    FCachedSize = 0;
    return;
  }
  struct stat St;
  if (::stat(FFileName.c_str(), &St) != 0 && errno == ENOENT && FAutoCreate) {
    if (FMode == pfExclusiveOpen) FMode = pfExclusiveCreate;
    if (FMode == pfReadWriteOpen || FMode == pfReadOnly) FMode = pfReadWriteCreate;
  }
  int Flags = O_CLOEXEC;
  if (FMode == pfReadOnly)
    Flags |= O_RDONLY;
  else
    Flags |= O_RDWR;
  if (IsCreateMode(FMode)) Flags |= O_CREAT;
  const int Handle = ::open(FFileName.c_str(), Flags, 0666);
  if (Handle < 0) {
    if (errno == ENOENT)
      throw EFOpenError(FormatMessage(DbaseMessages::FileNotFound, FFileName.c_str()));
    throw EFOpenError(
        FormatMessage(DbaseMessages::CannotOpen, FFileName.c_str(), std::strerror(errno)));
  }
  auto Stream = std::make_unique<TPosixFileStream>(Handle, FFileName);
  if (!AcquireShareMode(Handle, FMode))
    throw EFOpenError(FormatMessage(DbaseMessages::FileInUse, FFileName.c_str()));
  // Emptied only now, once no one else can be using the file in a conflicting way.
  if (IsCreateMode(FMode)) {
    Stream->SetSize(0);
    FCreated = true;
  }
  FNeedLocks = FMode == pfReadWriteCreate || FMode == pfReadWriteOpen || FMode == pfReadOnly;
  FCachedSize = Stream->Size();
  FStream = std::move(Stream);
}

void TPagedFile::Close() {
  if (!Active()) return;
  try {
    FlushHeader();
  } catch (...) {
    FStream.reset();
    throw;
  }
  FStream.reset();  // closing the descriptor drops its locks
  DropReadAhead();
  FLastPageRead = -1;
  FFileLocked = false;
  FLockedPages.clear();
}

int TPagedFile::ReadHeader() {
  if (!Active()) return 0;
  std::int64_t Offset, Length;
  LockRange(0, Offset, Length);
  WaitForReadAccess(Offset, Length);
  const int Got = ReadBytes(FHeaderOffset, FHeader.data(), HeaderSize());
  std::fill(FHeader.begin() + Got, FHeader.end(), 0);
  return Got;
}

void TPagedFile::WriteHeader() {
  FHeaderModified = true;
  if (FNeedLocks) FlushHeader();
}

void TPagedFile::FlushHeader() {
  if (FHeaderModified && Active() && !ReadOnly()) WriteHeaderNow();
  FHeaderModified = false;
}

void TPagedFile::WriteHeaderNow() {
  WriteBytes(FHeaderOffset, FHeader.data(), HeaderSize());
  FHeaderModified = false;
}

std::int64_t TPagedFile::PageOffset(int PageNo) const {
  if (FPageOffsetByHeader)
    return FHeaderOffset + HeaderSize() + static_cast<std::int64_t>(PageNo - 1) * FPageSize;
  return static_cast<std::int64_t>(PageNo) * FPageSize;
}

// A sequential scan of a table reads a block of pages at once. The block serves only the
// scan that made it and is dropped by any write or lock of this file; when others may write
// the file it also expires after a few milliseconds, so a record is never older than that when
// handed out (an edit locks first and reads afresh). Index files are excluded: their page
// locks must hold readers back.
bool TPagedFile::ReadAhead(int PageNo, void* Buffer) {
  constexpr int BlockBytes = 65536;
  const bool Sequential = PageNo == FLastPageRead + 1;
  FLastPageRead = PageNo;
  if (!FVirtualLocks || !FPageOffsetByHeader || FPageSize <= 0 || FPageSize > BlockBytes / 4)
    return false;
  if (FReadAheadCount == 0 || PageNo < FReadAheadFirst ||
      PageNo >= FReadAheadFirst + FReadAheadCount || (FNeedLocks && ReadAheadExpired())) {
    FReadAheadCount = 0;
    if (!Sequential || PageNo < 1) return false;
    const int Pages = BlockBytes / FPageSize;
    FReadAheadBlock.resize(static_cast<std::size_t>(Pages) * FPageSize);
    // Both times are taken before the read, the coarse one first: see ReadAheadExpired.
    FReadAheadCoarseTime = CoarseClockNow();
    FReadAheadTime = std::chrono::steady_clock::now();
    const int Got = ReadBytes(PageOffset(PageNo), FReadAheadBlock.data(), Pages * FPageSize);
    FReadAheadFirst = PageNo;
    FReadAheadCount = Got / FPageSize;
    if (FReadAheadCount == 0) return false;
  }
  std::memcpy(
      Buffer,
      FReadAheadBlock.data() + static_cast<std::size_t>(PageNo - FReadAheadFirst) * FPageSize,
      FPageSize);
  return true;
}

// The precise clock costs more than copying a record, so most records are judged by the
// coarse one: the same monotonic clock as of its last tick, never ahead of the precise one and
// at most its resolution behind. Taken before the precise one when the block was read, it
// bounds the block's age from above; only when that bound passes the limit is the precise
// clock read.
bool TPagedFile::ReadAheadExpired() const {
  static constexpr auto MaxAge = std::chrono::milliseconds(5);
  static const std::chrono::nanoseconds Resolution = [] {
    timespec Res{};
    // Without the coarse clock, a resolution past the limit leaves every call to the precise one.
    if (clock_getres(CLOCK_MONOTONIC_COARSE, &Res) != 0)
      return std::chrono::nanoseconds(MaxAge) * 2;
    return std::chrono::seconds(Res.tv_sec) + std::chrono::nanoseconds(Res.tv_nsec);
  }();
  if (CoarseClockNow() + Resolution - FReadAheadCoarseTime <= MaxAge) return false;
  return std::chrono::steady_clock::now() - FReadAheadTime > MaxAge;
}

std::chrono::nanoseconds TPagedFile::CoarseClockNow() {
  timespec Now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &Now);
  return std::chrono::seconds(Now.tv_sec) + std::chrono::nanoseconds(Now.tv_nsec);
}

int TPagedFile::ReadPage(int PageNo, void* Buffer) {
  if (ReadAhead(PageNo, Buffer)) return FPageSize;
  std::int64_t Offset, Length;
  LockRange(PageNo, Offset, Length);
  WaitForReadAccess(Offset, Length);
  const int Got = ReadBytes(PageOffset(PageNo), Buffer, FPageSize);
  std::memset(static_cast<char*>(Buffer) + Got, 0, FPageSize - Got);
  return Got;
}

void TPagedFile::WritePage(int PageNo, const void* Buffer) {
  WriteBytes(PageOffset(PageNo), Buffer, FPageSize);
}

int TPagedFile::ReadBytes(std::int64_t Offset, void* Buffer, int Count) {
  if (!Active() || Offset < 0) return 0;
  std::optional<TPageGate> Gate;
  if (UsesGates()) {
    Gate.emplace(FStream->Handle(), F_RDLCK, GatePage(Offset), GatePages(Offset, Count));
    if (Gate->TimedOut) GiveUpWaiting();
  }
  return FStream->ReadAt(Offset, Buffer, Count);
}

void TPagedFile::WriteBytes(std::int64_t Offset, const void* Buffer, int Count) {
  if (!Active() || Offset < 0) return;
  DropReadAhead();
  std::optional<TPageGate> Gate;
  if (UsesGates()) {
    Gate.emplace(FStream->Handle(), F_WRLCK, GatePage(Offset), GatePages(Offset, Count));
    if (Gate->TimedOut) GiveUpWaiting();
  }
  FStream->WriteAt(Offset, Buffer, Count);
  FCachedSize = std::max(FCachedSize, Offset + Count);
}

std::int64_t TPagedFile::FileSize() {
  if (!Active()) return 0;
  FCachedSize = FStream->Size();
  return FCachedSize;
}

int TPagedFile::RecordCount() {
  if (!Active() || FPageSize <= 0) return 0;
  if (FNeedLocks) FileSize();
  const std::int64_t Count = (FCachedSize - HeaderSize() - FHeaderOffset) / FPageSize;
  return static_cast<int>(std::clamp<std::int64_t>(Count, 0, INT_MAX));
}

void TPagedFile::SetRecordCount(int Value) {
  if (!Active()) return;
  DropReadAhead();
  FCachedSize = FHeaderOffset + HeaderSize() + static_cast<std::int64_t>(Value) * FPageSize;
  FStream->SetSize(FCachedSize);
}

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

void TPagedFile::SetFileSize(std::int64_t Size) {
  if (!Active()) return;
  DropReadAhead();
  FStream->SetSize(Size);
  FCachedSize = Size;
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
  if (!RetryWithinLimit([&] { return !OthersHoldLock(Handle, F_RDLCK, Offset, Length); }))
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
  if (!RetryWithinLimit(Attempt)) GiveUpWaiting();
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
  if (!IsExclusive()) throw EDbaseError(DbaseMessages::NeedExclusiveAccess);
}

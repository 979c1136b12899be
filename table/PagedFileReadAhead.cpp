// TPagedFile: the block of pages a sequential scan reads at once.
#include <time.h>

#include <chrono>
#include <cstring>

#include "table/PagedFile.h"

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

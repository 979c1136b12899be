// A file seen as a header block followed by fixed-size pages, shared with other processes
// through byte-range locks. Tables (pages are records) and index files (512-byte pages) build
// on it.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

// The open modes. Create modes (memory, exclusive-create, shared-create) start from an empty
// file; the shared modes and read-only take locks because others may use the file meanwhile.
enum TPagedFileMode {
  pfMemoryCreate = 1,
  pfExclusiveCreate = 2,
  pfExclusiveOpen = 3,
  pfReadWriteCreate = 4,
  pfReadWriteOpen = 5,
  pfReadOnly = 6
};

class TFileStream;

// How long an operation waits for a lock that another process holds before it gives up with
// EDbaseError (DbaseMessages::LockWaitGaveUp). Others hold their locks for one short change, so a
// longer wait means a lock held for good.
inline constexpr std::chrono::milliseconds DefaultLockWaitLimit{2000};

class TPagedFile {
 public:
  TPagedFile();
  virtual ~TPagedFile();
  TPagedFile(const TPagedFile&) = delete;
  TPagedFile& operator=(const TPagedFile&) = delete;

  // Settings, changed only while closed.
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value);
  TPagedFileMode Mode() const { return FMode; }
  void SetMode(TPagedFileMode Value);
  bool AutoCreate() const { return FAutoCreate; }
  void SetAutoCreate(bool Value) { FAutoCreate = Value; }
  // On (default): page n is locked by one byte at 0xEFFFFFFE - n; off: over the page's bytes.
  bool VirtualLocks() const { return FVirtualLocks; }
  void SetVirtualLocks(bool Value) { FVirtualLocks = Value; }
  // On (default): page n (from 1) follows the header; off: page n lies at n * page size.
  bool PageOffsetByHeader() const { return FPageOffsetByHeader; }
  void SetPageOffsetByHeader(bool Value) { FPageOffsetByHeader = Value; }

  // Opens the file in Mode (creating it where the mode or AutoCreate allows). A missing file
  // raises EFOpenError with the "file not found" text; a sharing conflict EFOpenError too.
  virtual void Open();
  // Flushes the header and closes the file; harmless when closed.
  virtual void Close();
  bool Active() const { return FStream != nullptr; }
  // True when the file was created (or emptied) by the last Open.
  bool Created() const { return FCreated; }
  bool ReadOnly() const { return FMode == pfReadOnly; }
  // Others may use the file: locks are taken and every write goes out at once.
  bool NeedLocks() const { return FNeedLocks; }

  // Header block: HeaderSize bytes at HeaderOffset, held in memory.
  std::int64_t HeaderOffset() const { return FHeaderOffset; }
  void SetHeaderOffset(std::int64_t Value) { FHeaderOffset = Value; }
  int HeaderSize() const { return static_cast<int>(FHeader.size()); }
  void SetHeaderSize(int Value);  // keeps the bytes that still fit, zero-fills the rest
  std::uint8_t* Header() { return FHeader.data(); }
  const std::uint8_t* Header() const { return FHeader.data(); }
  // Reads the header block from the file (zero-filling what the file lacks); returns the
  // number of bytes read.
  int ReadHeader();
  // Marks the header modified; a shared file writes it at once, others at flush or close.
  virtual void WriteHeader();
  // Writes the header if it is marked modified.
  void FlushHeader();
  bool HeaderModified() const { return FHeaderModified; }
  void SetHeaderModified(bool Value) { FHeaderModified = Value; }

  // Page geometry: record size = page size for both file kinds.
  int RecordSize() const { return FRecordSize; }
  void SetRecordSize(int Value);
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value);
  int PagesPerRecord() const { return FPageSize > 0 ? FRecordSize / FPageSize : 0; }

  // Reads page n into Buffer (PageSize bytes); returns the bytes read, the rest zero-filled.
  // On a shared file without virtual locks the read waits while another process holds a lock
  // over the page, giving up as LockPage does.
  [[nodiscard]] int ReadPage(int PageNo, void* Buffer);
  void WritePage(int PageNo, const void* Buffer);
  // File offset of page n.
  std::int64_t PageOffset(int PageNo) const;

  // (file size - header) / page size, never below 0; re-read from the file when shared.
  int RecordCount();
  // Truncates or extends the file to header + Value records.
  void SetRecordCount(int Value);
  std::int64_t FileSize();

  // Byte-range locks; no-ops (true) when the file is not shared or wholly locked by us.
  // Wait retries until LockWaitLimit() has passed and then raises EDbaseError; without it a
  // conflict fails at once.
  [[nodiscard]] bool LockPage(int PageNo, bool Wait);
  void UnlockPage(int PageNo);
  [[nodiscard]] bool LockAllPages(bool Wait);
  void UnlockAllPages();
  bool FileLocked() const { return FFileLocked; }
  // True when another process holds a lock on one of the pages First..Last (virtual locks).
  bool OthersLockPages(int First, int Last) const;

  // Exclusive access for operations that need the file alone: a shared file is reopened in
  // exclusive-open mode (falling back to the shared mode if that fails); EndExclusive returns
  // to the remembered mode. Calls nest.
  void TryExclusive();
  void EndExclusive();
  bool IsExclusive() const {
    return FMode == pfExclusiveOpen || FMode == pfExclusiveCreate || FMode == pfMemoryCreate;
  }
  // Raises EDbaseError "Exclusive access is required for this operation." when not exclusive.
  void CheckExclusiveAccess() const;

  // The limit of every wait for another process's lock (gates, plain page locks, locks taken
  // with Wait), for the whole process. Tests shorten it; everyone else keeps the default.
  static std::chrono::milliseconds LockWaitLimit();
  static void SetLockWaitLimit(std::chrono::milliseconds Value);

 protected:
  // Called after TryExclusive/EndExclusive reopened the file (the header may have changed).
  virtual void AfterReopen() {}
  // Raw access for subclasses (writing the end-of-file byte, descriptors).
  int ReadBytes(std::int64_t Offset, void* Buffer, int Count);
  void WriteBytes(std::int64_t Offset, const void* Buffer, int Count);
  // Writes the header block now, whatever the mode (used by WriteHeader and FlushHeader).
  void WriteHeaderNow();
  // Cuts or extends the file to Size bytes (putting back what a failed write added).
  void SetFileSize(std::int64_t Size);
  // Raises EDbaseError DbaseMessages::LockWaitGaveUp naming the file.
  [[noreturn]] void GiveUpWaiting() const;

 private:
  [[nodiscard]] bool TryLock(std::int64_t Offset, std::int64_t Length, bool Wait);
  void Unlock(std::int64_t Offset, std::int64_t Length);
  void LockRange(int PageNo, std::int64_t& Offset, std::int64_t& Length) const;
  void WaitForReadAccess(std::int64_t Offset, std::int64_t Length);
  [[nodiscard]] bool ReadAhead(int PageNo, void* Buffer);
  // Whether the block read ahead has passed the age at which others' writes must show.
  bool ReadAheadExpired() const;
  static std::chrono::nanoseconds CoarseClockNow();
  // Reads and writes of a shared file meet at per-page gates (see TPageGate).
  bool UsesGates() const;
  std::int64_t GatePage(std::int64_t Offset) const;
  std::int64_t GatePages(std::int64_t Offset, int Count) const;
  void DropReadAhead() { FReadAheadCount = 0; }

  std::string FFileName;
  TPagedFileMode FMode = pfReadOnly;
  TPagedFileMode FSavedMode = pfReadOnly;
  int FExclusiveDepth = 0;
  bool FSwitchedToExclusive = false;
  std::set<int> FLockedPages;  // page locks we hold, to restore after a whole-file unlock
  bool FAutoCreate = false;
  bool FVirtualLocks = true;
  bool FPageOffsetByHeader = true;
  bool FNeedLocks = false;
  bool FFileLocked = false;
  bool FCreated = false;
  std::unique_ptr<TFileStream> FStream;
  std::int64_t FHeaderOffset = 0;
  std::vector<std::uint8_t> FHeader;
  bool FHeaderModified = false;
  int FRecordSize = 0;
  int FPageSize = 0;
  std::int64_t FCachedSize = 0;
  // Pages read ahead during a sequential scan; see ReadAhead.
  std::vector<std::uint8_t> FReadAheadBlock;
  int FReadAheadFirst = 0;
  int FReadAheadCount = 0;
  int FLastPageRead = -1;
  std::chrono::steady_clock::time_point FReadAheadTime;
  std::chrono::nanoseconds FReadAheadCoarseTime{};
};

// Holds a page lock for a scope: taken at construction (waiting or not), released at the end
// of the scope, on every path out of it.
class TPageLock {
 public:
  TPageLock(TPagedFile& File, int PageNo, bool Wait)
      : FFile(File), FPageNo(PageNo), FLocked(File.LockPage(PageNo, Wait)) {}
  ~TPageLock() { Release(); }
  TPageLock(const TPageLock&) = delete;
  TPageLock& operator=(const TPageLock&) = delete;
  bool Locked() const { return FLocked; }
  int PageNo() const { return FPageNo; }
  // Leaves the lock taken, for whoever releases it later.
  void Detach() { FLocked = false; }
  void Release() {
    if (FLocked) FFile.UnlockPage(FPageNo);
    FLocked = false;
  }

 private:
  TPagedFile& FFile;
  int FPageNo;
  bool FLocked;
};

#include "table/PagedFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

#include "table/DbaseMessages.h"
#include "table/FileStream.h"
#include "table/OfdLocks.h"

namespace {

bool IsCreateMode(TPagedFileMode Mode) {
  return Mode == pfMemoryCreate || Mode == pfExclusiveCreate || Mode == pfReadWriteCreate;
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

void TPagedFile::SetFileSize(std::int64_t Size) {
  if (!Active()) return;
  DropReadAhead();
  FStream->SetSize(Size);
  FCachedSize = Size;
}

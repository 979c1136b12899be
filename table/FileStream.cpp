#include "table/FileStream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "table/DbaseMessages.h"

namespace {
TFileWriter PlainWriter;
TFileWriter* InstalledWriter = &PlainWriter;
}  // namespace

ssize_t TFileWriter::Write(int Handle, const void* Buffer, std::size_t Count, std::int64_t Offset) {
  return ::pwrite(Handle, Buffer, Count, Offset);
}

int TFileWriter::Truncate(int Handle, std::int64_t Length) {
  return ::ftruncate(Handle, Length);
}

TFileWriter& TFileWriter::Current() {
  return *InstalledWriter;
}

TFileWriter* TFileWriter::Install(TFileWriter* Writer) {
  TFileWriter* Before = InstalledWriter == &PlainWriter ? nullptr : InstalledWriter;
  InstalledWriter = Writer ? Writer : &PlainWriter;
  return Before;
}

int TMemoryStream::ReadAt(std::int64_t Offset, void* Buffer, int Count) {
  if (Offset < 0 || Offset >= Size() || Count <= 0) return 0;
  const int Available = static_cast<int>(std::min<std::int64_t>(Count, Size() - Offset));
  std::memcpy(Buffer, FData.data() + Offset, Available);
  return Available;
}

void TMemoryStream::WriteAt(std::int64_t Offset, const void* Buffer, int Count) {
  if (Count <= 0) return;
  if (Offset + Count > Size()) FData.resize(static_cast<std::size_t>(Offset + Count));
  std::memcpy(FData.data() + Offset, Buffer, Count);
}

TPosixFileStream::~TPosixFileStream() {
  ::close(FHandle);
}

void TPosixFileStream::Fail() const {
  throw EDbaseError(FormatMessage(DbaseMessages::IoError, FFileName.c_str(), std::strerror(errno)));
}

int TPosixFileStream::ReadAt(std::int64_t Offset, void* Buffer, int Count) {
  int Done = 0;
  while (Done < Count) {
    const ssize_t Got =
        ::pread(FHandle, static_cast<char*>(Buffer) + Done, Count - Done, Offset + Done);
    if (Got == 0) break;
    if (Got < 0) {
      // A read refused for the moment is retried every millisecond.
      if (errno == EINTR || errno == EAGAIN) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
      Fail();
    }
    Done += static_cast<int>(Got);
  }
  return Done;
}

void TPosixFileStream::WriteAt(std::int64_t Offset, const void* Buffer, int Count) {
  int Done = 0;
  while (Done < Count) {
    const ssize_t Put = TFileWriter::Current().Write(
        FHandle, static_cast<const char*>(Buffer) + Done, Count - Done, Offset + Done);
    if (Put < 0) {
      if (errno == EINTR) continue;
      Fail();
    }
    if (Put == 0) {
      errno = ENOSPC;  // a write that makes no progress would otherwise spin here
      Fail();
    }
    Done += static_cast<int>(Put);
  }
}

std::int64_t TPosixFileStream::Size() {
  struct stat St;
  if (::fstat(FHandle, &St) != 0) Fail();
  return St.st_size;
}

void TPosixFileStream::SetSize(std::int64_t Value) {
  if (TFileWriter::Current().Truncate(FHandle, Value) != 0) Fail();
}

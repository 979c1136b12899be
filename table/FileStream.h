// The byte store under a paged file: a POSIX file, or memory for memory mode.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// The system calls that change a file. Every file stream writes through the one installed, so
// that tests can make a chosen write fail (or the process stop there).
class TFileWriter {
 public:
  virtual ~TFileWriter() = default;
  virtual ssize_t Write(int Handle, const void* Buffer, std::size_t Count, std::int64_t Offset);
  virtual int Truncate(int Handle, std::int64_t Length);
  // The writer in use: the plain system calls unless another was installed.
  static TFileWriter& Current();
  // Installs Writer (nullptr: the plain one) and returns the one installed before.
  static TFileWriter* Install(TFileWriter* Writer);
};

class TFileStream {
 public:
  virtual ~TFileStream() = default;
  // Reads up to Count bytes at Offset; returns the bytes read (fewer at the end of the file).
  virtual int ReadAt(std::int64_t Offset, void* Buffer, int Count) = 0;
  virtual void WriteAt(std::int64_t Offset, const void* Buffer, int Count) = 0;
  virtual std::int64_t Size() = 0;
  virtual void SetSize(std::int64_t Value) = 0;
  // The descriptor byte-range locks work on; -1 for memory.
  virtual int Handle() const { return -1; }
};

class TMemoryStream : public TFileStream {
 public:
  int ReadAt(std::int64_t Offset, void* Buffer, int Count) override;
  void WriteAt(std::int64_t Offset, const void* Buffer, int Count) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }
  void SetSize(std::int64_t Value) override { FData.resize(static_cast<std::size_t>(Value)); }

 private:
  std::vector<std::uint8_t> FData;
};

// An open file descriptor; I/O errors raise EDbaseError naming the file.
class TPosixFileStream : public TFileStream {
 public:
  TPosixFileStream(int Handle, std::string FileName)
      : FHandle(Handle), FFileName(std::move(FileName)) {}
  ~TPosixFileStream() override;
  int ReadAt(std::int64_t Offset, void* Buffer, int Count) override;
  void WriteAt(std::int64_t Offset, const void* Buffer, int Count) override;
  std::int64_t Size() override;
  void SetSize(std::int64_t Value) override;
  int Handle() const override { return FHandle; }

 private:
  [[noreturn]] void Fail() const;
  int FHandle;
  std::string FFileName;
};

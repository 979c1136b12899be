// A file writer for the fault tests: passes writes through until the chosen one, which it
// fails after writing half of its bytes (as a full disk does), or where it ends the process.
#pragma once

#include <unistd.h>

#include <cerrno>

#include "table/FileStream.h"

class TFailingWriter : public TFileWriter {
 public:
  enum TFault { fkDiskFull, fkCrash };
  TFailingWriter(int FailAt, TFault Fault) : FFailAt(FailAt), FFault(Fault) {
    FBefore = Install(this);
  }
  ~TFailingWriter() override { Install(FBefore); }
  TFailingWriter(const TFailingWriter&) = delete;
  TFailingWriter& operator=(const TFailingWriter&) = delete;

  ssize_t Write(int Handle, const void* Buffer, std::size_t Count, std::int64_t Offset) override {
    if (++FCalls != FFailAt) return TFileWriter::Write(Handle, Buffer, Count, Offset);
    if (FFault == fkCrash) ::_exit(0);
    if (TFileWriter::Write(Handle, Buffer, Count / 2, Offset) < 0) return -1;
    errno = ENOSPC;
    return -1;
  }
  int Truncate(int Handle, std::int64_t Length) override {
    if (++FCalls != FFailAt) return TFileWriter::Truncate(Handle, Length);
    if (FFault == fkCrash) ::_exit(0);
    errno = EIO;
    return -1;
  }
  // The chosen write was reached (so the operation did not run through untouched).
  bool Fired() const { return FCalls >= FFailAt; }
  // Stops failing: what follows (closing the files) writes normally.
  void Disarm() { FFailAt = 0; }

 private:
  int FFailAt;
  TFault FFault;
  int FCalls = 0;
  TFileWriter* FBefore = nullptr;
};

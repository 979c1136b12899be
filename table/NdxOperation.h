// The bracket around every index operation, shared by the index's source files.
#pragma once

#include "table/NdxIndex.h"

// Brackets one index operation: on a shared file it holds the header lock and starts from a
// freshly read header; Commit writes the changes, anything else undoes them.
class TIndexOperation {
 public:
  explicit TIndexOperation(TIndexFile& File) : FFile(File) { FFile.BeginOperation(); }
  ~TIndexOperation() {
    if (!FDone) FFile.AbandonOperation();
  }
  TIndexOperation(const TIndexOperation&) = delete;
  TIndexOperation& operator=(const TIndexOperation&) = delete;
  void Commit() {
    FFile.EndOperation();
    FDone = true;
  }

 private:
  TIndexFile& FFile;
  bool FDone = false;
};

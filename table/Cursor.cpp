#include "table/Cursor.h"

void TDbaseCursor::Last() {
  const int Count = FFile.RecordCount();
  FPosition = Count > 0 ? Count + 1 : 0;
}

bool TDbaseCursor::Next() {
  // The count is taken anew each time so that records other processes append are reached.
  const int Count = FFile.RecordCount();
  FPosition = FPosition > Count ? Count + 1 : FPosition + 1;
  return FPosition <= Count;
}

bool TDbaseCursor::Prior() {
  if (FPosition > 0) --FPosition;
  return FPosition > 0;
}

#include "table/Cursor.h"

void TDbaseCursor::Last() {
  FKnownCount = FFile.RecordCount();
  FPosition = FKnownCount > 0 ? FKnownCount + 1 : 0;
}

bool TDbaseCursor::Next() {
  // The count is taken anew only at the end of the records known so far, so that records other
  // processes append are reached without asking the file's size for every record.
  if (FPosition + 1 > FKnownCount) FKnownCount = FFile.RecordCount();
  FPosition = FPosition > FKnownCount ? FKnownCount + 1 : FPosition + 1;
  return FPosition <= FKnownCount;
}

bool TDbaseCursor::Prior() {
  if (FPosition > 0) --FPosition;
  return FPosition > 0;
}

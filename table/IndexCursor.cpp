#include "table/IndexCursor.h"

#include <vector>

void TIndexCursor::SetPhysicalRecNo(int RecNo) {
  std::vector<std::uint8_t> Record(FFile.RecordSize());
  if (RecNo < 1 || !FFile.ReadRecord(RecNo, Record.data()) ||
      !FIndex.CursorGotoRecord(RecNo, Record.data()))
    FIndex.CursorFirst();
}

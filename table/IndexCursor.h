// A cursor that visits a table's records in the key order of one of its NDX indexes.
#pragma once

#include "table/Cursor.h"
#include "table/NdxIndex.h"

class TIndexCursor : public TVirtualCursor {
 public:
  explicit TIndexCursor(TIndexFile& Index) : TVirtualCursor(Index.Table()), FIndex(Index) {}

  TIndexFile& Index() const { return FIndex; }
  void First() override { FIndex.CursorFirst(); }
  void Last() override { FIndex.CursorLast(); }
  bool Next() override { return FIndex.CursorNext(); }
  bool Prior() override { return FIndex.CursorPrior(); }
  int PhysicalRecNo() override { return FIndex.CursorRecNo(); }
  // Finds the entry of that record; a record the index does not hold leaves the cursor before
  // the first entry.
  void SetPhysicalRecNo(int RecNo) override;
  // An estimate from the root page.
  int RecordCount() override { return FIndex.EstimatedCount(); }
  int SequentialRecNo() override { return FIndex.CursorRecNo(); }
  int Bookmark() override { return FIndex.CursorRecNo(); }
  void GotoBookmark(int Value) override { SetPhysicalRecNo(Value); }

 private:
  TIndexFile& FIndex;
};

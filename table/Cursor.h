// Cursors decide the order in which a table's records are visited. TDbaseCursor walks the
// physical record numbers; an index cursor walks an index's keys and replaces it when the
// table is ordered by an index.
#pragma once

#include "table/DbaseFile.h"

class TVirtualCursor {
 public:
  explicit TVirtualCursor(TDbaseFile& File) : FFile(File) {}
  virtual ~TVirtualCursor() = default;
  TVirtualCursor(const TVirtualCursor&) = delete;
  TVirtualCursor& operator=(const TVirtualCursor&) = delete;

  TDbaseFile& File() const { return FFile; }
  // Before the first record / after the last one.
  virtual void First() = 0;
  virtual void Last() = 0;
  // Step; false when there is no record that way (the cursor is then before or after all).
  virtual bool Next() = 0;
  virtual bool Prior() = 0;
  // Record number in the file of the current place (0 or count + 1 outside the records).
  virtual int PhysicalRecNo() = 0;
  virtual void SetPhysicalRecNo(int RecNo) = 0;
  virtual int RecordCount() = 0;
  // Place in the cursor's own order, and what a bookmark of the current record holds.
  virtual int SequentialRecNo() = 0;
  virtual int Bookmark() = 0;
  virtual void GotoBookmark(int Value) = 0;

 protected:
  TDbaseFile& FFile;
};

class TDbaseCursor : public TVirtualCursor {
 public:
  using TVirtualCursor::TVirtualCursor;

  void First() override { FPosition = 0; }
  void Last() override;
  bool Next() override;
  bool Prior() override;
  int PhysicalRecNo() override { return FPosition; }
  void SetPhysicalRecNo(int RecNo) override { FPosition = RecNo; }
  // Deleted records included; re-read from the file size when the table is shared.
  int RecordCount() override { return FFile.RecordCount(); }
  int SequentialRecNo() override { return FPosition; }
  int Bookmark() override { return FPosition; }
  void GotoBookmark(int Value) override { FPosition = Value; }

 private:
  int FPosition = 0;
  int FKnownCount = 0;  // the record count last read from the file
};

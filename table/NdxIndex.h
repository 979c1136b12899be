// An NDX index: a single-key B-tree over a dBase table, kept in 512-byte pages. It maintains
// itself when the table file writes records and walks its leaves for an index cursor.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "table/DbaseFile.h"
#include "table/NdxKey.h"
#include "table/NdxPage.h"
#include "table/PagedFile.h"

enum TIndexOption : unsigned {
  ixPrimary = 1,
  ixUnique = 2,
  ixDescending = 4,
  ixCaseInsensitive = 8,
  ixExpression = 16,
  ixNonMaintained = 32,
};
using TIndexOptions = unsigned;

class TIndexFile : public TPagedFile, public TDbaseIndexLink {
 public:
  // Table: the table file the keys come from; it outlives the index.
  explicit TIndexFile(TDbaseFile& Table);
  ~TIndexFile() override;

  // Opens the file in Mode. An existing index is read and checked (ENdxDamaged for a damaged
  // one, or one whose change a crash cut off); a new (created) file is left empty for
  // CreateIndex.
  void Open() override;
  // Writes the modified pages and the header, then closes the file.
  void Close() override;
  // Starts a new index in a file opened in a create mode: header and an empty root leaf. The
  // table must be held exclusively.
  void CreateIndex(const std::string& Expression, TIndexOptions Options);
  // Inserts the key of every record (deleted ones included) in file order; an exclusive file
  // is flushed after it.
  void Rebuild();
  // Writes the pages and header held in memory (exclusive mode keeps them until now).
  void Flush();

  const TNdxHeader& IndexHeader() const { return FHdr; }
  const TNdxKey& Key() const { return FKey; }
  TDbaseFile& Table() const { return FTable; }
  TUniqueMode UniqueMode() const { return FHdr.UniqueMode(); }

  // Maintenance, called by the table file. Every change is all or nothing: a failure leaves
  // the index as it was.
  const std::string& IndexFileName() const override { return FileName(); }
  // Raises EDbaseError with the key violation text for a duplicate in a distinct index.
  void InsertKey(int RecNo, const std::uint8_t* Record) override;
  // A key that is not present leaves the index unchanged.
  void DeleteKey(int RecNo, const std::uint8_t* Record) override;
  void UpdateKey(int RecNo, const std::uint8_t* OldRecord, const std::uint8_t* NewRecord) override;
  void RecordDeleted(int RecNo, const std::uint8_t* Record) override;
  void BeginChange() override { BeginOperation(); }
  void WriteChange() override;
  void EndChange(bool Keep) override;

  // Cursor: before the first / after the last entry, stepping in key order. The position is
  // remembered as (key, record number), so it survives changes to the tree.
  void CursorFirst();
  void CursorLast();
  bool CursorNext();
  bool CursorPrior();
  // Record number of the current entry, 0 before the first or after the last.
  int CursorRecNo() const { return FCursorState == csOnEntry ? int(FCursorRecNo) : 0; }
  // Moves to the entry of record RecNo (whose contents are Record); false when absent.
  bool CursorGotoRecord(int RecNo, const std::uint8_t* Record);
  // Moves to the first entry whose key is not less than Key; true when that key equals Key.
  bool CursorSeek(const TNdxKeyBytes& Key);
  // Entries of the root + 1, times the entries one root entry stands for.
  int EstimatedCount();

  // Page n of the tree, read and checked (EDbaseError for a page the header does not cover or
  // whose count does not fit). For walking the tree (verifier, cursor).
  const TNdxPage& TreePage(std::uint32_t PageNo) { return Page(PageNo); }
  // Rereads the header (and forgets cached pages) when others may have changed the file.
  void Refresh();
  // Keys an inner or leaf page may hold.
  int InnerCapacity() const { return FHdr.KeysPerPage - 1; }
  int LeafCapacity() const { return FHdr.KeysPerPage; }

 private:
  friend class TIndexOperation;
  struct TPathEntry {
    std::uint32_t PageNo;
    int Pos;
  };
  enum TCursorState { csBefore, csAfter, csOnEntry };

  // Page cache and allocation.
  TNdxPage& Page(std::uint32_t PageNo);
  TNdxPage& Modify(std::uint32_t PageNo);
  TNdxPage& Allocate();
  void ReadIndexHeader();
  void WriteIndexHeader();
  void MarkChange();
  void CheckChangeMark();
  void LockChangedPage(std::uint32_t PageNo);
  void UnlockChangedPages();
  void WritePages();
  void DropPages();
  bool Full(const TNdxPage& P) const;

  // Operations: shared files lock the header and start from a fresh copy; a failure restores
  // every page touched.
  void BeginOperation();
  void EndOperation();
  void AbandonOperation();
  void FinishOperation();
  void RestoreFile();

  // Tree algorithms.
  int Find(const TNdxPage& P, const std::uint8_t* Key, bool After) const;
  void Descend(const std::uint8_t* Key, bool After);
  bool SettleForward();
  bool StepBack();
  bool SettleBack();
  void DescendEdge(bool Rightmost);
  bool Advance();
  bool SeekEntry(const std::uint8_t* Key, std::uint32_t RecNo);
  TNdxPage& Leaf() { return Page(FPath.back().PageNo); }
  void InsertInto(const std::uint8_t* Key, std::uint32_t RecNo);
  void SplitChild(TNdxPage& Parent, int Pos, TNdxPage& Child, int ChildPos);
  void RemoveAt();
  void RemoveChild(int Level);
  void PropagateMax(const std::uint8_t* Key, int Level);
  void Insert(const std::uint8_t* Key, std::uint32_t RecNo);
  bool Remove(const std::uint8_t* Key, std::uint32_t RecNo);

  // Cursor helpers: finding the remembered entry again after the tree may have changed.
  enum TReposition { rpFound, rpAfter, rpEnd };
  TReposition Reposition();
  bool CursorPathHolds();
  void Remember();
  void CountStep();
  void CheckDepth() const;

  TDbaseFile& FTable;
  TNdxHeader FHdr;
  TNdxKey FKey;
  std::unordered_map<std::uint32_t, std::unique_ptr<TNdxPage>> FPages;
  std::vector<TPathEntry> FPath;
  // Pages as they were before the running operation touched them, and the header then.
  std::map<std::uint32_t, TNdxBytes> FUndo;
  TNdxHeader FUndoHdr;
  std::int64_t FUndoFileSize = 0;
  bool FWroteOperation = false;  // pages of the running operation went to the file
  int FOperationDepth = 0;
  std::optional<TPageLock> FOperationLock;    // the header lock of a shared file's operation
  std::set<std::uint32_t> FChangedPageLocks;  // page locks of the running operation's changes
  bool FIndexReady = false;
  bool FMarkedInFile = false;  // we set the change mark in the file and have not cleared it
  bool FFoundMark = false;     // the header last read carried the mark

  TCursorState FCursorState = csBefore;
  TNdxKeyBytes FCursorKey;
  std::uint32_t FCursorRecNo = 0;
  std::vector<TPathEntry> FCursorPath;
  std::uint64_t FCursorSteps = 0;
};

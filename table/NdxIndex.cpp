#include "table/NdxIndex.h"

#include <algorithm>
#include <cctype>

#include "platform/core/SysUtils.h"
#include "table/NdxMessages.h"
#include "table/NdxOperation.h"

namespace {

const char* const ChangeCutOff = "a change to it was cut off before it was complete";

}  // namespace

TIndexFile::TIndexFile(TDbaseFile& Table) : FTable(Table) {
  SetPageOffsetByHeader(false);
  SetVirtualLocks(false);
}

TIndexFile::~TIndexFile() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; Close is called explicitly where failures matter.
  }
}

void TIndexFile::Open() {
  SetHeaderOffset(0);
  SetPageSize(NdxPageSize);
  SetRecordSize(NdxPageSize);
  SetHeaderSize(NdxPageSize);
  TPagedFile::Open();
  DropPages();
  FIndexReady = false;
  FMarkedInFile = false;
  if (Created()) return;
  try {
    ReadIndexHeader();
    CheckChangeMark();
    FKey = TNdxKey(FTable.FieldDefs(), FHdr.Expression);
    if (FKey.KeyType() != FHdr.KeyType)
      throw ENdxDamaged(NdxDamaged(FileName(), "key type does not match the expression"));
    FKey.SetLayout(FHdr.KeyLength, FHdr.Descending());
    Page(FHdr.RootPage);
    FIndexReady = true;
  } catch (...) {
    TPagedFile::Close();
    throw;
  }
}

void TIndexFile::Close() {
  if (!Active()) return;
  try {
    // A shared file's changes reached it inside their operations, under the header lock.
    // Writing the header held here once more would put back a next free page that peers have
    // moved on since, and the pages they added would fall outside the index.
    if (FIndexReady && !ReadOnly() && !NeedLocks()) Flush();
  } catch (...) {
    FIndexReady = false;
    TPagedFile::Close();
    DropPages();
    throw;
  }
  FIndexReady = false;
  TPagedFile::Close();
  DropPages();
}

void TIndexFile::CreateIndex(const std::string& Expression, TIndexOptions Options) {
  FTable.CheckExclusiveAccess();
  std::string Upper = Expression;
  for (char& C : Upper) C = char(std::toupper(static_cast<unsigned char>(C)));
  Upper = std::string(Trim(Upper, " "));
  TNdxKey Key(FTable.FieldDefs(), Upper);

  std::uint8_t Flags = Key.KeyType() == 'C' ? ndxCharKey : 0;
  if (Options & ixDescending) Flags |= ndxDescending;
  if (Options & ixPrimary)
    Flags |= ndxDistinct | ndxUnique;
  else if (Options & ixUnique)
    Flags |= ndxUnique;
  const std::uint8_t PrimaryByte = (Options & ixPrimary) ? 0x21 : (Options & ixUnique) ? 1 : 0;

  DropPages();
  FHdr = TNdxHeader::Make(Upper, Key.KeyType(), Key.ExpressionLength(), Flags, PrimaryByte);
  FKey = Key;
  FKey.SetLayout(FHdr.KeyLength, FHdr.Descending());
  FHdr.NextFreePage = 1;
  FHdr.RootPage = Allocate().PageNo();
  FIndexReady = true;
  Flush();
}

void TIndexFile::Rebuild() {
  TIndexOperation Op(*this);
  std::vector<std::uint8_t> Record(FTable.RecordSize());
  TNdxKeyBytes Key(FHdr.KeyLength);
  const int Count = FTable.RecordCount();
  for (int RecNo = 1; RecNo <= Count; ++RecNo) {
    if (!FTable.ReadRecord(RecNo, Record.data())) break;
    FKey.Build(Record.data(), Key.data());
    Insert(Key.data(), std::uint32_t(RecNo));
  }
  Op.Commit();
  if (!NeedLocks()) Flush();
}

void TIndexFile::Flush() {
  if (!FIndexReady) return;
  WritePages();
  WriteIndexHeader();
  FlushHeader();
  FMarkedInFile = false;
}

void TIndexFile::InsertKey(int RecNo, const std::uint8_t* Record) {
  TIndexOperation Op(*this);
  Insert(FKey.Build(Record).data(), std::uint32_t(RecNo));
  Op.Commit();
}

void TIndexFile::DeleteKey(int RecNo, const std::uint8_t* Record) {
  TIndexOperation Op(*this);
  Remove(FKey.Build(Record).data(), std::uint32_t(RecNo));
  Op.Commit();
}

void TIndexFile::UpdateKey(int RecNo, const std::uint8_t* OldRecord,
                           const std::uint8_t* NewRecord) {
  const TNdxKeyBytes OldKey = FKey.Build(OldRecord), NewKey = FKey.Build(NewRecord);
  if (OldKey == NewKey) return;
  // One operation: a refused new key undoes the removal, so the old key stays.
  TIndexOperation Op(*this);
  Remove(OldKey.data(), std::uint32_t(RecNo));
  Insert(NewKey.data(), std::uint32_t(RecNo));
  Op.Commit();
}

void TIndexFile::RecordDeleted(int RecNo, const std::uint8_t* Record) {
  if (UniqueMode() == TUniqueMode::umDistinct) DeleteKey(RecNo, Record);
}

void TIndexFile::Refresh() {
  if (FOperationDepth > 0 || !NeedLocks()) return;
  DropPages();
  ReadIndexHeader();
}

TNdxPage& TIndexFile::Page(std::uint32_t PageNo) {
  if (PageNo == 0 || PageNo >= FHdr.NextFreePage)
    throw ENdxDamaged(NdxDamaged(FileName(), "page " + std::to_string(PageNo) +
                                                 " is not below the next free page " +
                                                 std::to_string(FHdr.NextFreePage)));
  auto& Slot = FPages[PageNo];
  if (Slot) return *Slot;
  auto P = std::make_unique<TNdxPage>(PageNo, FHdr.EntrySize, FHdr.KeyLength);
  if (ReadPage(int(PageNo), P->Data().data()) < NdxPageSize) {
    FPages.erase(PageNo);
    throw ENdxDamaged(NdxDamaged(
        FileName(), "page " + std::to_string(PageNo) + " lies beyond the end of the file"));
  }
  const std::uint32_t Count = GetLE32(P->Data().data());
  const std::uint32_t Limit = std::uint32_t(P->IsInner() ? InnerCapacity() : LeafCapacity());
  if (Count > Limit) {
    FPages.erase(PageNo);
    throw ENdxDamaged(NdxDamaged(FileName(), "page " + std::to_string(PageNo) + " holds " +
                                                 std::to_string(Count) + " keys, more than " +
                                                 std::to_string(Limit)));
  }
  Slot = std::move(P);
  return *Slot;
}

TNdxPage& TIndexFile::Modify(std::uint32_t PageNo) {
  TNdxPage& P = Page(PageNo);
  LockChangedPage(PageNo);
  MarkChange();
  if (FOperationDepth > 0 && PageNo < FUndoHdr.NextFreePage && !FUndo.contains(PageNo))
    FUndo.emplace(PageNo, P.Data());
  P.SetModified(true);
  return P;
}

TNdxPage& TIndexFile::Allocate() {
  // Callers hold the header lock (an operation) when others share the file.
  if (FHdr.NextFreePage >= NdxMaxPages)
    throw ENdxDamaged(NdxDamaged(FileName(), "no page numbers left"));
  const std::uint32_t PageNo = FHdr.NextFreePage;
  LockChangedPage(PageNo);
  MarkChange();
  ++FHdr.NextFreePage;
  auto P = std::make_unique<TNdxPage>(PageNo, FHdr.EntrySize, FHdr.KeyLength);
  P->SetModified(true);
  TNdxPage& Result = *P;
  FPages[PageNo] = std::move(P);
  return Result;
}

void TIndexFile::ReadIndexHeader() {
  if (ReadHeader() < NdxPageSize)
    throw ENdxDamaged(NdxDamaged(FileName(), "the header is shorter than a page"));
  std::copy_n(Header(), NdxPageSize, FHdr.Raw.begin());
  // The header held in memory never carries the mark, so writing it clears the mark.
  FFoundMark = FHdr.Raw[NdxChangeMarkOffset] == NdxChangeMark;
  if (FFoundMark) FHdr.Raw[NdxChangeMarkOffset] = 0;
  FHdr.Decode(FileName());
  if (FIndexReady && (FHdr.KeyLength != FKey.KeyLength() || FHdr.KeyType != FKey.KeyType()))
    throw ENdxDamaged(NdxDamaged(FileName(), "the key layout changed while open"));
}

void TIndexFile::WriteIndexHeader() {
  FHdr.Encode();
  std::copy(FHdr.Raw.begin(), FHdr.Raw.end(), Header());
  WriteHeader();
}

void TIndexFile::WritePages() {
  std::vector<std::uint32_t> Dirty;
  for (const auto& [PageNo, P] : FPages)
    if (P->Modified()) Dirty.push_back(PageNo);
  std::sort(Dirty.begin(), Dirty.end());
  for (std::uint32_t PageNo : Dirty) {
    TNdxPage& P = *FPages[PageNo];
    WritePage(int(PageNo), P.Data().data());
    P.SetModified(false);
  }
}

void TIndexFile::DropPages() {
  FPages.clear();
  FPath.clear();
}

bool TIndexFile::Full(const TNdxPage& P) const {
  return P.Count() >= (P.IsInner() ? InnerCapacity() : LeafCapacity());
}

void TIndexFile::BeginOperation() {
  if (FOperationDepth++ > 0) return;
  try {
    if (NeedLocks()) {
      FOperationLock.emplace(*this, 0, true);
      DropPages();
      ReadIndexHeader();
      // We hold the header lock, so no live process is amid a change.
      if (FFoundMark) throw ENdxDamaged(NdxDamaged(FileName(), ChangeCutOff));
      FUndoFileSize = FileSize();
    }
  } catch (...) {
    FOperationDepth = 0;
    UnlockChangedPages();
    FOperationLock.reset();
    throw;
  }
  FUndo.clear();
  FUndoHdr = FHdr;
  FWroteOperation = false;
}

void TIndexFile::EndOperation() {
  if (FOperationDepth > 1) {
    --FOperationDepth;
    return;
  }
  // A failed write leaves the operation running, for the bracket to abandon as a whole.
  WriteChange();
  FinishOperation();
}

void TIndexFile::WriteChange() {
  if (FOperationDepth != 1 || !NeedLocks()) return;
  FWroteOperation = true;
  WritePages();
  if (FMarkedInFile || FHdr.RootPage != FUndoHdr.RootPage ||
      FHdr.NextFreePage != FUndoHdr.NextFreePage)
    WriteIndexHeader();
  FMarkedInFile = false;
}

void TIndexFile::EndChange(bool Keep) {
  if (FOperationDepth == 0) return;
  FOperationDepth = 1;
  if (Keep)
    FinishOperation();
  else
    AbandonOperation();
}

void TIndexFile::FinishOperation() {
  FOperationDepth = 0;
  FUndo.clear();
  FWroteOperation = false;
  UnlockChangedPages();
  FOperationLock.reset();
}

// Other dBase engines lock each page over its own 512 bytes while they change it (and the
// header page, which our operations hold throughout, while they allocate). We do the same, so
// that neither side reads a page the other is halfway through; the locks are released only
// once the changed pages are in the file, or put back.
void TIndexFile::LockChangedPage(std::uint32_t PageNo) {
  if (!NeedLocks() || FOperationDepth == 0 || FChangedPageLocks.contains(PageNo)) return;
  static_cast<void>(LockPage(int(PageNo), true));
  FChangedPageLocks.insert(PageNo);
}

void TIndexFile::UnlockChangedPages() {
  for (std::uint32_t PageNo : FChangedPageLocks) UnlockPage(int(PageNo));
  FChangedPageLocks.clear();
}

void TIndexFile::AbandonOperation() {
  if (FOperationDepth == 0) return;
  FOperationDepth = 0;
  if (FWroteOperation) RestoreFile();
  for (auto& [PageNo, Bytes] : FUndo) {
    auto It = FPages.find(PageNo);
    if (It != FPages.end()) It->second->Data() = Bytes;
  }
  FUndo.clear();
  std::erase_if(FPages, [&](const auto& Item) { return Item.first >= FUndoHdr.NextFreePage; });
  FHdr = FUndoHdr;
  FPath.clear();
  if (NeedLocks()) DropPages();
  UnlockChangedPages();
  FOperationLock.reset();
}

// Puts back in the file what the abandoned operation wrote: the pages it changed, the size
// (dropping the pages it added) and the header. Best effort: the failure that got us here is
// the one reported, and rewriting bytes already there rarely fails when the write did.
void TIndexFile::RestoreFile() {
  FWroteOperation = false;
  try {
    for (const auto& [PageNo, Bytes] : FUndo) WritePage(int(PageNo), Bytes.data());
    SetFileSize(FUndoFileSize);
    std::copy(FUndoHdr.Raw.begin(), FUndoHdr.Raw.end(), Header());
    WriteHeaderNow();
    FMarkedInFile = false;
  } catch (const std::exception&) {
  }
}

// Before the first page of a change is touched, the mark goes into the file: one byte, so a
// write that fails leaves nothing. Pages reach the file only after it, and the header that
// follows them clears it; so a crash in between leaves the mark behind.
void TIndexFile::MarkChange() {
  if (FMarkedInFile || ReadOnly()) return;
  // A shared file's abandoned operation rewrites the header, which clears the mark again.
  if (NeedLocks()) FWroteOperation = true;
  WriteBytes(NdxChangeMarkOffset, &NdxChangeMark, 1);
  FMarkedInFile = true;
}

// A mark in a shared file is a live peer's change under way (it holds the header lock
// throughout) or what a dead one left; waiting for the lock tells the two apart.
void TIndexFile::CheckChangeMark() {
  if (!FFoundMark) return;
  if (NeedLocks()) {
    TPageLock Lock(*this, 0, true);
    ReadIndexHeader();
    if (!FFoundMark) return;
  }
  throw ENdxDamaged(NdxDamaged(FileName(), ChangeCutOff));
}

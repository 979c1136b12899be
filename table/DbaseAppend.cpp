// TDbaseFile: appending a record, in the order other dBase engines take the locks.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

#include "platform/core/ByteOrder.h"
#include "table/DbaseFile.h"
#include "table/DbaseFileParts.h"

namespace {

// A record slot never written reads as zero bytes (or not at all, past the end of the file),
// but for the end-of-file byte that may begin it.
bool EmptySlot(const std::uint8_t* Bytes, int Count) {
  return (Bytes[0] == 0 || Bytes[0] == EndOfFile) &&
         std::all_of(Bytes + 1, Bytes + Count, [](std::uint8_t B) { return B == 0; });
}

}  // namespace

void TDbaseFile::FillAutoIncrement(std::uint8_t* Buffer) {
  for (int I = 0; I < FFieldDefs.Count(); ++I) {
    TDbaseFieldDef& Def = FFieldDefs[I];
    if (Def.NativeFieldType != '+') continue;
    std::uint8_t* Next = Header() + FDescriptorOffsets[I] + 42;
    if (FVersion == tvDbase7) Def.AutoIncNext = GetLE32(Next);
    const std::uint32_t Value = std::max<std::uint32_t>(Def.AutoIncNext, 1);
    SetFieldValue(Def, ftAutoInc, TVariant(static_cast<std::int64_t>(Value)), Buffer);
    Def.AutoIncNext = Value + 1;
    if (FVersion == tvDbase7) PutLE32(Next, Def.AutoIncNext);
  }
}

int TDbaseFile::Insert(std::uint8_t* Buffer) {
  // Other dBase engines append in this order: the record lock first, on the first record number
  // from count + 1 on that can be had without waiting, then the header lock, and the count as
  // the header holds it plus one. Taking the locks in their order keeps us and them from
  // deadlocking, and the number a lock holds is never used twice.
  // A lock over the whole file refuses every number; the search stops after a generous few.
  constexpr int MaxSkipped = 1024;
  const int First = RecordCount() + 1;
  std::optional<TPageLock> RecordLock;
  std::vector<std::uint8_t> Slot;
  for (int RecNo = First; !RecordLock || !RecordLock->Locked(); ++RecNo) {
    if (RecNo - First == MaxSkipped) GiveUpWaiting();
    RecordLock.emplace(*this, RecNo, false);
    // The count was read before the lock was had: an appender may have written this record and
    // let its lock go meanwhile. Records are only written under their lock, so what the slot
    // holds now stays until we let go.
    if (RecordLock->Locked() && SlotWritten(RecNo, Slot)) RecordLock->Release();
  }
  const int RecNo = RecordLock->PageNo();
  std::optional<TPageLock> HeaderLock;
  LockHeaderInTurn(RecNo, HeaderLock);
  FHeaderLocked = true;
  const struct TClearFlag {
    bool& Flag;
    ~TClearFlag() { Flag = false; }
  } ClearHeaderLocked{FHeaderLocked};
  RereadSharedHeader();
  TAppendSnapshot Before = TakeAppendSnapshot(RecNo);
  TIndexChanges Changes(FIndexes);
  try {
    FillAutoIncrement(Buffer);
    for (const auto& Index : FIndexes) Index->InsertKey(RecNo, Buffer);
    StampLockField(Buffer);
    Before.Written = true;
    const int Filled = NeedLocks() ? FillAbandonedSlots(RecNo) : 0;
    const bool Last = RecordCount() <= RecNo;
    WriteHeaderLocked(
        CountToWrite(GetLE32(Header() + 4) + 1 + Filled, std::max(RecordCount(), RecNo)), false);
    // The end-of-file byte goes behind the record only when no record follows it yet.
    FAppendBuffer.assign(Buffer, Buffer + RecordSize());
    if (Last) FAppendBuffer.push_back(EndOfFile);
    WriteBytes(PageOffset(RecNo), FAppendBuffer.data(), int(FAppendBuffer.size()));
    Changes.Write();
  } catch (...) {
    Changes.Undo();
    RestoreAppend(Before);
    throw;
  }
  Changes.Keep();
  return RecNo;
}

// Records reach the file in number order: an append whose number lies past slots that others
// are still filling (they hold their locks, beyond the end of the file) lets them write first,
// so that readers meet no empty slot between records. It waits so at most the lock wait limit;
// a peer that holds its record lock that long without writing is passed.
void TDbaseFile::LockHeaderInTurn(int RecNo, std::optional<TPageLock>& HeaderLock) {
  using namespace std::chrono;
  const auto Deadline = steady_clock::now() + LockWaitLimit();
  for (;;) {
    HeaderLock.emplace(*this, 0, true);
    if (!OthersLockPages(RecordCount() + 1, RecNo - 1) || steady_clock::now() >= Deadline) return;
    HeaderLock.reset();
    std::this_thread::sleep_for(microseconds(200));
  }
}

// A slot below ours that holds no record and whose lock no one holds was left by an append
// that gave up or died after others had taken the numbers above it. It becomes a blank record
// flagged deleted (carrying no index key), so that no slot of zero bytes stays in the table.
// Returns the number of slots filled.
int TDbaseFile::FillAbandonedSlots(int RecNo) {
  // Only the last few slots are looked at (appends under way at once are few), read at once.
  const int Window = std::clamp(16384 / RecordSize(), 1, 64);
  const int First = std::max(RecNo - Window, 1);
  if (First >= RecNo) return 0;
  std::vector<std::uint8_t> Slots(static_cast<std::size_t>(RecNo - First) * RecordSize(), 0);
  ReadBytes(PageOffset(First), Slots.data(), int(Slots.size()));
  int Filled = 0;
  std::vector<std::uint8_t> Blank, Again;
  for (int Slot = First; Slot < RecNo; ++Slot) {
    if (!EmptySlot(Slots.data() + static_cast<std::size_t>(Slot - First) * RecordSize(),
                   RecordSize()))
      continue;
    // Read again under the lock: the record may have been written since.
    TPageLock SlotLock(*this, Slot, false);
    if (!SlotLock.Locked()) continue;
    if (SlotWritten(Slot, Again)) continue;
    if (Blank.empty()) {
      Blank.resize(RecordSize());
      InitRecord(Blank.data());
      Blank[0] = '*';
    }
    WriteBytes(PageOffset(Slot), Blank.data(), RecordSize());
    ++Filled;
  }
  return Filled;
}

bool TDbaseFile::SlotWritten(int RecNo, std::vector<std::uint8_t>& Bytes) {
  Bytes.assign(RecordSize(), 0);
  ReadBytes(PageOffset(RecNo), Bytes.data(), RecordSize());
  return !EmptySlot(Bytes.data(), RecordSize());
}

TDbaseFile::TAppendSnapshot TDbaseFile::TakeAppendSnapshot(int RecNo) {
  TAppendSnapshot S;
  S.Size = FileSize();
  S.TailOffset = std::min(PageOffset(RecNo), S.Size);
  S.Tail.resize(static_cast<std::size_t>(S.Size - S.TailOffset));
  ReadBytes(S.TailOffset, S.Tail.data(), static_cast<int>(S.Tail.size()));
  S.Header.assign(Header(), Header() + HeaderSize());
  S.HeaderModified = HeaderModified();
  for (const TDbaseFieldDef& Def : FFieldDefs) S.AutoIncNext.push_back(Def.AutoIncNext);
  return S;
}

// Best effort, like the index's: the write failure is the error reported.
void TDbaseFile::RestoreAppend(const TAppendSnapshot& S) {
  std::copy(S.Header.begin(), S.Header.end(), Header());
  for (int I = 0; I < FFieldDefs.Count(); ++I) FFieldDefs[I].AutoIncNext = S.AutoIncNext[I];
  SetHeaderModified(S.HeaderModified);
  if (!S.Written) return;
  try {
    SetFileSize(S.Size);
    WriteBytes(S.TailOffset, S.Tail.data(), static_cast<int>(S.Tail.size()));
    if (NeedLocks()) WriteHeaderNow();
  } catch (const std::exception&) {
  }
}

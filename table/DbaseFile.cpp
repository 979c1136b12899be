#include "table/DbaseFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <thread>

#include "platform/core/ByteOrder.h"
#include "table/CodePage.h"
#include "table/DbaseMessages.h"

namespace {

constexpr std::uint8_t EndOfFile = 0x1A;
constexpr std::uint8_t DescriptorEnd = 0x0D;
constexpr int MaxFieldCount = 4095;

std::tm LocalNow() {
  const std::time_t Now = std::time(nullptr);
  std::tm Result{};
  localtime_r(&Now, &Result);
  return Result;
}

bool FileExists(const std::string& Name) {
  struct stat St;
  return ::stat(Name.c_str(), &St) == 0;
}

// A record slot never written reads as zero bytes (or not at all, past the end of the file),
// but for the end-of-file byte that may begin it.
bool EmptySlot(const std::uint8_t* Bytes, int Count) {
  return (Bytes[0] == 0 || Bytes[0] == EndOfFile) &&
         std::all_of(Bytes + 1, Bytes + Count, [](std::uint8_t B) { return B == 0; });
}

std::string ComputerName() {
  char Name[256] = {};
  if (::gethostname(Name, sizeof Name - 1) != 0) return {};
  return Name;
}

// The indexes' side of one change of the table: begun on every index at construction, put
// back by Undo or at the end of the scope unless kept.
class TIndexChanges {
 public:
  using TIndexList = std::vector<std::unique_ptr<TDbaseIndexLink>>;
  explicit TIndexChanges(const TIndexList& Indexes) : FIndexes(Indexes) {
    try {
      for (; FBegun < FIndexes.size(); ++FBegun) FIndexes[FBegun]->BeginChange();
    } catch (...) {
      Undo();
      throw;
    }
  }
  ~TIndexChanges() { Undo(); }
  TIndexChanges(const TIndexChanges&) = delete;
  TIndexChanges& operator=(const TIndexChanges&) = delete;
  void Write() {
    for (const auto& Index : FIndexes) Index->WriteChange();
  }
  void Keep() {
    for (; FBegun > 0; --FBegun) FIndexes[FBegun - 1]->EndChange(true);
  }
  void Undo() {
    for (; FBegun > 0; --FBegun) {
      try {
        FIndexes[FBegun - 1]->EndChange(false);
      } catch (const std::exception&) {
      }
    }
  }

 private:
  const TIndexList& FIndexes;
  std::size_t FBegun = 0;
};

}  // namespace

TDbaseFile::TDbaseFile() = default;

TDbaseFile::~TDbaseFile() {
  try {
    TDbaseFile::Close();
  } catch (const std::exception&) {
  }
}

void TDbaseFile::ClassifyVersion() {
  const std::uint8_t Version = Header()[0];
  if (Version == 0xF5)
    FVersion = tvFoxPro;
  else if (Version == 0x30)
    FVersion = tvVisualFoxPro;
  else if ((Version & 7) == 3)
    FVersion = Header()[29] == 0 ? tvDbase3 : tvDbase4;
  else if ((Version & 7) == 4)
    FVersion = tvDbase7;
  else
    throw EDbaseError(DbaseMessages::InvalidDbfFile);
  static const int Levels[] = {0, 3, 4, 7, 25, 30};
  FFieldDefs.SetTableLevel(Levels[FVersion]);
}

void TDbaseFile::Open() {
  FFieldDefs.Clear();
  FLockField = -1;
  FLockedRecord = -1;
  FProductionIndexDropped = false;
  FHasAutoInc = false;
  SetHeaderOffset(0);
  SetPageOffsetByHeader(true);
  SetHeaderSize(32);
  TPagedFile::Open();
  try {
    ReadHeader();
    ClassifyVersion();
    const int HeaderLength = GetLE16(Header() + 8);
    const int RecordLength = GetLE16(Header() + 10);
    if (HeaderLength == 0 || RecordLength == 0) throw EAbort();
    const int Base = FVersion == tvDbase7 ? 68 : 32;
    SetHeaderSize(HeaderLength);
    SetRecordSize(RecordLength);
    SetPageSize(RecordLength);
    if (HeaderLength < Base || ReadHeader() < HeaderLength)
      throw EDbaseError(DbaseMessages::InvalidDbfFile);
    ReadFieldDefs();
    CheckProductionIndex();
    ApplyHeaderFixups();
    ChooseCodePage();
    const int Count = RecordCount();
    if (static_cast<std::uint32_t>(Count) != GetLE32(Header() + 4)) {
      PutLE32(Header() + 4, Count);
      WriteHeader();
    }
  } catch (...) {
    // A failed open leaves the file closed and unchanged.
    SetHeaderModified(false);
    TPagedFile::Close();
    throw;
  }
}

void TDbaseFile::ReadFieldDefs() {
  const bool Level7 = FVersion == tvDbase7;
  const int Base = Level7 ? 68 : 32, DescriptorSize = Level7 ? 48 : 32;
  const int NameSize = Level7 ? 32 : 11;
  const int HeaderLength = HeaderSize();
  const int MaxCount = (HeaderLength - Base) / DescriptorSize;
  FDescriptorOffsets.clear();
  for (int I = 0; I < MaxCount; ++I) {
    const std::uint8_t* Desc = Header() + Base + I * DescriptorSize;
    if (Desc[0] == DescriptorEnd) break;
    std::string Name(reinterpret_cast<const char*>(Desc),
                     strnlen(reinterpret_cast<const char*>(Desc), NameSize));
    while (!Name.empty() && Name.back() == ' ') Name.pop_back();
    TDbaseFieldDef Def(Name, static_cast<char>(Desc[Level7 ? 32 : 11]), Desc[Level7 ? 33 : 16],
                       Desc[Level7 ? 34 : 17]);
    if (Level7) Def.AutoIncNext = GetLE32(Desc + 42);
    const TDbaseFieldDef& Added = FFieldDefs.Add(std::move(Def));
    if (Added.Hidden) FLockField = FFieldDefs.Count() - 1;
    if (Added.NativeFieldType == '+') FHasAutoInc = true;
    FDescriptorOffsets.push_back(Base + I * DescriptorSize);
    const int Next = Base + (I + 1) * DescriptorSize;
    if (Next < HeaderLength && Header()[Next] == DescriptorEnd) break;
  }
  if (FFieldDefs.Count() < 1 || FFieldDefs.Count() > MaxFieldCount)
    throw EDbaseError(FormatMessage(DbaseMessages::InvalidFieldCount, FFieldDefs.Count()));
  // Every field must lie inside the record.
  const TDbaseFieldDef& Last = FFieldDefs[FFieldDefs.Count() - 1];
  if (Last.Offset + Last.StoredLength > RecordSize())
    throw EDbaseError(DbaseMessages::InvalidDbfFile);
}

void TDbaseFile::CheckProductionIndex() {
  if (Header()[28] == 0) return;
  for (const char* Ext : {".mdx", ".MDX"}) {
    const std::string Mdx = std::filesystem::path(FileName()).replace_extension(Ext).string();
    if (!FileExists(Mdx)) continue;
    // Reading is harmless; writing would leave the unmaintained index behind.
    if (ReadOnly()) return;
    throw EDbaseError(FormatMessage(DbaseMessages::MdxNotSupported, Mdx.c_str()));
  }
  if (OnIndexMissing && !OnIndexMissing()) throw EAbort();
  FProductionIndexDropped = true;
}

void TDbaseFile::ApplyHeaderFixups() {
  // The memo bit follows the fields; FoxPro version bytes are taken only as they are.
  if (FVersion == tvDbase3 || FVersion == tvDbase4 || FVersion == tvDbase7) {
    const bool HasBlob = std::any_of(FFieldDefs.begin(), FFieldDefs.end(),
                                     [](const TDbaseFieldDef& D) { return D.IsBlob(); });
    Header()[0] = HasBlob ? (Header()[0] | 0x80) : (Header()[0] & 0x7F);
  }
  if (FProductionIndexDropped) Header()[28] = 0;
}

void TDbaseFile::ChooseCodePage() {
  if (FChosenCodePage != 0) {
    FCodePage = FChosenCodePage;
    FCodePageSource = csChosen;
    return;
  }
  FCodePage = FVersion == tvDbase7 ? CodePageOfLanguageName(std::string_view(
                                         reinterpret_cast<const char*>(Header() + 32),
                                         strnlen(reinterpret_cast<const char*>(Header() + 32), 32)))
                                   : CodePageOfLanguageId(Header()[29]);
  FCodePageSource = csMark;
  if (FCodePage != 0) return;
  // A marked table is taken at its word; only an unmarked one is looked at.
  const bool Utf8 = TextIsUtf8();
  FCodePage = Utf8 ? UTF8_CODEPAGE : OEM_CODEPAGE;
  FCodePageSource = Utf8 ? csUtf8Text : csDefault;
}

// One pass over the character fields of every record, in large reads, stopping at the first
// byte that cannot be UTF-8. The lock field holds binary stamps, not text.
bool TDbaseFile::TextIsUtf8() {
  std::vector<std::pair<int, int>> Fields;  // offset and length in the record
  for (const TDbaseFieldDef& Def : FFieldDefs)
    if (Def.NativeFieldType == 'C' && !Def.Hidden)
      Fields.emplace_back(Def.Offset, Def.StoredLength);
  const int Count = RecordCount();
  if (Fields.empty() || Count == 0) return false;
  const int Size = RecordSize();
  // Reads of up to 1 MiB, but no larger than the table: a small table opens without zeroing and
  // touching a whole megabyte it never fills.
  const int PerRead = std::max(1, std::min(Count, (1 << 20) / Size));
  std::vector<std::uint8_t> Block(static_cast<std::size_t>(PerRead) * Size);
  bool NonAscii = false;
  for (int First = 1; First <= Count; First += PerRead) {
    const int Records = std::min(PerRead, Count - First + 1);
    const int Got = ReadBytes(PageOffset(First), Block.data(), Records * Size) / Size;
    // Records without a byte above 0x7F hold plain text only, found at a glance.
    const bool Plain =
        ClassifyUtf8(std::string_view(reinterpret_cast<const char*>(Block.data()),
                                      static_cast<std::size_t>(Got) * Size)) == ukAscii;
    for (int R = 0; R < Got && !Plain; ++R) {
      const char* Record = reinterpret_cast<const char*>(Block.data()) + R * Size;
      for (const auto& [Offset, Length] : Fields) {
        const TUtf8Kind Kind = ClassifyUtf8(std::string_view(Record + Offset, Length));
        if (Kind == ukInvalid) return false;
        NonAscii = NonAscii || Kind == ukUtf8;
      }
    }
    if (Got < Records) break;
  }
  return NonAscii;
}

TUpdateDate TDbaseFile::LastUpdate() const {
  const int Year = Header()[1];
  return {Year < 80 ? 2000 + Year : 1900 + Year, Header()[2], Header()[3]};
}

void TDbaseFile::AfterReopen() {
  ReadHeader();
  ApplyHeaderFixups();
}

void TDbaseFile::Close() {
  FIndexes.clear();  // indexes first: they flush their own files
  FLockedRecord = -1;
  FOldRecord.clear();
  TPagedFile::Close();
}

std::uint8_t TDbaseFile::LanguageId() const {
  return HeaderSize() > 29 ? Header()[29] : 0;
}

bool TDbaseFile::ReadRecord(int RecNo, std::uint8_t* Buffer) {
  int Got = 0;
  if (RecNo >= 1) Got = ReadPage(RecNo, Buffer);
  if (Got == RecordSize()) return true;
  std::memset(Buffer + Got, ' ', RecordSize() - Got);
  return false;
}

void TDbaseFile::WriteRecord(int RecNo, const std::uint8_t* Buffer) {
  if (RecNo < 1) return;
  WritePage(RecNo, Buffer);
}

void TDbaseFile::WriteHeader() {
  if (ReadOnly() || !Active()) return;
  // Others append under the header lock; the count and the end-of-file byte must not race them.
  const bool TakeLock = NeedLocks() && !FHeaderLocked;
  std::optional<TPageLock> Lock;
  if (TakeLock) {
    Lock.emplace(*this, 0, true);
    RereadSharedHeader();
  }
  WriteHeaderLocked(CountToWrite(GetLE32(Header() + 4), RecordCount()), true);
}

// Others may have appended since we read the header: their count counts, and auto-increment
// values they advanced must not be put back by a stale copy.
void TDbaseFile::RereadSharedHeader() {
  if (!NeedLocks()) return;
  if (FHasAutoInc) {
    ReadHeader();
    ApplyHeaderFixups();
  } else if (ReadBytes(4, Header() + 4, 4) < 4) {
    PutLE32(Header() + 4, 0);
  }
}

// Every append adds one to the count in the header, so while appends are under way the header
// counts the finished ones, and the file may already hold records past slots still being
// filled; once they are done the two agree. While anyone else holds a record lock an append may
// be under way, and the header's count is kept. With no record lock held, where the two
// disagree the file's size is the truth (a crash, or a program that does not count).
int TDbaseFile::CountToWrite(std::uint32_t HeaderCount, int InFile) const {
  const int Counted = int(std::min<std::uint32_t>(HeaderCount, INT32_MAX));
  if (Counted == InFile) return InFile;
  return OthersLockPages(1, std::max(Counted, InFile)) ? Counted : InFile;
}

void TDbaseFile::WriteHeaderLocked(int Count, bool WithEndOfFile) {
  const std::tm Now = LocalNow();
  Header()[1] = static_cast<std::uint8_t>(Now.tm_year);
  Header()[2] = static_cast<std::uint8_t>(Now.tm_mon + 1);
  Header()[3] = static_cast<std::uint8_t>(Now.tm_mday);
  PutLE32(Header() + 4, Count);
  TPagedFile::WriteHeader();
  // After the last record in the file, which is not always record Count + 1 while appends are
  // under way.
  if (WithEndOfFile) {
    const std::uint8_t Eof = EndOfFile;
    WriteBytes(PageOffset(RecordCount() + 1), &Eof, 1);
  }
}

void TDbaseFile::InitRecord(std::uint8_t* Buffer) const {
  ::InitRecord(FFieldDefs, Buffer, RecordSize());
}

TVariant TDbaseFile::GetFieldData(int Column, TFieldType DataType,
                                  const std::uint8_t* Record) const {
  return GetFieldValue(FFieldDefs[Column], DataType, Record, FDateTimeHandling);
}

TStoredValue TDbaseFile::ReadStoredData(int Column, TFieldType DataType,
                                        const std::uint8_t* Record) const {
  return ReadStoredValue(FFieldDefs[Column], DataType, Record, FDateTimeHandling);
}

void TDbaseFile::SetFieldData(int Column, TFieldType DataType, const TVariant& Value,
                              std::uint8_t* Record) const {
  const TDbaseFieldDef& Def = FFieldDefs[Column];
  const bool Text = (DataType == ftUnknown ? Def.FieldType : DataType) == ftString;
  if (FCodePage == UTF8_CODEPAGE && Text && Value.VarType() == varString) {
    // UTF-8 text too long for the field loses whole characters, never half of one.
    const std::string Whole = Value.AsString();
    const std::size_t Fits = Utf8PrefixLength(Whole, std::min(Def.Size, Def.StoredLength));
    if (Fits < Whole.size()) {
      SetFieldValue(Def, DataType, TVariant(Whole.substr(0, Fits)), Record, FDateTimeHandling);
      return;
    }
  }
  SetFieldValue(Def, DataType, Value, Record, FDateTimeHandling);
}

void TDbaseFile::StampLockField(std::uint8_t* Buffer) {
  if (FLockField < 0) return;
  const TDbaseFieldDef& Def = FFieldDefs[FLockField];
  std::uint8_t* Dst = Buffer + Def.Offset;
  const int Length = Def.StoredLength;
  if (Length < 2) return;
  PutLE16(Dst, GetLE16(Dst) + 1);
  const std::tm Now = LocalNow();
  const std::uint8_t Stamp[] = {
      static_cast<std::uint8_t>(Now.tm_hour),    static_cast<std::uint8_t>(Now.tm_min),
      static_cast<std::uint8_t>(Now.tm_sec),     static_cast<std::uint8_t>(Now.tm_year),
      static_cast<std::uint8_t>(Now.tm_mon + 1), static_cast<std::uint8_t>(Now.tm_mday)};
  std::memcpy(Dst + 2, Stamp, std::min<int>(sizeof Stamp, Length - 2));
  if (Length > 8) {
    const std::string Name = ComputerName();
    std::memset(Dst + 8, ' ', Length - 8);
    std::memcpy(Dst + 8, Name.data(), std::min<std::size_t>(Name.size(), Length - 8));
  }
}

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

void TDbaseFile::LockRecord(int RecNo, std::uint8_t* Buffer) {
  TPageLock Lock(*this, RecNo, false);
  if (!Lock.Locked()) throw EDbaseError(DbaseMessages::RecordLocked);
  ReadRecord(RecNo, Buffer);
  FOldRecord.assign(Buffer, Buffer + RecordSize());
  if (FLockField >= 0) {
    StampLockField(Buffer);
    try {
      WriteRecord(RecNo, Buffer);
    } catch (...) {
      RestoreRecord(RecNo, FOldRecord);
      throw;
    }
  }
  // Held until the record is posted, deleted or released.
  FLockedRecord = RecNo;
  Lock.Detach();
}

void TDbaseFile::PostRecord(int RecNo, const std::uint8_t* Buffer) {
  if (FLockedRecord != RecNo || static_cast<int>(FOldRecord.size()) != RecordSize()) {
    FOldRecord.resize(RecordSize());
    ReadRecord(RecNo, FOldRecord.data());
  }
  // On a failure the keys and the record are put back; the record stays locked for another try.
  WriteLockedRecord(RecNo, Buffer, [&](TDbaseIndexLink& Index) {
    Index.UpdateKey(RecNo, FOldRecord.data(), Buffer);
  });
  UnlockRecord(RecNo);
}

void TDbaseFile::DeleteRecord(int RecNo, std::uint8_t* Buffer) {
  if (FLockedRecord != RecNo) LockRecord(RecNo, Buffer);
  const std::uint8_t Flag = Buffer[0];
  Buffer[0] = '*';
  try {
    WriteLockedRecord(RecNo, Buffer,
                      [&](TDbaseIndexLink& Index) { Index.RecordDeleted(RecNo, Buffer); });
  } catch (...) {
    Buffer[0] = Flag;
    throw;
  }
  UnlockRecord(RecNo);
}

void TDbaseFile::WriteLockedRecord(int RecNo, const std::uint8_t* Buffer,
                                   const std::function<void(TDbaseIndexLink&)>& ChangeKeys) {
  std::vector<std::uint8_t> OnDisk(RecordSize());
  ReadRecord(RecNo, OnDisk.data());
  TIndexChanges Changes(FIndexes);
  bool Written = false;
  try {
    for (const auto& Index : FIndexes) ChangeKeys(*Index);
    Written = true;
    WriteRecord(RecNo, Buffer);
    Changes.Write();
  } catch (...) {
    Changes.Undo();
    if (Written) RestoreRecord(RecNo, OnDisk);
    throw;
  }
  Changes.Keep();
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

void TDbaseFile::RestoreRecord(int RecNo, const std::vector<std::uint8_t>& Bytes) {
  try {
    WriteRecord(RecNo, Bytes.data());
  } catch (const std::exception&) {
  }
}

void TDbaseFile::UnlockRecord(int RecNo) {
  UnlockPage(RecNo);
  if (FLockedRecord == RecNo) {
    FLockedRecord = -1;
    FOldRecord.clear();
  }
}

void TDbaseFile::AddIndex(std::unique_ptr<TDbaseIndexLink> Index) {
  FIndexes.push_back(std::move(Index));
}

bool TDbaseFile::RemoveIndex(const TDbaseIndexLink* Index) {
  const auto It = std::find_if(FIndexes.begin(), FIndexes.end(),
                               [&](const auto& Item) { return Item.get() == Index; });
  if (It == FIndexes.end()) return false;
  FIndexes.erase(It);
  return true;
}

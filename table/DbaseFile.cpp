#include "table/DbaseFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>

#include "platform/core/ByteOrder.h"
#include "table/DbaseFileParts.h"
#include "table/DbaseMessages.h"

namespace {

constexpr std::uint8_t DescriptorEnd = 0x0D;
constexpr int MaxFieldCount = 4095;

bool FileExists(const std::string& Name) {
  struct stat St;
  return ::stat(Name.c_str(), &St) == 0;
}

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
    throw EDbaseError(Tr(DbaseMessages::InvalidDbfFile));
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
      throw EDbaseError(Tr(DbaseMessages::InvalidDbfFile));
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
    throw EDbaseError(Tr(DbaseMessages::InvalidDbfFile));
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

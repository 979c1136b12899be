// Creating a table: the header and descriptors this engine writes for levels 3, 4 and 7.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/core/ByteOrder.h"
#include "table/CodePage.h"
#include "table/DbaseFile.h"
#include "table/DbaseMessages.h"

namespace {

// Width of the types whose length is fixed; 0 for those whose length the caller gives.
int FixedLength(char Letter) {
  switch (Letter) {
    case 'D':
    case 'T':
    case '@':
    case 'O':
      return 8;
    case 'L':
      return 1;
    case 'M':
    case 'B':
    case 'G':
      return 10;
    case 'I':
    case '+':
      return 4;
    default:
      return 0;
  }
}

bool Level34Type(char Letter) {
  return std::strchr("CDFLMN", Letter) != nullptr;
}

// The definitions as a table of Level stores them: type letters and names in capitals, names cut
// to the level's length, fixed sizes filled in; a type or size the level cannot hold is refused.
std::vector<TDbaseFieldDef> StoredDefs(const std::vector<TDbaseFieldDef>& Fields, int Level) {
  const bool Level7 = Level == 7;
  const std::size_t NameLimit = Level7 ? 31 : 10;
  std::vector<TDbaseFieldDef> Defs;
  for (TDbaseFieldDef Def : Fields) {
    Def.NativeFieldType =
        static_cast<char>(std::toupper(static_cast<unsigned char>(Def.NativeFieldType)));
    for (char& C : Def.FieldName)
      C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
    Def.FieldName = Def.FieldName.substr(0, NameLimit);
    const bool Known =
        NativeToFieldType(Def.NativeFieldType, Def.Size, Def.Precision, true) != ftUnknown;
    if (!Known || (!Level7 && !Level34Type(Def.NativeFieldType)))
      throw EDbaseError(FormatMessage(DbaseMessages::InvalidFieldType, Def.NativeFieldType,
                                      Def.FieldName.c_str()));
    if (const int Fixed = FixedLength(Def.NativeFieldType)) Def.Size = Fixed;
    if (Def.Size < 1 || Def.Size > 254 || Def.Precision < 0 || Def.Precision > 255)
      throw EDbaseError(FormatMessage(DbaseMessages::InvalidValue, Def.FieldName.c_str()));
    Defs.push_back(std::move(Def));
  }
  if (Defs.empty() || Defs.size() > 4095)
    throw EDbaseError(
        FormatMessage(DbaseMessages::InvalidFieldCount, static_cast<int>(Defs.size())));
  return Defs;
}

}  // namespace

void TDbaseFile::CreateTable(const std::vector<TDbaseFieldDef>& Fields) {
  int Level = TableLevel();
  if (Level != 3 && Level != 7) Level = 4;
  const bool Level7 = Level == 7;
  const std::vector<TDbaseFieldDef> Defs = StoredDefs(Fields, Level);
  if (Mode() == pfExclusiveOpen) SetMode(pfExclusiveCreate);
  if (Mode() == pfReadWriteOpen || Mode() == pfReadOnly) SetMode(pfReadWriteCreate);
  FFieldDefs.Clear();
  FFieldDefs.SetTableLevel(Level);
  FLockField = -1;
  FLockedRecord = -1;
  FProductionIndexDropped = false;
  FVersion = Level == 3 ? tvDbase3 : Level == 4 ? tvDbase4 : tvDbase7;
  FHasAutoInc = false;
  for (const TDbaseFieldDef& Def : Defs) {
    const TDbaseFieldDef& Added = FFieldDefs.Add(Def);
    if (Added.Hidden) FLockField = FFieldDefs.Count() - 1;
    if (Added.NativeFieldType == '+') FHasAutoInc = true;
  }
  const TDbaseFieldDef& Last = FFieldDefs[FFieldDefs.Count() - 1];
  const int RecordLength = Last.Offset + Last.StoredLength;
  const int DescriptorSize = Level7 ? 48 : 32, Base = Level7 ? 68 : 32;
  const int HeaderLength = DescriptorSize * FFieldDefs.Count() + Base + 1;
  if (RecordLength > 0xFFFF || HeaderLength > 0xFFFF)
    throw EDbaseError(FormatMessage(DbaseMessages::InvalidFieldCount, FFieldDefs.Count()));

  SetHeaderOffset(0);
  SetPageOffsetByHeader(true);
  TPagedFile::Open();
  SetHeaderSize(0);
  SetHeaderSize(HeaderLength);
  SetRecordSize(RecordLength);
  SetPageSize(RecordLength);
  std::uint8_t* H = Header();
  const bool HasBlob = std::any_of(FFieldDefs.begin(), FFieldDefs.end(),
                                   [](const TDbaseFieldDef& D) { return D.IsBlob(); });
  H[0] = static_cast<std::uint8_t>((Level7 ? 0x04 : 0x03) |
                                   (HasBlob ? (Level == 3 ? 0x80 : 0x88) : 0));
  PutLE16(H + 8, static_cast<std::uint16_t>(HeaderLength));
  PutLE16(H + 10, static_cast<std::uint16_t>(RecordLength));
  // Level 3 names no code page (the OEM one applies); the others get the ANSI code page.
  if (Level != 3) H[29] = LanguageIdOfCodePage(ANSI_CODEPAGE);
  if (Level7) std::memcpy(H + 32, "DBWINUS0", 8);
  FDescriptorOffsets.clear();
  for (int I = 0; I < FFieldDefs.Count(); ++I) {
    TDbaseFieldDef& Def = FFieldDefs[I];
    std::uint8_t* Desc = H + Base + I * DescriptorSize;
    FDescriptorOffsets.push_back(Base + I * DescriptorSize);
    std::memcpy(Desc, Def.FieldName.data(), Def.FieldName.size());
    Desc[Level7 ? 32 : 11] = static_cast<std::uint8_t>(Def.NativeFieldType);
    Desc[Level7 ? 33 : 16] = static_cast<std::uint8_t>(Def.StoredLength);
    Desc[Level7 ? 34 : 17] = static_cast<std::uint8_t>(Def.Precision);
    if (Level7 && Def.NativeFieldType == '+') {
      Def.AutoIncNext = 1;
      Desc[42] = 1;
    }
  }
  H[HeaderLength - 1] = 0x0D;
  ChooseCodePage();
  WriteHeader();
  WriteHeaderNow();  // a new table is complete on disk at once, whatever the mode
}

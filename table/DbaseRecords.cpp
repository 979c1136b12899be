// TDbaseFile: reading, locking, editing and deleting records, and their fields' values.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>

#include "platform/core/ByteOrder.h"
#include "platform/core/Utf8.h"
#include "table/CodePage.h"
#include "table/DbaseFile.h"
#include "table/DbaseFileParts.h"
#include "table/DbaseMessages.h"

namespace {

std::string ComputerName() {
  char Name[256] = {};
  if (::gethostname(Name, sizeof Name - 1) != 0) return {};
  return Name;
}

}  // namespace

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

void TDbaseFile::LockRecord(int RecNo, std::uint8_t* Buffer) {
  TPageLock Lock(*this, RecNo, false);
  if (!Lock.Locked()) throw EDbaseError(Tr(DbaseMessages::RecordLocked));
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

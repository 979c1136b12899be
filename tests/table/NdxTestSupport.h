// Helpers for the index tests: a scratch table with an index attached, records by value, and
// the index read back in key order.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "table/DbaseFile.h"
#include "table/NdxIndex.h"
#include "tests/table/TableTestFiles.h"

class TNdxTable {
 public:
  // A table with the given fields and no records, opened in Mode.
  explicit TNdxTable(const std::vector<TRawField>& Fields, TPagedFileMode Mode = pfExclusiveOpen)
      : FTable(std::make_unique<TDbaseFile>()) {
    WriteFile(TableName(), MakeDbf(Fields, {}));
    FTable->SetFileName(TableName());
    FTable->SetMode(Mode);
    FTable->Open();
  }

  std::string TableName() const { return FDir.File("t.dbf"); }
  std::string File(const std::string& Name) const { return FDir.File(Name); }
  TDbaseFile& Table() { return *FTable; }

  // Creates NAME under exclusive access, builds it and attaches it to the table.
  TIndexFile& CreateIndex(const std::string& Name, const std::string& Expr,
                          TIndexOptions Options = 0) {
    auto Index = std::make_unique<TIndexFile>(*FTable);
    Index->SetFileName(File(Name));
    Index->SetMode(FTable->NeedLocks() ? pfReadWriteCreate : pfExclusiveCreate);
    FTable->TryExclusive();
    try {
      Index->Open();
      Index->CreateIndex(Expr, Options);
      Index->Rebuild();
    } catch (...) {
      FTable->EndExclusive();
      throw;
    }
    FTable->EndExclusive();
    return Attach(std::move(Index));
  }

  // Opens an existing index file and attaches it.
  TIndexFile& OpenIndex(const std::string& Name) {
    auto Index = std::make_unique<TIndexFile>(*FTable);
    Index->SetFileName(File(Name));
    Index->SetMode(FTable->Mode());
    Index->Open();
    return Attach(std::move(Index));
  }

  TIndexFile& Attach(std::unique_ptr<TIndexFile> Index) {
    TIndexFile& Result = *Index;
    FTable->AddIndex(std::move(Index));
    return Result;
  }

  // A record with Name=Value pairs set through the field codec.
  std::vector<std::uint8_t> Record(const std::vector<std::pair<std::string, TVariant>>& Values) {
    std::vector<std::uint8_t> Buffer(FTable->RecordSize());
    FTable->InitRecord(Buffer.data());
    Set(Buffer, Values);
    return Buffer;
  }
  void Set(std::vector<std::uint8_t>& Buffer,
           const std::vector<std::pair<std::string, TVariant>>& Values) {
    for (const auto& [Name, Value] : Values) {
      const int Column = FTable->FieldIndex(Name);
      FTable->SetFieldData(Column, FTable->FieldDefs()[Column].FieldType, Value, Buffer.data());
    }
  }
  int Append(const std::vector<std::pair<std::string, TVariant>>& Values) {
    auto Buffer = Record(Values);
    return FTable->Insert(Buffer.data());
  }
  // Edits record RecNo: lock, change the values, post.
  void Change(int RecNo, const std::vector<std::pair<std::string, TVariant>>& Values) {
    std::vector<std::uint8_t> Buffer(FTable->RecordSize());
    FTable->LockRecord(RecNo, Buffer.data());
    Set(Buffer, Values);
    try {
      FTable->PostRecord(RecNo, Buffer.data());
    } catch (...) {
      FTable->UnlockRecord(RecNo);
      throw;
    }
  }
  void Delete(int RecNo) {
    std::vector<std::uint8_t> Buffer(FTable->RecordSize());
    FTable->LockRecord(RecNo, Buffer.data());
    FTable->DeleteRecord(RecNo, Buffer.data());
  }

 private:
  TScratchDir FDir;
  std::unique_ptr<TDbaseFile> FTable;
};

// (key text, record number) of every entry, walking the index cursor forward.
inline std::vector<std::pair<std::string, int>> IndexEntries(TIndexFile& Index) {
  std::vector<std::pair<std::string, int>> Result;
  std::vector<std::uint8_t> Record(Index.Table().RecordSize());
  Index.CursorFirst();
  while (Index.CursorNext()) {
    Index.Table().ReadRecord(Index.CursorRecNo(), Record.data());
    Result.emplace_back(Index.Key().Text(Index.Key().Build(Record.data()).data()),
                        Index.CursorRecNo());
  }
  return Result;
}

inline std::uint32_t FileLE32(const std::vector<std::uint8_t>& Bytes, std::size_t Offset) {
  return GetLE32(Bytes.data() + Offset);
}

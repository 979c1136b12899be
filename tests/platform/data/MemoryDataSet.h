// A small in-memory dataset for the dataset-layer tests: each field is 16 text bytes in the
// record buffer (blank means null), the first 8 bytes hold the record number, and records
// flagged as deleted are skipped the way a table skips them.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/data/DataSet.h"

class TMemoryDataSet : public TDataSet {
 public:
  static constexpr int Width = 16;
  struct TRow {
    bool Deleted = false;
    std::vector<std::string> Values;  // blank-padded to Width
  };

  TMemoryDataSet(std::vector<TFieldDef> Defs, std::vector<std::vector<std::string>> Rows)
      : TDataSet(nullptr), FDefs(std::move(Defs)) {
    for (auto& R : Rows) AddRow(R);
  }
  ~TMemoryDataSet() override { Close(); }

  void AddRow(const std::vector<std::string>& Values, bool Deleted = false) {
    TRow Row{Deleted, {}};
    for (const std::string& V : Values) Row.Values.push_back(Pad(V));
    FRows.push_back(Row);
  }
  std::vector<TRow> FRows;
  bool FReadOnly = false;

 protected:
  void InternalOpen() override {
    FieldDefs().Clear();
    for (std::size_t I = 0; I < FDefs.size(); ++I) {
      FDefs[I].FieldNo = static_cast<int>(I) + 1;
      FieldDefs().Add(FDefs[I]);
    }
    FPos = 0;
  }
  void InternalClose() override {}
  std::size_t RecordBufferSize() const override { return 8 + Width * FDefs.size(); }
  TGetResult GetRecord(TRecordBuffer& Buffer, TGetMode Mode) override {
    const long long Count = static_cast<long long>(FRows.size());
    for (;;) {
      if (Mode == gmNext) {
        FPos = FPos > Count ? Count + 1 : FPos + 1;
        if (FPos > Count) return grEOF;
      } else if (Mode == gmPrior) {
        if (FPos > 0) --FPos;
        if (FPos == 0) return grBOF;
      } else if (FPos < 1 || FPos > Count) {
        return grError;
      }
      const TRow& Row = FRows[FPos - 1];
      if (!Row.Deleted) {
        std::memcpy(Buffer.data(), &FPos, 8);
        for (std::size_t I = 0; I < Row.Values.size(); ++I)
          std::memcpy(Buffer.data() + 8 + I * Width, Row.Values[I].data(), Width);
        return grOK;
      }
      if (Mode == gmCurrent) return grError;
    }
  }
  void InternalFirst() override { FPos = 0; }
  void InternalLast() override { FPos = static_cast<long long>(FRows.size()) + 1; }
  void InternalInitRecord(TRecordBuffer& Buffer) override {
    std::memset(Buffer.data() + 8, ' ', Buffer.size() - 8);
  }
  void InternalPost() override {
    TRow Row;
    for (std::size_t I = 0; I < FDefs.size(); ++I)
      Row.Values.emplace_back(reinterpret_cast<const char*>(ActiveBuffer().data()) + 8 + I * Width,
                              Width);
    if (State() == dsInsert) {
      FRows.push_back(Row);
      FPos = static_cast<long long>(FRows.size());
      std::memcpy(ActiveBuffer().data(), &FPos, 8);
    } else {
      FRows[GetBookmarkData(ActiveBuffer()) - 1] = Row;
    }
  }
  void InternalDelete() override { FRows[GetBookmarkData(ActiveBuffer()) - 1].Deleted = true; }
  TBookmark GetBookmarkData(const TRecordBuffer& Buffer) const override {
    long long N = 0;
    std::memcpy(&N, Buffer.data(), 8);
    return N;
  }
  void InternalGotoBookmark(TBookmark Value) override { FPos = Value; }
  bool GetFieldData(const TField& Field, const TRecordBuffer& Buffer,
                    TVariant& Value) const override {
    std::string Text(
        reinterpret_cast<const char*>(Buffer.data()) + 8 + (Field.FieldNo() - 1) * Width, Width);
    Text.erase(Text.find_last_not_of(' ') + 1);
    if (Text.empty()) return false;
    if (IsIntegerType(Field.DataType()))
      Value = TVariant(static_cast<std::int64_t>(std::stoll(Text)));
    else if (Field.DataType() == ftFloat)
      Value = TVariant(std::stod(Text));
    else
      Value = TVariant(Text);
    return true;
  }
  void SetFieldData(const TField& Field, TRecordBuffer& Buffer, const TVariant& Value) override {
    std::memcpy(Buffer.data() + 8 + (Field.FieldNo() - 1) * Width, Pad(Value.AsString()).data(),
                Width);
  }
  int GetRecordCount() const override { return static_cast<int>(FRows.size()); }
  int GetRecNo(const TRecordBuffer& Buffer) const override {
    return static_cast<int>(GetBookmarkData(Buffer));
  }
  bool GetCanModify() const override { return !FReadOnly; }

 private:
  static std::string Pad(std::string S) {
    S.resize(Width, ' ');
    return S;
  }
  std::vector<TFieldDef> FDefs;
  long long FPos = 0;
};

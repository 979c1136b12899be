// Field definitions (what a dataset's records hold) and field objects (typed access to the
// current record's values, found by name without regard to case).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/data/FieldType.h"
#include "platform/data/Variant.h"

class TDataSet;

struct TFieldDef {
  std::string Name;
  TFieldType DataType = ftUnknown;
  int Size = 0;       // characters of a string field, else the stored width
  int Precision = 0;  // decimals
  bool Required = false;
  bool ReadOnly = false;  // e.g. values the engine assigns
  bool Hidden = false;    // kept from the user: gets no field object
  int FieldNo = 0;        // the dataset's own number for the field (1-based)
};

class TFieldDefs {
 public:
  void Clear() { FItems.clear(); }
  void Add(TFieldDef Def) { FItems.push_back(std::move(Def)); }
  int Count() const { return static_cast<int>(FItems.size()); }
  const TFieldDef& operator[](int Index) const { return FItems.at(Index); }
  // Case-insensitive; nullptr when absent.
  const TFieldDef* Find(const std::string& Name) const;

 private:
  std::vector<TFieldDef> FItems;
};

class TField {
 public:
  TField(TDataSet* ADataSet, const TFieldDef& Def);
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  TDataSet* DataSet() const { return FDataSet; }
  const std::string& FieldName() const { return FDef.Name; }
  TFieldType DataType() const { return FDef.DataType; }
  int Size() const { return FDef.Size; }
  int Precision() const { return FDef.Precision; }
  int FieldNo() const { return FDef.FieldNo; }
  bool Required() const { return FDef.Required; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  int Index() const { return FIndex; }

  // Reads of the current record; an empty dataset or an empty field reads as null.
  TVariant Value() const;
  bool IsNull() const { return Value().IsNull(); }
  // The readers convert like TVariant's (an integer read of a fraction rounds half to even) but
  // raise EDatabaseError naming the field when the value cannot be read that way.
  int AsInteger() const;
  std::int64_t AsLargeInt() const;
  double AsFloat() const;
  bool AsBoolean() const;
  TDateTime AsDateTime() const;
  // Text as the user sees and types it; null reads as "".
  std::string AsString() const;

  // Writes into the record being edited or appended, converted to the field's kind: text is
  // parsed, a fraction written to a whole-number field rounds half to even, the empty text
  // clears a non-text field. Raises EDatabaseError for values the field cannot hold.
  void SetValue(const TVariant& Value);
  void SetAsInteger(std::int64_t Value) { SetValue(TVariant(Value)); }
  void SetAsFloat(double Value) { SetValue(TVariant(Value)); }
  void SetAsBoolean(bool Value) { SetValue(TVariant(Value)); }
  void SetAsDateTime(TDateTime Value) { SetValue(TVariant::FromDateTime(Value)); }
  void SetAsString(const std::string& Value) { SetValue(TVariant(Value)); }
  void Clear() { SetValue(TVariant()); }

 private:
  friend class TFields;
  TVariant ToNative(const TVariant& Value) const;
  void CheckRange(std::int64_t Value) const;
  template <class F>
  auto Read(const char* Message, F Convert) const;

  TDataSet* FDataSet;
  TFieldDef FDef;
  bool FReadOnly;
  int FIndex = -1;
};

// Numbers a record must hold. AsFloat and AsLargeInt read an empty field as zero; these raise
// EDatabaseError naming the field instead, so a record with a hole fails where it is read (a
// sweep tick, a selection) rather than going on with zero.
double NumberFieldAsFloat(const TField& Field);
std::int64_t NumberFieldAsInteger(const TField& Field);

class TFields {
 public:
  void Clear() { FItems.clear(); }
  TField* Add(std::unique_ptr<TField> Field);
  int Count() const { return static_cast<int>(FItems.size()); }
  TField* operator[](int Index) const { return FItems.at(Index).get(); }
  // Case-insensitive; nullptr when absent.
  TField* FindField(const std::string& Name) const;

 private:
  std::vector<std::unique_ptr<TField>> FItems;
};

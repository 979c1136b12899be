// Field definitions of a dBase table and the codec between record bytes and field values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data/FieldType.h"
#include "platform/data/Variant.h"

// How level-7 time stamps ('@' fields) are handed out.
enum TDateTimeHandling { dtDateTime, dtBDETimeStamp };

// The hidden field some tables carry for lock stamps.
inline constexpr const char* DBASE_LOCK_FIELD = "_DBASELOCK";

class TDbaseFieldDef {
 public:
  TDbaseFieldDef() = default;
  // A definition for creating a table: name, type letter, length and decimals.
  TDbaseFieldDef(std::string Name, char NativeType, int Size, int Precision = 0);

  std::string FieldName;  // upper case as read
  TFieldType FieldType = ftUnknown;
  char NativeFieldType = 0;  // type letter, upper case
  int Size = 0;              // length after the size rules
  int Precision = 0;         // decimals
  bool Required = false;
  int Offset = 0;        // of the field in the record (the deletion flag is byte 0)
  int StoredLength = 0;  // bytes the field takes in the record (descriptor length)
  std::uint32_t AutoIncNext = 0;
  bool Hidden = false;  // the lock field

  bool IsBinary() const;  // I, +, @, O: stored as bytes, not text
  bool IsBlob() const;    // M, B, G: a reference into a memo file
};

class TDbaseFieldDefs {
 public:
  explicit TDbaseFieldDefs(bool UseFloatFields = true) : FUseFloatFields(UseFloatFields) {}

  int Count() const { return static_cast<int>(FItems.size()); }
  TDbaseFieldDef& operator[](int Index) { return FItems[Index]; }
  const TDbaseFieldDef& operator[](int Index) const { return FItems[Index]; }
  std::vector<TDbaseFieldDef>::const_iterator begin() const { return FItems.begin(); }
  std::vector<TDbaseFieldDef>::const_iterator end() const { return FItems.end(); }

  // Applies the size rules and the dataset type mapping to Def and appends it; raises
  // EDbaseError "Invalid DBF file." for an empty name or an unknown type letter.
  TDbaseFieldDef& Add(TDbaseFieldDef Def);
  void Clear() { FItems.clear(); }
  // Case-insensitive; nullptr / -1 when absent.
  const TDbaseFieldDef* Find(std::string_view Name) const;
  int IndexOf(std::string_view Name) const;

  bool UseFloatFields() const { return FUseFloatFields; }
  void SetUseFloatFields(bool Value) { FUseFloatFields = Value; }
  int TableLevel() const { return FTableLevel; }
  void SetTableLevel(int Value) { FTableLevel = Value; }

 private:
  std::vector<TDbaseFieldDef> FItems;
  bool FUseFloatFields = true;
  int FTableLevel = 4;
};

// The dataset type a type letter maps to (ftUnknown for letters the engine does not know).
TFieldType NativeToFieldType(char Letter, int Size, int Precision, bool UseFloatFields);

// A field's value as decoded from the record, without a variant: readers that go through many
// records format it straight from here. Text points into the record.
struct TStoredValue {
  enum TKind { svNull, svText, svWhole, svFloat, svBoolean, svDate };
  TKind Kind = svNull;
  std::string_view Text;  // svText: the table's bytes, untranslated
  bool Boolean = false;
  std::int64_t Whole = 0;
  double Float = 0;  // svFloat, and the TDateTime of svDate

  static TStoredValue OfWhole(std::int64_t V) { return {svWhole, {}, false, V}; }
  static TStoredValue OfFloat(double V) { return {svFloat, {}, false, 0, V}; }
  static TStoredValue OfDate(TDateTime V) { return {svDate, {}, false, 0, V}; }
};

// A text-stored field's bytes with trailing padding (blanks, NULs) dropped, and leading blanks
// unless KeepLeading.
std::string_view FieldText(const TDbaseFieldDef& Def, const std::uint8_t* Record, bool KeepLeading);
// True for a numeric field's text of asterisks only (blanks aside): it holds no number.
bool IsOverflowMark(const TDbaseFieldDef& Def, std::string_view Text);

// Decodes the field from Record (the whole record, deletion flag first). Empty fields, and
// numeric fields of overflow asterisks, read as null. Dates and date-times come as TDateTime.
TStoredValue ReadStoredValue(const TDbaseFieldDef& Def, TFieldType DataType,
                             const std::uint8_t* Record,
                             TDateTimeHandling Handling = dtBDETimeStamp);
// The same as a variant. Text comes back as the table's bytes, untranslated. Dates and
// date-times come back as TDateTime variants.
TVariant GetFieldValue(const TDbaseFieldDef& Def, TFieldType DataType, const std::uint8_t* Record,
                       TDateTimeHandling Handling = dtBDETimeStamp);
// Encodes Value into the field; a null variant blanks the field. Raises EDbaseError when the
// value cannot be stored (too wide, not a number, memo field).
void SetFieldValue(const TDbaseFieldDef& Def, TFieldType DataType, const TVariant& Value,
                   std::uint8_t* Record, TDateTimeHandling Handling = dtBDETimeStamp);
// Blanks, the deletion flag ' ', zero bytes for binary fields.
void InitRecord(const TDbaseFieldDefs& Defs, std::uint8_t* Record, int RecordSize);

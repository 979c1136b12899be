// Keys of an NDX index: the compiled key expression, building a key from a record, comparing
// two keys and showing one in a message.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/data/Variant.h"
#include "table/DbaseFields.h"

using TNdxKeyBytes = std::vector<std::uint8_t>;

class TNdxKey {
 public:
  TNdxKey() = default;
  // Compiles the expression (a field name) against the table's fields. Raises EDbaseError with
  // the expression messages for an unknown field, a field that cannot be indexed, a date or
  // boolean result, or text longer than the key limit.
  TNdxKey(const TDbaseFieldDefs& Fields, const std::string& Expression);

  // 'C' character or 'N' numeric, and the natural key length of the expression.
  char KeyType() const { return FKeyType; }
  int ExpressionLength() const { return FExpressionLength; }
  const std::string& FieldName() const { return FField.FieldName; }

  // The layout of the open index: its key length and order may differ from the expression's.
  void SetLayout(int KeyLength, bool Descending);
  int KeyLength() const { return FKeyLength; }

  // The key of a record (deletion flag first): the field's bytes blank-padded or cut to the key
  // length, or its value as a little-endian double.
  void Build(const std::uint8_t* Record, std::uint8_t* Key) const;
  TNdxKeyBytes Build(const std::uint8_t* Record) const;
  // The key for a search value: text blank-padded or cut, a number as a double.
  TNdxKeyBytes FromValue(const TVariant& Value) const;
  // < 0, 0, > 0 in index order (negated for a descending index).
  int Compare(const std::uint8_t* A, const std::uint8_t* B) const;
  // The key as shown in messages and listings: text without trailing blanks, or the number.
  std::string Text(const std::uint8_t* Key) const;

 private:
  TDbaseFieldDef FField;
  char FKeyType = 'N';
  int FExpressionLength = 8;
  int FKeyLength = 8;
  bool FDescending = false;
};

double NdxKeyToDouble(const std::uint8_t* Key);
void DoubleToNdxKey(double Value, std::uint8_t* Key);

#include "table/NdxKey.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/core/ByteOrder.h"
#include "platform/core/SysUtils.h"
#include "table/DbaseMessages.h"
#include "table/NdxPage.h"

double NdxKeyToDouble(const std::uint8_t* Key) {
  return std::bit_cast<double>(GetLE64(Key));
}

void DoubleToNdxKey(double Value, std::uint8_t* Key) {
  // -0 and +0 are one key; keep their bytes equal so a key change is seen only when real.
  if (Value == 0) Value = 0;
  PutLE64(Key, std::bit_cast<std::uint64_t>(Value));
}

TNdxKey::TNdxKey(const TDbaseFieldDefs& Fields, const std::string& Expression) {
  const std::string Name(Trim(Expression));
  const TDbaseFieldDef* Def = Fields.Find(Name);
  if (!Def || Def->Hidden)
    throw EDbaseError(FormatMessage(DbaseMessages::IndexBasedOnUnknownField, Name.c_str()));
  FField = *Def;
  switch (Def->FieldType) {
    case ftString:
      FKeyType = 'C';
      FExpressionLength = Def->StoredLength;
      if (FExpressionLength > NdxMaxKeyLength)
        throw EDbaseError(
            FormatMessage(DbaseMessages::IndexExpressionTooLong, Name.c_str(), FExpressionLength));
      break;
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftAutoInc:
    case ftFloat:
      FKeyType = 'N';
      FExpressionLength = 8;
      break;
    case ftBoolean:
    case ftDate:
    case ftDateTime:
      throw EDbaseError(Tr(DbaseMessages::InvalidIndexType));
    default:
      throw EDbaseError(FormatMessage(DbaseMessages::IndexBasedOnInvalidField, Name.c_str()));
  }
  FKeyLength = FExpressionLength;
}

void TNdxKey::SetLayout(int KeyLength, bool Descending) {
  FKeyLength = KeyLength;
  FDescending = Descending;
}

void TNdxKey::Build(const std::uint8_t* Record, std::uint8_t* Key) const {
  if (FKeyType == 'C') {
    const int Length = std::min(FKeyLength, FField.StoredLength);
    std::memcpy(Key, Record + FField.Offset, Length);
    std::memset(Key + Length, ' ', FKeyLength - Length);
    return;
  }
  const TVariant Value = GetFieldValue(FField, FField.FieldType, Record);
  DoubleToNdxKey(Value.IsNull() ? 0.0 : Value.AsFloat(), Key);
}

TNdxKeyBytes TNdxKey::Build(const std::uint8_t* Record) const {
  TNdxKeyBytes Key(FKeyLength);
  Build(Record, Key.data());
  return Key;
}

TNdxKeyBytes TNdxKey::FromValue(const TVariant& Value) const {
  TNdxKeyBytes Key(FKeyLength, ' ');
  if (FKeyType == 'C') {
    const std::string Text = Value.AsString();
    std::memcpy(Key.data(), Text.data(), std::min<std::size_t>(Text.size(), Key.size()));
  } else {
    DoubleToNdxKey(Value.IsNull() ? 0.0 : Value.AsFloat(), Key.data());
  }
  return Key;
}

int TNdxKey::Compare(const std::uint8_t* A, const std::uint8_t* B) const {
  int Result = 0;
  if (FKeyType == 'C') {
    for (int I = 0; I < FKeyLength; ++I) {
      if (A[I] != B[I]) {
        Result = A[I] < B[I] ? -1 : 1;
        break;
      }
      if (A[I] == 0) break;
    }
  } else {
    const double X = NdxKeyToDouble(A), Y = NdxKeyToDouble(B);
    Result = X < Y ? -1 : (Y < X ? 1 : 0);
  }
  return FDescending ? -Result : Result;
}

std::string TNdxKey::Text(const std::uint8_t* Key) const {
  if (FKeyType != 'C') return FloatToText(NdxKeyToDouble(Key));
  std::string Result(reinterpret_cast<const char*>(Key), FKeyLength);
  Result.resize(strnlen(Result.c_str(), Result.size()));
  const auto Last = Result.find_last_not_of(' ');
  Result.resize(Last == std::string::npos ? 0 : Last + 1);
  return Result;
}

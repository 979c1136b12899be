#include "table/DbaseFields.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/data/TextCase.h"
#include "table/DbaseMessages.h"

namespace {

// Days from 1 January of year 1 (day 1) to 30 December 1899 (TDateTime 0).
constexpr double TimeStampDateDelta = 693594;
constexpr double MSecsPerDay = 86400000;

std::uint64_t ReadBigEndian(const std::uint8_t* Src, int Count) {
  std::uint64_t Value = 0;
  for (int I = 0; I < Count; ++I) Value = (Value << 8) | Src[I];
  return Value;
}

void WriteBigEndian(std::uint64_t Value, std::uint8_t* Dst, int Count) {
  for (int I = Count - 1; I >= 0; --I, Value >>= 8) Dst[I] = static_cast<std::uint8_t>(Value);
}

bool AllZero(const std::uint8_t* Src, int Count) {
  return std::all_of(Src, Src + Count, [](std::uint8_t B) { return B == 0; });
}

bool IsPadding(char C) {
  return C == ' ' || C == '\0';
}

std::int64_t ParseWhole(std::string_view Text, std::int64_t Min, std::int64_t Max) {
  if (!Text.empty() && Text.front() == '+') Text.remove_prefix(1);
  std::int64_t Value = 0;
  const auto Result = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  if (Result.ec != std::errc() || Result.ptr != Text.data() + Text.size()) return 0;
  return Value < Min || Value > Max ? 0 : Value;
}

double ParseFloat(std::string_view Text) {
  if (!Text.empty() && Text.front() == '+') Text.remove_prefix(1);
  double Value = 0;
  const auto Result = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  if (Result.ec != std::errc() || Result.ptr != Text.data() + Text.size() || !std::isfinite(Value))
    return 0;
  return Value;
}

// A date part: all digits, or 1 when it is not a number.
int DatePart(std::string_view Text, std::size_t At, std::size_t Length) {
  if (At + Length > Text.size()) return 1;
  int Value = 0;
  for (std::size_t I = At; I < At + Length; ++I) {
    if (!std::isdigit(static_cast<unsigned char>(Text[I]))) return 1;
    Value = Value * 10 + (Text[I] - '0');
  }
  return Value;
}

TStoredValue ParseDate(std::string_view Text, bool WithTime) {
  TDateTime Result = 0;
  if (!TryEncodeDate(DatePart(Text, 0, 4), DatePart(Text, 4, 2), DatePart(Text, 6, 2), Result))
    return {};
  if (WithTime && Text.size() >= 14) {
    const int Hour = DatePart(Text, 8, 2), Minute = DatePart(Text, 10, 2),
              Second = DatePart(Text, 12, 2);
    if (Hour < 24 && Minute < 60 && Second < 60) Result += EncodeTime(Hour, Minute, Second, 0);
  }
  return TStoredValue::OfDate(Result);
}

[[noreturn]] void TooWide(const std::string& Text, const TDbaseFieldDef& Def) {
  throw EDbaseError(
      FormatMessage(DbaseMessages::ValueTooWide, Text.c_str(), Def.FieldName.c_str()));
}

// Right-aligns Text in the field.
void PutRight(const std::string& Text, const TDbaseFieldDef& Def, std::uint8_t* Dst) {
  if (static_cast<int>(Text.size()) > Def.StoredLength) TooWide(Text, Def);
  const std::size_t Pad = Def.StoredLength - Text.size();
  std::memset(Dst, ' ', Pad);
  std::memcpy(Dst + Pad, Text.data(), Text.size());
}

void PutWhole(std::int64_t Value, const TDbaseFieldDef& Def, std::uint8_t* Dst) {
  const std::uint64_t Magnitude =
      Value < 0 ? 0 - static_cast<std::uint64_t>(Value) : static_cast<std::uint64_t>(Value);
  const std::string Digits = std::to_string(Magnitude);
  const int Room = Def.StoredLength - (Value < 0 ? 1 : 0);
  if (static_cast<int>(Digits.size()) > Room) TooWide(std::to_string(Value), Def);
  std::string Text = Value < 0 ? "-" : "";
  Text.append(Room - Digits.size(), '0').append(Digits);
  std::memcpy(Dst, Text.data(), Text.size());
}

void PutFloat(double Value, const TDbaseFieldDef& Def, std::uint8_t* Dst) {
  if (!std::isfinite(Value))
    throw EDbaseError(FormatMessage(DbaseMessages::InvalidValue, Def.FieldName.c_str()));
  char Buffer[400];
  auto Result =
      std::to_chars(Buffer, Buffer + sizeof Buffer, Value, std::chars_format::fixed, Def.Precision);
  // A negative value that rounds to zero is stored as zero, without the sign.
  if (Buffer[0] == '-' && ParseFloat(std::string_view(Buffer + 1, Result.ptr - Buffer - 1)) == 0)
    Result =
        std::to_chars(Buffer, Buffer + sizeof Buffer, 0.0, std::chars_format::fixed, Def.Precision);
  PutRight(std::string(Buffer, Result.ptr), Def, Dst);
}

void PutDate(TDateTime Value, const TDbaseFieldDef& Def, std::uint8_t* Dst, bool WithTime) {
  const TDateParts Parts = DecodeDate(Value);
  if (Parts.Year < 1 || Parts.Year > 9999)
    throw EDbaseError(FormatMessage(DbaseMessages::InvalidValue, Def.FieldName.c_str()));
  char Buffer[32];
  int Length =
      std::snprintf(Buffer, sizeof Buffer, "%04d%02d%02d", Parts.Year, Parts.Month, Parts.Day);
  if (WithTime && Def.StoredLength >= 14) {
    int Hour, Minute, Second, MSec;
    DecodeTime(Value, Hour, Minute, Second, MSec);
    Length += std::snprintf(Buffer + Length, sizeof Buffer - Length, "%02d%02d%02d", Hour, Minute,
                            Second);
  }
  std::memset(Dst, ' ', Def.StoredLength);
  std::memcpy(Dst, Buffer, std::min(Length, Def.StoredLength));
}

// Time stamps count milliseconds from 1 January of year 1 (day 1). Day and time of day are
// converted apart so that the time keeps millisecond precision.
TDateTime StampToDateTime(double Stamp) {
  const double Days = std::floor(Stamp / MSecsPerDay);
  const double Fraction = (Stamp - Days * MSecsPerDay) / MSecsPerDay;
  const double Date = Days - TimeStampDateDelta;
  return Date >= 0 ? Date + Fraction : Date - Fraction;
}

double DateTimeToStamp(TDateTime Value) {
  const double Date = std::trunc(Value);
  const double MSecs = std::round(std::fabs(Value - Date) * MSecsPerDay);
  return (Date + TimeStampDateDelta) * MSecsPerDay + MSecs;
}

// Doubles stored so that their bytes sort like the numbers: positive with the sign bit set,
// negative with every bit inverted.
std::uint64_t SortableBits(double Value) {
  const auto Bits = std::bit_cast<std::uint64_t>(Value);
  return (Bits >> 63) ? ~Bits : Bits | (std::uint64_t{1} << 63);
}

double FromSortableBits(std::uint64_t Bits) {
  return std::bit_cast<double>((Bits >> 63) ? Bits & ~(std::uint64_t{1} << 63) : ~Bits);
}

}  // namespace

TDbaseFieldDef::TDbaseFieldDef(std::string Name, char NativeType, int ASize, int APrecision)
    : FieldName(std::move(Name)), NativeFieldType(NativeType), Size(ASize), Precision(APrecision) {}

bool TDbaseFieldDef::IsBinary() const {
  return NativeFieldType == 'I' || NativeFieldType == '+' || NativeFieldType == '@' ||
         NativeFieldType == 'O';
}

bool TDbaseFieldDef::IsBlob() const {
  return NativeFieldType == 'M' || NativeFieldType == 'B' || NativeFieldType == 'G';
}

TFieldType NativeToFieldType(char Letter, int Size, int Precision, bool UseFloatFields) {
  switch (std::toupper(static_cast<unsigned char>(Letter))) {
    case 'C':
      return ftString;
    case 'N':
    case 'F':
      if (Precision > 0) return ftFloat;
      if (Size <= 4) return ftSmallint;
      if (UseFloatFields) return ftFloat;
      return Size <= 9 ? ftInteger : ftLargeint;
    case 'D':
      return ftDate;
    case 'L':
      return ftBoolean;
    case 'M':
      return ftMemo;
    case 'B':
      return ftBlob;
    case 'G':
      return ftDBaseOle;
    case 'I':
      return ftInteger;
    case '+':
      return ftAutoInc;
    case 'T':
    case '@':
      return ftDateTime;
    case 'O':
      return ftFloat;
    default:
      return ftUnknown;
  }
}

TDbaseFieldDef& TDbaseFieldDefs::Add(TDbaseFieldDef Def) {
  for (char& C : Def.FieldName) C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
  Def.NativeFieldType =
      static_cast<char>(std::toupper(static_cast<unsigned char>(Def.NativeFieldType)));
  Def.StoredLength = Def.Size;
  switch (Def.NativeFieldType) {
    case 'C':
      if (Def.Size > 253) Def.Size = 254;
      Def.Precision = 0;
      break;
    case 'N':
    case 'F':
      Def.Size = std::clamp(Def.Size, 0, 20);
      Def.Precision = std::min(Def.Precision, Def.Size - 2);
      if (Def.Precision < 0) Def.Precision = 0;
      break;
    case 'D':
    case 'T':
    case '@':
    case 'O':
      Def.Size = 8;
      break;
    case 'L':
      Def.Size = 1;
      break;
    case 'M':
    case 'B':
    case 'G':
      Def.Size = 10;
      break;
    case 'I':
    case '+':
      Def.Size = 4;
      break;
  }
  Def.FieldType = NativeToFieldType(Def.NativeFieldType, Def.Size, Def.Precision, FUseFloatFields);
  // Binary fields are decoded from their full width: a shorter one would read past the field.
  if (Def.FieldName.empty() || Def.FieldType == ftUnknown ||
      (Def.IsBinary() && Def.StoredLength < Def.Size))
    throw EDbaseError(Tr(DbaseMessages::InvalidDbfFile));
  Def.Offset = FItems.empty() ? 1 : FItems.back().Offset + FItems.back().StoredLength;
  Def.Hidden = Def.FieldName == DBASE_LOCK_FIELD;
  FItems.push_back(std::move(Def));
  return FItems.back();
}

int TDbaseFieldDefs::IndexOf(std::string_view Name) const {
  for (int I = 0; I < Count(); ++I)
    if (SameText(FItems[I].FieldName, Name)) return I;
  return -1;
}

const TDbaseFieldDef* TDbaseFieldDefs::Find(std::string_view Name) const {
  const int I = IndexOf(Name);
  return I < 0 ? nullptr : &FItems[I];
}

std::string_view FieldText(const TDbaseFieldDef& Def, const std::uint8_t* Record,
                           bool KeepLeading) {
  std::string_view Text(reinterpret_cast<const char*>(Record + Def.Offset), Def.StoredLength);
  while (!Text.empty() && IsPadding(Text.back())) Text.remove_suffix(1);
  if (!KeepLeading)
    while (!Text.empty() && Text.front() == ' ') Text.remove_prefix(1);
  return Text;
}

// dBase's mark for a value too wide for the field, which GIS tools also write for a missing value.
bool IsOverflowMark(const TDbaseFieldDef& Def, std::string_view Text) {
  return (Def.NativeFieldType == 'N' || Def.NativeFieldType == 'F') &&
         std::all_of(Text.begin(), Text.end(), [](char C) { return C == ' ' || C == '*'; });
}

TStoredValue ReadStoredValue(const TDbaseFieldDef& Def, TFieldType DataType,
                             const std::uint8_t* Record, TDateTimeHandling Handling) {
  const std::uint8_t* Src = Record + Def.Offset;
  if (DataType == ftUnknown) DataType = Def.FieldType;
  switch (Def.NativeFieldType) {
    case 'I':
    case '+':
      if (AllZero(Src, 4)) return {};
      return TStoredValue::OfWhole(static_cast<std::int64_t>(ReadBigEndian(Src, 4)) -
                                   std::int64_t{0x80000000});
    case '@': {
      if (AllZero(Src, 8)) return {};
      const double Stamp = std::bit_cast<double>(ReadBigEndian(Src, 8));
      if (Handling == dtDateTime) return TStoredValue::OfFloat(Stamp);
      if (!std::isfinite(Stamp)) return {};
      return TStoredValue::OfDate(StampToDateTime(Stamp));
    }
    case 'O':
      if (AllZero(Src, 8)) return {};
      return TStoredValue::OfFloat(FromSortableBits(ReadBigEndian(Src, 8)));
    case 'M':
    case 'B':
    case 'G':
      // Memo contents live in a memo file this engine does not read.
      return {};
  }
  const std::string_view Text = FieldText(Def, Record, DataType == ftString);
  if (Text.empty() || IsOverflowMark(Def, Text)) return {};
  switch (DataType) {
    case ftString:
      return {TStoredValue::svText, Text};
    case ftSmallint:
    case ftInteger:
    case ftAutoInc:
      return TStoredValue::OfWhole(ParseWhole(Text, INT_MIN, INT_MAX));
    case ftLargeint:
      return TStoredValue::OfWhole(ParseWhole(Text, INT64_MIN, INT64_MAX));
    case ftBoolean:
      return {TStoredValue::svBoolean, {}, Text.front() == 'T' || Text.front() == 't'};
    case ftFloat:
      return TStoredValue::OfFloat(ParseFloat(Text));
    case ftDate:
      return ParseDate(Text, false);
    case ftDateTime:
      return ParseDate(Text, true);
    default:
      return {};
  }
}

TVariant GetFieldValue(const TDbaseFieldDef& Def, TFieldType DataType, const std::uint8_t* Record,
                       TDateTimeHandling Handling) {
  const TStoredValue Value = ReadStoredValue(Def, DataType, Record, Handling);
  switch (Value.Kind) {
    case TStoredValue::svNull:
      return TVariant();
    case TStoredValue::svText:
      return TVariant(std::string(Value.Text));
    case TStoredValue::svWhole:
      return TVariant(Value.Whole);
    case TStoredValue::svFloat:
      return TVariant(Value.Float);
    case TStoredValue::svBoolean:
      return TVariant(Value.Boolean);
    case TStoredValue::svDate:
      return TVariant::FromDateTime(Value.Float);
  }
  return TVariant();
}

void SetFieldValue(const TDbaseFieldDef& Def, TFieldType DataType, const TVariant& Value,
                   std::uint8_t* Record, TDateTimeHandling Handling) {
  std::uint8_t* Dst = Record + Def.Offset;
  if (DataType == ftUnknown) DataType = Def.FieldType;
  if (Def.IsBlob())
    throw EDbaseError(FormatMessage(DbaseMessages::MemoNotSupported, Def.FieldName.c_str()));
  if (Value.IsNull()) {
    // Binary fields are emptied with zero bytes: blanks would read back as a number.
    std::memset(Dst, Def.IsBinary() ? 0 : ' ', Def.StoredLength);
    return;
  }
  switch (Def.NativeFieldType) {
    case 'I':
    case '+': {
      const std::int64_t Whole = Value.AsInteger();
      if (Whole < INT_MIN || Whole > INT_MAX) TooWide(std::to_string(Whole), Def);
      WriteBigEndian(static_cast<std::uint32_t>(Whole + std::int64_t{0x80000000}), Dst, 4);
      return;
    }
    case '@': {
      const double Stamp =
          Handling == dtDateTime ? Value.AsFloat() : DateTimeToStamp(Value.AsDateTime());
      WriteBigEndian(std::bit_cast<std::uint64_t>(Stamp), Dst, 8);
      return;
    }
    case 'O':
      WriteBigEndian(SortableBits(Value.AsFloat()), Dst, 8);
      return;
  }
  switch (DataType) {
    case ftString: {
      const std::string Text = Value.AsString();
      const std::size_t Length = std::min<std::size_t>(Text.size(), Def.Size);
      std::memset(Dst, ' ', Def.StoredLength);
      std::memcpy(Dst, Text.data(), std::min<std::size_t>(Length, Def.StoredLength));
      return;
    }
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftAutoInc:
      PutWhole(Value.AsInteger(), Def, Dst);
      return;
    case ftBoolean:
      std::memset(Dst, ' ', Def.StoredLength);
      if (Def.StoredLength > 0) Dst[0] = Value.AsBoolean() ? 'T' : 'F';
      return;
    case ftFloat:
      PutFloat(Value.AsFloat(), Def, Dst);
      return;
    case ftDate:
    case ftDateTime:
      PutDate(Value.AsDateTime(), Def, Dst, DataType == ftDateTime);
      return;
    default:
      throw EDbaseError(FormatMessage(DbaseMessages::InvalidValue, Def.FieldName.c_str()));
  }
}

void InitRecord(const TDbaseFieldDefs& Defs, std::uint8_t* Record, int RecordSize) {
  std::memset(Record, ' ', RecordSize);
  for (const TDbaseFieldDef& Def : Defs)
    if (Def.IsBinary()) std::memset(Record + Def.Offset, 0, Def.StoredLength);
}

#include "table/ListLine.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "table/DbaseTable.h"

namespace {

// Value as printf's "%0<Width>d" writes it: the sign, then zeros up to Width characters.
char* PutPadded(int Value, int Width, char* Out) {
  const long long Magnitude = Value < 0 ? -static_cast<long long>(Value) : Value;
  char Digits[24];
  const int Count = int(std::to_chars(Digits, Digits + sizeof Digits, Magnitude).ptr - Digits);
  if (Value < 0) *Out++ = '-';
  for (int Zeros = Width - Count - (Value < 0 ? 1 : 0); Zeros > 0; --Zeros) *Out++ = '0';
  return std::copy(Digits, Digits + Count, Out);
}

void AppendDate(TDateTime Value, bool WithTime, std::string& Out) {
  const TDateParts D = DecodeDate(Value);
  char Text[96];
  char* End = PutPadded(D.Day, 2, PutPadded(D.Month, 2, PutPadded(D.Year, 4, Text)));
  if (WithTime) {
    int H = 0, M = 0, S = 0, Ms = 0;
    DecodeTime(Value, H, M, S, Ms);
    End = PutPadded(S, 2, PutPadded(M, 2, PutPadded(H, 2, End)));
  }
  Out.append(Text, End);
}

constexpr std::uint64_t Blanks = 0x2020202020202020u, HighBits = 0x8080808080808080u;

bool IsDigit(char C) {
  return static_cast<unsigned char>(C - '0') < 10;
}

// The stored text of a number field as the field reads it (FieldText, here without a view):
// without the padding after it and the blanks before it, which fill most of a wide field and
// are passed eight at a time.
void TrimNumberText(const char*& Begin, const char*& End) {
  while (End > Begin && (End[-1] == ' ' || End[-1] == '\0')) --End;
  for (std::uint64_t Word; End - Begin >= 8; Begin += 8) {
    std::memcpy(&Word, Begin, 8);
    if (const std::uint64_t Other = Word ^ Blanks; Other != 0) {
      if constexpr (std::endian::native == std::endian::little)
        Begin += std::countr_zero(Other) / 8;
      break;
    }
  }
  while (Begin < End && *Begin == ' ') ++Begin;
}

// A number stored as a plain decimal ([+-]digits[.digits]) of at most 15 significant digits
// reads as the double nearest to it, whose shortest text is those digits again: FloatToText's
// text is had from the stored text, without parsing and printing. Writes at most one character
// more than the text has. False, writing nothing, for any other text.
bool PutPlainDecimal(const char* Begin, const char* End, char*& Out) {
  // Also keeps the value far from the ends of the double range.
  if (End - Begin > 40) return false;
  const bool Negative = Begin < End && *Begin == '-';
  if (Begin < End && (*Begin == '-' || *Begin == '+')) ++Begin;
  const char* Whole = Begin;  // the whole part without its leading zeros
  while (Whole < End && *Whole == '0') ++Whole;
  const char* Point = Whole;
  while (Point < End && IsDigit(*Point)) ++Point;
  const char* Fraction = End;
  const char* FractionEnd = End;  // without the trailing zeros
  const char* FirstSignificant = End;
  if (Point < End) {
    if (*Point != '.') return false;
    Fraction = FractionEnd = Point + 1;
    for (const char* P = Fraction; P < End; ++P) {
      if (!IsDigit(*P)) return false;
      if (*P == '0') continue;
      if (FirstSignificant == End) FirstSignificant = P;
      FractionEnd = P + 1;
    }
  }
  if (Point == Begin && Fraction == End) return false;
  const std::ptrdiff_t Significant = Whole < Point
                                         ? (Point - Whole) + (FractionEnd - Fraction)
                                         : FractionEnd - std::min(FirstSignificant, FractionEnd);
  if (Significant > 15) return false;
  char* To = Out;
  if (Whole == Point && Fraction == FractionEnd) {
    *To++ = '0';  // also for "-0.00"
  } else {
    if (Negative) *To++ = '-';
    if (Whole == Point) *To++ = '0';
    while (Whole < Point) *To++ = *Whole++;
    if (Fraction < FractionEnd) {
      *To++ = '.';
      while (Fraction < FractionEnd) *To++ = *Fraction++;
    }
  }
  Out = To;
  return true;
}

// A whole number stored as [+-]digits with at most MaxDigits significant ones, so that it lies
// in the field's range, reads as itself: its text is the digits without leading zeros. False,
// writing nothing, for any other text.
bool PutPlainWhole(const char* Begin, const char* End, std::ptrdiff_t MaxDigits, char*& Out) {
  const bool Negative = Begin < End && *Begin == '-';
  if (Begin < End && (*Begin == '-' || *Begin == '+')) ++Begin;
  if (Begin == End) return false;
  for (const char* P = Begin; P < End; ++P)
    if (!IsDigit(*P)) return false;
  while (Begin < End && *Begin == '0') ++Begin;
  if (End - Begin > MaxDigits) return false;
  if (Begin == End) {
    *Out++ = '0';  // also for "-0"
    return true;
  }
  if (Negative) *Out++ = '-';
  while (Begin < End) *Out++ = *Begin++;
  return true;
}

// Text without the padding after it, eight bytes at a time over the blanks that fill most of it.
const char* TextEnd(const char* Begin, const char* End) {
  for (std::uint64_t Word; End - Begin >= 8; End -= 8) {
    std::memcpy(&Word, End - 8, 8);
    if (Word != Blanks && Word != 0) break;
  }
  while (End > Begin && (End[-1] == ' ' || End[-1] == '\0')) --End;
  return End;
}

// Copies text of ASCII characters, which every code page here keeps as they are, eight at a
// time; false, with Out where it was, at the first other byte.
bool PutAscii(const char* Begin, const char* End, char*& Out) {
  char* To = Out;
  for (std::uint64_t Word; End - Begin >= 8; Begin += 8, To += 8) {
    std::memcpy(&Word, Begin, 8);
    if (Word & HighBits) return false;
    std::memcpy(To, &Word, 8);
  }
  for (; Begin < End; ++Begin) {
    if (static_cast<unsigned char>(*Begin) >= 0x80) return false;
    *To++ = *Begin;
  }
  Out = To;
  return true;
}

}  // namespace

TListLine::TListLine(const TDbaseTable& Table) : FTable(Table) {
  const TDbaseFile& File = *FTable.TableFile();
  const TFields& Fields = FTable.Fields();
  for (int I = 0; I < Fields.Count(); ++I) {
    const TField& Field = *Fields[I];
    const TDbaseFieldDef& Def = File.FieldDefs()[Field.FieldNo() - 1];
    const bool Number = Def.NativeFieldType == 'N' || Def.NativeFieldType == 'F';
    const TFieldType Type = Field.DataType();
    TColumnKind Kind = ckValue;
    if (Number && Type == ftFloat)
      Kind = ckDecimal;
    else if (Number &&
             (Type == ftSmallint || Type == ftInteger || Type == ftAutoInc || Type == ftLargeint))
      Kind = ckWhole;
    else if (Def.NativeFieldType == 'C' && Type == ftString)
      Kind = ckText;
    FColumns.push_back({&Field, &Def, Kind});
    FRoom += 1 + std::size_t(Def.StoredLength) + 2;
  }
}

void TListLine::Append(std::string& Out) const {
  const std::uint8_t* Record = FTable.ActiveRecord();
  if (!Record) return;
  const TDbaseFile& File = *FTable.TableFile();
  // Text the table translates itself is read through the table.
  const bool Translated = static_cast<bool>(FTable.OnTranslate);
  // The copied columns are written straight into room made for the whole line; a value had
  // otherwise is appended after what they wrote, and room is made again.
  std::size_t Size = Out.size();
  Out.resize(Size + FRoom);
  char* At = Out.data() + Size;
  *At++ = Record[0] == '*' ? '*' : ' ';
  for (const TColumn& Column : FColumns) {
    *At++ = '\t';
    const TDbaseFieldDef& Def = *Column.Def;
    const char* Begin = reinterpret_cast<const char*>(Record + Def.Offset);
    const char* End = Begin + Def.StoredLength;
    if (Column.Kind == ckText) {
      // Text keeps its leading blanks.
      End = TextEnd(Begin, End);
      if (!Translated && PutAscii(Begin, End, At)) continue;
    } else if (Column.Kind != ckValue) {
      TrimNumberText(Begin, End);
      if (Begin == End) continue;  // null
      const bool Put = Column.Kind == ckDecimal
                           ? PutPlainDecimal(Begin, End, At)
                           : PutPlainWhole(Begin, End, Column.Kind == ckLargeWhole ? 18 : 9, At);
      if (Put || IsOverflowMark(Def, std::string_view(Begin, std::size_t(End - Begin)))) continue;
    }
    Out.resize(std::size_t(At - Out.data()));
    const TField& Field = *Column.Field;
    AppendValue(Field, File.ReadStoredData(Field.FieldNo() - 1, Field.DataType(), Record), Out);
    Size = Out.size();
    Out.resize(Size + FRoom);
    At = Out.data() + Size;
  }
  *At++ = '\n';
  Out.resize(std::size_t(At - Out.data()));
}

void TListLine::AppendValue(const TField& Field, const TStoredValue& Value,
                            std::string& Out) const {
  if (Value.Kind == TStoredValue::svNull) return;
  // Date fields hold a TDateTime, or the raw time stamp when the table hands those out.
  if (Field.DataType() == ftDate || Field.DataType() == ftDateTime) {
    const double Date =
        Value.Kind == TStoredValue::svWhole ? static_cast<double>(Value.Whole) : Value.Float;
    AppendDate(Date, Field.DataType() == ftDateTime, Out);
    return;
  }
  char Text[FloatTextRoom];
  switch (Value.Kind) {
    case TStoredValue::svText:
      FTable.AppendText(Value.Text, Out);
      return;
    case TStoredValue::svWhole:
      Out.append(Text, std::to_chars(Text, Text + sizeof Text, Value.Whole).ptr);
      return;
    case TStoredValue::svFloat:
      Out.append(Text, FloatToChars(Value.Float, Text));
      return;
    case TStoredValue::svBoolean:
      Out += Value.Boolean ? 'T' : 'F';
      return;
    case TStoredValue::svDate:
      Out += DateTimeToText(Value.Float);
      return;
    case TStoredValue::svNull:
      return;
  }
}

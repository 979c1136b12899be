#include "table/ListLine.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "table/DbaseTable.h"

namespace {

void AppendDate(TDateTime Value, bool WithTime, std::string& Out) {
  const TDateParts D = DecodeDate(Value);
  char Text[64];
  int Length = 0;
  if (WithTime) {
    int H = 0, M = 0, S = 0, Ms = 0;
    DecodeTime(Value, H, M, S, Ms);
    Length = std::snprintf(Text, sizeof Text, "%04d%02d%02d%02d%02d%02d", D.Year, D.Month, D.Day, H,
                           M, S);
  } else {
    Length = std::snprintf(Text, sizeof Text, "%04d%02d%02d", D.Year, D.Month, D.Day);
  }
  Out.append(Text, Length);
}

// A number stored as a plain decimal ([+-]digits[.digits]) of at most 15 significant digits
// reads as the double nearest to it, whose shortest text is those digits again: FloatToText's
// text is had from the stored text, without parsing and printing. False for any other text.
bool AppendPlainDecimal(std::string_view Text, std::string& Out) {
  // Also keeps the value far from the ends of the double range.
  if (Text.size() > 40) return false;
  const bool Negative = !Text.empty() && Text.front() == '-';
  if (!Text.empty() && (Text.front() == '-' || Text.front() == '+')) Text.remove_prefix(1);
  const std::size_t Point = Text.find('.');
  std::string_view Whole = Text.substr(0, Point);
  std::string_view Fraction = Point == std::string_view::npos ? "" : Text.substr(Point + 1);
  const auto Digits = [](std::string_view Part) {
    return std::all_of(Part.begin(), Part.end(), [](char C) { return C >= '0' && C <= '9'; });
  };
  if (Whole.size() + Fraction.size() == 0 || !Digits(Whole) || !Digits(Fraction)) return false;
  while (!Whole.empty() && Whole.front() == '0') Whole.remove_prefix(1);
  while (!Fraction.empty() && Fraction.back() == '0') Fraction.remove_suffix(1);
  const std::size_t Significant =
      Whole.empty() ? Fraction.size() - std::min(Fraction.find_first_not_of('0'), Fraction.size())
                    : Whole.size() + Fraction.size();
  if (Significant > 15) return false;
  if (Whole.empty() && Fraction.empty()) {
    Out += '0';  // also for "-0.00"
    return true;
  }
  if (Negative) Out += '-';
  if (Whole.empty()) Out += '0';
  Out += Whole;
  if (!Fraction.empty()) (Out += '.') += Fraction;
  return true;
}

}  // namespace

void TListLine::Append(std::string& Out) const {
  const std::uint8_t* Record = FTable.ActiveRecord();
  if (!Record) return;
  const TDbaseFile& File = *FTable.TableFile();
  Out += Record[0] == '*' ? '*' : ' ';
  const TFields& Fields = FTable.Fields();
  for (int I = 0; I < Fields.Count(); ++I) {
    const TField& Field = *Fields[I];
    const TDbaseFieldDef& Def = File.FieldDefs()[Field.FieldNo() - 1];
    Out += '\t';
    // Most numbers in a table are plain decimals: they skip the parse and the print.
    if ((Def.NativeFieldType == 'N' || Def.NativeFieldType == 'F') && Field.DataType() == ftFloat) {
      const std::string_view Text = FieldText(Def, Record, false);
      if (Text.empty() || AppendPlainDecimal(Text, Out) || IsOverflowMark(Def, Text)) continue;
    }
    AppendValue(Field, File.ReadStoredData(Field.FieldNo() - 1, Field.DataType(), Record), Out);
  }
  Out += '\n';
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

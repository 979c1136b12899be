// A dynamically typed value: how field values travel between a dataset, its fields, Locate
// keys and the controls. Text is UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/data/DateTime.h"

enum TVarType { varNull, varBoolean, varInteger, varDouble, varString, varDate };

class TVariant {
 public:
  TVariant() = default;
  TVariant(bool Value) : FValue(Value) {}
  TVariant(int Value) : FValue(static_cast<std::int64_t>(Value)) {}
  TVariant(std::int64_t Value) : FValue(Value) {}
  TVariant(double Value) : FValue(Value) {}
  TVariant(std::string Value) : FValue(std::move(Value)) {}
  TVariant(const char* Value) : FValue(std::string(Value)) {}
  static TVariant FromDateTime(TDateTime Value);

  TVarType VarType() const { return static_cast<TVarType>(FValue.index()); }
  bool IsNull() const { return VarType() == varNull; }

  // Conversions raise EConvertError when the value cannot be read that way; null reads as
  // false, 0, 0.0 or "". A real read as an integer rounds to the nearest, halfway to even.
  bool AsBoolean() const;
  std::int64_t AsInteger() const;
  double AsFloat() const;
  std::string AsString() const;
  TDateTime AsDateTime() const;

  // Equality as Locate needs it: numbers (and dates) compare by value whatever their kind, text
  // against a number compares as a number when the text is one, null equals only null.
  bool operator==(const TVariant& Other) const;

 private:
  struct TDateBox {
    TDateTime Value;
  };
  std::variant<std::monostate, bool, std::int64_t, double, std::string, TDateBox> FValue;
};

// Nearest whole number, halfway to even; EConvertError when it does not fit in 64 bits.
std::int64_t RoundHalfEvenChecked(double Value);
// Shortest text that reads back as the same double, in plain decimal notation ("42", "1.5").
std::string FloatToText(double Value);
// The same text written to Buffer, which has room for FloatTextRoom characters; returns its end.
inline constexpr int FloatTextRoom = 400;
char* FloatToChars(double Value, char* Buffer);
// Whole text as a number ('.' as separator whatever the locale, blanks around allowed).
bool TryTextToFloat(const std::string& Text, double& Value);
bool TryTextToInteger(const std::string& Text, std::int64_t& Value);

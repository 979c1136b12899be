#include "platform/data/Variant.h"

#include <strings.h>
#include <charconv>

#include <cmath>

#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"

namespace {

const char* TypeName(TVarType Type) {
  static const char* const Names[] = {"Null", "Boolean", "Int64", "Double", "String", "Date"};
  return Names[Type];
}

[[noreturn]] void CannotConvert(TVarType From, const char* To) {
  throw EConvertError(std::string("Could not convert variant of type (") + TypeName(From) +
                      ") into type (" + To + ")");
}

}  // namespace

TVariant TVariant::FromDateTime(TDateTime Value) {
  TVariant Result;
  Result.FValue = TDateBox{Value};
  return Result;
}

std::int64_t RoundHalfEvenChecked(double Value) {
  // nearbyint rounds in the default mode, which is to nearest with ties to even.
  const double Rounded = std::nearbyint(Value);
  if (!(Rounded >= -9223372036854775808.0 && Rounded < 9223372036854775808.0))
    throw EConvertError("Floating point value out of the integer range");
  return static_cast<std::int64_t>(Rounded);
}

char* FloatToChars(double Value, char* Buffer) {
  if (Value == 0) {  // also drops the sign of -0
    *Buffer = '0';
    return Buffer + 1;
  }
  return std::to_chars(Buffer, Buffer + FloatTextRoom, Value, std::chars_format::fixed).ptr;
}

std::string FloatToText(double Value) {
  char Buffer[FloatTextRoom];
  return std::string(Buffer, FloatToChars(Value, Buffer));
}

bool TryTextToFloat(const std::string& Text, double& Value) {
  std::string_view T = Trim(Text, " ");
  if (!T.empty() && T.front() == '+') T.remove_prefix(1);
  if (T.empty()) return false;
  const auto Result = std::from_chars(T.data(), T.data() + T.size(), Value);
  return Result.ec == std::errc() && Result.ptr == T.data() + T.size() && std::isfinite(Value);
}

bool TryTextToInteger(const std::string& Text, std::int64_t& Value) {
  std::string_view T = Trim(Text, " ");
  if (!T.empty() && T.front() == '+') T.remove_prefix(1);
  if (T.empty()) return false;
  const auto Result = std::from_chars(T.data(), T.data() + T.size(), Value);
  return Result.ec == std::errc() && Result.ptr == T.data() + T.size();
}

bool TVariant::AsBoolean() const {
  switch (VarType()) {
    case varNull:
      return false;
    case varBoolean:
      return std::get<bool>(FValue);
    case varInteger:
      return std::get<std::int64_t>(FValue) != 0;
    case varDouble:
      return std::get<double>(FValue) != 0;
    case varString: {
      const std::string& S = std::get<std::string>(FValue);
      for (const char* Word : {"true", "t", "yes", "y", "1"})
        if (strcasecmp(S.c_str(), Word) == 0) return true;
      for (const char* Word : {"false", "f", "no", "n", "0"})
        if (strcasecmp(S.c_str(), Word) == 0) return false;
      break;
    }
    case varDate:
      break;
  }
  CannotConvert(VarType(), "Boolean");
}

std::int64_t TVariant::AsInteger() const {
  switch (VarType()) {
    case varNull:
      return 0;
    case varBoolean:
      return std::get<bool>(FValue) ? 1 : 0;
    case varInteger:
      return std::get<std::int64_t>(FValue);
    case varDouble:
      return RoundHalfEvenChecked(std::get<double>(FValue));
    case varString: {
      std::int64_t I = 0;
      if (TryTextToInteger(std::get<std::string>(FValue), I)) return I;
      double D = 0;
      if (TryTextToFloat(std::get<std::string>(FValue), D)) return RoundHalfEvenChecked(D);
      break;
    }
    case varDate:
      return RoundHalfEvenChecked(std::get<TDateBox>(FValue).Value);
  }
  CannotConvert(VarType(), "Int64");
}

double TVariant::AsFloat() const {
  switch (VarType()) {
    case varNull:
      return 0;
    case varBoolean:
      return std::get<bool>(FValue) ? 1 : 0;
    case varInteger:
      return static_cast<double>(std::get<std::int64_t>(FValue));
    case varDouble:
      return std::get<double>(FValue);
    case varString: {
      double D = 0;
      if (TryTextToFloat(std::get<std::string>(FValue), D)) return D;
      break;
    }
    case varDate:
      return std::get<TDateBox>(FValue).Value;
  }
  CannotConvert(VarType(), "Double");
}

std::string TVariant::AsString() const {
  switch (VarType()) {
    case varNull:
      return {};
    case varBoolean:
      return std::get<bool>(FValue) ? "True" : "False";
    case varInteger:
      return std::to_string(std::get<std::int64_t>(FValue));
    case varDouble:
      return FloatToText(std::get<double>(FValue));
    case varString:
      return std::get<std::string>(FValue);
    case varDate:
      return DateTimeToText(std::get<TDateBox>(FValue).Value);
  }
  CannotConvert(VarType(), "String");
}

TDateTime TVariant::AsDateTime() const {
  switch (VarType()) {
    case varNull:
      return 0;
    case varInteger:
    case varDouble:
      return AsFloat();
    case varString: {
      TDateTime D = 0;
      if (TryTextToDateTime(std::get<std::string>(FValue), D)) return D;
      break;
    }
    case varDate:
      return std::get<TDateBox>(FValue).Value;
    case varBoolean:
      break;
  }
  CannotConvert(VarType(), "Date");
}

bool TVariant::operator==(const TVariant& Other) const {
  if (IsNull() || Other.IsNull()) return IsNull() && Other.IsNull();
  const bool MyText = VarType() == varString, OtherText = Other.VarType() == varString;
  if (MyText && OtherText)
    return std::get<std::string>(FValue) == std::get<std::string>(Other.FValue);
  if (VarType() == varInteger && Other.VarType() == varInteger)
    return std::get<std::int64_t>(FValue) == std::get<std::int64_t>(Other.FValue);
  if (MyText || OtherText) {
    double Number = 0;
    const std::string& Text = std::get<std::string>(MyText ? FValue : Other.FValue);
    if (!TryTextToFloat(Text, Number)) return false;
    return Number == (MyText ? Other : *this).AsFloat();
  }
  return AsFloat() == Other.AsFloat();
}

#include "platform/data/DateTime.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/core/Exceptions.h"

namespace {

// Days of 30 December 1899 counted from 1 March of year 0 of the proleptic Gregorian calendar.
constexpr long long EpochDays = 693899;

bool IsLeap(int Year) {
  return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

int DaysInMonth(int Year, int Month) {
  static const int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return Month == 2 && IsLeap(Year) ? 29 : Days[Month - 1];
}

// Day number counted from 1 March of year 0, with March as the first month of the year so
// that the leap day comes last.
long long DaysFromCivil(int Year, int Month, int Day) {
  const long long Y = Year - (Month <= 2 ? 1 : 0);
  const long long Era = (Y >= 0 ? Y : Y - 399) / 400;
  const long long YearOfEra = Y - Era * 400;
  const long long DayOfYear = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
  const long long DayOfEra = YearOfEra * 365 + YearOfEra / 4 - YearOfEra / 100 + DayOfYear;
  return Era * 146097 + DayOfEra;
}

TDateParts CivilFromDays(long long Days) {
  const long long Era = (Days >= 0 ? Days : Days - 146096) / 146097;
  const long long DayOfEra = Days - Era * 146097;
  const long long YearOfEra =
      (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
  const long long DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
  const long long MonthIndex = (5 * DayOfYear + 2) / 153;
  TDateParts Parts;
  Parts.Day = static_cast<int>(DayOfYear - (153 * MonthIndex + 2) / 5 + 1);
  Parts.Month = static_cast<int>(MonthIndex < 10 ? MonthIndex + 3 : MonthIndex - 9);
  Parts.Year = static_cast<int>(YearOfEra + Era * 400 + (Parts.Month <= 2 ? 1 : 0));
  return Parts;
}

}  // namespace

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Result) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 ||
      Day > DaysInMonth(Year, Month))
    return false;
  Result = static_cast<TDateTime>(DaysFromCivil(Year, Month, Day) - EpochDays);
  return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
  TDateTime Result = 0;
  if (!TryEncodeDate(Year, Month, Day, Result))
    throw EConvertError("Invalid argument to date encode");
  return Result;
}

TDateTime EncodeTime(int Hour, int Minute, int Second, int MSec) {
  return ((Hour * 3600.0 + Minute * 60.0 + Second) * 1000.0 + MSec) / 86400000.0;
}

namespace {

// A corrupt time stamp can hold any double. Raw stamps (milliseconds) read as days lie far
// beyond any calendar yet still decode; past 1e15 days the 64-bit day arithmetic would not
// hold, and NaN has no day at all.
void CheckDecodable(TDateTime Value) {
  constexpr double MaxDays = 1e15;
  if (!(std::fabs(Value) <= MaxDays)) throw EConvertError("Invalid argument to date decode");
}

}  // namespace

TDateParts DecodeDate(TDateTime Value) {
  CheckDecodable(Value);
  return CivilFromDays(static_cast<long long>(std::floor(Value)) + EpochDays);
}

void DecodeTime(TDateTime Value, int& Hour, int& Minute, int& Second, int& MSec) {
  CheckDecodable(Value);
  long long Ms = std::llround((Value - std::floor(Value)) * 86400000.0);
  if (Ms >= 86400000) Ms = 86399999;
  Hour = static_cast<int>(Ms / 3600000);
  Minute = static_cast<int>(Ms / 60000 % 60);
  Second = static_cast<int>(Ms / 1000 % 60);
  MSec = static_cast<int>(Ms % 1000);
}

TDateTime Date() {
  const std::time_t Now = std::time(nullptr);
  std::tm Local{};
  localtime_r(&Now, &Local);
  return EncodeDate(Local.tm_year + 1900, Local.tm_mon + 1, Local.tm_mday);
}

std::string DateTimeToText(TDateTime Value) {
  const TDateParts D = DecodeDate(Value);
  int H = 0, M = 0, S = 0, Ms = 0;
  DecodeTime(Value, H, M, S, Ms);
  char Text[32];
  if (H == 0 && M == 0 && S == 0)
    std::snprintf(Text, sizeof Text, "%04d-%02d-%02d", D.Year, D.Month, D.Day);
  else
    std::snprintf(Text, sizeof Text, "%04d-%02d-%02d %02d:%02d:%02d", D.Year, D.Month, D.Day, H, M,
                  S);
  return Text;
}

bool TryTextToDateTime(const std::string& Text, TDateTime& Result) {
  std::size_t Pos = 0;
  // Reads exactly Count digits at Pos.
  auto Digits = [&](std::size_t Count, int& Value) {
    if (Pos + Count > Text.size()) return false;
    Value = 0;
    for (std::size_t I = 0; I < Count; ++I, ++Pos) {
      if (Text[Pos] < '0' || Text[Pos] > '9') return false;
      Value = Value * 10 + (Text[Pos] - '0');
    }
    return true;
  };
  auto Separator = [&](char C) {
    if (Pos >= Text.size() || Text[Pos] != C) return false;
    ++Pos;
    return true;
  };
  int Y = 0, Mo = 0, D = 0, H = 0, Mi = 0, S = 0;
  const bool Dashed = Text.size() > 4 && Text[4] == '-';
  if (!Digits(4, Y) || (Dashed && !Separator('-')) || !Digits(2, Mo) ||
      (Dashed && !Separator('-')) || !Digits(2, D))
    return false;
  TDateTime Day = 0;
  if (!TryEncodeDate(Y, Mo, D, Day)) return false;
  if (Pos < Text.size()) {
    if (!Separator(' ') || !Digits(2, H) || !Separator(':') || !Digits(2, Mi)) return false;
    if (Pos < Text.size() && (!Separator(':') || !Digits(2, S))) return false;
    if (Pos != Text.size() || H > 23 || Mi > 59 || S > 59) return false;
  }
  Result = Day + EncodeTime(H, Mi, S, 0);
  return true;
}

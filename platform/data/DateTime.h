// Calendar values as the dataset layer hands them out: days since 30 December 1899, the time
// of day as the fraction.
#pragma once

#include <string>

using TDateTime = double;

struct TDateParts {
  int Year = 0;
  int Month = 0;
  int Day = 0;
};

// False for an impossible date (month 13, 30 February, year 0 ...).
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Result);
// The same, raising EConvertError for an impossible date.
TDateTime EncodeDate(int Year, int Month, int Day);
TDateTime EncodeTime(int Hour, int Minute, int Second, int MSec);
// Both raise EConvertError for a value that is no date (NaN, infinite, or beyond 1e15 days).
TDateParts DecodeDate(TDateTime Value);
void DecodeTime(TDateTime Value, int& Hour, int& Minute, int& Second, int& MSec);
// The local date of today, without time.
TDateTime Date();
// "YYYY-MM-DD", with " HH:MM:SS" when the value has a time part.
std::string DateTimeToText(TDateTime Value);
// Accepts "YYYYMMDD", "YYYY-MM-DD", optionally followed by " HH:MM[:SS]"; false otherwise.
bool TryTextToDateTime(const std::string& Text, TDateTime& Result);

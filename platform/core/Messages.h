// The one way the program's message texts are filled in: each text is a printf-style constant
// beside the errors of its layer (DataMessages, DbaseMessages), and FormatMessage fills its
// place holders. The texts are the ones users see, so they must not change.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

// The compiler checks each call's arguments against the text it names when that text is a
// constant it can see.
[[gnu::format(printf, 1, 2)]] inline std::string FormatMessage(const char* Format, ...) {
  std::va_list Args;
  va_start(Args, Format);
  std::va_list Again;
  va_copy(Again, Args);
  const int Length = std::vsnprintf(nullptr, 0, Format, Args);
  va_end(Args);
  std::string Result(Length > 0 ? Length : 0, '\0');
  std::vsnprintf(Result.data(), Result.size() + 1, Format, Again);
  va_end(Again);
  return Result;
}

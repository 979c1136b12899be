// The one way the program's message texts are filled in: each text is a printf-style constant
// beside the errors of its layer (DataMessages, DbaseMessages), marked for the catalog with
// TrMark, or a literal at the call; FormatMessage looks it up in the user's language
// (Translation.h) and fills its place holders. Under the C locale the texts are the English ones
// written here, which users and scripts see, so they must not change.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/core/Translation.h"

// The compiler checks each call's arguments against the text it names when that text is a
// constant it can see; msgfmt --check checks each translation's place holders against it.
[[gnu::format(printf, 1, 2)]] inline std::string FormatMessage(const char* Format, ...) {
  const char* const Text = Tr(Format);
  std::va_list Args;
  va_start(Args, Format);
  std::va_list Again;
  va_copy(Again, Args);
  const int Length = std::vsnprintf(nullptr, 0, Text, Args);
  va_end(Args);
  std::string Result(Length > 0 ? Length : 0, '\0');
  std::vsnprintf(Result.data(), Result.size() + 1, Text, Again);
  va_end(Again);
  return Result;
}

// The table engine's exception classes and message texts. The texts are the ones users see in
// the error box, so they must not change.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/core/Exceptions.h"

// Errors of the table engine: bad files, refused locks, key violations.
class EDbaseError : public Exception {
 public:
  using Exception::Exception;
};

// A file that cannot be opened (missing, in use, no permission). Kept apart from EDbaseError
// because exclusive access falls back to the shared mode only on this kind of failure.
class EFOpenError : public Exception {
 public:
  using Exception::Exception;
};

inline constexpr const char* STRING_FILE_NOT_FOUND = "Open: file not found: \"%s\".";
inline constexpr const char* STRING_INVALID_DBF_FILE = "Invalid DBF file.";
inline constexpr const char* STRING_INVALID_FIELD_COUNT =
    "Invalid field count: %d (must be between 1 and 4095).";
inline constexpr const char* STRING_INVALID_FIELD_TYPE = "Invalid field type '%c' for field '%s'.";
inline constexpr const char* STRING_RECORD_LOCKED = "Record locked.";
inline constexpr const char* STRING_KEY_VIOLATION =
    "Key violation. (Key already present in file).\r\nIndex: %s\r\nRecord=%d Key='%s'.";
inline constexpr const char* STRING_INDEX_BASED_ON_UNKNOWN_FIELD =
    "Index based on unknown field \"%s\".";
inline constexpr const char* STRING_INDEX_BASED_ON_INVALID_FIELD =
    "Field \"%s\" is an invalid field type to base index on.";
inline constexpr const char* STRING_INDEX_EXPRESSION_TOO_LONG =
    "Index result for \"%s\" too long, >100 characters (%d).";
inline constexpr const char* STRING_INVALID_INDEX_TYPE =
    "Invalid index type: can only be string or float.";
inline constexpr const char* STRING_TOO_MANY_INDEXES =
    "Can not create index: too many indexes in file.";
inline constexpr const char* STRING_NEED_EXCLUSIVE_ACCESS =
    "Exclusive access is required for this operation.";
inline constexpr const char* STRING_VERSION = "%d.%02d";
inline constexpr int ENGINE_MAJOR_VERSION = 6;
inline constexpr int ENGINE_MINOR_VERSION = 20;

// Failures the classic texts do not cover: sharing conflicts, values that do not fit a field,
// text the table's code page cannot hold, and table features this engine does not read.
inline constexpr const char* STRING_FILE_IN_USE =
    "Cannot open file \"%s\": it is in use by another process.";
inline constexpr const char* STRING_CANNOT_OPEN = "Cannot open file \"%s\": %s.";
inline constexpr const char* STRING_IO_ERROR = "I/O error on file \"%s\": %s.";
inline constexpr const char* STRING_VALUE_TOO_WIDE = "Value %s does not fit in field %s.";
inline constexpr const char* STRING_INVALID_VALUE = "Invalid value for field %s.";
inline constexpr const char* STRING_UNTRANSLATABLE_TEXT =
    "Text \"%s\" cannot be stored in code page %d.";
inline constexpr const char* STRING_MEMO_NOT_SUPPORTED =
    "Field %s is a memo field; memo contents cannot be written.";
inline constexpr const char* STRING_MDX_NOT_SUPPORTED =
    "The production index \"%s\" of this table cannot be maintained (.mdx files are not "
    "supported).";

// printf-style formatting of the texts above; the compiler checks each call's arguments against
// the text it names.
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

// A wait for a lock that another program holds lasted longer than the limit (the lock may be
// held for good, for instance by an editor that locks the whole file).
inline constexpr const char* STRING_LOCK_WAIT_GAVE_UP =
    "File \"%s\" is locked by another program; gave up waiting for it.";

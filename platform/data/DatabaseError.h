// The dataset layer's exception and its message texts (printf-style, filled by FormatMessage,
// platform/core/Messages.h).
#pragma once

#include <string>

#include "platform/core/Exceptions.h"
#include "platform/core/Messages.h"

class TComponent;

class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
};

namespace DataMessages {
inline constexpr const char* FieldNotFound = "Field '%s' not found";
inline constexpr const char* NotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* DataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* DataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* DataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* DataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* FieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* InvalidIntegerValue =
    "'%s' is not a valid integer value for field '%s'";
inline constexpr const char* InvalidFloatValue =
    "'%s' is not a valid floating point value for field '%s'";
inline constexpr const char* InvalidBoolValue = "'%s' is not a valid boolean value for field '%s'";
inline constexpr const char* InvalidDateValue = "'%s' is not a valid date for field '%s'";
inline constexpr const char* FieldRangeError =
    "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* RecordNotFound = "Record not found";
}  // namespace DataMessages

// Raises EDatabaseError; with a named component the message starts with "Name: ".
[[noreturn]] void DatabaseError(const std::string& Message, const TComponent* Component = nullptr);

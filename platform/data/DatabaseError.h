// The dataset layer's exception and its message texts (printf-style, filled by FormatMessage,
// platform/core/Messages.h).
#pragma once

#include <string>

#include "platform/core/Exceptions.h"
#include "platform/core/Messages.h"
#include "platform/core/Translation.h"

class TComponent;

class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
};

namespace DataMessages {
inline constexpr const char* FieldNotFound = TrMark("Field '%s' not found");
inline constexpr const char* NotEditing = TrMark("Dataset not in edit or insert mode");
inline constexpr const char* DataSetReadOnly = TrMark("Cannot modify a read-only dataset");
inline constexpr const char* DataSetClosed =
    TrMark("Cannot perform this operation on a closed dataset");
inline constexpr const char* DataSetOpen =
    TrMark("Cannot perform this operation on an open dataset");
inline constexpr const char* DataSetEmpty =
    TrMark("Cannot perform this operation on an empty dataset");
inline constexpr const char* FieldReadOnly = TrMark("Field '%s' cannot be modified");
inline constexpr const char* InvalidIntegerValue =
    TrMark("'%s' is not a valid integer value for field '%s'");
inline constexpr const char* InvalidFloatValue =
    TrMark("'%s' is not a valid floating point value for field '%s'");
inline constexpr const char* InvalidBoolValue =
    TrMark("'%s' is not a valid boolean value for field '%s'");
inline constexpr const char* InvalidDateValue = TrMark("'%s' is not a valid date for field '%s'");
inline constexpr const char* FieldRangeError =
    TrMark("%s is not a valid value for field '%s'. The allowed range is %s to %s");
inline constexpr const char* RecordNotFound = TrMark("Record not found");
}  // namespace DataMessages

// Raises EDatabaseError; with a named component the message starts with "Name: ".
[[noreturn]] void DatabaseError(const std::string& Message, const TComponent* Component = nullptr);

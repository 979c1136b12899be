// The table engine's exception classes and message texts (printf-style, filled by FormatMessage,
// platform/core/Messages.h). The texts are the ones users see in the error box, so they must not
// change.
#pragma once

#include "platform/core/Exceptions.h"
#include "platform/core/Messages.h"
#include "platform/core/Translation.h"

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

inline constexpr int ENGINE_MAJOR_VERSION = 6;
inline constexpr int ENGINE_MINOR_VERSION = 20;

namespace DbaseMessages {
inline constexpr const char* FileNotFound = TrMark("Open: file not found: \"%s\".");
inline constexpr const char* InvalidDbfFile = TrMark("Invalid DBF file.");
inline constexpr const char* InvalidFieldCount =
    TrMark("Invalid field count: %d (must be between 1 and 4095).");
inline constexpr const char* InvalidFieldType = TrMark("Invalid field type '%c' for field '%s'.");
inline constexpr const char* RecordLocked = TrMark("Record locked.");
// Its Windows line breaks keep it out of the catalog, which takes none: it stays English.
inline constexpr const char* KeyViolation =
    "Key violation. (Key already present in file).\r\nIndex: %s\r\nRecord=%d Key='%s'.";
inline constexpr const char* IndexBasedOnUnknownField =
    TrMark("Index based on unknown field \"%s\".");
inline constexpr const char* IndexBasedOnInvalidField =
    TrMark("Field \"%s\" is an invalid field type to base index on.");
inline constexpr const char* IndexExpressionTooLong =
    TrMark("Index result for \"%s\" too long, >100 characters (%d).");
inline constexpr const char* InvalidIndexType =
    TrMark("Invalid index type: can only be string or float.");
inline constexpr const char* TooManyIndexes =
    TrMark("Can not create index: too many indexes in file.");
inline constexpr const char* NeedExclusiveAccess =
    TrMark("Exclusive access is required for this operation.");
inline constexpr const char* Version = "%d.%02d";

// Failures the classic texts do not cover: sharing conflicts, values that do not fit a field,
// text the table's code page cannot hold, and table features this engine does not read.
inline constexpr const char* FileInUse =
    TrMark("Cannot open file \"%s\": it is in use by another process.");
inline constexpr const char* CannotOpen = TrMark("Cannot open file \"%s\": %s.");
inline constexpr const char* IoError = TrMark("I/O error on file \"%s\": %s.");
inline constexpr const char* ValueTooWide = TrMark("Value %s does not fit in field %s.");
inline constexpr const char* InvalidValue = TrMark("Invalid value for field %s.");
inline constexpr const char* UntranslatableText =
    TrMark("Text \"%s\" cannot be stored in code page %d.");
inline constexpr const char* MemoNotSupported =
    TrMark("Field %s is a memo field; memo contents cannot be written.");
inline constexpr const char* MdxNotSupported = TrMark(
    "The production index \"%s\" of this table cannot be maintained (.mdx files are not "
    "supported).");

// A wait for a lock that another program holds lasted longer than the limit (the lock may be
// held for good, for instance by an editor that locks the whole file).
inline constexpr const char* LockWaitGaveUp =
    TrMark("File \"%s\" is locked by another program; gave up waiting for it.");
}  // namespace DbaseMessages

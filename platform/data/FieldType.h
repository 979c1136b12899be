// The value kinds a dataset's fields can have.
#pragma once

enum TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,  // 16-bit whole number
  ftInteger,   // 32-bit whole number
  ftLargeint,  // 64-bit whole number
  ftAutoInc,   // 32-bit whole number the engine assigns
  ftFloat,
  ftBoolean,
  ftDate,
  ftDateTime,
  ftMemo,
  ftBlob,
  ftDBaseOle
};

// The name shown in listings ("String", "Smallint", ...).
const char* FieldTypeName(TFieldType Type);

#include "platform/data/FieldType.h"

const char* FieldTypeName(TFieldType Type) {
  static const char* const Names[] = {"Unknown", "String", "Smallint", "Integer", "Largeint",
                                      "AutoInc", "Float",  "Boolean",  "Date",    "DateTime",
                                      "Memo",    "Blob",   "DBaseOle"};
  return Names[Type];
}

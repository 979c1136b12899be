// The lines of the "list" subcommand, formatted straight from the record bytes: the deletion
// flag ('*' or blank), then every field's value after a tab. Null reads as nothing, numbers in
// plain decimal notation, booleans T or F, dates YYYYMMDD (date-times YYYYMMDDHHMMSS), text as
// the table's fields read it.
#pragma once

#include <string>

class TDbaseTable;
class TField;
struct TStoredValue;

class TListLine {
 public:
  explicit TListLine(const TDbaseTable& Table) : FTable(Table) {}
  // The current record's line, newline included; nothing when there is no current record.
  void Append(std::string& Out) const;

 private:
  void AppendValue(const TField& Field, const TStoredValue& Value, std::string& Out) const;

  const TDbaseTable& FTable;
};

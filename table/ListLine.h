// The lines of the "list" subcommand, formatted straight from the record bytes: the deletion
// flag ('*' or blank), then every field's value after a tab. Null reads as nothing, numbers in
// plain decimal notation, booleans T or F, dates YYYYMMDD (date-times YYYYMMDDHHMMSS), text as
// the table's fields read it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class TDbaseTable;
class TField;
class TDbaseFieldDef;
struct TStoredValue;

class TListLine {
 public:
  // The table's fields as they are when it is open.
  explicit TListLine(const TDbaseTable& Table);
  // The current record's line, newline included; nothing when there is no current record.
  void Append(std::string& Out) const;

 private:
  // How a column's value is had: most are copied from the stored text as the value reads.
  enum TColumnKind { ckDecimal, ckWhole, ckLargeWhole, ckText, ckValue };
  struct TColumn {
    const TField* Field;
    const TDbaseFieldDef* Def;
    TColumnKind Kind;
  };

  void AppendValue(const TField& Field, const TStoredValue& Value, std::string& Out) const;

  const TDbaseTable& FTable;
  std::vector<TColumn> FColumns;
  std::size_t FRoom = 2;  // the longest line the copied columns can make
};

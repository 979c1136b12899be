// A real dBase table in a scratch folder of its own for the dataset-layer tests: created with the
// given fields and rows of text values (an empty text leaves the field empty), left closed.
#pragma once

#include <string>
#include <vector>

#include "table/DbaseTable.h"
#include "tests/support/ScratchFolder.h"

class TScratchTable : public TDbaseTable {
 public:
  TScratchTable(const std::vector<TFieldDef>& Defs,
                const std::vector<std::vector<std::string>>& Rows)
      : TDbaseTable(nullptr) {
    SetFilePath(FFolder.Path().string() + "/");
    SetTableName("pests.dbf");
    SetOpenMode(omAutoCreate);
    for (const TFieldDef& Def : Defs) FieldDefs().Add(Def);
    Open();
    Close();
    for (const auto& Row : Rows) AddRow(Row);
  }
  ~TScratchTable() override { Close(); }

  // Appends a row through a cursor of its own, deleted (and so skipped) when Deleted says.
  void AddRow(const std::vector<std::string>& Values, bool Deleted = false) {
    Open();
    Append();
    for (std::size_t I = 0; I < Values.size(); ++I)
      if (!Values[I].empty()) Fields()[static_cast<int>(I)]->SetAsString(Values[I]);
    Post();
    if (Deleted) Delete();
    Close();
  }

 private:
  TScratchFolder FFolder{"tessolon-dataset-"};
};

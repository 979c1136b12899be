// The index files a table opens with itself (its Indexes property).
#pragma once

#include <string>
#include <vector>

#include "table/NdxIndex.h"

struct TDbaseIndexDef {
  std::string IndexFile;  // file name (a tag name when it has no extension)
  std::string SortField;  // key expression
  TIndexOptions Options = 0;
};

class TDbaseIndexDefs {
 public:
  int Count() const { return int(FItems.size()); }
  const TDbaseIndexDef& operator[](int Index) const { return FItems[Index]; }
  void Add(TDbaseIndexDef Def) { FItems.push_back(std::move(Def)); }
  void Clear() { FItems.clear(); }
  std::vector<TDbaseIndexDef>::const_iterator begin() const { return FItems.begin(); }
  std::vector<TDbaseIndexDef>::const_iterator end() const { return FItems.end(); }

  // Stored definitions hold one line per entry: "FILE;EXPRESSION;OPTION,OPTION" with the
  // option names ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression and
  // ixNonMaintained. An unknown option is refused with EConvertError.
  std::vector<std::string> AsStrings() const;
  void SetStrings(const std::vector<std::string>& Lines);

 private:
  std::vector<TDbaseIndexDef> FItems;
};

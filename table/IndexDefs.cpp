#include "table/IndexDefs.h"

#include <array>
#include <sstream>
#include <utility>

#include "platform/core/Exceptions.h"
#include "platform/core/SysUtils.h"

namespace {

const std::array<std::pair<const char*, TIndexOption>, 6> OptionNames = {{
    {"ixPrimary", ixPrimary},
    {"ixUnique", ixUnique},
    {"ixDescending", ixDescending},
    {"ixCaseInsensitive", ixCaseInsensitive},
    {"ixExpression", ixExpression},
    {"ixNonMaintained", ixNonMaintained},
}};

TIndexOptions ParseOptions(const std::string& Text) {
  TIndexOptions Options = 0;
  std::istringstream In(Text);
  for (std::string Name; std::getline(In, Name, ',');) {
    Name = std::string(Trim(Name));
    if (Name.empty()) continue;
    bool Known = false;
    for (const auto& [OptionName, Option] : OptionNames)
      if (Name == OptionName) Options |= Option, Known = true;
    if (!Known) throw EConvertError("Unknown index option '" + Name + "'.");
  }
  return Options;
}

}  // namespace

std::vector<std::string> TDbaseIndexDefs::AsStrings() const {
  std::vector<std::string> Lines;
  for (const TDbaseIndexDef& Def : FItems) {
    std::string Line = Def.IndexFile + ";" + Def.SortField + ";";
    bool First = true;
    for (const auto& [Name, Option] : OptionNames) {
      if (!(Def.Options & Option)) continue;
      if (!First) Line += ',';
      Line += Name;
      First = false;
    }
    Lines.push_back(Line);
  }
  return Lines;
}

void TDbaseIndexDefs::SetStrings(const std::vector<std::string>& Lines) {
  std::vector<TDbaseIndexDef> Items;
  for (const std::string& Line : Lines) {
    const auto A = Line.find(';');
    const auto B = A == std::string::npos ? A : Line.find(';', A + 1);
    TDbaseIndexDef Def;
    Def.IndexFile = Trim(std::string_view(Line).substr(0, A));
    if (A != std::string::npos)
      Def.SortField = Trim(std::string_view(Line).substr(A + 1, B - A - 1));
    if (B != std::string::npos) Def.Options = ParseOptions(Line.substr(B + 1));
    Items.push_back(std::move(Def));
  }
  FItems = std::move(Items);
}

// The texts of a stored window definition that are shown translated (Translation.h says which),
// read without creating components: what the catalog's template must hold for the windows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TDefinitionText {
  std::string Text;
  int Line = 0;
};

// In the order they are stored; a text stored twice is listed twice.
std::vector<TDefinitionText> DefinitionTexts(std::string_view Text, const std::string& FileName);

// Case-insensitive comparison of UTF-8 text for field names and Locate. Folds ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic capitals: the scripts of the code pages tables use.
#pragma once

#include <string>
#include <string_view>

std::string FoldCase(std::string_view Text);
bool SameText(std::string_view A, std::string_view B);
// True when Text begins with Prefix, ignoring case.
bool StartsText(std::string_view Prefix, std::string_view Text);

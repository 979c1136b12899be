// Small text helpers shared by the component base and its users.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

// Case-insensitive equality of identifiers (names of components, classes, properties, colours,
// keywords of stored definitions). Identifiers are ASCII, so only ASCII letters fold; text that
// may hold other letters compares with SameText (platform/data/TextCase.h).
inline bool SameIdent(std::string_view A, std::string_view B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
           return std::tolower(static_cast<unsigned char>(X)) ==
                  std::tolower(static_cast<unsigned char>(Y));
         });
}

// Text without the characters of Blanks at either end.
inline std::string_view Trim(std::string_view Text, std::string_view Blanks = " \t") {
  const auto First = Text.find_first_not_of(Blanks);
  if (First == std::string_view::npos) return {};
  return Text.substr(First, Text.find_last_not_of(Blanks) + 1 - First);
}

inline bool IsValidIdent(std::string_view S) {
  if (S.empty()) return false;
  auto Alpha = [](char C) { return std::isalpha(static_cast<unsigned char>(C)) || C == '_'; };
  if (!Alpha(S[0])) return false;
  return std::all_of(S.begin() + 1, S.end(), [&](char C) {
    return Alpha(C) || std::isdigit(static_cast<unsigned char>(C));
  });
}

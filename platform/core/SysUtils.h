// Small text helpers shared by the component base and its users.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

// ASCII case-insensitive equality, as identifiers and property names compare.
inline bool SameText(std::string_view A, std::string_view B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
           return std::tolower(static_cast<unsigned char>(X)) ==
                  std::tolower(static_cast<unsigned char>(Y));
         });
}

inline bool IsValidIdent(std::string_view S) {
  if (S.empty()) return false;
  auto Alpha = [](char C) { return std::isalpha(static_cast<unsigned char>(C)) || C == '_'; };
  if (!Alpha(S[0])) return false;
  return std::all_of(S.begin() + 1, S.end(), [&](char C) {
    return Alpha(C) || std::isdigit(static_cast<unsigned char>(C));
  });
}

// UTF-8 encoding of code points, as the stored definitions write non-ASCII text as #nnn codes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

inline bool IsValidCodePoint(char32_t C) {
  return C <= 0x10FFFF && (C < 0xD800 || C > 0xDFFF);
}

void AppendUtf8(std::string& Out, char32_t C);
// The code point at Pos (advanced past it), or nullopt for a malformed sequence (Pos + 1).
std::optional<char32_t> NextUtf8(std::string_view S, std::size_t& Pos);

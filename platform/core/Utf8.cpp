#include "platform/core/Utf8.h"

void AppendUtf8(std::string& Out, char32_t C) {
  if (C < 0x80) {
    Out += static_cast<char>(C);
  } else if (C < 0x800) {
    Out += static_cast<char>(0xC0 | (C >> 6));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    Out += static_cast<char>(0xE0 | (C >> 12));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (C >> 18));
    Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  }
}

std::optional<char32_t> NextUtf8(std::string_view S, std::size_t& Pos) {
  const auto Lead = static_cast<unsigned char>(S[Pos]);
  const std::size_t Start = Pos++;
  int More = 0;
  char32_t C = 0;
  if (Lead < 0x80) return Lead;
  if ((Lead & 0xE0) == 0xC0) {
    More = 1;
    C = Lead & 0x1F;
  } else if ((Lead & 0xF0) == 0xE0) {
    More = 2;
    C = Lead & 0x0F;
  } else if ((Lead & 0xF8) == 0xF0) {
    More = 3;
    C = Lead & 0x07;
  } else {
    return std::nullopt;
  }
  for (int I = 0; I < More; ++I) {
    if (Pos >= S.size() || (static_cast<unsigned char>(S[Pos]) & 0xC0) != 0x80) {
      Pos = Start + 1;
      return std::nullopt;
    }
    C = (C << 6) | (static_cast<unsigned char>(S[Pos++]) & 0x3F);
  }
  static const char32_t Min[] = {0, 0x80, 0x800, 0x10000};
  if (C < Min[More] || !IsValidCodePoint(C)) {
    Pos = Start + 1;
    return std::nullopt;
  }
  return C;
}

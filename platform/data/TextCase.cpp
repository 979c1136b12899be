#include "platform/data/TextCase.h"

#include "platform/core/Utf8.h"

namespace {

char32_t FoldChar(char32_t C) {
  if (C >= 'A' && C <= 'Z') return C + 0x20;
  if (C < 0x80) return C;
  if ((C >= 0xC0 && C <= 0xDE && C != 0xD7) || (C >= 0x391 && C <= 0x3AB && C != 0x3A2) ||
      (C >= 0x410 && C <= 0x42F))
    return C + 0x20;
  if (C >= 0x400 && C <= 0x40F) return C + 0x50;
  // Latin Extended-A pairs capitals and small letters: even/odd, with a shifted run in between.
  if ((C >= 0x100 && C <= 0x137) || (C >= 0x14A && C <= 0x177)) return C | 1;
  if (C >= 0x139 && C <= 0x148) return (C & 1) ? C + 1 : C;
  if (C == 0x178) return 0xFF;
  if (C >= 0x179 && C <= 0x17E) return (C & 1) ? C + 1 : C;
  return C;
}

}  // namespace

std::string FoldCase(std::string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (std::size_t I = 0; I < Text.size();) {
    const auto B = static_cast<unsigned char>(Text[I]);
    // Only one- and two-byte sequences can hold letters that fold; copy anything else as is.
    if (B >= 0xC0 && B < 0xE0 && I + 1 < Text.size() &&
        (static_cast<unsigned char>(Text[I + 1]) & 0xC0) == 0x80) {
      const char32_t C = ((B & 0x1F) << 6) | (static_cast<unsigned char>(Text[I + 1]) & 0x3F);
      AppendUtf8(Out, FoldChar(C));
      I += 2;
    } else {
      Out += static_cast<char>(B < 0x80 ? FoldChar(B) : B);
      ++I;
    }
  }
  return Out;
}

bool SameText(std::string_view A, std::string_view B) {
  return FoldCase(A) == FoldCase(B);
}

bool StartsText(std::string_view Prefix, std::string_view Text) {
  return FoldCase(Text).starts_with(FoldCase(Prefix));
}

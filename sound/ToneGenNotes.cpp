#include "sound/ToneGenNotes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

std::string Normalised(std::string_view Text) {
  while (!Text.empty() && Text.front() == ' ') Text.remove_prefix(1);
  while (!Text.empty() && Text.back() == ' ') Text.remove_suffix(1);
  std::string Result(Text);
  for (char& C : Result)
    if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
  return Result;
}

// A decimal integer, or -1 when the text is not one.
long long DecimalOrMinusOne(std::string_view Text) {
  if (!Text.empty() && Text.front() == '+') Text.remove_prefix(1);
  long long Value = 0;
  const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  if (Text.empty() || Error != std::errc() || End != Text.data() + Text.size()) return -1;
  return Value;
}

// Semitones above A of the letters A to G; -1 for anything else.
int LetterOffset(char Letter) {
  static constexpr int Offsets[] = {0, 2, 3, 5, 7, 8, 10};
  return Letter >= 'A' && Letter <= 'G' ? Offsets[Letter - 'A'] : -1;
}

}  // namespace

int32_t NoteToFrequency(std::string_view Text, int32_t& Octave) {
  const std::string Note = Normalised(Text);
  std::string_view Rest = Note;
  int32_t N = Octave;
  long long Index;
  if (!Rest.empty() && Rest.front() == 'N') {
    Index = DecimalOrMinusOne(Rest.substr(1));
    if (Index < 0 || Index > 121) return 0;
  } else {
    if (!Rest.empty() && Rest.front() == 'O') {
      if (Rest.size() < 2 || Rest[1] < '0' || Rest[1] > '9') return 0;
      N = Rest[1] - '0';
      Rest.remove_prefix(2);
    } else {
      for (; !Rest.empty() && (Rest.front() == '<' || Rest.front() == '>'); Rest.remove_prefix(1))
        N = Rest.front() == '<' ? std::max(N - 1, 0) : std::min(N + 1, 9);
    }
    if (Rest.empty() || LetterOffset(Rest.front()) < 0) return 0;
    const char Letter = Rest.front();
    int Offset = LetterOffset(Letter);
    Rest.remove_prefix(1);
    if (!Rest.empty() && (Rest.front() == '+' || Rest.front() == '#')) {
      Rest.remove_prefix(1);
      if (Letter == 'B' || Letter == 'E') return 0;
      ++Offset;
    } else if (!Rest.empty() && Rest.front() == '-') {
      Rest.remove_prefix(1);
      if (Letter == 'C' || Letter == 'F') return 0;
      if (Letter == 'A') {
        // A flat is the G sharp at the top of the octave below.
        Offset = 11;
        if (--N < 0) return 0;
      } else {
        --Offset;
      }
    }
    if (!Rest.empty()) return 0;
    Index = Offset + 12LL * N;
  }
  const double Hertz = std::trunc(440.0 * std::pow(2.0, double(Index - 48) / 12.0) + 0.5);
  if (Hertz < 20 || Hertz > 50000) return 0;
  Octave = N;
  return int32_t(Hertz);
}

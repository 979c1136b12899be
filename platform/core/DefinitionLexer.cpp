#include "platform/core/DefinitionLexer.h"

#include <cctype>

#include "platform/core/Utf8.h"

namespace {

bool IsIdentStart(char C) {
  return std::isalpha(static_cast<unsigned char>(C)) || C == '_';
}
bool IsIdentChar(char C) {
  return IsIdentStart(C) || std::isdigit(static_cast<unsigned char>(C)) || C == '.';
}
bool IsDigit(char C) {
  return std::isdigit(static_cast<unsigned char>(C)) != 0;
}
int HexValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

}  // namespace

TDefinitionLexer::TDefinitionLexer(std::string_view Text, std::string FileName)
    : FText(Text), FFileName(std::move(FileName)) {
  // A byte-order mark some editors put in front is not part of the text.
  if (FText.substr(0, 3) == "\xEF\xBB\xBF") FPos = 3;
  Scan();
}

EDefinitionError TDefinitionLexer::Error(int Line, const std::string& Reason) const {
  return EDefinitionError(FFileName + ", line " + std::to_string(Line) + ": " + Reason);
}

TToken TDefinitionLexer::Next() {
  TToken Result = std::move(FToken);
  Scan();
  return Result;
}

void TDefinitionLexer::SkipSpace() {
  while (FPos < FText.size()) {
    const char C = FText[FPos];
    if (C == '\n')
      ++FLine;
    else if (C != ' ' && C != '\t' && C != '\r')
      return;
    ++FPos;
  }
}

void TDefinitionLexer::Scan() {
  SkipSpace();
  FToken = TToken();
  FToken.Line = FLine;
  FToken.Offset = FPos;
  if (FPos >= FText.size()) return;
  const char C = FText[FPos];
  if (IsIdentStart(C)) {
    const std::size_t Start = FPos;
    while (FPos < FText.size() && IsIdentChar(FText[FPos])) ++FPos;
    FToken.Kind = TTokenKind::Ident;
    FToken.Text = FText.substr(Start, FPos - Start);
  } else if (C == '\'' || C == '#') {
    ScanString();
  } else if (C == '{') {
    ScanBinary();
  } else if (IsDigit(C) || C == '$' ||
             ((C == '-' || C == '+') && FPos + 1 < FText.size() &&
              (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == '$'))) {
    ScanNumber();
  } else if (std::string_view("=:[](),+<>").find(C) != std::string_view::npos) {
    FToken.Kind = TTokenKind::Symbol;
    FToken.Text = std::string(1, C);
    ++FPos;
  } else {
    throw Error(FLine, "Unexpected character '" + std::string(1, C) + "'");
  }
}

void TDefinitionLexer::ScanNumber() {
  const std::size_t Start = FPos;
  bool IsReal = false;
  if (FText[FPos] == '-' || FText[FPos] == '+') ++FPos;
  if (FPos < FText.size() && FText[FPos] == '$') {
    ++FPos;
    while (FPos < FText.size() && HexValue(FText[FPos]) >= 0) ++FPos;
  } else {
    while (FPos < FText.size()) {
      const char C = FText[FPos];
      if (C == '.' || C == 'e' || C == 'E') {
        IsReal = true;
        if ((C == 'e' || C == 'E') && FPos + 1 < FText.size() &&
            (FText[FPos + 1] == '-' || FText[FPos + 1] == '+'))
          ++FPos;
      } else if (!IsDigit(C)) {
        break;
      }
      ++FPos;
    }
  }
  FToken.Kind = IsReal ? TTokenKind::Real : TTokenKind::Integer;
  FToken.Text = FText.substr(Start, FPos - Start);
  if (FPos < FText.size() && IsIdentStart(FText[FPos]))
    throw Error(FLine, "Malformed number " + FToken.Text + FText[FPos]);
}

// Quoted runs ('' is one quote) and #nnn / #$hex character codes, adjacent, form one string.
void TDefinitionLexer::ScanString() {
  FToken.Kind = TTokenKind::String;
  std::string& Out = FToken.Text;
  while (FPos < FText.size() && (FText[FPos] == '\'' || FText[FPos] == '#')) {
    if (FText[FPos] == '\'') {
      ++FPos;
      for (;;) {
        if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r')
          throw Error(FLine, "Unterminated string");
        if (FText[FPos] == '\'') {
          if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
            Out += '\'';
            FPos += 2;
            continue;
          }
          ++FPos;
          break;
        }
        Out += FText[FPos++];
      }
    } else {
      ++FPos;
      char32_t Code = 0;
      int Digits = 0;
      const bool Hex = FPos < FText.size() && FText[FPos] == '$';
      if (Hex) ++FPos;
      for (; FPos < FText.size(); ++FPos, ++Digits) {
        const int V = Hex ? HexValue(FText[FPos]) : (IsDigit(FText[FPos]) ? FText[FPos] - '0' : -1);
        if (V < 0) break;
        Code = Code * (Hex ? 16 : 10) + V;
        if (Code > 0x10FFFF) throw Error(FLine, "Character code out of range");
      }
      if (Digits == 0) throw Error(FLine, "Character code expected after #");
      if (!IsValidCodePoint(Code)) throw Error(FLine, "Invalid character code");
      AppendUtf8(Out, Code);
    }
  }
}

void TDefinitionLexer::ScanBinary() {
  FToken.Kind = TTokenKind::Binary;
  const int StartLine = FLine;
  ++FPos;
  int High = -1;
  for (;;) {
    if (FPos >= FText.size()) throw Error(StartLine, "Binary data not closed by }");
    const char C = FText[FPos++];
    if (C == '}') break;
    if (C == '\n') {
      ++FLine;
      continue;
    }
    if (C == ' ' || C == '\t' || C == '\r') continue;
    const int V = HexValue(C);
    if (V < 0) throw Error(FLine, "Bad hexadecimal digit '" + std::string(1, C) + "'");
    if (High < 0) {
      High = V;
    } else {
      FToken.Bytes.push_back(static_cast<std::uint8_t>(High * 16 + V));
      High = -1;
    }
  }
  if (High >= 0) throw Error(FLine, "Odd number of hexadecimal digits");
}

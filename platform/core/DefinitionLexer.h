// Tokens of the stored window definition text; used by the definitions reader.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/Component.h"

// Malformed or unusable definition; the message names the file and line.
class EDefinitionError : public Exception {
 public:
  using Exception::Exception;
};

enum class TTokenKind { Ident, Integer, Real, String, Binary, Symbol, End };

struct TToken {
  TTokenKind Kind = TTokenKind::End;
  std::string Text;  // identifier, number text, decoded string (UTF-8), or the symbol
  TBytes Bytes;      // Binary
  int Line = 0;
  std::size_t Offset = 0;  // where the token starts in the text
};

class TDefinitionLexer {
 public:
  TDefinitionLexer(std::string_view Text, std::string FileName);

  const TToken& Peek() const { return FToken; }
  TToken Next();
  // An EDefinitionError for the given line: "<file>, line <n>: <reason>".
  EDefinitionError Error(int Line, const std::string& Reason) const;

 private:
  void Scan();
  void SkipSpace();
  void ScanString();
  void ScanBinary();
  void ScanNumber();

  std::string_view FText;
  std::string FFileName;
  std::size_t FPos = 0;
  int FLine = 1;
  TToken FToken;
};

// The grammar of stored window definitions, parsed in one place for every reader of them: the
// definitions reader creates components from it, the outliner keeps plain values.
//
//   definition = object <end of text>
//   object     = "object" [Name ":"] Class { property | object } "end"
//   property   = Name "=" value
//   value      = Ident | Integer | Real | String { "+" String } | Binary
//              | "(" ... ")" | "[" ... "]" | "<" ... ">"
//
// The parser walks objects and properties and hands each to a handler; what a value means
// depends on the property, so the handler reads it through the parser's value readers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/core/DefinitionLexer.h"

// An object's head: "object Name: Class", or "object Class" when unnamed (Name empty).
struct TObjectHead {
  std::string Name, ClassName;
  int Line = 0;
  std::size_t Offset = 0;  // where "object" starts in the text
  int Depth = 0;           // 0 for the top object
};

class IDefinitionHandler {
 public:
  virtual void BeginObject(const TObjectHead& Head) = 0;
  // The property's name, read before its "="; a handler may refuse it here.
  virtual void PropertyName(const std::string& Name, int Line) = 0;
  // After the "=": reads the value through the parser.
  virtual void PropertyValue() = 0;
  // End is where the object's text ends, just past its "end".
  virtual void EndObject(const TObjectHead& Head, std::size_t End) = 0;

 protected:
  ~IDefinitionHandler() = default;
};

class TDefinitionParser {
 public:
  TDefinitionParser(std::string_view Text, const std::string& FileName) : FLex(Text, FileName) {}

  // Parses the whole text: one object and nothing after it.
  void Parse(IDefinitionHandler& Handler);
  // Only the top object's head, for finding the class before reading.
  TObjectHead ReadHead();

  // Value readers, for the handler.
  const TToken& Peek() const { return FLex.Peek(); }
  TToken Next() { return FLex.Next(); }
  bool AtSymbol(char Symbol) const;
  void ExpectSymbol(char Symbol);
  // A string, long ones stored as pieces joined by +; Property names the value in errors.
  std::string ReadString(std::string_view Property);
  // Past a group opened by the token just read ("(", "[" or "<") and its Close; groups of the
  // same kind may nest (collections do).
  void SkipGroup(char Close, int Line);
  // Past the whole value of Property, whatever its kind.
  void SkipValue(std::string_view Property);

  EDefinitionError Error(int Line, const std::string& Reason) const {
    return FLex.Error(Line, Reason);
  }
  // "Bad value <token> for property <Property>: <Why>".
  EDefinitionError BadValue(std::string_view Property, const TToken& T,
                            const std::string& Why) const;

 private:
  bool AtIdent(std::string_view Ident) const;
  std::string ExpectIdent(const char* What);
  void ParseObject(IDefinitionHandler& Handler, int Depth);

  // Real windows nest a few levels; a bound keeps hostile input from exhausting the stack.
  static constexpr int MaxDepth = 100;

  TDefinitionLexer FLex;
};

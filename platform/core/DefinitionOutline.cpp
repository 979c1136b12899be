#include "platform/core/DefinitionOutline.h"

#include "platform/core/DefinitionLexer.h"
#include "platform/core/SysUtils.h"

namespace {

constexpr int MaxDepth = 100;

class TOutliner {
 public:
  TOutliner(std::string_view Text, const std::string& FileName)
      : FText(Text), FLex(Text, FileName) {}

  TDefinitionOutline Read() {
    TDefinitionOutline Root = ReadObject(0);
    if (FLex.Peek().Kind != TTokenKind::End)
      throw FLex.Error(FLex.Peek().Line, "Unexpected text after the final end");
    return Root;
  }

 private:
  bool AtSymbol(char Symbol) const {
    return FLex.Peek().Kind == TTokenKind::Symbol && FLex.Peek().Text[0] == Symbol;
  }
  bool AtIdent(std::string_view Ident) const {
    return FLex.Peek().Kind == TTokenKind::Ident && SameIdent(FLex.Peek().Text, Ident);
  }
  std::string ExpectIdent(const char* What) {
    if (FLex.Peek().Kind != TTokenKind::Ident)
      throw FLex.Error(FLex.Peek().Line, std::string(What) + " expected");
    return FLex.Next().Text;
  }

  TDefinitionOutline ReadObject(int Depth) {
    const TToken Start = FLex.Peek();
    if (Depth > MaxDepth) throw FLex.Error(Start.Line, "Objects nested too deeply");
    if (!AtIdent("object")) throw FLex.Error(Start.Line, "object expected");
    FLex.Next();
    TDefinitionOutline Object;
    Object.Name = ExpectIdent("Component name");
    if (AtSymbol(':')) {
      FLex.Next();
      Object.ClassName = ExpectIdent("Class name");
    } else {
      Object.ClassName = std::move(Object.Name);
      Object.Name.clear();
    }
    for (;;) {
      if (FLex.Peek().Kind == TTokenKind::End)
        throw FLex.Error(Start.Line, "object " + Object.Name + ": " + Object.ClassName +
                                         " is not closed by end");
      if (AtIdent("end")) {
        const std::size_t End = FLex.Next().Offset + 3;
        Object.Text = FText.substr(Start.Offset, End - Start.Offset);
        return Object;
      }
      if (AtIdent("object"))
        Object.Children.push_back(ReadObject(Depth + 1));
      else
        ReadProperty(Object);
    }
  }

  void ReadProperty(TDefinitionOutline& Object) {
    const std::string Name = ExpectIdent("Property name");
    if (!AtSymbol('=')) throw FLex.Error(FLex.Peek().Line, "'=' expected");
    FLex.Next();
    const TToken Value = FLex.Next();
    switch (Value.Kind) {
      case TTokenKind::Ident:
      case TTokenKind::Integer:
      case TTokenKind::Real:
        Object.Values[Name] = Value.Text;
        return;
      case TTokenKind::String:
        Object.Values[Name] = Value.Text + MoreString(Name);
        return;
      case TTokenKind::Binary:
        return;
      case TTokenKind::Symbol:
        if (Value.Text == "(") return SkipUntil(')', Value.Line);
        if (Value.Text == "[") return SkipUntil(']', Value.Line);
        if (Value.Text == "<") return SkipUntil('>', Value.Line);
        [[fallthrough]];
      default:
        throw FLex.Error(Value.Line, "Value expected for " + Name);
    }
  }

  // Long strings are stored as pieces joined by +.
  std::string MoreString(const std::string& Name) {
    std::string More;
    while (AtSymbol('+')) {
      FLex.Next();
      const TToken Piece = FLex.Next();
      if (Piece.Kind != TTokenKind::String)
        throw FLex.Error(Piece.Line, "String expected after + in " + Name);
      More += Piece.Text;
    }
    return More;
  }

  // Past the Close that ends a group; groups of the same kind may nest (collections do).
  void SkipUntil(char Close, int Line) {
    const char Open = Close == ')' ? '(' : Close == ']' ? '[' : '<';
    for (int Depth = 1; Depth > 0;) {
      if (FLex.Peek().Kind == TTokenKind::End)
        throw FLex.Error(Line, std::string("List not closed by ") + Close);
      if (AtSymbol(Open)) ++Depth;
      if (AtSymbol(Close)) --Depth;
      FLex.Next();
    }
  }

  std::string_view FText;
  TDefinitionLexer FLex;
};

}  // namespace

const TDefinitionOutline* TDefinitionOutline::Find(std::string_view Wanted) const {
  if (SameIdent(Name, Wanted)) return this;
  for (const TDefinitionOutline& Child : Children)
    if (const TDefinitionOutline* Found = Child.Find(Wanted)) return Found;
  return nullptr;
}

std::string TDefinitionOutline::Value(std::string_view Property, std::string_view Default) const {
  for (const auto& [Name, Text] : Values)
    if (SameIdent(Name, Property)) return Text;
  return std::string(Default);
}

TDefinitionOutline OutlineDefinition(std::string_view Text, const std::string& FileName) {
  return TOutliner(Text, FileName).Read();
}

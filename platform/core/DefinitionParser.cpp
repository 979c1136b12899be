#include "platform/core/DefinitionParser.h"

#include "platform/core/SysUtils.h"

bool TDefinitionParser::AtSymbol(char Symbol) const {
  return FLex.Peek().Kind == TTokenKind::Symbol && FLex.Peek().Text[0] == Symbol;
}

bool TDefinitionParser::AtIdent(std::string_view Ident) const {
  return FLex.Peek().Kind == TTokenKind::Ident && SameIdent(FLex.Peek().Text, Ident);
}

std::string TDefinitionParser::ExpectIdent(const char* What) {
  if (FLex.Peek().Kind != TTokenKind::Ident)
    throw FLex.Error(FLex.Peek().Line, std::string(What) + " expected");
  return FLex.Next().Text;
}

void TDefinitionParser::ExpectSymbol(char Symbol) {
  if (!AtSymbol(Symbol))
    throw FLex.Error(FLex.Peek().Line, std::string("'") + Symbol + "' expected");
  FLex.Next();
}

EDefinitionError TDefinitionParser::BadValue(std::string_view Property, const TToken& T,
                                             const std::string& Why) const {
  return FLex.Error(T.Line, "Bad value " + (T.Text.empty() ? std::string("here") : T.Text) +
                                " for property " + std::string(Property) + ": " + Why);
}

void TDefinitionParser::Parse(IDefinitionHandler& Handler) {
  ParseObject(Handler, 0);
  if (FLex.Peek().Kind != TTokenKind::End)
    throw FLex.Error(FLex.Peek().Line, "Unexpected text after the final end");
}

TObjectHead TDefinitionParser::ReadHead() {
  TObjectHead Head;
  Head.Line = FLex.Peek().Line;
  Head.Offset = FLex.Peek().Offset;
  const std::string Keyword = ExpectIdent("object");
  if (!SameIdent(Keyword, "object")) throw FLex.Error(Head.Line, "object expected, not " + Keyword);
  Head.Name = ExpectIdent("Component name");
  if (AtSymbol(':')) {
    FLex.Next();
    Head.ClassName = ExpectIdent("Class name");
  } else {
    Head.ClassName = std::move(Head.Name);
    Head.Name.clear();
  }
  return Head;
}

void TDefinitionParser::ParseObject(IDefinitionHandler& Handler, int Depth) {
  if (Depth > MaxDepth) throw FLex.Error(FLex.Peek().Line, "Objects nested too deeply");
  TObjectHead Head = ReadHead();
  Head.Depth = Depth;
  Handler.BeginObject(Head);
  for (;;) {
    if (FLex.Peek().Kind == TTokenKind::End)
      throw FLex.Error(Head.Line,
                       "object " + Head.Name + ": " + Head.ClassName + " is not closed by end");
    if (AtIdent("end")) {
      Handler.EndObject(Head, FLex.Next().Offset + 3);
      return;
    }
    if (AtIdent("object")) {
      ParseObject(Handler, Depth + 1);
      continue;
    }
    const int Line = FLex.Peek().Line;
    Handler.PropertyName(ExpectIdent("Property name"), Line);
    ExpectSymbol('=');
    Handler.PropertyValue();
  }
}

std::string TDefinitionParser::ReadString(std::string_view Property) {
  TToken T = FLex.Next();
  if (T.Kind != TTokenKind::String) throw BadValue(Property, T, "string expected");
  std::string S = std::move(T.Text);
  while (AtSymbol('+')) {
    FLex.Next();
    TToken More = FLex.Next();
    if (More.Kind != TTokenKind::String) throw BadValue(Property, More, "string expected after +");
    S += More.Text;
  }
  return S;
}

void TDefinitionParser::SkipGroup(char Close, int Line) {
  const char Open = Close == ')' ? '(' : Close == ']' ? '[' : '<';
  for (int Depth = 1; Depth > 0;) {
    if (FLex.Peek().Kind == TTokenKind::End)
      throw FLex.Error(Line, std::string("List not closed by ") + Close);
    if (AtSymbol(Open)) ++Depth;
    if (AtSymbol(Close)) --Depth;
    FLex.Next();
  }
}

void TDefinitionParser::SkipValue(std::string_view Property) {
  if (Peek().Kind == TTokenKind::String) {
    ReadString(Property);
    return;
  }
  const TToken Value = Next();
  switch (Value.Kind) {
    case TTokenKind::Ident:
    case TTokenKind::Integer:
    case TTokenKind::Real:
    case TTokenKind::Binary:
      return;
    case TTokenKind::Symbol:
      if (Value.Text == "(") return SkipGroup(')', Value.Line);
      if (Value.Text == "[") return SkipGroup(']', Value.Line);
      if (Value.Text == "<") return SkipGroup('>', Value.Line);
      break;
    default:
      break;
  }
  throw Error(Value.Line, "Value expected for " + std::string(Property));
}

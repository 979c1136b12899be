#include "platform/core/DefinitionTexts.h"

#include "platform/core/DefinitionParser.h"
#include "platform/core/Translation.h"

namespace {

class TTextCollector final : public IDefinitionHandler {
 public:
  TTextCollector(std::string_view Text, const std::string& FileName) : FParser(Text, FileName) {}

  std::vector<TDefinitionText> Read() {
    FParser.Parse(*this);
    return std::move(FTexts);
  }

 private:
  void BeginObject(const TObjectHead&) override {}
  void EndObject(const TObjectHead&, std::size_t) override {}
  void PropertyName(const std::string& Name, int) override { FProperty = Name; }

  void PropertyValue() override {
    if (!IsTranslatedProperty(FProperty)) return FParser.SkipValue(FProperty);
    if (FParser.Peek().Kind == TTokenKind::String) return Add();
    if (!FParser.AtSymbol('(')) return FParser.SkipValue(FProperty);
    // A list of strings: Items.Strings = ('Sine' 'Square' ...).
    const int Line = FParser.Next().Line;
    while (!FParser.AtSymbol(')')) {
      if (FParser.Peek().Kind == TTokenKind::End) throw FParser.Error(Line, "List not closed by )");
      Add();
    }
    FParser.Next();
  }

  void Add() {
    const int Line = FParser.Peek().Line;
    std::string Text = FParser.ReadString(FProperty);
    if (IsTranslatedText(Text)) FTexts.push_back({std::move(Text), Line});
  }

  TDefinitionParser FParser;
  std::string FProperty;
  std::vector<TDefinitionText> FTexts;
};

}  // namespace

std::vector<TDefinitionText> DefinitionTexts(std::string_view Text, const std::string& FileName) {
  return TTextCollector(Text, FileName).Read();
}

#include "platform/core/DefinitionOutline.h"

#include "platform/core/DefinitionParser.h"
#include "platform/core/SysUtils.h"

namespace {

// Keeps each object's simple values; lists, sets, collections and binary data are passed over.
class TOutliner final : public IDefinitionHandler {
 public:
  TOutliner(std::string_view Text, const std::string& FileName)
      : FText(Text), FParser(Text, FileName) {}

  TDefinitionOutline Read() {
    FParser.Parse(*this);
    return std::move(FRoot);
  }

 private:
  void BeginObject(const TObjectHead& Head) override {
    TDefinitionOutline& Object = FOpen.empty() ? FRoot : FOpen.back()->Children.emplace_back();
    Object.Name = Head.Name;
    Object.ClassName = Head.ClassName;
    FOpen.push_back(&Object);
  }

  void EndObject(const TObjectHead& Head, std::size_t End) override {
    FOpen.back()->Text = FText.substr(Head.Offset, End - Head.Offset);
    FOpen.pop_back();
  }

  void PropertyName(const std::string& Name, int) override { FProperty = Name; }

  void PropertyValue() override {
    TDefinitionOutline& Object = *FOpen.back();
    switch (FParser.Peek().Kind) {
      case TTokenKind::Ident:
      case TTokenKind::Integer:
      case TTokenKind::Real:
        Object.Values[FProperty] = FParser.Next().Text;
        return;
      case TTokenKind::String:
        Object.Values[FProperty] = FParser.ReadString(FProperty);
        return;
      default:
        FParser.SkipValue(FProperty);
    }
  }

  std::string_view FText;
  TDefinitionParser FParser;
  TDefinitionOutline FRoot;
  // The objects being read, innermost last; children are added only to the innermost, so the
  // pointers stay valid.
  std::vector<TDefinitionOutline*> FOpen;
  std::string FProperty;
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

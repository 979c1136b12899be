#include "platform/core/DefinitionReader.h"

#include <charconv>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>

#include "platform/core/DefinitionParser.h"
#include "platform/core/SysUtils.h"
#include "platform/core/Translation.h"

namespace {

struct TFixup {
  TComponent* Instance;
  const TPropInfo* Prop;
  std::string RootName;  // empty: within the root being read
  std::string Target;
  int Line;
};

// Roots read so far, and references into roots not read yet. Notifications keep both lists
// free of destroyed components.
class TRootTracker : public TComponent {
 public:
  TRootTracker() : TComponent(nullptr) {}
  ~TRootTracker() override {
    while (!FRoots.empty()) RemoveFreeNotification(FRoots.back()), FRoots.pop_back();
    for (auto& F : FPending) RemoveFreeNotification(F.Instance);
  }

  TComponent* FindRoot(std::string_view Name) const {
    for (TComponent* R : FRoots)
      if (SameIdent(R->Name(), Name)) return R;
    return nullptr;
  }
  void AddRoot(TComponent* Root) {
    if (std::find(FRoots.begin(), FRoots.end(), Root) == FRoots.end()) FRoots.push_back(Root);
    FreeNotification(Root);
    // Resolve the references that waited for this root; unknown names stay nil.
    for (auto It = FPending.begin(); It != FPending.end();) {
      if (!SameIdent(It->RootName, Root->Name())) {
        ++It;
        continue;
      }
      if (TComponent* Target = Root->FindComponent(It->Target))
        It->Prop->Set(*It->Instance, TPropValue(Target));
      It = FPending.erase(It);
    }
  }
  void AddPending(TFixup F) {
    FreeNotification(F.Instance);
    FPending.push_back(std::move(F));
  }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    FRoots.erase(std::remove(FRoots.begin(), FRoots.end(), AComponent), FRoots.end());
    std::erase_if(FPending, [AComponent](const TFixup& F) { return F.Instance == AComponent; });
  }

 private:
  std::vector<TComponent*> FRoots;
  std::vector<TFixup> FPending;
};

TRootTracker& Tracker() {
  static TRootTracker Instance;
  return Instance;
}

}  // namespace

class TDefinitionReader final : public IDefinitionHandler {
 public:
  TDefinitionReader(std::string_view Text, const std::string& FileName) : FParser(Text, FileName) {}

  void Read(TComponent& Root, bool CheckClass) {
    FRoot = &Root;
    FCheckClass = CheckClass;
    try {
      FParser.Parse(*this);
      ResolveFixups();
    } catch (...) {
      // Undo the half-built tree: the root stays as it was given, minus its loading state.
      for (auto It = FCreated.rbegin(); It != FCreated.rend(); ++It) delete *It;
      Root.FLoading = false;
      throw;
    }
    Tracker().AddRoot(&Root);
    Root.EndLoad();
    for (TComponent* C : FCreated) C->EndLoad();
  }

 private:
  void BeginObject(const TObjectHead& Head) override {
    TComponent* Parent = FOpen.empty() ? nullptr : FOpen.back();
    TComponent* Instance = Parent ? CreateChild(Head.ClassName, Head.Line) : FRoot;
    if (!Parent && FCheckClass && !SameIdent(Head.ClassName, FRoot->ClassName()))
      throw FParser.Error(Head.Line,
                          "Class " + Head.ClassName + " does not match " + FRoot->ClassName());
    Instance->BeginLoad();
    Guard(Head.Line, [&] {
      Instance->SetName(Head.Name);
      if (Parent) Instance->SetParentComponent(Parent);
    });
    FOpen.push_back(Instance);
  }

  void EndObject(const TObjectHead&, std::size_t) override { FOpen.pop_back(); }

  TComponent* CreateChild(const std::string& ClassName, int Line) {
    const TClassInfo* Info = FindClass(ClassName);
    if (!Info) throw FParser.Error(Line, "Unknown class " + ClassName);
    if (!Info->Factory) throw FParser.Error(Line, "Class " + ClassName + " cannot be created");
    TComponent* C = nullptr;
    Guard(Line, [&] { C = Info->Factory(FRoot); });
    FCreated.push_back(C);
    return C;
  }

  // Runs F, turning component errors into errors naming the file and line.
  template <class F>
  void Guard(int Line, F&& Body) {
    try {
      Body();
    } catch (const EDefinitionError&) {
      throw;
    } catch (const std::exception& E) {
      throw FParser.Error(Line, E.what());
    }
  }

  void PropertyName(const std::string& Name, int Line) override {
    TComponent& Instance = *FOpen.back();
    FProp = FindProp(Instance, Name);
    FPropLine = Line;
    if (!FProp)
      throw FParser.Error(
          Line, "Unknown property " + Name + " in " + Instance.ClassName() + " " + Instance.Name());
  }

  void PropertyValue() override {
    TComponent& Instance = *FOpen.back();
    const TPropInfo& Prop = *FProp;
    const int Line = FPropLine;
    TPropValue Value = ReadValue(Instance, Prop, Line);
    if (Prop.Kind == TPropKind::Component && std::holds_alternative<std::string>(Value)) {
      AddFixup(Instance, Prop, std::get<std::string>(Value), Line);
      return;
    }
    Guard(Line, [&] { Prop.Set(Instance, Value); });
  }

  // Delphi writes string lists as `Items.Strings = (...)`; both spellings name the list.
  static const TPropInfo* FindProp(const TComponent& Instance, std::string_view Name) {
    if (const TPropInfo* Prop = Instance.ClassInfo().FindProp(Name)) return Prop;
    constexpr std::string_view Suffix = ".Strings";
    if (Name.size() <= Suffix.size() ||
        !SameIdent(Name.substr(Name.size() - Suffix.size()), Suffix))
      return nullptr;
    const TPropInfo* List =
        Instance.ClassInfo().FindProp(Name.substr(0, Name.size() - Suffix.size()));
    return List && List->Kind == TPropKind::Strings ? List : nullptr;
  }

  EDefinitionError BadValue(const TPropInfo& Prop, const TToken& T, const std::string& Why) {
    return FParser.BadValue(Prop.Name, T, Why);
  }

  std::int64_t ParseInt(const TPropInfo& Prop, const TToken& T, std::int64_t Min,
                        std::int64_t Max) {
    if (T.Kind != TTokenKind::Integer) throw BadValue(Prop, T, "integer expected");
    std::string_view S = T.Text;
    bool Negative = false;
    if (S[0] == '-' || S[0] == '+') {
      Negative = S[0] == '-';
      S.remove_prefix(1);
    }
    int Base = 10;
    if (!S.empty() && S[0] == '$') {
      Base = 16;
      S.remove_prefix(1);
    }
    std::uint64_t Magnitude = 0;
    auto [End, Err] = std::from_chars(S.data(), S.data() + S.size(), Magnitude, Base);
    if (Err != std::errc() || End != S.data() + S.size() || S.empty() ||
        Magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
      throw BadValue(Prop, T, "not a valid integer");
    const std::int64_t V =
        Negative ? -static_cast<std::int64_t>(Magnitude) : static_cast<std::int64_t>(Magnitude);
    if (V < Min || V > Max) throw BadValue(Prop, T, "out of range");
    return V;
  }

  std::int64_t EnumIndex(const TPropInfo& Prop, const TToken& T) {
    if (T.Kind == TTokenKind::Ident)
      for (std::size_t I = 0; I < Prop.EnumNames.size(); ++I)
        if (SameIdent(Prop.EnumNames[I], T.Text)) return static_cast<std::int64_t>(I);
    throw BadValue(Prop, T, "not one of its names");
  }

  // Captions, hints and items are stored in English and shown in the user's language.
  std::string ReadString(const TPropInfo& Prop) {
    std::string Text = FParser.ReadString(Prop.Name);
    if (IsTranslatedProperty(Prop.Name) && IsTranslatedText(Text)) return Tr(Text);
    return Text;
  }

  TPropValue ReadValue(TComponent& Instance, const TPropInfo& Prop, int Line) {
    switch (Prop.Kind) {
      case TPropKind::String:
      case TPropKind::Picture:
        return ReadString(Prop);
      case TPropKind::Strings: {
        FParser.ExpectSymbol('(');
        TStringList List;
        while (!FParser.AtSymbol(')')) {
          if (FParser.Peek().Kind == TTokenKind::End)
            throw FParser.Error(Line, "List not closed by )");
          List.push_back(ReadString(Prop));
        }
        FParser.Next();
        return List;
      }
      case TPropKind::Set: {
        FParser.ExpectSymbol('[');
        std::int64_t Mask = 0;
        while (!FParser.AtSymbol(']')) {
          TToken T = FParser.Next();
          if (T.Kind == TTokenKind::End) throw FParser.Error(Line, "Set not closed by ]");
          Mask |= std::int64_t(1) << EnumIndex(Prop, T);
          if (FParser.AtSymbol(',')) FParser.Next();
        }
        FParser.Next();
        return Mask;
      }
      default:
        break;
    }
    TToken T = FParser.Next();
    switch (Prop.Kind) {
      case TPropKind::Integer:
        return ParseInt(Prop, T, std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max());
      case TPropKind::Real: {
        if (T.Kind != TTokenKind::Real && T.Kind != TTokenKind::Integer)
          throw BadValue(Prop, T, "number expected");
        double V = 0;
        auto [End, Err] =
            std::from_chars(T.Text.data() + (T.Text[0] == '+'), T.Text.data() + T.Text.size(), V);
        if (Err != std::errc() || End != T.Text.data() + T.Text.size())
          throw BadValue(Prop, T, "not a valid number");
        return V;
      }
      case TPropKind::Boolean:
        if (T.Kind == TTokenKind::Ident && SameIdent(T.Text, "True")) return true;
        if (T.Kind == TTokenKind::Ident && SameIdent(T.Text, "False")) return false;
        throw BadValue(Prop, T, "True or False expected");
      case TPropKind::Enum:
        return EnumIndex(Prop, T);
      case TPropKind::Colour: {
        if (T.Kind == TTokenKind::Ident) {
          if (auto C = IdentToColor(T.Text)) return std::int64_t(*C);
          throw BadValue(Prop, T, "unknown colour name");
        }
        // Colours are 32-bit patterns; $80000005 and -2147483643 name the same one.
        const std::int64_t V = ParseInt(Prop, T, std::numeric_limits<std::int32_t>::min(),
                                        std::numeric_limits<std::uint32_t>::max());
        return std::int64_t(static_cast<TColor>(static_cast<std::uint32_t>(V)));
      }
      case TPropKind::Binary:
        if (T.Kind != TTokenKind::Binary) throw BadValue(Prop, T, "{ hexadecimal data } expected");
        return std::move(T.Bytes);
      case TPropKind::Component:
        if (T.Kind != TTokenKind::Ident) throw BadValue(Prop, T, "component name expected");
        if (SameIdent(T.Text, "nil")) return static_cast<TComponent*>(nullptr);
        return std::move(T.Text);
      case TPropKind::Event: {
        if (T.Kind != TTokenKind::Ident) throw BadValue(Prop, T, "handler name expected");
        const TMethodInfo* M = FRoot->ClassInfo().FindMethod(T.Text);
        if (!M)
          throw FParser.Error(T.Line, "Unknown handler " + T.Text + " in " + FRoot->ClassName() +
                                          " for " + Instance.Name() + "." + Prop.Name);
        return TMethod{M->Name, M->Bind(*FRoot)};
      }
      default:
        throw BadValue(Prop, T, "unsupported property kind");
    }
  }

  void AddFixup(TComponent& Instance, const TPropInfo& Prop, const std::string& Ref, int Line) {
    const auto Dot = Ref.find('.');
    TFixup F{&Instance, &Prop, "", Ref, Line};
    if (Dot != std::string::npos) {
      F.RootName = Ref.substr(0, Dot);
      F.Target = Ref.substr(Dot + 1);
    }
    FFixups.push_back(std::move(F));
  }

  void ResolveFixups() {
    for (TFixup& F : FFixups) {
      TComponent* Root = FRoot;
      if (!F.RootName.empty() && !SameIdent(F.RootName, FRoot->Name())) {
        Root = Tracker().FindRoot(F.RootName);
        if (!Root) {
          Tracker().AddPending(F);
          continue;
        }
      }
      TComponent* Target = SameIdent(F.Target, Root->Name()) ? Root : Root->FindComponent(F.Target);
      if (!Target) throw FParser.Error(F.Line, "Unknown component " + F.Target);
      Guard(F.Line, [&] { F.Prop->Set(*F.Instance, TPropValue(Target)); });
    }
  }

  TDefinitionParser FParser;
  TComponent* FRoot = nullptr;
  bool FCheckClass = false;
  // The objects being read, innermost last.
  std::vector<TComponent*> FOpen;
  const TPropInfo* FProp = nullptr;
  int FPropLine = 0;
  std::vector<TComponent*> FCreated;
  std::vector<TFixup> FFixups;
};

void ReadDefinition(TComponent& Root, std::string_view Text, const std::string& FileName) {
  TDefinitionReader(Text, FileName).Read(Root, true);
}

void ReadDefinitionFile(TComponent& Root, const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  if (!In) throw EDefinitionError("Cannot open " + Path);
  std::ostringstream Text;
  Text << In.rdbuf();
  ReadDefinition(Root, Text.str(), Path);
}

TComponent* CreateFromDefinition(TComponent* Owner, std::string_view Text,
                                 const std::string& FileName) {
  TDefinitionParser Probe(Text, FileName);
  const TObjectHead Head = Probe.ReadHead();
  const TClassInfo* Info = FindClass(Head.ClassName);
  if (!Info || !Info->Factory) throw Probe.Error(Head.Line, "Unknown class " + Head.ClassName);
  std::unique_ptr<TComponent> Root(Info->Factory(Owner));
  TDefinitionReader(Text, FileName).Read(*Root, true);
  return Root.release();
}

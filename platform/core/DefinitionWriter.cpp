#include "platform/core/DefinitionWriter.h"

#include <charconv>
#include <cmath>
#include <fstream>

#include "platform/core/DefinitionLexer.h"
#include "platform/core/Utf8.h"

namespace {

// Printable ASCII in quotes, everything else as #code, so the file is plain ASCII.
std::string QuoteString(const std::string& S) {
  if (S.empty()) return "''";
  std::string Out;
  bool InQuotes = false;
  std::size_t Pos = 0;
  while (Pos < S.size()) {
    const std::optional<char32_t> C = NextUtf8(S, Pos);
    const char32_t Code = C.value_or(static_cast<unsigned char>(S[Pos - 1]));
    if (Code >= 0x20 && Code < 0x7F) {
      if (!InQuotes) Out += '\'';
      InQuotes = true;
      Out += static_cast<char>(Code);
      if (Code == '\'') Out += '\'';
    } else {
      if (InQuotes) Out += '\'';
      InQuotes = false;
      Out += '#' + std::to_string(static_cast<std::uint32_t>(Code));
    }
  }
  if (InQuotes) Out += '\'';
  return Out;
}

std::string FormatReal(double V) {
  if (!std::isfinite(V)) throw EDefinitionError("A real property holds no finite number");
  char Buffer[64];
  auto [End, Err] = std::to_chars(Buffer, Buffer + sizeof Buffer, V);
  std::string S(Buffer, End);
  if (S.find_first_of(".e") == std::string::npos) S += ".0";
  return S;
}

// The name a reference is written with: plain within the root, Root.Name across roots.
std::string ReferenceName(const TComponent* Target, const TComponent& Root) {
  if (Target == &Root) return Root.Name();
  if (Target->Owner() == &Root) return Target->Name();
  if (Target->Owner() && !Target->Owner()->Name().empty())
    return Target->Owner()->Name() + "." + Target->Name();
  return Target->Name();
}

class TWriter {
 public:
  std::string Text;

  void WriteObject(const TComponent& C, const TComponent& Root, int Depth) {
    const std::string Indent(Depth * 2, ' ');
    Text += Indent + "object " + (C.Name().empty() ? "" : C.Name() + ": ") + C.ClassName() + "\n";
    for (const TPropInfo* P : C.ClassInfo().AllProps()) {
      const TPropValue V = P->Get(C);
      if (P->Stored && !P->Stored(C)) continue;
      if (!P->AlwaysStored && SameValue(V, P->Default)) continue;
      std::string Value = FormatValue(*P, V, Root, Indent);
      if (!Value.empty()) Text += Indent + "  " + P->Name + " = " + Value + "\n";
    }
    C.GetChildren([&](TComponent* Child) { WriteObject(*Child, Root, Depth + 1); }, &Root);
    Text += Indent + "end\n";
  }

 private:
  static std::string FormatValue(const TPropInfo& P, const TPropValue& V, const TComponent& Root,
                                 const std::string& Indent) {
    switch (P.Kind) {
      case TPropKind::Integer:
        return std::to_string(std::get<std::int64_t>(V));
      case TPropKind::Real:
        return FormatReal(std::get<double>(V));
      case TPropKind::String:
      case TPropKind::Picture:
        return QuoteString(std::get<std::string>(V));
      case TPropKind::Boolean:
        return std::get<bool>(V) ? "True" : "False";
      case TPropKind::Enum: {
        const auto I = std::get<std::int64_t>(V);
        if (I < 0 || I >= static_cast<std::int64_t>(P.EnumNames.size()))
          throw EDefinitionError("Property " + P.Name + " holds no valid value");
        return P.EnumNames[I];
      }
      case TPropKind::Set: {
        std::string S = "[";
        const auto Mask = std::get<std::int64_t>(V);
        for (std::size_t I = 0; I < P.EnumNames.size(); ++I)
          if (Mask & (std::int64_t(1) << I)) S += (S.size() > 1 ? ", " : "") + P.EnumNames[I];
        return S + "]";
      }
      case TPropKind::Colour: {
        const auto C = static_cast<TColor>(std::get<std::int64_t>(V));
        return ColorToIdent(C).value_or(std::to_string(C));
      }
      case TPropKind::Component: {
        const TComponent* Target = std::get<TComponent*>(V);
        return Target && !Target->Name().empty() ? ReferenceName(Target, Root) : "";
      }
      case TPropKind::Event:
        return std::get<TMethod>(V).Name;
      case TPropKind::Strings: {
        std::string S = "(";
        for (const std::string& Item : std::get<TStringList>(V))
          S += "\n" + Indent + "    " + QuoteString(Item);
        return S + ")";
      }
      case TPropKind::Binary: {
        static const char Hex[] = "0123456789ABCDEF";
        std::string S = "{";
        const TBytes& Bytes = std::get<TBytes>(V);
        for (std::size_t I = 0; I < Bytes.size(); ++I) {
          if (I % 32 == 0) S += "\n" + Indent + "    ";
          S += Hex[Bytes[I] >> 4];
          S += Hex[Bytes[I] & 15];
        }
        return S + "}";
      }
    }
    return "";
  }
};

}  // namespace

std::string WriteDefinition(const TComponent& Root) {
  TWriter W;
  W.WriteObject(Root, Root, 0);
  return W.Text;
}

void WriteDefinitionFile(const TComponent& Root, const std::string& Path) {
  const std::string Text = WriteDefinition(Root);
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out << Text;
  if (!Out.flush()) throw EDefinitionError("Cannot write " + Path);
}

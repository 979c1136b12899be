#include "platform/core/ParseErrors.h"

#include <cctype>
#include <regex>
#include <vector>

#include "platform/core/Translation.h"

namespace {

// A form of CLI11's message and the catalog's text for it, one %s for each of the form's groups,
// in their order.
struct TParseErrorForm {
  std::regex Pattern;
  const char* Text;
};

const std::vector<TParseErrorForm>& Forms() {
  static const std::vector<TParseErrorForm> List = [] {
    const std::pair<const char*, const char*> Table[] = {
        {"The following argument was not expected: (.*)",
         TrMark("The following argument was not expected: %s")},
        {"The following arguments were not expected: (.*)",
         TrMark("The following arguments were not expected: %s")},
        {"Exactly 1 option from \\[(.*)\\] is required and (\\d+) were given",
         TrMark("Exactly 1 option from [%s] is required and %s were given")},
        {"Exactly 1 option from \\[(.*)\\] is required",
         TrMark("Exactly 1 option from [%s] is required")},
        {"(\\S+): (\\d+) required (\\S+) missing", TrMark("%s: %s required %s missing")},
        {"(\\S+) is required", TrMark("%s is required")},
        {"(\\S+) requires (\\S+)", TrMark("%s requires %s")},
        {"(\\S+) excludes (\\S+)", TrMark("%s excludes %s")},
        {"Could not convert: (\\S+) = (.*)", TrMark("Could not convert: %s = %s")},
        {"(\\S+) was given a disallowed flag override",
         TrMark("%s was given a disallowed flag override")},
        {"(\\S+): too many inputs for a flag", TrMark("%s: too many inputs for a flag")},
    };
    std::vector<TParseErrorForm> Out;
    for (const auto& [Pattern, Text] : Table) Out.push_back({std::regex(Pattern), Text});
    return Out;
  }();
  return List;
}

// Text with each %s replaced by the next of Parts; a translation may take them in another order
// (%2$s).
std::string Fill(const std::string& Text, const std::smatch& Parts) {
  std::string Out;
  std::size_t Next = 1;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] != '%' || I + 1 >= Text.size()) {
      Out += Text[I];
      continue;
    }
    std::size_t Index = Next;
    std::size_t J = I + 1;
    if (std::isdigit(static_cast<unsigned char>(Text[J])) && J + 2 < Text.size() &&
        Text[J + 1] == '$' && Text[J + 2] == 's')
      Index = Text[J] - '0', J += 2;
    else if (Text[J] == 's')
      ++Next;
    else {
      Out += Text[I];
      continue;
    }
    if (Index < Parts.size()) Out += Parts[Index].str();
    I = J;
  }
  return Out;
}

}  // namespace

std::string TranslatedParseError(const std::string& Message) {
  for (const TParseErrorForm& Form : Forms()) {
    std::smatch Parts;
    if (std::regex_match(Message, Parts, Form.Pattern)) return Fill(Tr(Form.Text), Parts);
  }
  return Message;
}

#include "platform/data/DatabaseError.h"

#include "platform/core/Component.h"

std::string FormatDataMessage(const char* Format, std::initializer_list<std::string> Args) {
  std::string Result;
  auto Arg = Args.begin();
  for (const char* P = Format; *P; ++P) {
    if (P[0] == '%' && P[1] == 's' && Arg != Args.end()) {
      Result += *Arg++;
      ++P;
    } else {
      Result += *P;
    }
  }
  return Result;
}

void DatabaseError(const std::string& Message, const TComponent* Component) {
  if (Component && !Component->Name().empty())
    throw EDatabaseError(Component->Name() + ": " + Message);
  throw EDatabaseError(Message);
}

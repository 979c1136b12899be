#include "platform/core/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <iostream>

const std::string& TArgList::Peek() const {
  static const std::string None;
  return Empty() ? None : FArgs[FPos];
}

std::string TArgList::Take(std::string_view What) {
  if (Empty()) throw EBadArguments("missing " + std::string(What));
  return FArgs[FPos++];
}

std::string TArgList::TakeValue(const std::string& Option) {
  const std::string& Current = FArgs[FPos - 1];
  const auto Eq = Current.find('=');
  if (Eq != std::string::npos) return Current.substr(Eq + 1);
  return Take("value for " + Option);
}

long long ParseInteger(const std::string& Text, std::string_view What, long long Min,
                       long long Max) {
  errno = 0;
  char* End = nullptr;
  const long long Value = std::strtoll(Text.c_str(), &End, 10);
  if (Text.empty() || *End != '\0' || errno == ERANGE)
    throw EBadArguments(std::string(What) + ": not a whole number: '" + Text + "'");
  if (Value < Min || Value > Max)
    throw EBadArguments(std::string(What) + ": " + Text + " is outside " + std::to_string(Min) +
                        " to " + std::to_string(Max));
  return Value;
}

double ParseReal(const std::string& Text, std::string_view What) {
  errno = 0;
  char* End = nullptr;
  const double Value = std::strtod(Text.c_str(), &End);
  if (Text.empty() || *End != '\0' || errno == ERANGE || !std::isfinite(Value))
    throw EBadArguments(std::string(What) + ": not a number: '" + Text + "'");
  return Value;
}

int RunCommand(std::string_view Name, std::string_view Usage, const std::vector<std::string>& Args,
               const std::function<int(TArgList&)>& Body) {
  for (const auto& Arg : Args)
    if (Arg == "--help" || Arg == "-h") {
      std::cout << Usage;
      return ecSuccess;
    }
  TArgList List(Args);
  try {
    return Body(List);
  } catch (const EBadArguments& E) {
    std::cerr << "tessolon " << Name << ": " << E.what() << " (see 'tessolon " << Name
              << " --help')\n";
    return ecBadArguments;
  } catch (const std::exception& E) {
    std::cerr << E.what() << '\n';
    return ecRefused;
  }
}

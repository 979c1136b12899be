// Helpers for the headless commands: argument cursor, number parsing and the exit-status rule
// (0 success, 1 refused operation, 2 bad arguments).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Exceptions.h"

enum TExitCode { ecSuccess = 0, ecRefused = 1, ecBadArguments = 2 };

// Thrown for a malformed command line; RunCommand turns it into exit status 2.
class EBadArguments : public Exception {
 public:
  using Exception::Exception;
};

class TArgList {
 public:
  explicit TArgList(std::vector<std::string> Args) : FArgs(std::move(Args)) {}
  bool Empty() const { return FPos >= FArgs.size(); }
  const std::string& Peek() const;
  // Takes the next argument; What names it in the error when it is missing.
  std::string Take(std::string_view What);
  // Takes the value of an option written "--name VALUE" or "--name=VALUE".
  std::string TakeValue(const std::string& Option);

 private:
  std::vector<std::string> FArgs;
  std::size_t FPos = 0;
};

long long ParseInteger(const std::string& Text, std::string_view What, long long Min,
                       long long Max);
double ParseReal(const std::string& Text, std::string_view What);

// Runs a command body: prints Usage for --help/-h, maps EBadArguments to a one-line error and
// status 2, any other exception to its message and status 1.
int RunCommand(std::string_view Name, std::string_view Usage, const std::vector<std::string>& Args,
               const std::function<int(TArgList&)>& Body);

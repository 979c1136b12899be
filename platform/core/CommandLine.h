// The headless commands' command lines, read by CLI11: "--name VALUE" and "--name=VALUE",
// repeated options (the last one counts unless the option collects them), positionals and
// subcommands. Each command prints its own usage for -h or --help; CLI11 writes no help.
// Exit statuses: 0 done, 1 refused operation, 2 bad arguments.
//
//   TCommandLine Line("tessolon beep", Usage);
//   uint32_t Freq = 0;
//   Line.App().add_option("FREQ", Freq)->required();
//   return Line.Run(Args, [&] { return Beep(Freq); });
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"

enum TExitCode { ecSuccess = 0, ecRefused = 1, ecBadArguments = 2 };

// A command line CLI11 accepts but the command refuses, for a rule CLI11 cannot state ("nothing to
// do"); exit status 2, like CLI11's own errors.
class EBadArguments : public Exception {
 public:
  using Exception::Exception;
};

class TCommandLine {
 public:
  // Name as errors begin ("tessolon tone"); Usage is printed for -h or --help.
  TCommandLine(std::string Name, std::string Usage);
  CLI::App& App() { return FApp; }
  // Reads Args, then runs Body. A bad command line (CLI11's error, or EBadArguments or
  // CLI::ParseError from Body) is one line on stderr and status 2; any other exception is its
  // message and status 1.
  int Run(const std::vector<std::string>& Args, const std::function<int()>& Body);

 private:
  std::string FName, FUsage;
  CLI::App FApp;
};

// Reads Text as CLI11 reads an option's value of type T, for the parts of a compound value;
// What names the part in the error.
template <class T>
T ReadValue(const std::string& Text, const std::string& What) {
  T Value{};
  if (!CLI::detail::lexical_cast(Text, Value))
    throw CLI::ConversionError(What + ": not a number: '" + Text + "'");
  return Value;
}

// Real numbers from Min to Max; NaN and the infinities are refused, which CLI::Range lets pass.
CLI::Validator RealRange(double Min, double Max);

// "--quality hi|lo", shared by the commands that build tones: Set(true) for hi.
CLI::Option* AddQualityOption(CLI::App& App, std::function<void(bool High)> Set);

// "--resolution 16|8": Set(16) or Set(8), bits per sample.
CLI::Option* AddResolutionOption(CLI::App& App, std::function<void(unsigned Bits)> Set);

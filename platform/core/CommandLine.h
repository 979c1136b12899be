// The headless commands' command lines, read by CLI11: "--name VALUE" and "--name=VALUE",
// repeated options (the last one counts unless the option keeps them all), positionals and
// subcommands. Each command prints its own usage for -h or --help; CLI11 writes no help.
// Exit statuses: 0 done, 1 refused operation, 2 bad arguments.
//
//   TCommandLine Line("tessolon beep", Usage);
//   uint32_t Freq = 0;
//   Line.Options().Add("FREQ", Freq).Required();
//   return Line.Run(Args, [&] { return Beep(Freq); });
//
// CLI11 is included by CommandLine.cpp alone: it is header-only, and each source that includes it
// compiles most of it again (some ten seconds a source, optimised).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

enum TExitCode { ecSuccess = 0, ecRefused = 1, ecBadArguments = 2 };

// A command line CLI11 accepts but the command refuses, for a rule CLI11 cannot state ("nothing to
// do"), or a bad part of a compound value; exit status 2, like CLI11's own errors.
class EBadArguments : public Exception {
 public:
  using Exception::Exception;
};

// A rule on an option's text: empty when the text is good, else what is wrong with it.
using TTextRule = std::function<std::string(const std::string& Text)>;

// One of Names, exactly.
TTextRule OneOf(std::vector<std::string> Names);
// A whole number from Min to Max.
TTextRule WholeRange(long long Min, long long Max);
// Real numbers from Min to Max; NaN and the infinities are refused.
TTextRule RealRange(double Min, double Max);

// One option (or positional) of a command line; each setter returns the option for chaining.
class TOption {
 public:
  TOption& Check(TTextRule Rule);
  TOption& TypeName(const std::string& Name);
  TOption& Required();
  // Its value is taken as it is read, so options apply in the order given.
  TOption& AsRead();
  TOption& Needs(const TOption& Other);
  TOption& Excludes(const TOption& Other);
  // Every repeat is kept, not only the last.
  TOption& KeepAll();
  // The value may be left out ("--go" alone).
  TOption& ValueOptional();
  bool Given() const;

 private:
  friend class TOptions;
  explicit TOption(CLI::Option* Option) : FOption(Option) {}
  CLI::Option* FOption;
};

// The options of a command, of one of its subcommands, or of a group within them. Names that
// start with "-" are options, others positionals.
class TOptions {
 public:
  TOption Add(const std::string& Name, std::string& Value);
  TOption Add(const std::string& Name, int& Value);
  TOption Add(const std::string& Name, unsigned& Value);
  TOption Add(const std::string& Name, long long& Value);
  TOption Add(const std::string& Name, double& Value);
  TOption Add(const std::string& Name, std::vector<std::string>& Values);
  TOption Add(const std::string& Name, std::optional<std::string>& Value);
  TOption Add(const std::string& Name, std::optional<long long>& Value);
  TOption Add(const std::string& Name, std::optional<double>& Value);
  // Options whose value is handed to Take instead of stored.
  TOption AddText(const std::string& Name, std::function<void(const std::string&)> Take);
  TOption AddWhole(const std::string& Name, std::function<void(long long)> Take);
  TOption AddReal(const std::string& Name, std::function<void(double)> Take);
  TOption Flag(const std::string& Name, bool& Set);
  TOption Flag(const std::string& Name, std::function<void()> Take);

  TOptions Subcommand(const std::string& Name);
  // A subcommand, when the command has them, is optional, and at most one is given; a word that
  // names none is refused as unexpected.
  void AtMostOneSubcommand();
  // Options that belong together: exactly one of the group's options is given.
  TOptions OneOfGroup(const std::string& Name);
  // This subcommand was given.
  bool Chosen() const;
  // Everything from the first argument that is not this command's own is left as given, for
  // Rest().
  void LeaveTheRest();
  std::vector<std::string> Rest() const;

 private:
  friend class TCommandLine;
  explicit TOptions(CLI::App* App) : FApp(App) {}
  CLI::App* FApp;
};

class TCommandLine {
 public:
  // Name as errors begin ("tessolon tone"); Usage is printed for -h or --help, in the user's
  // language (Translation.h: its text is marked with TrMark where it is defined).
  TCommandLine(std::string Name, std::string Usage);
  ~TCommandLine();
  TOptions& Options() { return FOptions; }
  // Reads Args, then runs Body. A bad command line (CLI11's error, or EBadArguments from Body) is
  // one line on stderr and status 2; any other exception is its message and status 1.
  int Run(const std::vector<std::string>& Args, const std::function<int()>& Body);

 private:
  // The line on stderr for a bad command line: the command, why, and where to look.
  std::string BadArgumentsLine(const std::string& Why) const;

  std::string FName, FUsage;
  std::unique_ptr<CLI::App> FApp;
  TOptions FOptions;
};

// Reads Text as an option's whole or real value is read, for the parts of a compound value;
// What names the part in the error (EBadArguments).
long long ReadWhole(const std::string& Text, const std::string& What);
double ReadReal(const std::string& Text, const std::string& What);

// "--quality hi|lo", shared by the commands that build tones: Set(true) for hi.
TOption AddQualityOption(TOptions& Options, std::function<void(bool High)> Set);

// "--resolution 16|8": Set(16) or Set(8), bits per sample.
TOption AddResolutionOption(TOptions& Options, std::function<void(unsigned Bits)> Set);

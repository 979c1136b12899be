#include "platform/core/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <iostream>
#include <limits>

#include "platform/core/Messages.h"
#include "platform/core/ParseErrors.h"
#include "platform/core/Translation.h"

namespace {

std::string NumberText(double Value) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%.15g", Value);
  return Text;
}

template <class T>
T ReadAs(const std::string& Text, const std::string& What) {
  T Value{};
  if (!CLI::detail::lexical_cast(Text, Value))
    throw EBadArguments(FormatMessage("%s: not a number: '%s'", What.c_str(), Text.c_str()));
  return Value;
}

}  // namespace

// The rules' words are CLI11's own (IsMember, Range), said through the catalog.
TTextRule OneOf(std::vector<std::string> Names) {
  return [Names = std::move(Names)](const std::string& Text) -> std::string {
    if (std::find(Names.begin(), Names.end(), Text) != Names.end()) return {};
    std::string List;
    for (const std::string& Name : Names) List += (List.empty() ? "" : ",") + Name;
    return FormatMessage("%s not in {%s}", Text.c_str(), List.c_str());
  };
}

TTextRule WholeRange(long long Min, long long Max) {
  return [Min, Max](const std::string& Text) -> std::string {
    long long Value = 0;
    if (CLI::detail::lexical_cast(Text, Value) && Value >= Min && Value <= Max) return {};
    return FormatMessage("Value %s not in range %lld to %lld", Text.c_str(), Min, Max);
  };
}

TTextRule RealRange(double Min, double Max) {
  const std::string Range =
      Max == std::numeric_limits<double>::max()
          ? FormatMessage("of at least %s", NumberText(Min).c_str())
          : FormatMessage("from %s to %s", NumberText(Min).c_str(), NumberText(Max).c_str());
  return [Min, Max, Range](const std::string& Text) -> std::string {
    double Value = 0;
    if (!CLI::detail::lexical_cast(Text, Value) || !std::isfinite(Value) || Value < Min ||
        Value > Max)
      return FormatMessage("'%s' is not a number %s", Text.c_str(), Range.c_str());
    return {};
  };
}

TOption& TOption::Check(TTextRule Rule) {
  FOption->check(CLI::Validator([Rule](std::string& Text) { return Rule(Text); }, ""));
  return *this;
}

TOption& TOption::TypeName(const std::string& Name) {
  FOption->type_name(Name);
  return *this;
}

TOption& TOption::Required() {
  FOption->required();
  return *this;
}

TOption& TOption::AsRead() {
  FOption->trigger_on_parse();
  return *this;
}

TOption& TOption::Needs(const TOption& Other) {
  FOption->needs(Other.FOption);
  return *this;
}

TOption& TOption::Excludes(const TOption& Other) {
  FOption->excludes(Other.FOption);
  return *this;
}

TOption& TOption::KeepAll() {
  FOption->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  return *this;
}

TOption& TOption::ValueOptional() {
  FOption->expected(0, 1);
  return *this;
}

bool TOption::Given() const {
  return FOption->count() > 0;
}

TOption TOptions::Add(const std::string& Name, std::string& Value) {
  return TOption(FApp->add_option(Name, Value));
}

TOption TOptions::Add(const std::string& Name, int& Value) {
  return TOption(FApp->add_option(Name, Value));
}

TOption TOptions::Add(const std::string& Name, unsigned& Value) {
  return TOption(FApp->add_option(Name, Value));
}

TOption TOptions::Add(const std::string& Name, long long& Value) {
  return TOption(FApp->add_option(Name, Value));
}

TOption TOptions::Add(const std::string& Name, double& Value) {
  return TOption(FApp->add_option(Name, Value));
}

TOption TOptions::Add(const std::string& Name, std::vector<std::string>& Values) {
  return TOption(FApp->add_option(Name, Values));
}

TOption TOptions::Add(const std::string& Name, std::optional<std::string>& Value) {
  return TOption(FApp->add_option(Name, Value));
}

TOption TOptions::Add(const std::string& Name, std::optional<long long>& Value) {
  return TOption(FApp->add_option(Name, Value));
}

TOption TOptions::Add(const std::string& Name, std::optional<double>& Value) {
  return TOption(FApp->add_option(Name, Value));
}

TOption TOptions::AddText(const std::string& Name, std::function<void(const std::string&)> Take) {
  return TOption(FApp->add_option_function<std::string>(Name, std::move(Take)));
}

TOption TOptions::AddWhole(const std::string& Name, std::function<void(long long)> Take) {
  return TOption(FApp->add_option_function<long long>(Name, std::move(Take)));
}

TOption TOptions::AddReal(const std::string& Name, std::function<void(double)> Take) {
  return TOption(FApp->add_option_function<double>(Name, std::move(Take)));
}

TOption TOptions::Flag(const std::string& Name, bool& Set) {
  return TOption(FApp->add_flag(Name, Set));
}

TOption TOptions::Flag(const std::string& Name, std::function<void()> Take) {
  return TOption(FApp->add_flag_callback(Name, std::move(Take)));
}

TOptions TOptions::Subcommand(const std::string& Name) {
  return TOptions(FApp->add_subcommand(Name));
}

void TOptions::AtMostOneSubcommand() {
  FApp->require_subcommand(0, 1);
}

TOptions TOptions::OneOfGroup(const std::string& Name) {
  CLI::App* Group = FApp->add_option_group(Name);
  Group->require_option(1);
  return TOptions(Group);
}

bool TOptions::Chosen() const {
  return FApp->parsed();
}

void TOptions::LeaveTheRest() {
  FApp->prefix_command();
}

std::vector<std::string> TOptions::Rest() const {
  return FApp->remaining();
}

TCommandLine::TCommandLine(std::string Name, std::string Usage)
    : FName(std::move(Name)),
      FUsage(std::move(Usage)),
      FApp(std::make_unique<CLI::App>()),
      FOptions(FApp.get()) {
  // CLI11's own help flag, inherited by subcommands, but the usage printed is ours.
  FApp->set_help_flag("-h,--help");
  // A repeated option counts once, its last time; a flag takes no "=value".
  FApp->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  FApp->option_defaults()->disable_flag_override();
  // CLI11's errors, in the user's language, as the one line of a bad command line.
  FApp->failure_message([this](const CLI::App*, const CLI::Error& E) {
    return BadArgumentsLine(TranslatedParseError(E.what()));
  });
}

TCommandLine::~TCommandLine() = default;

int TCommandLine::Run(const std::vector<std::string>& Args, const std::function<int()>& Body) {
  try {
    // CLI11 would take the next argument as the value of "--name=": "--export= --play" must
    // not write a file named "--play".
    for (const std::string& Arg : Args)
      if (Arg.starts_with("--") && Arg.size() > 3 && Arg.back() == '=' &&
          Arg.find('=') == Arg.size() - 1)
        throw EBadArguments(
            FormatMessage("%s: the value is empty", Arg.substr(0, Arg.size() - 1).c_str()));
    // CLI11 takes the arguments last first.
    FApp->parse(std::vector<std::string>(Args.rbegin(), Args.rend()));
    return Body();
  } catch (const CLI::CallForHelp&) {
    std::cout << Tr(FUsage);
    return ecSuccess;
  } catch (const CLI::ParseError& E) {
    FApp->exit(E, std::cout, std::cerr);
    return ecBadArguments;
  } catch (const EBadArguments& E) {
    std::cerr << BadArgumentsLine(E.what());
    return ecBadArguments;
  } catch (const std::exception& E) {
    std::cerr << E.what() << '\n';
    return ecRefused;
  }
}

std::string TCommandLine::BadArgumentsLine(const std::string& Why) const {
  return FName + ": " + Why + FormatMessage(" (see '%s --help')", FName.c_str()) + '\n';
}

long long ReadWhole(const std::string& Text, const std::string& What) {
  return ReadAs<long long>(Text, What);
}

double ReadReal(const std::string& Text, const std::string& What) {
  return ReadAs<double>(Text, What);
}

TOption AddQualityOption(TOptions& Options, std::function<void(bool High)> Set) {
  return Options.AddText("--quality", [Set](const std::string& Text) { Set(Text == "hi"); })
      .Check(OneOf({"hi", "lo"}))
      .TypeName("hi|lo");
}

TOption AddResolutionOption(TOptions& Options, std::function<void(unsigned Bits)> Set) {
  return Options
      .AddText("--resolution", [Set](const std::string& Text) { Set(Text == "16" ? 16 : 8); })
      .Check(OneOf({"16", "8"}))
      .TypeName("16|8");
}

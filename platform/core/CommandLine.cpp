#include "platform/core/CommandLine.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <iostream>
#include <limits>

namespace {

std::string NumberText(double Value) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%.15g", Value);
  return Text;
}

}  // namespace

TCommandLine::TCommandLine(std::string Name, std::string Usage)
    : FName(std::move(Name)), FUsage(std::move(Usage)) {
  // CLI11's own help flag, inherited by subcommands, but the usage printed is ours.
  FApp.set_help_flag("-h,--help");
  // A repeated option counts once, its last time; a flag takes no "=value".
  FApp.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  FApp.option_defaults()->disable_flag_override();
}

int TCommandLine::Run(const std::vector<std::string>& Args, const std::function<int()>& Body) {
  try {
    // CLI11 would take the next argument as the value of "--name=": "--export= --play" must
    // not write a file named "--play".
    for (const std::string& Arg : Args)
      if (Arg.starts_with("--") && Arg.size() > 3 && Arg.back() == '=' &&
          Arg.find('=') == Arg.size() - 1)
        throw EBadArguments(Arg.substr(0, Arg.size() - 1) + ": the value is empty");
    // CLI11 takes the arguments last first.
    FApp.parse(std::vector<std::string>(Args.rbegin(), Args.rend()));
    return Body();
  } catch (const CLI::CallForHelp&) {
    std::cout << FUsage;
    return ecSuccess;
  } catch (const CLI::ParseError& E) {
    std::cerr << FName << ": " << E.what() << " (see '" << FName << " --help')\n";
    return ecBadArguments;
  } catch (const EBadArguments& E) {
    std::cerr << FName << ": " << E.what() << " (see '" << FName << " --help')\n";
    return ecBadArguments;
  } catch (const std::exception& E) {
    std::cerr << E.what() << '\n';
    return ecRefused;
  }
}

CLI::Validator RealRange(double Min, double Max) {
  const std::string Range = Max == std::numeric_limits<double>::max()
                                ? "of at least " + NumberText(Min)
                                : "from " + NumberText(Min) + " to " + NumberText(Max);
  return CLI::Validator(
      [Min, Max, Range](std::string& Text) -> std::string {
        double Value = 0;
        if (!CLI::detail::lexical_cast(Text, Value) || !std::isfinite(Value) || Value < Min ||
            Value > Max)
          return "'" + Text + "' is not a number " + Range;
        return {};
      },
      "");
}

CLI::Option* AddQualityOption(CLI::App& App, std::function<void(bool High)> Set) {
  return App
      .add_option_function<std::string>("--quality",
                                        [Set](const std::string& Text) { Set(Text == "hi"); })
      ->check(CLI::IsMember({"hi", "lo"}))
      ->type_name("hi|lo");
}

CLI::Option* AddResolutionOption(CLI::App& App, std::function<void(unsigned Bits)> Set) {
  return App
      .add_option_function<std::string>(
          "--resolution", [Set](const std::string& Text) { Set(Text == "16" ? 16 : 8); })
      ->check(CLI::IsMember({"16", "8"}))
      ->type_name("16|8");
}

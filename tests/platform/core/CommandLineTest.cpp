// The command line every command shares: the exit statuses, the one-line errors, help wherever
// it is asked for, and the shared options and checks.
#include "platform/core/CommandLine.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace {

struct TOutcome {
  int Status;
  std::string Out, Err;
  bool Ran;
};

// A command with one number option, a collected option, a flag and the shared ones; its body
// throws what Throw names.
TOutcome RunTest(const std::vector<std::string>& Args, const std::string& Throw = "") {
  TCommandLine Line("tessolon test", "usage text\n");
  TOptions& Options = Line.Options();
  long long Number = 0;
  double Real = 0;
  std::vector<std::string> Items;
  bool Flag = false, High = false;
  unsigned Bits = 0;
  Options.Add("--number", Number);
  Options.Add("--item", Items).KeepAll();
  Options.Flag("--flag", Flag);
  Options.Add("--real", Real).Check(RealRange(0, 10));
  AddQualityOption(Options, [&High](bool Value) { High = Value; });
  AddResolutionOption(Options, [&Bits](unsigned Value) { Bits = Value; });
  bool Ran = false;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int Status = Line.Run(Args, [&] {
    Ran = true;
    if (Throw == "bad") throw EBadArguments("rule broken");
    if (Throw == "refused") throw std::runtime_error("the engine refuses");
    return int(Number + int(Real) + Bits + (High ? 1000 : 0) + 100 * int(Items.size()) +
               (Flag ? 7 : 0));
  });
  std::string Out = testing::internal::GetCapturedStdout();
  return {Status, Out, testing::internal::GetCapturedStderr(), Ran};
}

}  // namespace

TEST(CommandLine, ValuesAreReadInEitherFormAndTheLastRepeatCounts) {
  const struct {
    std::vector<std::string> Args;
    int Status;
  } Cases[] = {
      {{"--number", "5"}, 5},
      {{"--number=5"}, 5},
      {{"--number", "5", "--number=9"}, 9},
      {{"--number", "-3"}, -3},
      {{"--item", "a", "--item=b", "--item", "c"}, 300},
      {{"--flag"}, 7},
      {{"--quality", "hi"}, 1000},
      {{"--quality=lo"}, 0},
      {{"--resolution", "8"}, 8},
      {{"--resolution=16"}, 16},
      {{"--real", "2.5"}, 2},
  };
  for (const auto& C : Cases) {
    const TOutcome R = RunTest(C.Args);
    EXPECT_EQ(R.Status, C.Status) << testing::PrintToString(C.Args) << R.Err;
    EXPECT_EQ(R.Err, "");
  }
}

TEST(CommandLine, BadArgumentsAreOneLineAndStatusTwoBeforeTheBodyRuns) {
  for (const std::vector<std::string>& Args :
       std::vector<std::vector<std::string>>{{"--number", "x"},
                                             {"--number"},
                                             {"--loud"},
                                             {"extra"},
                                             {"--flag=yes"},
                                             {"--number=", "--flag"},
                                             {"--quality", "mid"},
                                             {"--resolution", "24"},
                                             {"--real", "11"},
                                             {"--real", "-1"},
                                             {"--real", "nan"},
                                             {"--real", "inf"}}) {
    const TOutcome R = RunTest(Args);
    EXPECT_EQ(R.Status, ecBadArguments) << testing::PrintToString(Args);
    EXPECT_FALSE(R.Ran) << testing::PrintToString(Args);
    EXPECT_EQ(R.Err.rfind("tessolon test: ", 0), 0u) << R.Err;
    EXPECT_TRUE(R.Err.ends_with(" (see 'tessolon test --help')\n")) << R.Err;
    EXPECT_EQ(R.Err.find('\n'), R.Err.size() - 1) << R.Err;
  }
}

TEST(CommandLine, HelpPrintsTheCommandsOwnUsageWhereverItIsAsked) {
  for (const std::vector<std::string>& Args : std::vector<std::vector<std::string>>{
           {"--help"}, {"-h"}, {"--number", "5", "--help"}, {"--loud", "-h"}}) {
    const TOutcome R = RunTest(Args);
    EXPECT_EQ(R.Status, ecSuccess) << testing::PrintToString(Args);
    EXPECT_EQ(R.Out, "usage text\n");
    EXPECT_FALSE(R.Ran);
  }
}

TEST(CommandLine, TheBodysFailuresMapToStatuses) {
  TOutcome R = RunTest({}, "bad");
  EXPECT_EQ(R.Status, ecBadArguments);
  EXPECT_EQ(R.Err, "tessolon test: rule broken (see 'tessolon test --help')\n");
  R = RunTest({}, "refused");
  EXPECT_EQ(R.Status, ecRefused);
  EXPECT_EQ(R.Err, "the engine refuses\n");
}

TEST(CommandLine, PartsOfACompoundValueAreReadAsOptionValues) {
  EXPECT_EQ(ReadWhole("42", "part"), 42);
  EXPECT_DOUBLE_EQ(ReadReal("1.5", "part"), 1.5);
  EXPECT_THROW(ReadWhole("4x", "part"), EBadArguments);
  EXPECT_THROW(ReadWhole("", "part"), EBadArguments);
}

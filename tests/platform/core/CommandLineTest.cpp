#include "platform/core/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, ExitStatusFollowsTheOutcome) {
  EXPECT_EQ(RunCommand("x", "usage\n", {"--help"}, [](TArgList&) { return 7; }), ecSuccess);
  EXPECT_EQ(RunCommand("x", "", {}, [](TArgList& A) { return A.Take("FILE").size(); }),
            ecBadArguments);
  EXPECT_EQ(RunCommand("x", "", {}, [](TArgList&) -> int { throw std::runtime_error("no"); }),
            ecRefused);
}

TEST(CommandLine, NumbersAreCheckedWhole) {
  EXPECT_EQ(ParseInteger("42", "n", 0, 100), 42);
  EXPECT_THROW(ParseInteger("42x", "n", 0, 100), EBadArguments);
  EXPECT_THROW(ParseInteger("101", "n", 0, 100), EBadArguments);
  EXPECT_THROW(ParseInteger("", "n", 0, 100), EBadArguments);
  EXPECT_DOUBLE_EQ(ParseReal("1.5", "r"), 1.5);
  EXPECT_THROW(ParseReal("nan", "r"), EBadArguments);
}

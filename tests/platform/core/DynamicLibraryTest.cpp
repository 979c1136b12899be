#include "platform/core/DynamicLibrary.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/core/Exceptions.h"

#include "tests/support/ScratchFolder.h"

namespace {

std::string LoadError(const std::string& FileName) {
  try {
    TDynamicLibrary Library(FileName);
  } catch (const Exception& E) {
    return E.what();
  }
  return "(loaded)";
}

}  // namespace

TEST(DynamicLibraryTest, LoadsAndFindsFunctionsOrSaysWhyNot) {
  const TDynamicLibrary Maths("libm.so.6");
  EXPECT_EQ(Maths.Function<double(double)>("cos")(0.0), 1.0);
  try {
    Maths.Symbol("no_such_function");
    ADD_FAILURE() << "a missing symbol was found";
  } catch (const Exception& E) {
    const std::string Text = E.what();
    EXPECT_EQ(Text.rfind("cannot load libm.so.6: ", 0), 0u) << Text;
    EXPECT_TRUE(Text.ends_with("undefined symbol: no_such_function")) << Text;
  }
  EXPECT_EQ(LoadError("/nonexistent/module.so"),
            "cannot load /nonexistent/module.so: cannot open shared object file: No such file or "
            "directory");
  const TScratchFolder Scratch;
  const std::string Text = (Scratch / "text.so").string();
  std::ofstream(Text) << "not a shared object\n";
  EXPECT_EQ(LoadError(Text).rfind("cannot load " + Text + ": ", 0), 0u) << LoadError(Text);
}

// Reads arbitrary text as a stored window definition over the sample classes (one property of
// every kind, nesting, references, handlers). What reads must write out and read back to the
// same text: the writer's output is the reader's input on the next save.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/DefinitionReader.h"
#include "platform/core/DefinitionWriter.h"
#include "tests/platform/core/SampleComponents.h"

namespace {

std::unique_ptr<TComponent> Read(std::string_view Text) {
  return std::unique_ptr<TComponent>(CreateFromDefinition(nullptr, Text, "fuzz.dfm"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static const bool Registered = (RegisterSampleClasses(), true);
  (void)Registered;
  std::unique_ptr<TComponent> Root;
  try {
    Root = Read(std::string_view(reinterpret_cast<const char*>(Data), Size));
  } catch (const Exception&) {
    return 0;  // refused with a message: the sound outcome for bad text
  }
  const std::string Written = WriteDefinition(*Root);
  Root.reset();  // its name would clash with the copy read back
  std::unique_ptr<TComponent> Again;
  try {
    Again = Read(Written);
  } catch (const Exception& E) {
    std::fprintf(stderr, "written definition does not read back: %s\n%s\n", E.Message().c_str(),
                 Written.c_str());
    std::abort();
  }
  if (WriteDefinition(*Again) != Written) {
    std::fprintf(stderr, "definition changed on its way back:\n%s\n", Written.c_str());
    std::abort();
  }
  return 0;
}

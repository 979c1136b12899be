// An environment variable set for the life of an object and put back as it was (unset when it
// was unset), so that a test's choice never leaks into the tests that run after it in the same
// process. Qt-free.
#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

class TScopedEnv {
 public:
  // A null Value unsets the variable for the object's life.
  TScopedEnv(std::string Name, const char* Value) : FName(std::move(Name)) {
    if (const char* Old = getenv(FName.c_str())) FOld = Old;
    Value ? setenv(FName.c_str(), Value, 1) : unsetenv(FName.c_str());
  }
  TScopedEnv(std::string Name, const std::string& Value)
      : TScopedEnv(std::move(Name), Value.c_str()) {}
  ~TScopedEnv() {
    if (FOld)
      setenv(FName.c_str(), FOld->c_str(), 1);
    else
      unsetenv(FName.c_str());
  }
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;

 private:
  std::string FName;
  std::optional<std::string> FOld;
};

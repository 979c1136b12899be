// Scratch folders for tests: each is new (mkdtemp), so test processes that ctest runs side by side
// never share one, and a folder that cannot be made stops the test instead of letting it write
// somewhere else. Qt-free, so every suite can use it.
#pragma once

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

// Makes a new folder named Prefix followed by a unique suffix under the temporary directory; the
// caller removes it. Throws std::system_error when it cannot.
inline std::filesystem::path MakeScratchFolder(const std::string& Prefix) {
  std::string Pattern = (std::filesystem::temp_directory_path() / (Prefix + "XXXXXX")).string();
  if (::mkdtemp(Pattern.data()) == nullptr)
    throw std::system_error(errno, std::generic_category(), "cannot make " + Pattern);
  return Pattern;
}

// A scratch folder removed, with everything in it, when the object goes.
class TScratchFolder {
 public:
  explicit TScratchFolder(const std::string& Prefix = "tessolon-test-")
      : FPath(MakeScratchFolder(Prefix)) {}
  ~TScratchFolder() {
    std::error_code Ignored;
    std::filesystem::remove_all(FPath, Ignored);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  std::filesystem::path operator/(const std::string& Name) const { return FPath / Name; }

 private:
  std::filesystem::path FPath;
};

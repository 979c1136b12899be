#include "platform/core/ProgramModule.h"

#include "platform/core/Exceptions.h"

namespace fs = std::filesystem;

fs::path ProgramModuleFile(const fs::path& ProgramFolder, const std::string& Name) {
  const fs::path Beside = ProgramFolder / Name;
  std::error_code Error;
  if (fs::exists(Beside, Error)) return Beside;
  return (ProgramFolder / TESSOLON_MODULE_FROM_BINDIR / Name).lexically_normal();
}

std::unique_ptr<TDynamicLibrary> LoadProgramModule(const std::string& Name,
                                                   const std::string& What) {
  std::error_code Error;
  const fs::path Program = fs::read_symlink("/proc/self/exe", Error);
  if (Error) throw Exception("cannot find the " + What + " module: " + Error.message());
  const fs::path File = ProgramModuleFile(Program.parent_path(), Name);
  if (!fs::exists(File, Error))
    throw Exception("the " + What + " module is missing: " + File.string());
  return std::make_unique<TDynamicLibrary>(File.string());
}

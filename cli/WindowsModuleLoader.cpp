#include "cli/WindowsModuleLoader.h"

#include <iostream>
#include <memory>

#include "cli/WindowsEntry.h"
#include "platform/core/DynamicLibrary.h"
#include "platform/core/Exceptions.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* ModuleName = "tessolon-windows.so";

// Loaded at the first use and kept for the rest of the process.
const TDynamicLibrary& WindowsModule() {
  static const std::unique_ptr<TDynamicLibrary> Module = [] {
    std::error_code Error;
    const fs::path Program = fs::read_symlink("/proc/self/exe", Error);
    if (Error) throw Exception("cannot find the windows module: " + Error.message());
    const fs::path File = WindowsModuleFile(Program.parent_path());
    if (!fs::exists(File, Error))
      throw Exception("the windows module is missing: " + File.string());
    return std::make_unique<TDynamicLibrary>(File.string());
  }();
  return *Module;
}

}  // namespace

fs::path WindowsModuleFile(const fs::path& ProgramFolder) {
  const fs::path Beside = ProgramFolder / ModuleName;
  std::error_code Error;
  if (fs::exists(Beside, Error)) return Beside;
  return (ProgramFolder / TESSOLON_MODULE_FROM_BINDIR / ModuleName).lexically_normal();
}

int RunWindows(int argc, char** argv, const TessolonWindowsOptions& Options) {
  decltype(&tessolon_run_windows) Run = nullptr;
  try {
    Run = WindowsModule().Function<decltype(tessolon_run_windows)>("tessolon_run_windows");
  } catch (const Exception& E) {
    std::cerr << "tessolon: " << E.what() << '\n';
    return 1;
  }
  return Run(argc, argv, &Options);
}

void WriteSpectrumPicture(const TSpectrumPicture& Picture, const std::string& FileName) {
  const auto Write = WindowsModule().Function<decltype(tessolon_write_spectrum_png)>(
      "tessolon_write_spectrum_png");
  const TessolonSpectrumData Data{Picture.Spectrum.Rate,
                                  Picture.Spectrum.BinHertz,
                                  Picture.Spectrum.Decibels.data(),
                                  Picture.Spectrum.Decibels.size(),
                                  Picture.ToneHertz,
                                  Picture.DeviceRate,
                                  Picture.Title.c_str()};
  char Error[512] = "";
  if (Write(&Data, FileName.c_str(), Error, sizeof Error) != 0) throw Exception(Error);
}

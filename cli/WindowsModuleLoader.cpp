#include "cli/WindowsModuleLoader.h"

#include <iostream>
#include <memory>

#include "cli/WindowsEntry.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ProgramModule.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* ModuleName = "tessolon-windows.so";

// Loaded at the first use and kept for the rest of the process.
const TDynamicLibrary& WindowsModule() {
  static const std::unique_ptr<TDynamicLibrary> Module = LoadProgramModule(ModuleName, "windows");
  return *Module;
}

}  // namespace

fs::path WindowsModuleFile(const fs::path& ProgramFolder) {
  return ProgramModuleFile(ProgramFolder, ModuleName);
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

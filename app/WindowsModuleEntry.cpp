// The entry points of the windows module (cli/WindowsEntry.h). Nothing may leave them as an
// exception: the program on the other side has its own copies of the classes thrown.
#include "cli/WindowsEntry.h"

#include <cstring>
#include <exception>
#include <iostream>

#include "app/Program.h"
#include "app/SpectrumPicture.h"
#include "platform/core/Translation.h"

int tessolon_run_windows(int argc, char** argv, const TessolonWindowsOptions* Options) {
  // The catalog's binding lives in the C library, shared with the program that loaded the
  // module; binding it here too keeps the windows translated whoever loads them.
  StartProgramTranslations();
  try {
    return RunProgram(argc, argv,
                      {.Minimized = Options->Minimized != 0,
                       .KeepSettings = Options->KeepSettings != 0,
                       .Go = Options->Go != 0,
                       .Pest = Options->GoPest});
  } catch (const std::exception& E) {
    std::cerr << "tessolon: " << E.what() << '\n';
  } catch (...) {
    std::cerr << "tessolon: the windows stopped on an unknown error\n";
  }
  return 1;
}

int tessolon_write_spectrum_png(const TessolonSpectrumData* Data, const char* FileName, char* Error,
                                std::size_t ErrorSize) {
  const auto Refuse = [&](const char* Reason) {
    if (ErrorSize == 0) return 1;
    std::strncpy(Error, Reason, ErrorSize - 1);
    Error[ErrorSize - 1] = '\0';
    return 1;
  };
  try {
    TSpectrumPicture Picture;
    Picture.Spectrum.Rate = Data->Rate;
    Picture.Spectrum.BinHertz = Data->BinHertz;
    Picture.Spectrum.Decibels.assign(Data->Decibels, Data->Decibels + Data->BinCount);
    Picture.ToneHertz = Data->ToneHertz;
    Picture.DeviceRate = Data->DeviceRate;
    Picture.Title = Data->Title;
    WriteSpectrumPng(Picture, FileName);
    return 0;
  } catch (const std::exception& E) {
    return Refuse(E.what());
  } catch (...) {
    return Refuse("cannot draw the picture");
  }
}

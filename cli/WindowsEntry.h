// The entry points of the windows module (tessolon-windows.so), which holds everything that
// needs the toolkit. They are plain C taking plain data: the program and the module each carry
// their own copies of the Qt-free libraries, so no C++ object or exception crosses between them.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// A tone's spectrum picture (TSpectrumPicture) as plain data.
struct TessolonSpectrumData {
  std::uint32_t Rate;
  double BinHertz;
  const double* Decibels;
  std::size_t BinCount;
  std::int64_t ToneHertz;
  std::uint32_t DeviceRate;
  const char* Title;
};

// The program's own options for the windows (app/Program.h's TStartOptions).
struct TessolonWindowsOptions {
  int Minimized;       // --minimized
  int KeepSettings;    // 0 with --no-settings
  int Go;              // --go
  const char* GoPest;  // the pest --go names, or "" for the one kept
};

// Starts the windows with the toolkit's arguments; returns the exit status.
int tessolon_run_windows(int argc, char** argv, const TessolonWindowsOptions* Options);
// Writes the picture as a PNG file: 0 when written, else 1 with the reason in Error (cut to
// ErrorSize bytes, zero included).
int tessolon_write_spectrum_png(const TessolonSpectrumData* Picture, const char* FileName,
                                char* Error, std::size_t ErrorSize);
}

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

// Starts the windows with the program's arguments; returns the exit status.
int tessolon_run_windows(int argc, char** argv);
// Writes the picture as a PNG file: 0 when written, else 1 with the reason in Error (cut to
// ErrorSize bytes, zero included).
int tessolon_write_spectrum_png(const TessolonSpectrumData* Picture, const char* FileName,
                                char* Error, std::size_t ErrorSize);
}

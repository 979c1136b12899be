// SDL's disk audio driver as a device a test can listen to: what the device plays goes to a
// file in the test's scratch folder, never to the driver's default in the working directory.
// Tests wait for the device to have played a number of bytes, never for a time, so a busy
// machine only makes them slower. Qt-free.
#pragma once

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "tests/support/ScopedEnv.h"

class TDiskAudio {
 public:
  // Chooses the disk driver, writing to File, for the sound services started while this lives.
  explicit TDiskAudio(std::filesystem::path File)
      : FFile(std::move(File)),
        FDriver("SDL_AUDIODRIVER", "disk"),
        FOutput("SDL_DISKAUDIOFILE", FFile.string()) {}

  // Bytes in the file so far; the driver starts the file anew whenever the device reopens.
  std::uintmax_t Size() const {
    std::error_code Error;
    const std::uintmax_t Bytes = std::filesystem::file_size(FFile, Error);
    return Error ? 0 : Bytes;
  }

  // Waits until at least Bytes that the device played after Mark (a Size() read once the voices
  // were set) are in the file. The file trails the device by up to one stdio buffer (the driver
  // writes through stdio) and the device trails the voices by the buffer it has filled, so the
  // wait is for that much more. False only when the device stops playing for a minute.
  bool WaitFor(std::uintmax_t Mark, std::uintmax_t Bytes) const {
    struct stat Info {};
    const std::uintmax_t StdioBuffer = stat(FFile.c_str(), &Info) == 0 ? Info.st_blksize : 8192;
    const std::uintmax_t Goal = Mark + StdioBuffer + 2 * DeviceBufferBytes + Bytes;
    auto Deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (std::uintmax_t Last = Size(); Last < Goal;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      const std::uintmax_t Now = Size();
      if (Now != Last) Deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
      if (std::chrono::steady_clock::now() > Deadline) return false;
      Last = Now;
    }
    return true;
  }

  // The whole file; read it once the device is closed, so that stdio has written everything.
  std::vector<uint8_t> Bytes() const {
    std::ifstream In(FFile, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), {}};
  }

 private:
  // The sound service's device buffer: 1024 frames of at most 16-bit stereo.
  static constexpr std::uintmax_t DeviceBufferBytes = 1024 * 4;

  std::filesystem::path FFile;
  TScopedEnv FDriver, FOutput;
};

// The sound card outputs as SDL sees them, and the format each really opens at when asked for
// a wave image's format with changes of rate, sample format and channels allowed: what the
// hardware runs at, not what SDL would convert to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"

// SDL's audio could not be started at all, or the audio module could not be loaded.
class EAudioDevicesError : public Exception {
 public:
  using Exception::Exception;
};

// The format of a wave image that is to be played.
struct TImageFormat {
  uint32_t Rate = 96000;
  uint16_t Channels = 2;
  uint16_t Bits = 16;
};

struct TOutputDevice {
  std::string Name;  // as SDL lists it; empty for the default output
  bool Opened = false;
  std::string Error;  // SDL's reason when it could not be opened
  uint32_t Rate = 0;
  uint16_t Channels = 0;
  std::string SampleFormat;  // "signed 16-bit", "float 32-bit", ...
};

struct TAudioOutputs {
  std::string Driver;
  std::vector<TOutputDevice> Devices;  // the default output first, then each listed one
};

// Opens and closes each output in turn, through the audio module; nothing is played. Throws
// EAudioDevicesError when no audio driver starts or the module cannot be loaded.
TAudioOutputs ListOutputDevices(const TImageFormat& Image);

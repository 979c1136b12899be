// The kernel's PC-speaker input device: a tone of a given frequency sounds from the moment it
// is written until another frequency, or 0, is written.
#pragma once

#include <cstdint>
#include <string>

#include "platform/hw/PortIO.h"

// The first entry of Dir whose name contains "pcspkr", or "" when there is none.
std::string FindSpeakerDevice(const std::string& Dir = "/dev/input/by-path");

class TSpeakerDevice {
 public:
  // Throws EHardwareUnavailable when Path cannot be opened for writing.
  explicit TSpeakerDevice(const std::string& Path);
  // Ends any tone still sounding, so that the speaker does not outlive the program.
  ~TSpeakerDevice();
  TSpeakerDevice(const TSpeakerDevice&) = delete;
  TSpeakerDevice& operator=(const TSpeakerDevice&) = delete;

  // Starts a tone of Freq hertz; 0 silences. Throws EHardwareUnavailable when the write fails.
  void Tone(uint32_t Freq);
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
  int FHandle;
};

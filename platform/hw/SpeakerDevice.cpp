#include "platform/hw/SpeakerDevice.h"

#include <fcntl.h>
#include <linux/input.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

bool WriteTone(int Handle, uint32_t Freq) {
  input_event Event{};
  Event.type = EV_SND;
  Event.code = SND_TONE;
  Event.value = static_cast<int32_t>(Freq);
  return write(Handle, &Event, sizeof Event) == static_cast<ssize_t>(sizeof Event);
}

}  // namespace

std::string FindSpeakerDevice(const std::string& Dir) {
  std::error_code Error;
  std::vector<std::string> Found;
  for (const auto& Entry : std::filesystem::directory_iterator(Dir, Error))
    if (Entry.path().filename().string().find("pcspkr") != std::string::npos)
      Found.push_back(Entry.path().string());
  if (Found.empty()) return "";
  // Directory order is arbitrary; sorting keeps the choice the same from run to run.
  return *std::min_element(Found.begin(), Found.end());
}

TSpeakerDevice::TSpeakerDevice(const std::string& Path)
    : FPath(Path), FHandle(open(Path.c_str(), O_WRONLY | O_CLOEXEC)) {
  if (FHandle < 0)
    throw EHardwareUnavailable("PC-speaker device " + Path + ": cannot open it (" +
                               std::strerror(errno) + ")");
}

TSpeakerDevice::~TSpeakerDevice() {
  WriteTone(FHandle, 0);  // best effort: a destructor cannot report a failed write
  close(FHandle);
}

void TSpeakerDevice::Tone(uint32_t Freq) {
  if (!WriteTone(FHandle, Freq))
    throw EHardwareUnavailable("PC-speaker device " + FPath + ": cannot write to it (" +
                               std::strerror(errno) + ")");
}

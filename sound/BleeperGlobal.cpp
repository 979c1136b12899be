// The process-wide speaker and the plain calls that reach it.
#include <cstdlib>
#include <string>

#include "sound/Bleeper.h"
#include "sound/BleeperPaths.h"

namespace {

std::unique_ptr<TBleeper>& Instance() {
  static std::unique_ptr<TBleeper> Speaker;
  return Speaker;
}

}  // namespace

void StartBleeper(TSpeakerPath Path) {
  auto Speaker = MakeBleeper(Path, "/dev/input/by-path", nullptr);
  Instance() = std::move(Speaker);
}

TBleeper& Bleeper() {
  if (!Instance()) {
    const char* Name = std::getenv("TESSOLON_SPEAKER");
    const auto Path = ParseSpeakerPath(Name ? Name : "auto");
    if (!Path)
      throw Exception(std::string("TESSOLON_SPEAKER: unknown speaker path '") + Name +
                      "' (auto, evdev, soundcard or ports)");
    StartBleeper(*Path);
  }
  return *Instance();
}

bool PlatformIsNT() {
  return Bleeper().PlatformIsNT();
}

void SpeakerTone(uint32_t Freq, int32_t MSecs) {
  Bleeper().SpeakerTone(Freq, MSecs);
}

void SpeakerSilence() {
  Bleeper().SpeakerSilence();
}

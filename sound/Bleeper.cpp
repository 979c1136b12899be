#include "sound/Bleeper.h"

#include <chrono>
#include <string>

#include "platform/core/Exceptions.h"

namespace {

constexpr uint32_t TimerClock = 1193181;
constexpr uint16_t PortTimer2Data = 0x42;
constexpr uint16_t PortTimerMode = 0x43;
constexpr uint16_t PortSpeaker = 0x61;
// Channel 2, low byte then high byte, mode 3 (square wave), binary count.
constexpr uint8_t Timer2SquareWave = 0xB6;
// Timer 2 gate and speaker data enable; the port's other bits are written as 0.
constexpr uint8_t SpeakerOn = 0x03;
constexpr int32_t MessageThreshold = 1000;
constexpr uint32_t HighestFreq = 20000;

uint32_t SystemTickCount() {
  const auto Now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Now).count());
}

}  // namespace

TBleeper::TBleeper(std::unique_ptr<ISystemBeep> Beep)
    : FBeep(std::move(Beep)), FTickCounter(SystemTickCount) {}

TBleeper::TBleeper(std::unique_ptr<IPortIO> Ports)
    : FPorts(std::move(Ports)), FTickCounter(SystemTickCount) {}

void TBleeper::SpeakerTone(uint32_t Freq, int32_t MSecs) {
  if (MSecs < -1) throw ERangeError("Bleeper: MSecs < -1");
  const uint32_t Minimum = PlatformIsNT() ? 37 : 20;
  if (Freq < Minimum) throw ERangeError("Bleeper: Freq < " + std::to_string(Minimum));
  if (Freq > HighestFreq) throw ERangeError("Bleeper: Freq > 20000");
  if (PlatformIsNT()) {
    FBeep->Beep(Freq, MSecs);
    return;
  }
  SpeakerStart(static_cast<uint16_t>(TimerClock / Freq));
  if (MSecs == -1) return;
  SpeakerWait(MSecs);
  SpeakerStop();
}

void TBleeper::SpeakerSilence() {
  if (PlatformIsNT())
    FBeep->Silence();
  else
    SpeakerStop();
}

void TBleeper::SpeakerStart(uint16_t Divisor) {
  FPorts->WritePort(PortSpeaker, SpeakerOn);
  FPorts->WritePort(PortTimerMode, Timer2SquareWave);
  FPorts->WritePort(PortTimer2Data, static_cast<uint8_t>(Divisor & 0xFF));
  FPorts->WritePort(PortTimer2Data, static_cast<uint8_t>(Divisor >> 8));
}

void TBleeper::SpeakerStop() {
  FPorts->WritePort(PortSpeaker, 0);
}

void TBleeper::SpeakerWait(int32_t MSecs) {
  const uint32_t Start = FTickCounter();
  uint32_t Elapsed;
  do {
    if (MSecs > MessageThreshold && FMessagePump) FMessagePump();
    const uint32_t Now = FTickCounter();
    // After a wrap of the 32-bit counter the distance is counted from Start up to its top.
    Elapsed = Now >= Start ? Now - Start : Now + (0xFFFFFFFFu - Start);
  } while (static_cast<int32_t>(Elapsed) < MSecs);
}

std::optional<TSpeakerPath> ParseSpeakerPath(std::string_view Text) {
  if (Text == "auto") return spAuto;
  if (Text == "evdev") return spEvdev;
  if (Text == "soundcard") return spSoundCard;
  if (Text == "ports") return spPorts;
  return std::nullopt;
}

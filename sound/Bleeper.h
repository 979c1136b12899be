// The PC speaker: plain square-wave beeps for a number of milliseconds or until silenced.
// Two ways lead to the speaker, chosen once at start-up: the system's beep (the kernel's speaker
// device, or the sound card where there is none; PlatformIsNT true) or direct programming of
// the interval timer's channel 2 and the speaker gate through the I/O ports.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/hw/PortIO.h"

// The system's beep: sounds Freq hertz for MSecs milliseconds and returns when the tone has
// ended; with MSecs -1 it starts a tone that lasts until Silence and returns at once.
class ISystemBeep {
 public:
  virtual ~ISystemBeep() = default;
  virtual void Beep(uint32_t Freq, int32_t MSecs) = 0;
  virtual void Silence() = 0;
};

class TBleeper {
 public:
  using TTickCounter = std::function<uint32_t()>;
  using TMessagePump = std::function<void()>;

  explicit TBleeper(std::unique_ptr<ISystemBeep> Beep);
  explicit TBleeper(std::unique_ptr<IPortIO> Ports);

  bool PlatformIsNT() const { return FBeep != nullptr; }
  // Raises ERangeError for MSecs < -1 or Freq outside 37 (20 on the port path) to 20000, before
  // anything reaches the speaker. Returns when the tone has ended, except for MSecs -1.
  void SpeakerTone(uint32_t Freq, int32_t MSecs);
  void SpeakerSilence();

  // The system's millisecond counter (32 bits, wraps) by default.
  void SetTickCounter(TTickCounter Counter) { FTickCounter = std::move(Counter); }
  // The application's "process pending messages"; none until one is set.
  void SetMessagePump(TMessagePump Pump) { FMessagePump = std::move(Pump); }

 private:
  // Port path only: programs channel 2 for a square wave of the timer clock divided by Divisor.
  void SpeakerStart(uint16_t Divisor);
  void SpeakerStop();
  // Busy wait on the millisecond counter; above 1000 ms it lets the application process its
  // pending messages on each turn, so that ticks and clicks are not held up by a long tone.
  void SpeakerWait(int32_t MSecs);

  std::unique_ptr<ISystemBeep> FBeep;
  std::unique_ptr<IPortIO> FPorts;
  TTickCounter FTickCounter;
  TMessagePump FMessagePump;
};

enum TSpeakerPath { spAuto, spEvdev, spSoundCard, spPorts };

// "auto", "evdev", "soundcard" or "ports".
std::optional<TSpeakerPath> ParseSpeakerPath(std::string_view Text);

// Chooses the process-wide speaker's path: Auto takes the kernel's speaker device when there is
// one and the sound card otherwise. Throws EHardwareUnavailable when the chosen path is refused.
void StartBleeper(TSpeakerPath Path);
// The process-wide speaker; the first use without StartBleeper takes the path named by the
// environment variable TESSOLON_SPEAKER (auto when unset).
TBleeper& Bleeper();

bool PlatformIsNT();
void SpeakerTone(uint32_t Freq, int32_t MSecs);
void SpeakerSilence();

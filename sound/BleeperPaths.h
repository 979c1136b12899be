// The system beeps behind the speaker on Linux, where the kernel owns the speaker: its
// PC-speaker input device, or a square wave on the sound card for machines without one.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/SoundService.h"
#include "platform/hw/SpeakerDevice.h"
#include "sound/Bleeper.h"

// Blocks the calling thread for MSecs milliseconds (tests pass a recorder).
using TSleep = std::function<void(uint32_t MSecs)>;
void ThreadSleep(uint32_t MSecs);

class TEvdevBeep : public ISystemBeep {
 public:
  explicit TEvdevBeep(std::unique_ptr<TSpeakerDevice> Device, TSleep Sleep = ThreadSleep);
  void Beep(uint32_t Freq, int32_t MSecs) override;
  void Silence() override;

 private:
  std::unique_ptr<TSpeakerDevice> FDevice;
  TSleep FSleep;
};

// The rate and the sample size of the sound card's square wave.
constexpr uint32_t SquareWaveRate = 44100;
constexpr int16_t SquareWaveAmplitude = 10000;  // about a third of full scale: a beep, not a blast
// A tone this long or shorter is played from one image of its exact length; a longer one loops
// a second of the wave, so that no tone needs an image of more than a few megabytes.
constexpr int32_t LongestImageMSecs = 60000;

// A RIFF/WAVE image of Samples 16-bit mono samples of a square wave of Freq hertz, starting
// with the high half. A second (SquareWaveRate samples) holds Freq whole periods and loops
// without a seam.
std::vector<uint8_t> SquareWaveImage(uint32_t Freq, uint32_t Samples);

// The speaker's square wave on the sound service's speaker voice, beside the tone generator's.
class TSoundCardBeep : public ISystemBeep {
 public:
  // Service nullptr: the process-wide sound service, looked up at each call.
  explicit TSoundCardBeep(ISoundService* Service = nullptr, TSleep Sleep = ThreadSleep);
  ~TSoundCardBeep() override;
  void Beep(uint32_t Freq, int32_t MSecs) override;
  void Silence() override;

 private:
  void PlayLoop(uint32_t Freq);
  ISoundService& Service() const { return FService ? *FService : SoundService(); }

  ISoundService* FService;
  TSleep FSleep;
  bool FLooping = false;  // a loop may still sound
};

// The speaker for Path, with the kernel device looked for in DeviceDir and the sound card
// reached through Service (nullptr: the process-wide one). Throws EHardwareUnavailable when the
// chosen path is refused.
std::unique_ptr<TBleeper> MakeBleeper(TSpeakerPath Path, const std::string& DeviceDir,
                                      ISoundService* Service);

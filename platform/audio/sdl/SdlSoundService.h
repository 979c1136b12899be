// The real sound service on SDL2 audio. The device runs at the image's own rate, sample format
// and channel count and is reopened only when those change; the callback plays each voice's
// whole frames straight from memory, loops without a gap, applies each voice's per-channel
// volume itself so the system mixer is never touched, and adds the voices together.
//
// Behind SDL's PulseAudio, PipeWire and ALSA drivers the output may run slower than the image,
// and the server would resample quietly, folding what lies above half its rate into the audible
// band. So the service asks the chain what it runs at (once, after opening at the image's own
// rate so that a server able to switch does) and, when that is lower, runs the device at the
// chain's rate and converts the image itself, removing what the output cannot carry.
//
// On PulseAudio's driver the device is a stream of the service's own (PulseOutput.h), which wakes
// the program far less often than SDL's; faded voices, and other drivers, keep SDL's device.
//
// When the server goes away (restarted, or the output unplugged) SDL stops the device; the next
// play notices, starts SDL's audio again on the same driver and asks the chain anew.
//
// When two voices sound at once in different formats, the device runs in the richer of the two
// (the higher rate, the wider sample, the more channels), so that neither loses anything, and
// the other voice is converted to it; a voice alone is delivered bit for bit. Changing the
// device's format reopens it, which the voice already sounding hears as a gap of a few
// milliseconds.
#pragma once

#include <SDL.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio/PulseProbe.h"
#include "platform/audio/SoundService.h"
#include "platform/audio/sdl/ConvertedImages.h"
#include "platform/audio/sdl/MixVoice.h"
#include "platform/audio/sdl/PulseOutput.h"

class TSdlSoundService final : public ISoundService {
 public:
  TSdlSoundService() = default;
  ~TSdlSoundService() override;
  TSdlSoundService(const TSdlSoundService&) = delete;
  TSdlSoundService& operator=(const TSdlSoundService&) = delete;

  [[nodiscard]] bool PlayImage(TSoundVoice Voice, TSharedImage Image, uint32_t Flags) override;
  void Stop(TSoundVoice Voice) override;
  bool SetVolume(TSoundVoice Voice, uint32_t Volume) override;
  bool GetVolume(TSoundVoice Voice, uint32_t& Volume) override;
  bool GetDevCaps(TSoundVoice Voice, TWaveOutCaps& Caps) override;
  TOutputChain Output(unsigned ImageRate) override;
  // The rate the device runs at now; 0 while none is open.
  unsigned DeviceRate() const { return FDeviceRate; }

 private:
  static void Callback(void* UserData, Uint8* Stream, int Length);
  void Fill(uint8_t* Stream, std::size_t Length);
  // The format the device needs for Format to play beside the voices still sounding.
  TWaveFormat DeviceFormatFor(const TWaveFormat& Format);
  bool AnySounding();
  bool AnyFading();
  // Device and SDL's audio, with the format Format asks for once the chain is known.
  bool Prepare(TWaveFormat& Format);
  bool InitAudio();
  bool EnsureDevice(const TWaveFormat& Format);
  // On PulseAudio's driver our own stream (PulseOutput.h), else SDL's device.
  bool OpenDevice(const TWaveFormat& Format);
  SDL_AudioDeviceID OpenSdlDevice(const TWaveFormat& Format);
  bool DeviceOpen() const;
  // False while none is open, and once the server stopped the one that is.
  bool DevicePlaying() const;
  // True once the server stopped the device (SDL: also while none is open).
  bool DeviceLost() const;
  void CloseDevice();
  void FallBackToDummy(const char* Reason);
  // A device SDL stopped because its server went: SDL's audio is shut down, to be started again.
  void DropLostDevice();
  // Forgets the chain's answer when its server has reported a change since.
  void DropStaleChain();
  const TOutputChain& Chain(unsigned ImageRate);

  // Owned by the calling thread.
  bool FInitialised = false;
  bool FOnDummy = false;
  bool FHadDevice = false;  // a real output was open once: when it goes, wait for it
  std::string FDriver;      // the driver a lost device is looked for on again
  std::chrono::steady_clock::time_point FNextRetry;
  SDL_AudioDeviceID FDevice = 0;
  std::unique_ptr<TPulseOutput> FPulse;  // open instead of FDevice
  TWaveFormat FAskedFormat;              // what the device was opened for
  bool FFadedStream = false;  // the device is wanted for faded voices (a longer server queue)
  bool FOpenFaded = false;    // it was opened for them
  TWaveFormat FDeviceFormat;  // what it runs at
  unsigned FDeviceRate = 0;
  std::optional<TOutputChain> FChain;  // what the chain said, for an image of FChainAsked
  unsigned FChainAsked = 0;
  std::unique_ptr<TPulseWatch> FWatch;  // a PulseAudio or PipeWire server's changes
  uint64_t FChainChanges = 0;           // as many as the watch had heard when FChain was asked
  unsigned FLosses = 0;                 // devices SDL stopped because their server went
  std::chrono::steady_clock::time_point FFadeHeard;  // when the last fade has been heard
  TConvertedImages FConverted;                       // conversions to the device's rate

  // Shared with the audio callback, guarded by FLock. The callback reads an image only while it
  // holds the lock and never releases one: images go on the calling thread, outside the lock.
  std::mutex FLock;
  std::condition_variable FEnded;
  std::array<TMixVoice, SoundVoiceCount> FVoices;
  bool FEightBitMix = false;  // the sample size of the device's buffers
  std::vector<int32_t> FMix;  // the callback's sum of the voices, one value per sample
};

// The real sound service on SDL2 audio. The device runs at the image's own rate, sample format
// and channel count and is reopened only when those change; the callback plays each voice's
// whole frames straight from memory, loops without a gap, applies each voice's per-channel
// volume itself so the system mixer is never touched, and adds the voices together.
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
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/audio/MixVoice.h"
#include "platform/audio/SoundService.h"

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
  unsigned DeviceRate() const override { return FDeviceRate.load(); }

 private:
  static void Callback(void* UserData, Uint8* Stream, int Length);
  void Fill(uint8_t* Stream, std::size_t Length);
  // The format the device needs for Format to play beside the voices still sounding.
  TWaveFormat DeviceFormatFor(const TWaveFormat& Format);
  bool InitAudio();
  bool EnsureDevice(const TWaveFormat& Format);
  SDL_AudioDeviceID OpenDevice(const TWaveFormat& Format);
  void CloseDevice();
  void FallBackToDummy(const char* Reason);

  // Owned by the calling thread.
  bool FInitialised = false;
  bool FOnDummy = false;
  SDL_AudioDeviceID FDevice = 0;
  TWaveFormat FDeviceFormat;
  std::atomic<unsigned> FDeviceRate{0};

  // Shared with the audio callback, guarded by FLock. The callback reads an image only while it
  // holds the lock and never releases one: images go on the calling thread, outside the lock.
  std::mutex FLock;
  std::condition_variable FEnded;
  std::array<TMixVoice, SoundVoiceCount> FVoices;
  bool FEightBitMix = false;  // the sample size of the device's buffers
  std::vector<int32_t> FMix;  // the callback's sum of the voices, one value per sample
};

// The real sound service on SDL2 audio. The device runs at the image's own rate, sample format
// and channel count and is reopened only when those change; the callback plays the image's whole
// frames straight from memory, loops without a gap, and applies the per-channel volume itself so
// the system mixer is never touched.
#pragma once

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/audio/SoundService.h"
#include "platform/audio/WaveImage.h"

class TSdlSoundService final : public ISoundService {
 public:
  TSdlSoundService() = default;
  ~TSdlSoundService() override;
  TSdlSoundService(const TSdlSoundService&) = delete;
  TSdlSoundService& operator=(const TSdlSoundService&) = delete;

  bool PlayImage(const uint8_t* Image, std::size_t Size, uint32_t Flags) override;
  void Stop() override;
  bool SetVolume(uint32_t DeviceID, uint32_t Volume) override;
  bool GetVolume(uint32_t DeviceID, uint32_t& Volume) override;
  bool GetDevCaps(uint32_t DeviceID, TWaveOutCaps& Caps) override;
  unsigned DeviceRate() const override { return FDeviceRate.load(); }

 private:
  static void Callback(void* UserData, Uint8* Stream, int Length);
  void Fill(uint8_t* Stream, std::size_t Length);
  void CopyWithVolume(uint8_t* Out, std::size_t Bytes);
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
  std::atomic<uint32_t> FVolume{0xFFFFFFFF};

  // Shared with the audio callback, guarded by FLock.
  std::mutex FLock;
  std::condition_variable FEnded;
  const uint8_t* FData = nullptr;
  std::size_t FBytes = 0;
  std::size_t FPos = 0;
  uint16_t FChannels = 1;
  bool FEightBit = false;
  bool FLoop = false;
  bool FDrained = false;
  uint64_t FSound = 0;  // counts the sounds started, so a waiter knows its own has ended
  uint64_t FEndedSound = 0;
};

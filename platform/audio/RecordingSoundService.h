// A sound service for tests: records every call in order (plays with their flags and a copy of
// the image, stops, volume reads and writes) and answers volume and capability queries from
// settings the test chooses. Install it with TScopedSoundService.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio/SoundService.h"

enum TSoundCall { scPlay, scStop, scSetVolume, scGetVolume, scGetDevCaps };

struct TSoundEvent {
  explicit TSoundEvent(TSoundCall ACall) : Call(ACall) {}
  TSoundCall Call;
  uint32_t Flags = 0;                // scPlay
  const uint8_t* Address = nullptr;  // scPlay: the image as handed over
  std::vector<uint8_t> Image;        // scPlay: a copy of it
  uint32_t Volume = 0;               // scSetVolume: the word written; scGetVolume: the word read
};

class TRecordingSoundService : public ISoundService {
 public:
  // What the fake device reports; SetVolume updates Volume.
  uint32_t Volume = 0xFFFFFFFF;
  bool VolumeReadFails = false;
  TWaveOutCaps Caps{WAVE_FORMAT_1S16, WAVECAPS_LRVOLUME, 2};
  unsigned Rate = 0;

  std::vector<TSoundEvent> Events;

  bool PlayImage(const uint8_t* Image, std::size_t Size, uint32_t Flags) override;
  void Stop() override;
  bool SetVolume(uint32_t DeviceID, uint32_t Volume) override;
  bool GetVolume(uint32_t DeviceID, uint32_t& Volume) override;
  bool GetDevCaps(uint32_t DeviceID, TWaveOutCaps& Caps) override;
  unsigned DeviceRate() const override { return Rate; }

  std::vector<const TSoundEvent*> Plays() const;
  int Count(TSoundCall Call) const;
  // The calls in order as letters: P play, S stop, V set volume, G get volume, C capabilities.
  std::string Trace() const;
  void Clear() { Events.clear(); }
};

// Installs a service for the lifetime of the scope and restores the previous one after it.
class TScopedSoundService {
 public:
  explicit TScopedSoundService(ISoundService& Service);
  ~TScopedSoundService();
  TScopedSoundService(const TScopedSoundService&) = delete;
  TScopedSoundService& operator=(const TScopedSoundService&) = delete;

 private:
  ISoundService* FPrevious;
};

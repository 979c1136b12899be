// A sound service for tests: records every call in order, with its voice (plays with their flags
// and a copy of the image, stops, volume reads and writes), and answers volume and capability
// queries from settings the test chooses. Install it with TScopedSoundService.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio/SoundService.h"

enum TSoundCall { scPlay, scStop, scSetVolume, scGetVolume, scGetDevCaps };

struct TSoundEvent {
  TSoundEvent(TSoundCall ACall, TSoundVoice AVoice) : Call(ACall), Voice(AVoice) {}
  TSoundCall Call;
  TSoundVoice Voice;
  uint32_t Flags = 0;                // scPlay
  const uint8_t* Address = nullptr;  // scPlay: the image as handed over
  std::vector<uint8_t> Image;        // scPlay: a copy of it
  uint32_t Volume = 0;               // scSetVolume: the word written; scGetVolume: the word read
};

class TRecordingSoundService : public ISoundService {
 public:
  // What the fake device reports, per voice; SetVolume updates Volume.
  std::array<uint32_t, SoundVoiceCount> Volume{0xFFFFFFFF, 0xFFFFFFFF};
  bool VolumeReadFails = false;
  TWaveOutCaps Caps{WAVE_FORMAT_1S16, WAVECAPS_LRVOLUME, 2};
  unsigned Rate = 0;  // the fake chain's rate; 0 runs it at each image's own rate
  bool Gone = false;  // the output has gone away: the chain answers with no rate

  std::vector<TSoundEvent> Events;

  [[nodiscard]] bool PlayImage(TSoundVoice Voice, TSharedImage Image, uint32_t Flags) override;
  void Stop(TSoundVoice Voice) override;
  bool SetVolume(TSoundVoice Voice, uint32_t Volume) override;
  bool GetVolume(TSoundVoice Voice, uint32_t& Volume) override;
  bool GetDevCaps(TSoundVoice Voice, TWaveOutCaps& Caps) override;
  TOutputChain Output(unsigned ImageRate) override;

  // The plays on every voice, or on one.
  std::vector<const TSoundEvent*> Plays() const;
  std::vector<const TSoundEvent*> Plays(TSoundVoice Voice) const;
  int Count(TSoundCall Call) const;
  int Count(TSoundCall Call, TSoundVoice Voice) const;
  // The calls in order as letters: P play, S stop, V set volume, G get volume, C capabilities;
  // on every voice, or on one.
  std::string Trace() const;
  std::string Trace(TSoundVoice Voice) const;
  // Whether Voice would still be sounding: its last play looped and no stop or play came after.
  bool Looping(TSoundVoice Voice) const;
  void Clear() { Events.clear(); }

 private:
  std::vector<const TSoundEvent*> Select(TSoundCall Call, const TSoundVoice* Voice) const;
  std::string Letters(const TSoundVoice* Voice) const;
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

// The process's real sound service as the program holds it before it needs the sound output.
// Volumes and capabilities are answered here, so that a tone generator made only to export a
// file (it sets the tone voice's volume) loads no audio library; the first play or question about
// the output loads the audio module (platform/audio/AudioModule.h) and hands its service the
// volumes set so far. When the module cannot be had nothing plays, and the output says why.
#pragma once

#include <array>
#include <atomic>
#include <mutex>
#include <string>

#include "platform/audio/SoundService.h"

class TOnDemandSoundService final : public ISoundService {
 public:
  TOnDemandSoundService();

  [[nodiscard]] bool PlayImage(TSoundVoice Voice, TSharedImage Image, uint32_t Flags) override;
  void Stop(TSoundVoice Voice) override;
  bool SetVolume(TSoundVoice Voice, uint32_t Volume) override;
  bool GetVolume(TSoundVoice Voice, uint32_t& Volume) override;
  bool GetDevCaps(TSoundVoice Voice, TWaveOutCaps& Caps) override;
  TOutputChain Output(unsigned ImageRate) override;

 private:
  // The module's service, loaded at the first call; nullptr when it cannot be had.
  ISoundService* Loaded();

  std::mutex FLock;  // guards the volumes and the loading, so no volume set meanwhile is lost
  bool FTried = false;
  std::string FMissing;  // why the module could not be had
  std::array<uint32_t, SoundVoiceCount> FVolumes;
  std::atomic<ISoundService*> FService{nullptr};
};

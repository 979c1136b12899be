#include "platform/audio/OnDemandSoundService.h"

#include "platform/audio/AudioModule.h"
#include "platform/core/Exceptions.h"

TOnDemandSoundService::TOnDemandSoundService() {
  FVolumes.fill(FullVolume);
}

ISoundService* TOnDemandSoundService::Loaded() {
  if (ISoundService* Service = FService.load()) return Service;
  std::lock_guard Guard(FLock);
  if (FTried) return FService.load();
  FTried = true;
  try {
    ISoundService* Service = AudioBackend().Service();
    for (std::size_t Voice = 0; Voice < SoundVoiceCount; ++Voice)
      Service->SetVolume(TSoundVoice(Voice), FVolumes[Voice]);
    FService.store(Service);
  } catch (const Exception& E) {
    FMissing = E.what();
  }
  return FService.load();
}

bool TOnDemandSoundService::PlayImage(TSoundVoice Voice, TSharedImage Image, uint32_t Flags) {
  ISoundService* Service = Loaded();
  return Service && Service->PlayImage(Voice, std::move(Image), Flags);
}

void TOnDemandSoundService::Stop(TSoundVoice Voice) {
  // Nothing has played before the module is loaded.
  if (ISoundService* Service = FService.load()) Service->Stop(Voice);
}

bool TOnDemandSoundService::SetVolume(TSoundVoice Voice, uint32_t Volume) {
  std::lock_guard Guard(FLock);
  FVolumes[Voice] = Volume;
  if (ISoundService* Service = FService.load()) return Service->SetVolume(Voice, Volume);
  return true;
}

bool TOnDemandSoundService::GetVolume(TSoundVoice Voice, uint32_t& Volume) {
  std::lock_guard Guard(FLock);
  Volume = FVolumes[Voice];
  return true;
}

bool TOnDemandSoundService::GetDevCaps(TSoundVoice, TWaveOutCaps& Caps) {
  Caps = SeparateChannelsCaps();
  return true;
}

TOutputChain TOnDemandSoundService::Output(unsigned ImageRate) {
  if (ISoundService* Service = Loaded()) return Service->Output(ImageRate);
  TOutputChain None;
  None.Unavailable = FMissing;
  return None;
}

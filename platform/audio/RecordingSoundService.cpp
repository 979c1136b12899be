#include "platform/audio/RecordingSoundService.h"

bool TRecordingSoundService::PlayImage(const uint8_t* Image, std::size_t Size, uint32_t Flags) {
  TSoundEvent Event(scPlay);
  Event.Flags = Flags;
  Event.Address = Image;
  if (Image) Event.Image.assign(Image, Image + Size);
  Events.push_back(std::move(Event));
  return Image != nullptr;
}

void TRecordingSoundService::Stop() {
  Events.emplace_back(scStop);
}

bool TRecordingSoundService::SetVolume(uint32_t, uint32_t AVolume) {
  TSoundEvent Event(scSetVolume);
  Event.Volume = Volume = AVolume;
  Events.push_back(Event);
  return true;
}

bool TRecordingSoundService::GetVolume(uint32_t, uint32_t& AVolume) {
  TSoundEvent Event(scGetVolume);
  if (!VolumeReadFails) AVolume = Volume;
  Event.Volume = AVolume;
  Events.push_back(Event);
  return !VolumeReadFails;
}

bool TRecordingSoundService::GetDevCaps(uint32_t, TWaveOutCaps& ACaps) {
  Events.emplace_back(scGetDevCaps);
  ACaps = Caps;
  return true;
}

std::vector<const TSoundEvent*> TRecordingSoundService::Plays() const {
  std::vector<const TSoundEvent*> Result;
  for (const TSoundEvent& Event : Events)
    if (Event.Call == scPlay) Result.push_back(&Event);
  return Result;
}

int TRecordingSoundService::Count(TSoundCall Call) const {
  int Result = 0;
  for (const TSoundEvent& Event : Events) Result += Event.Call == Call;
  return Result;
}

std::string TRecordingSoundService::Trace() const {
  static const char Letters[] = "PSVGC";
  std::string Result;
  for (const TSoundEvent& Event : Events) Result += Letters[Event.Call];
  return Result;
}

TScopedSoundService::TScopedSoundService(ISoundService& Service)
    : FPrevious(InstalledSoundService()) {
  SetSoundService(&Service);
}

TScopedSoundService::~TScopedSoundService() {
  SetSoundService(FPrevious);
}

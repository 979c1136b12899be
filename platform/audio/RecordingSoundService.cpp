#include "platform/audio/RecordingSoundService.h"

bool TRecordingSoundService::PlayImage(TSoundVoice Voice, TSharedImage Image, uint32_t Flags) {
  TSoundEvent Event(scPlay, Voice);
  Event.Flags = Flags;
  if (Image) {
    Event.Address = Image->data();
    Event.Image = *Image;
  }
  Events.push_back(std::move(Event));
  return Image != nullptr;
}

void TRecordingSoundService::Stop(TSoundVoice Voice) {
  Events.emplace_back(scStop, Voice);
}

bool TRecordingSoundService::SetVolume(TSoundVoice Voice, uint32_t AVolume) {
  TSoundEvent Event(scSetVolume, Voice);
  Event.Volume = Volume[Voice] = AVolume;
  Events.push_back(Event);
  return true;
}

bool TRecordingSoundService::GetVolume(TSoundVoice Voice, uint32_t& AVolume) {
  TSoundEvent Event(scGetVolume, Voice);
  if (!VolumeReadFails) AVolume = Volume[Voice];
  Event.Volume = AVolume;
  Events.push_back(Event);
  return !VolumeReadFails;
}

bool TRecordingSoundService::GetDevCaps(TSoundVoice Voice, TWaveOutCaps& ACaps) {
  Events.emplace_back(scGetDevCaps, Voice);
  ACaps = Caps;
  return true;
}

TOutputChain TRecordingSoundService::Output(unsigned ImageRate) {
  TOutputChain Chain;
  Chain.Driver = "recording";
  Chain.Rate = Gone ? 0 : Rate != 0 ? Rate : ImageRate;
  return Chain;
}

std::vector<const TSoundEvent*> TRecordingSoundService::Select(TSoundCall Call,
                                                               const TSoundVoice* Voice) const {
  std::vector<const TSoundEvent*> Result;
  for (const TSoundEvent& Event : Events)
    if (Event.Call == Call && (!Voice || Event.Voice == *Voice)) Result.push_back(&Event);
  return Result;
}

std::vector<const TSoundEvent*> TRecordingSoundService::Plays() const {
  return Select(scPlay, nullptr);
}

std::vector<const TSoundEvent*> TRecordingSoundService::Plays(TSoundVoice Voice) const {
  return Select(scPlay, &Voice);
}

int TRecordingSoundService::Count(TSoundCall Call) const {
  return int(Select(Call, nullptr).size());
}

int TRecordingSoundService::Count(TSoundCall Call, TSoundVoice Voice) const {
  return int(Select(Call, &Voice).size());
}

std::string TRecordingSoundService::Letters(const TSoundVoice* Voice) const {
  static const char Letter[] = "PSVGC";
  std::string Result;
  for (const TSoundEvent& Event : Events)
    if (!Voice || Event.Voice == *Voice) Result += Letter[Event.Call];
  return Result;
}

std::string TRecordingSoundService::Trace() const {
  return Letters(nullptr);
}

std::string TRecordingSoundService::Trace(TSoundVoice Voice) const {
  return Letters(&Voice);
}

bool TRecordingSoundService::Looping(TSoundVoice Voice) const {
  for (auto Event = Events.rbegin(); Event != Events.rend(); ++Event) {
    if (Event->Voice != Voice) continue;
    if (Event->Call == scStop) return false;
    if (Event->Call == scPlay) return (Event->Flags & SND_LOOP) != 0;
  }
  return false;
}

TScopedSoundService::TScopedSoundService(ISoundService& Service)
    : FPrevious(InstalledSoundService()) {
  SetSoundService(&Service);
}

TScopedSoundService::~TScopedSoundService() {
  SetSoundService(FPrevious);
}

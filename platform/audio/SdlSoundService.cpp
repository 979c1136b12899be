#include "platform/audio/SdlSoundService.h"

#include <iostream>

#include "platform/audio/QuietStderr.h"

namespace {

// About 10 ms at 96 kHz: short enough that a replaced tone stops promptly.
constexpr Uint16 BufferFrames = 1024;

}  // namespace

TSdlSoundService::~TSdlSoundService() {
  for (std::size_t Voice = 0; Voice < SoundVoiceCount; ++Voice) Stop(TSoundVoice(Voice));
  CloseDevice();
  if (FInitialised) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool TSdlSoundService::InitAudio() {
  if (FInitialised) return true;
  // Leave SIGINT and SIGTERM to the program: Ctrl+C must still end it.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  bool Started;
  {
    TQuietStderr Quiet;
    Started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  }
  if (Started) {
    FInitialised = true;
    return true;
  }
  FallBackToDummy(SDL_GetError());
  return FInitialised;
}

void TSdlSoundService::FallBackToDummy(const char* Reason) {
  if (FOnDummy) return;
  std::cerr << "tessolon: no audio device could be opened (" << Reason
            << "); continuing without sound\n";
  FOnDummy = true;
  if (FInitialised) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
  FInitialised = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  SDL_ResetHint(SDL_HINT_AUDIODRIVER);
}

SDL_AudioDeviceID TSdlSoundService::OpenDevice(const TWaveFormat& Format) {
  TQuietStderr Quiet;
  SDL_AudioSpec Want{};
  Want.freq = int(Format.Rate);
  Want.format = SdlFormat(Format);
  Want.channels = uint8_t(Format.Channels);
  Want.samples = BufferFrames;
  Want.callback = &TSdlSoundService::Callback;
  Want.userdata = this;
  // First ask for the rate the hardware takes, to learn whether it runs at the image's rate.
  SDL_AudioSpec Have{};
  SDL_AudioDeviceID Device =
      SDL_OpenAudioDevice(nullptr, 0, &Want, &Have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
  if (Device == 0) return 0;
  if (Have.freq == Want.freq) {
    FDeviceRate = unsigned(Have.freq);
    return Device;
  }
  // The hardware runs at another rate: let SDL resample the image to it.
  SDL_CloseAudioDevice(Device);
  Device = SDL_OpenAudioDevice(nullptr, 0, &Want, nullptr, 0);
  if (Device != 0) FDeviceRate = unsigned(Have.freq);
  return Device;
}

void TSdlSoundService::CloseDevice() {
  if (FDevice == 0) return;
  SDL_CloseAudioDevice(FDevice);
  FDevice = 0;
  FDeviceRate = 0;
}

bool TSdlSoundService::EnsureDevice(const TWaveFormat& Format) {
  if (FDevice != 0 && FDeviceFormat.SameStream(Format)) return true;
  CloseDevice();
  if (!InitAudio()) return false;
  FDevice = OpenDevice(Format);
  if (FDevice == 0 && !FOnDummy) {
    FallBackToDummy(SDL_GetError());
    if (FInitialised) FDevice = OpenDevice(Format);
  }
  if (FDevice == 0) return false;
  FDeviceFormat = Format;
  std::array<TSharedImage, SoundVoiceCount> Released;
  {
    std::lock_guard Guard(FLock);
    FEightBitMix = Format.Bits == 8;
    for (std::size_t Voice = 0; Voice < SoundVoiceCount; ++Voice)
      if (FVoices[Voice].Sounding() && !FVoices[Voice].Retarget(Format))
        Released[Voice] = FVoices[Voice].Stop();
  }
  FEnded.notify_all();
  // A device opens paused. From now on the callback runs, giving silence while no voice sounds.
  SDL_PauseAudioDevice(FDevice, 0);
  return true;
}

TWaveFormat TSdlSoundService::DeviceFormatFor(const TWaveFormat& Format) {
  TWaveFormat Result = Format;
  std::lock_guard Guard(FLock);
  for (const TMixVoice& Voice : FVoices)
    if (Voice.Sounding()) Result = RicherStream(Result, Voice.Format());
  return Result;
}

bool TSdlSoundService::PlayImage(TSoundVoice Voice, TSharedImage Image, uint32_t Flags) {
  Stop(Voice);
  TWaveFormat Format;
  if (!Image || !ParseWaveImage(Image->data(), Image->size(), Format) ||
      !EnsureDevice(DeviceFormatFor(Format)))
    return false;
  uint64_t Sound;
  {
    std::lock_guard Guard(FLock);
    if (!FVoices[Voice].Start(Image, Format, (Flags & SND_LOOP) != 0, FDeviceFormat)) return false;
    Sound = FVoices[Voice].Sound();
  }
  if ((Flags & (SND_ASYNC | SND_LOOP)) == 0) {
    std::unique_lock Guard(FLock);
    FEnded.wait(Guard, [&] { return FVoices[Voice].Ended(Sound); });
  }
  return true;
}

void TSdlSoundService::Stop(TSoundVoice Voice) {
  // The callback reads images only under the lock, so once the voice has been stopped under it
  // its image is no longer read; the other voices play on.
  TSharedImage Released;
  {
    std::lock_guard Guard(FLock);
    Released = FVoices[Voice].Stop();
  }
  FEnded.notify_all();
}

bool TSdlSoundService::SetVolume(TSoundVoice Voice, uint32_t Volume) {
  std::lock_guard Guard(FLock);
  FVoices[Voice].SetVolume(Volume);
  return true;
}

bool TSdlSoundService::GetVolume(TSoundVoice Voice, uint32_t& Volume) {
  std::lock_guard Guard(FLock);
  Volume = FVoices[Voice].Volume();
  return true;
}

bool TSdlSoundService::GetDevCaps(TSoundVoice, TWaveOutCaps& Caps) {
  // The volume is applied per channel here, so left and right are always separate.
  Caps.dwFormats = WAVE_FORMAT_1S16;
  Caps.dwSupport = WAVECAPS_LRVOLUME;
  Caps.wChannels = 2;
  return true;
}

void TSdlSoundService::Callback(void* UserData, Uint8* Stream, int Length) {
  static_cast<TSdlSoundService*>(UserData)->Fill(Stream, std::size_t(Length));
}

void TSdlSoundService::Fill(uint8_t* Stream, std::size_t Length) {
  bool Ended = false;
  {
    std::lock_guard Guard(FLock);
    FMix.assign(Length / (FEightBitMix ? 1 : 2), 0);
    for (TMixVoice& Voice : FVoices) Voice.MixInto(FMix.data(), FMix.size());
    WriteMix(FMix, FEightBitMix, Stream);
    for (TMixVoice& Voice : FVoices) Ended |= Voice.EndOfBuffer();
  }
  if (Ended) FEnded.notify_all();
}

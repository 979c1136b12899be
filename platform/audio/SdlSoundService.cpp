#include "platform/audio/SdlSoundService.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace {

// While SDL probes its backends, ALSA and the like print their own diagnostics on stderr; the
// program's report is the one warning line of FallBackToDummy.
class TQuietStderr {
 public:
  TQuietStderr() {
    std::fflush(stderr);
    FSaved = dup(STDERR_FILENO);
    const int Null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (FSaved >= 0 && Null >= 0) dup2(Null, STDERR_FILENO);
    if (Null >= 0) close(Null);
  }
  ~TQuietStderr() {
    if (FSaved < 0) return;
    std::fflush(stderr);
    dup2(FSaved, STDERR_FILENO);
    close(FSaved);
  }
  TQuietStderr(const TQuietStderr&) = delete;
  TQuietStderr& operator=(const TQuietStderr&) = delete;

 private:
  int FSaved;
};

// About 10 ms at 96 kHz: short enough that a replaced tone stops promptly.
constexpr Uint16 BufferFrames = 1024;

int Scale(int Sample, uint32_t Gain) {
  return Sample * int(Gain) / 0xFFFF;
}

}  // namespace

TSdlSoundService::~TSdlSoundService() {
  Stop();
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
  Want.format = Format.Bits == 16 ? AUDIO_S16LSB : AUDIO_U8;
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
  return true;
}

bool TSdlSoundService::PlayImage(const uint8_t* Image, std::size_t Size, uint32_t Flags) {
  Stop();
  TWaveFormat Format;
  if (!ParseWaveImage(Image, Size, Format) || !EnsureDevice(Format)) return false;
  uint64_t Sound;
  {
    std::lock_guard Guard(FLock);
    FData = Image + Format.DataOffset;
    FBytes = Format.DataBytes;
    FPos = 0;
    FChannels = Format.Channels;
    FEightBit = Format.Bits == 8;
    FLoop = (Flags & SND_LOOP) != 0;
    FDrained = false;
    Sound = ++FSound;
  }
  SDL_PauseAudioDevice(FDevice, 0);
  if ((Flags & (SND_ASYNC | SND_LOOP)) == 0) {
    std::unique_lock Guard(FLock);
    FEnded.wait(Guard, [&] { return FEndedSound >= Sound; });
  }
  return true;
}

void TSdlSoundService::Stop() {
  {
    std::lock_guard Guard(FLock);
    FData = nullptr;
    FBytes = FPos = 0;
    FEndedSound = FSound;
  }
  FEnded.notify_all();
  // Pausing waits for a running callback, so the image is not read once this returns.
  if (FDevice != 0) SDL_PauseAudioDevice(FDevice, 1);
}

bool TSdlSoundService::SetVolume(uint32_t, uint32_t Volume) {
  FVolume = Volume;
  return true;
}

bool TSdlSoundService::GetVolume(uint32_t, uint32_t& Volume) {
  Volume = FVolume;
  return true;
}

bool TSdlSoundService::GetDevCaps(uint32_t, TWaveOutCaps& Caps) {
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
  std::unique_lock Guard(FLock);
  std::size_t Out = 0;
  while (FData && Out < Length && FPos < FBytes) {
    const std::size_t Bytes = std::min(Length - Out, FBytes - FPos);
    CopyWithVolume(Stream + Out, Bytes);
    Out += Bytes;
    FPos += Bytes;
    if (FPos == FBytes && FLoop) FPos = 0;
  }
  std::memset(Stream + Out, FEightBit ? 0x80 : 0x00, Length - Out);
  if (!FData || FPos < FBytes) return;
  // The last data went out in the previous buffer; once this one is asked for it has played.
  if (!FDrained) {
    FDrained = true;
    return;
  }
  FData = nullptr;
  FEndedSound = FSound;
  Guard.unlock();
  FEnded.notify_all();
}

void TSdlSoundService::CopyWithVolume(uint8_t* Out, std::size_t Bytes) {
  const uint8_t* In = FData + FPos;
  const uint32_t Volume = FVolume;
  const uint32_t Left = Volume & 0xFFFF, Right = Volume >> 16;
  if (Left == 0xFFFF && Right == 0xFFFF) {
    std::memcpy(Out, In, Bytes);
    return;
  }
  // A mono image sounds on both speakers: it gets the mean of the two volumes.
  const uint32_t Gains[2] = {FChannels == 1 ? (Left + Right) / 2 : Left,
                             FChannels == 1 ? (Left + Right) / 2 : Right};
  const std::size_t SampleBytes = FEightBit ? 1 : 2;
  // FPos is always at a sample boundary; the channel follows from the sample index.
  std::size_t Sample = FPos / SampleBytes;
  for (std::size_t I = 0; I + SampleBytes <= Bytes; I += SampleBytes, ++Sample) {
    const std::size_t Channel = Sample % FChannels;
    const uint32_t Gain = Channel < 2 ? Gains[Channel] : Gains[0];
    if (FEightBit) {
      Out[I] = uint8_t(Scale(In[I] - 128, Gain) + 128);
    } else {
      const int16_t S = int16_t(In[I] | In[I + 1] << 8);
      const uint16_t V = uint16_t(Scale(S, Gain));
      Out[I] = uint8_t(V);
      Out[I + 1] = uint8_t(V >> 8);
    }
  }
}

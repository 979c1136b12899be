#include "platform/audio/sdl/SdlAudioDevices.h"

#include <SDL.h>

#include "platform/audio/sdl/QuietStderr.h"
#include "platform/core/Messages.h"

namespace {

std::string SampleFormatName(SDL_AudioFormat Format) {
  const int Bits = SDL_AUDIO_BITSIZE(Format);
  if (SDL_AUDIO_ISFLOAT(Format)) return FormatMessage("float %d-bit", Bits);
  return SDL_AUDIO_ISSIGNED(Format) ? FormatMessage("signed %d-bit", Bits)
                                    : FormatMessage("unsigned %d-bit", Bits);
}

// SDL's audio for the lifetime of one listing; SDL counts the starts, so a sound service that
// already runs keeps its own.
class TAudioSession {
 public:
  TAudioSession() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    TQuietStderr Quiet;
    FStarted = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!FStarted) FError = SDL_GetError();
  }
  ~TAudioSession() {
    if (FStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  TAudioSession(const TAudioSession&) = delete;
  TAudioSession& operator=(const TAudioSession&) = delete;

  bool Started() const { return FStarted; }
  const std::string& Error() const { return FError; }

 private:
  bool FStarted = false;
  std::string FError;
};

void Silence(void*, Uint8* Stream, int Length) {
  SDL_memset(Stream, 0, std::size_t(Length));
}

TOutputDevice Probe(const char* Name, const TImageFormat& Image) {
  TOutputDevice Device;
  Device.Name = Name ? Name : "";
  SDL_AudioSpec Want{}, Have{};
  Want.freq = int(Image.Rate);
  Want.format = Image.Bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  Want.channels = uint8_t(Image.Channels);
  Want.samples = 1024;
  Want.callback = Silence;
  TQuietStderr Quiet;
  const SDL_AudioDeviceID Id =
      SDL_OpenAudioDevice(Name, 0, &Want, &Have,
                          SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_FORMAT_CHANGE |
                              SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
  if (Id == 0) {
    Device.Error = SDL_GetError();
    return Device;
  }
  Device.Opened = true;
  Device.Rate = uint32_t(Have.freq);
  Device.Channels = Have.channels;
  Device.SampleFormat = SampleFormatName(Have.format);
  SDL_CloseAudioDevice(Id);
  return Device;
}

}  // namespace

TAudioOutputs ListSdlOutputDevices(const TImageFormat& Image) {
  TAudioSession Session;
  if (!Session.Started())
    throw EAudioDevicesError("no audio driver could be started (" + Session.Error() + ")");
  TAudioOutputs Outputs;
  Outputs.Driver = SDL_GetCurrentAudioDriver();
  Outputs.Devices.push_back(Probe(nullptr, Image));
  const int Count = SDL_GetNumAudioDevices(0);
  for (int I = 0; I < Count; ++I) {
    // SDL's name string lives only until its list changes; opening a device may change it.
    const char* Listed = SDL_GetAudioDeviceName(I, 0);
    if (!Listed) continue;
    const std::string Name = Listed;
    Outputs.Devices.push_back(Probe(Name.c_str(), Image));
  }
  return Outputs;
}

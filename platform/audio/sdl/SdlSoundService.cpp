#include "platform/audio/sdl/SdlSoundService.h"

#include <cstdlib>
#include <iostream>
#include <new>
#include <thread>

#include "platform/audio/sdl/QuietStderr.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long after a fade was handed to the device a server may still be playing it.
constexpr std::chrono::milliseconds FadeLatency{FadedStreamHeardMilliseconds};

// What our own stream on a PulseAudio or PipeWire server asks it to hold, and to ask for at a
// time. The server runs its graph in pieces of about the request (PipeWire takes the request as
// the stream's latency), and when it asks, two requests are still queued: a client kept waiting
// 16 ms still fills in time. Measured on PipeWire at 48000 Hz: a tick reaches the monitor after a
// median of 16-22 ms (SDL's stream: 25 ms), with about 90 wake-ups a second (SDL's: 250).
constexpr unsigned PulseHoldMilliseconds = 24;
constexpr unsigned PulseRequestMilliseconds = 8;

// A lost server is looked for again at most this often, so that a sweep does not spin on it.
constexpr std::chrono::milliseconds RetryInterval{250};

// About 10 ms of frames (a power of two): short enough that a replaced tone stops promptly and
// a tick reaches the speaker soon, long enough for a busy machine to keep the buffer filled.
Uint16 BufferFrames(uint32_t Rate) {
  Uint16 Frames = 256;
  while (Frames < 4096 && Frames * 100u < Rate) Frames *= 2;
  return Frames;
}

// SDL 2.26 asks a PulseAudio or PipeWire server for one callback's buffer and refills it only
// once the server has taken all of it, so a refill is late whenever the machine keeps the
// client's threads waiting longer than the server's own few milliseconds: the server then plays
// silence, a click in a faded tone. A stream of faded voices asks the server, through libpulse's
// own setting, to hold FadedStreamMilliseconds instead, while the callback stays short. Measured
// at a load of 6 to 9 on two cores: no underruns, where SDL's buffer of 10 ms underran several
// times a second.
//
// libpulse reads PULSE_LATENCY_MSEC whenever a stream connects, SDL's or our own. A value the
// user set is left alone; otherwise the variable is set before every open, once added only
// overwritten (glibc keeps the old strings, so a concurrent getenv reads one or the other): for
// SDL's stream to what it should hold, for our own to 0, which libpulse ignores, so that what an
// earlier SDL stream asked for does not replace what ours asks.
bool UsersOwnLatency() {
  static const bool UsersOwn = std::getenv("PULSE_LATENCY_MSEC") != nullptr;
  return UsersOwn;
}

void AskStreamLatency(uint32_t Rate, bool Faded) {
  if (UsersOwnLatency()) return;
  const unsigned Milliseconds =
      Faded ? FadedStreamMilliseconds : (BufferFrames(Rate) * 1000u + Rate - 1) / Rate;
  setenv("PULSE_LATENCY_MSEC", std::to_string(Milliseconds).c_str(), 1);
}

void LeaveStreamLatency() {
  if (!UsersOwnLatency() && std::getenv("PULSE_LATENCY_MSEC")) setenv("PULSE_LATENCY_MSEC", "0", 1);
}

// The process may end just after a faded sound stopped (a sweep's last tick): the server drops
// what it still holds when the connection goes, so the end waits until the fade has been heard.
std::atomic<Clock::rep> LastFadeHeard{0};

void WaitForLastFade() {
  std::this_thread::sleep_until(Clock::time_point(Clock::duration(LastFadeHeard.load())));
}

std::string CurrentDriver() {
  const char* Driver = SDL_GetCurrentAudioDriver();
  return Driver ? Driver : "";
}

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
  if (!FDriver.empty()) {
    // The server went away: look for it again on its own driver, never on another one, and not
    // at every call while it is down.
    if (Clock::now() < FNextRetry) return false;
    FNextRetry = Clock::now() + RetryInterval;
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, FDriver.c_str(), SDL_HINT_OVERRIDE);
    {
      TQuietStderr Quiet;
      FInitialised = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return FInitialised;
  }
  bool Started;
  {
    TQuietStderr Quiet;
    Started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  }
  if (Started) {
    FInitialised = true;
    FDriver = CurrentDriver();
    return true;
  }
  FallBackToDummy(SDL_GetError());
  return FInitialised;
}

bool TSdlSoundService::DeviceOpen() const {
  return FDevice != 0 || FPulse;
}

bool TSdlSoundService::DevicePlaying() const {
  if (FPulse) return FPulse->Playing();
  return FDevice != 0 && SDL_GetAudioDeviceStatus(FDevice) == SDL_AUDIO_PLAYING;
}

bool TSdlSoundService::DeviceLost() const {
  if (FPulse) return !FPulse->Playing();
  return SDL_GetAudioDeviceStatus(FDevice) == SDL_AUDIO_STOPPED;
}

void TSdlSoundService::DropLostDevice() {
  if (!DeviceOpen() || FOnDummy || !DeviceLost()) return;
  // The voices keep their sounds: a looping tone goes on once the device is back.
  CloseDevice();
  FChain.reset();
  ++FLosses;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  FInitialised = false;
  FNextRetry = Clock::now();
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
  FDriver.clear();
}

bool TSdlSoundService::OpenDevice(const TWaveFormat& Format) {
  // Faded voices keep SDL's stream, whose half second the server asks for seldom anyway.
  if (!FOnDummy && !FFadedStream && CurrentDriver() == "pulseaudio") {
    LeaveStreamLatency();
    FPulse =
        TPulseOutput::Open(Format, PulseHoldMilliseconds, PulseRequestMilliseconds,
                           [this](uint8_t* Stream, std::size_t Length) { Fill(Stream, Length); });
    if (FPulse) {
      // The server converts nothing it is not asked to; the chain says what it runs at.
      FDeviceRate = Format.Rate;
      return true;
    }
  }
  FDevice = OpenSdlDevice(Format);
  return FDevice != 0;
}

SDL_AudioDeviceID TSdlSoundService::OpenSdlDevice(const TWaveFormat& Format) {
  TQuietStderr Quiet;
  SDL_AudioSpec Want{};
  Want.freq = int(Format.Rate);
  Want.format = SdlFormat(Format);
  Want.channels = uint8_t(Format.Channels);
  Want.samples = BufferFrames(Format.Rate);
  AskStreamLatency(Format.Rate, FFadedStream);
  Want.callback = &TSdlSoundService::Callback;
  Want.userdata = this;
  // A driver that runs lower than asked keeps its own rate, and the images are converted to it
  // here; one that runs higher gets the image's rate and raises it itself, which loses nothing.
  SDL_AudioSpec Have{};
  SDL_AudioDeviceID Device =
      SDL_OpenAudioDevice(nullptr, 0, &Want, &Have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
  if (Device == 0) return 0;
  if (Have.freq <= Want.freq) {
    FDeviceRate = unsigned(Have.freq);
    return Device;
  }
  SDL_CloseAudioDevice(Device);
  Device = SDL_OpenAudioDevice(nullptr, 0, &Want, nullptr, 0);
  if (Device != 0) FDeviceRate = Format.Rate;
  return Device;
}

void TSdlSoundService::CloseDevice() {
  if (!DeviceOpen()) return;
  // A server plays what it was handed some way behind and drops the rest when the stream goes: a
  // fade just handed over is heard to its end only while the device streams on.
  std::this_thread::sleep_until(FFadeHeard);
  FPulse.reset();
  if (FDevice != 0) SDL_CloseAudioDevice(FDevice);
  FDevice = 0;
  FDeviceRate = 0;
}

bool TSdlSoundService::EnsureDevice(const TWaveFormat& Format) {
  if (DeviceOpen() && FAskedFormat.SameStream(Format) && FOpenFaded == FFadedStream) return true;
  CloseDevice();
  if (!InitAudio()) return false;
  bool Opened = OpenDevice(Format);
  // A machine with no output at all plays silently on the dummy driver; one whose server went
  // away waits for it to come back.
  if (!Opened && !FOnDummy && !FHadDevice) {
    FallBackToDummy(SDL_GetError());
    if (FInitialised) Opened = OpenDevice(Format);
  }
  if (!Opened) return false;
  FHadDevice = !FOnDummy;
  FAskedFormat = Format;
  FOpenFaded = FFadedStream;
  FDeviceFormat = Format;
  FDeviceFormat.Rate = FDeviceRate;
  std::array<TSharedImage, SoundVoiceCount> Released;
  {
    std::lock_guard Guard(FLock);
    FEightBitMix = Format.Bits == 8;
    for (std::size_t Voice = 0; Voice < SoundVoiceCount; ++Voice)
      if (FVoices[Voice].Sounding() && !FVoices[Voice].Retarget(FDeviceFormat))
        Released[Voice] = FVoices[Voice].Stop();
  }
  FEnded.notify_all();
  // A device opens paused. From now on the callback runs, giving silence while no voice sounds.
  if (FPulse)
    FPulse->Start();
  else
    SDL_PauseAudioDevice(FDevice, 0);
  return true;
}

const TOutputChain& TSdlSoundService::Chain(unsigned ImageRate) {
  if (!FChain || FChainAsked != ImageRate) {
    const std::string Driver = CurrentDriver();
    if (Driver == "pulseaudio" || Driver == "pipewire") {
      if (!FWatch || !FWatch->Connected()) FWatch = TPulseWatch::Start();
    } else {
      FWatch.reset();
    }
    // Counted before asking: a change the asking itself set off is asked about once more.
    FChainChanges = FWatch ? FWatch->Changes() : 0;
    FChain = ProbeOutputChain(Driver, ImageRate, FDeviceRate);
    FChain->Losses = FLosses;
    FChainAsked = ImageRate;
  }
  return *FChain;
}

void TSdlSoundService::DropStaleChain() {
  if (FChain && FWatch && FWatch->Changes() != FChainChanges) FChain.reset();
}

bool TSdlSoundService::Prepare(TWaveFormat& Format) {
  DropLostDevice();
  DropStaleChain();
  if (!InitAudio()) return false;
  if (!FChain || FChainAsked != Format.Rate) {
    // ALSA is asked with the device closed, as hardware takes one opener at a time; a server is
    // asked with a stream open at the image's own rate, so that one able to switch has done so.
    if (CurrentDriver() == "alsa")
      CloseDevice();
    else if (!EnsureDevice(Format))
      return false;
    if (Chain(Format.Rate).Rate == 0) {
      // A server that does not answer is not played to blind; ALSA that will not say gets SDL's
      // word, as there is nothing else to go by.
      if (CurrentDriver() != "alsa" || !EnsureDevice(Format)) {
        FChain.reset();
        return false;
      }
      FChain->Rate = FDeviceRate;
    }
  }
  Format.Rate = FChain->CarriedRate(Format.Rate);
  return EnsureDevice(Format);
}

TOutputChain TSdlSoundService::Output(unsigned ImageRate) {
  DropLostDevice();
  DropStaleChain();
  if (FChain && FChainAsked == ImageRate) return *FChain;
  TWaveFormat Format = DeviceOpen() ? FAskedFormat : TWaveFormat{.Channels = 2, .Bits = 16};
  Format.Rate = ImageRate;
  const bool WasOpen = DeviceOpen();
  if (!Prepare(Format)) {
    TOutputChain None;
    None.Driver = FDriver;
    return None;
  }
  TOutputChain Answer = *FChain;
  // Asking opened the device; an idle program does not keep it streaming silence.
  if (!WasOpen && !AnySounding()) CloseDevice();
  return Answer;
}

bool TSdlSoundService::AnySounding() {
  std::lock_guard Guard(FLock);
  for (const TMixVoice& Voice : FVoices)
    if (Voice.Sounding()) return true;
  return false;
}

bool TSdlSoundService::AnyFading() {
  std::lock_guard Guard(FLock);
  for (const TMixVoice& Voice : FVoices)
    if (Voice.Fades()) return true;
  return false;
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
  if (!Image || !ParseWaveImage(Image->data(), Image->size(), Format)) return false;
  TWaveFormat Device = DeviceFormatFor(Format);
  FFadedStream = (Flags & SND_FADE) != 0 || AnyFading();
  if (!Prepare(Device)) return false;
  const bool Loop = (Flags & SND_LOOP) != 0;
  if (Device.Rate < Format.Rate) {
    try {
      Image = FConverted.Of(Image, Format, Device.Rate, Loop);
    } catch (const std::bad_alloc&) {
      return false;
    }
    if (!ParseWaveImage(Image->data(), Image->size(), Format)) return false;
  }
  uint64_t Sound;
  {
    std::lock_guard Guard(FLock);
    if (!FVoices[Voice].Start(Image, Format, Loop, FDeviceFormat, (Flags & SND_FADE) != 0))
      return false;
    Sound = FVoices[Voice].Sound();
  }
  if ((Flags & (SND_ASYNC | SND_LOOP)) == 0) {
    // A device that SDL stops (its server went) never ends the sound: stop waiting then.
    std::unique_lock Guard(FLock);
    while (!FEnded.wait_for(Guard, std::chrono::milliseconds(100),
                            [&] { return FVoices[Voice].Ended(Sound); }))
      if (DeviceLost()) break;
  }
  return true;
}

void TSdlSoundService::Stop(TSoundVoice Voice) {
  // The callback reads images only under the lock, so once the voice has been stopped under it
  // its image is no longer read; the other voices play on.
  TSharedImage Released;
  {
    std::unique_lock Guard(FLock);
    if (FVoices[Voice].Fades()) {
      FVoices[Voice].FadeOut();
      // The callback says when a fade has ended; a device that does not play (its server went)
      // never ends it. Otherwise the wait is bounded by what the server holds: until then the
      // server still plays the tone and a late callback fades it without a seam, whereas a voice
      // cut sooner ends in a step, a click (a busy machine here kept threads waiting up to
      // 670 ms, and froze whole for 100-130 ms at a time). Once the server has played all it
      // held the stream has run dry anyway, and cutting adds nothing.
      const auto Deadline =
          std::chrono::steady_clock::now() + std::chrono::milliseconds(FadedStreamMilliseconds);
      while (!FVoices[Voice].FadedOut() && DevicePlaying() &&
             FEnded.wait_until(Guard, Deadline) != std::cv_status::timeout) {
      }
      FFadeHeard = std::chrono::steady_clock::now() + FadeLatency;
      LastFadeHeard = FFadeHeard.time_since_epoch().count();
      static const bool WaitsAtExit = std::atexit(WaitForLastFade) == 0;
      static_cast<void>(WaitsAtExit);
    }
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
  Caps = SeparateChannelsCaps();
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
    for (TMixVoice& Voice : FVoices)
      Ended |= Voice.EndOfBuffer() || (Voice.Fades() && Voice.FadedOut());
  }
  if (Ended) FEnded.notify_all();
}

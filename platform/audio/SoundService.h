// The platform's sound service: plays in-memory RIFF/WAVE images on independent voices that the
// device hears mixed, stops them, and keeps each voice's own per-channel volume. The tone
// generator and the speaker's sound-card path each play on a voice of their own, so a looping
// tone sounds on while the speaker beeps beside it; tests replace the service with a recording
// fake.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/audio/OutputChain.h"
#include "platform/audio/WaveImage.h"

// Play flags, with the values the callers compute and record.
constexpr uint32_t SND_SYNC = 0x0000;
constexpr uint32_t SND_ASYNC = 0x0001;
constexpr uint32_t SND_MEMORY = 0x0004;
constexpr uint32_t SND_LOOP = 0x0008;
// The program's own: the sound fades in over FadeMilliseconds, and out over as long when it is
// stopped, replaced or (not looping) at its end, so that none of these clicks.
constexpr uint32_t SND_FADE = 0x00100000;
constexpr unsigned FadeMilliseconds = 4;

// Capability flag: 16-bit stereo at 11.025 kHz, taken as "left and right volumes are separate".
constexpr uint32_t WAVE_FORMAT_1S16 = 0x0008;
constexpr uint32_t WAVECAPS_LRVOLUME = 0x0008;

struct TWaveOutCaps {
  uint32_t dwFormats = 0;
  uint32_t dwSupport = 0;
  uint16_t wChannels = 0;
};

// What the real service offers: it applies each voice's volume per channel itself, so left and
// right are always separate.
constexpr TWaveOutCaps SeparateChannelsCaps() {
  return {WAVE_FORMAT_1S16, WAVECAPS_LRVOLUME, 2};
}
// A voice's volume word before anyone sets it: both channels at full level.
constexpr uint32_t FullVolume = 0xFFFFFFFF;

// The voices and their owners. Each plays one image at a time with its own loop flag and volume;
// every tone generator shares the tone voice, as they share one device volume.
enum TSoundVoice : uint8_t { svTone, svSpeaker };
constexpr std::size_t SoundVoiceCount = 2;

class ISoundService {
 public:
  virtual ~ISoundService() = default;
  // Plays Image (a RIFF/WAVE PCM image) on Voice, replacing what that voice played; the other
  // voices play on. Without SND_ASYNC it returns when the sound has ended; with SND_LOOP it
  // repeats until stopped or replaced. The service holds its own reference to the image for as
  // long as it may read it.
  [[nodiscard]] virtual bool PlayImage(TSoundVoice Voice, TSharedImage Image, uint32_t Flags) = 0;
  // Stops Voice; when it returns the voice's image is no longer read. A voice played with
  // SND_FADE is faded out first, which takes a device buffer or two.
  virtual void Stop(TSoundVoice Voice) = 0;
  // Volume word of a voice: low 16 bits left, high 16 bits right, each 0 (silent) to 0xFFFF.
  virtual bool SetVolume(TSoundVoice Voice, uint32_t Volume) = 0;
  virtual bool GetVolume(TSoundVoice Voice, uint32_t& Volume) = 0;
  virtual bool GetDevCaps(TSoundVoice Voice, TWaveOutCaps& Caps) = 0;
  // The chain that plays an image of ImageRate samples per second: the sound server and the rate
  // it runs at (0 when no output can be opened). An image above that rate is converted down by
  // the service itself before it plays. The real service opens its device at ImageRate first, so
  // that a server able to switch does, and keeps the answer until the server reports a change.
  virtual TOutputChain Output(unsigned ImageRate) = 0;
};

// The process-wide service: the real one (platform/audio/OnDemandSoundService.h) unless a test or
// caller installed another.
ISoundService& SoundService();
// Installs Service (not owned) as the process-wide service; nullptr restores the real one.
void SetSoundService(ISoundService* Service);
// The service installed with SetSoundService, or nullptr while the real one is in use.
ISoundService* InstalledSoundService();

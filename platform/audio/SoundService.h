// The platform's sound service: plays in-memory RIFF/WAVE images, stops them, and keeps the
// program's own per-channel output volume. The tone generator and the speaker's sound-card path
// call it; tests replace it with a recording fake.
#pragma once

#include <cstddef>
#include <cstdint>

// Play flags, with the values the callers compute and record.
constexpr uint32_t SND_SYNC = 0x0000;
constexpr uint32_t SND_ASYNC = 0x0001;
constexpr uint32_t SND_MEMORY = 0x0004;
constexpr uint32_t SND_LOOP = 0x0008;

// Capability flag: 16-bit stereo at 11.025 kHz, taken as "left and right volumes are separate".
constexpr uint32_t WAVE_FORMAT_1S16 = 0x0008;
constexpr uint32_t WAVECAPS_LRVOLUME = 0x0008;

struct TWaveOutCaps {
  uint32_t dwFormats = 0;
  uint32_t dwSupport = 0;
  uint16_t wChannels = 0;
};

class ISoundService {
 public:
  virtual ~ISoundService() = default;
  // Plays the image at Image (Size bytes, a RIFF/WAVE PCM image). Without SND_ASYNC it returns
  // when the sound has ended; with SND_LOOP it repeats until stopped or replaced. The image must
  // stay valid until Stop returns or another image replaces it.
  virtual bool PlayImage(const uint8_t* Image, std::size_t Size, uint32_t Flags) = 0;
  // Stops any sound this process started; when it returns the image is no longer read.
  virtual void Stop() = 0;
  // Volume word: low 16 bits left, high 16 bits right, each 0 (silent) to 0xFFFF (full).
  virtual bool SetVolume(uint32_t DeviceID, uint32_t Volume) = 0;
  virtual bool GetVolume(uint32_t DeviceID, uint32_t& Volume) = 0;
  virtual bool GetDevCaps(uint32_t DeviceID, TWaveOutCaps& Caps) = 0;
  // The rate the output device really runs at (0 when none is open yet).
  virtual unsigned DeviceRate() const = 0;
};

// The process-wide service: the real one unless a test or caller installed another.
ISoundService& SoundService();
// Installs Service (not owned) as the process-wide service; nullptr restores the real one.
void SetSoundService(ISoundService* Service);
// The service installed with SetSoundService, or nullptr while the real one is in use.
ISoundService* InstalledSoundService();

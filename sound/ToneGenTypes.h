// The tone generator's enumerations (one byte each) and its partial table.
#pragma once

#include <cstdint>

// A waveform byte above tgNoise can come from a stored table; it renders as noise.
enum TTGWave : uint8_t { tgSine = 0, tgSquare = 1, tgTriangle = 2, tgSawtooth = 3, tgNoise = 4 };
enum TTGResolution : uint8_t { tg16Bit = 0, tg8Bit = 1 };
enum TTGQuality : uint8_t { tgHiQ = 0, tgLoQ = 1 };
enum TTGAMLevel : uint8_t {
  tgAMLevel1 = 0,
  tgAMLevel2,
  tgAMLevel3,
  tgAMLevel4,
  tgAMLevel5,
  tgAMLevel6,
  tgAMLevel7,
  tgAMLevel8
};

constexpr int AMRowCount = 8;

// The added partials: amplitude in percent, waveform, and a frequency that is a multiplier of
// the main frequency or an absolute frequency, depending on AMUseMultiplier.
struct TAMTable {
  int16_t Amplitudes[AMRowCount] = {};
  TTGWave Waveforms[AMRowCount] = {};
  float Frequencies[AMRowCount] = {};
  bool operator==(const TAMTable&) const = default;
};

// Everything a build reads from the component.
struct TToneSettings {
  int32_t Frequency = 440;
  int16_t Duration = 100;
  TTGWave Waveform = tgSine;
  TTGResolution Resolution = tg16Bit;
  TTGQuality Quality = tgHiQ;
  bool Stereo = false;
  bool AMUseMultiplier = true;
  // Periodic waveforms from their harmonics below half the rate, so nothing folds back.
  bool BandLimited = false;
  // Only what lies at or above 20 kHz, 16-bit at 96000 Hz (sound/UltrasoundTone.h).
  bool UltrasoundOnly = false;
  TAMTable AM;
  bool operator==(const TToneSettings&) const = default;
};

struct TEnvelopeSettings {
  int16_t Attack = 10;
  int16_t Hold = 5;
  int16_t Decay = 20;
  int16_t Sustain = 50;
  int16_t Release = 30;
  bool operator==(const TEnvelopeSettings&) const = default;
};

// Wave image synthesis: the image's format, the partial list, rendering each partial into the
// samples with wrap-around addition, and the attack-hold-decay-sustain-release envelope.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio/WaveImage.h"
#include "sound/ToneGenTypes.h"

// Bytes after the samples, which the last frame of a partial may reach into.
constexpr std::size_t WaveSpareSize = 32;

struct TPartial {
  int64_t Amplitude;  // percent of full scale
  int64_t Frequency;  // hertz
  TTGWave Waveform;
  bool BandLimited = false;  // rendered by TBandLimitedPartial (sound/BandLimited.h)
};

// The component's own random sequence, so a build never disturbs anyone else's.
class TToneNoise {
 public:
  // An integer in 0..Range-1.
  uint32_t Random(uint32_t Range) {
    FState = FState * 134775813u + 1u;
    return uint32_t((uint64_t(FState) * Range) >> 32);
  }
  // Moves on as Count draws would, in a few steps however large Count is: the step is an affine
  // map, and its powers are composed by squaring.
  void Skip(uint64_t Count) {
    uint32_t Factor = 134775813u, Term = 1u;
    for (; Count != 0; Count >>= 1) {
      if (Count & 1) FState = FState * Factor + Term;
      Term = Term * Factor + Term;
      Factor *= Factor;
    }
  }

 private:
  uint32_t FState = 1;
};

inline int SampleRate(TTGQuality Quality) {
  return Quality == tgHiQ ? 96000 : 44100;
}
inline int SampleBytes(TTGResolution Resolution) {
  return Resolution == tg16Bit ? 2 : 1;
}
inline uint8_t FillByte(TTGResolution Resolution) {
  return Resolution == tg16Bit ? 0x00 : 0x80;
}

// Adds D to the frame at Out with wrap-around (no saturation); a stereo frame's right channel
// becomes a copy of its new left one.
template <bool SixteenBit, bool Stereo>
inline void AddToFrame(uint8_t* Out, int64_t D) {
  if constexpr (SixteenBit) {
    const uint16_t Sample = uint16_t((Out[0] | Out[1] << 8) + D);
    Out[0] = uint8_t(Sample);
    Out[1] = uint8_t(Sample >> 8);
    if constexpr (Stereo) {
      Out[2] = Out[0];
      Out[3] = Out[1];
    }
  } else {
    Out[0] = uint8_t(Out[0] + D);
    if constexpr (Stereo) Out[1] = Out[0];
  }
}

// Bytes of sample data; not rounded to whole frames.
int64_t ToneDataSize(const TToneSettings& Settings);
// The rate, channels and bits of the image Settings build.
TWaveFormat ToneWaveFormat(const TToneSettings& Settings);
// The main tone followed by the eight rows, amplitudes scaled when the rows exceed 100 %.
std::vector<TPartial> TonePartials(const TToneSettings& Settings);
// Scales the frames First to First + Count - 1 of a tone of DataSize bytes by the envelope; Out
// holds those frames. A frame that the data holds only in part is left as it is.
void ApplyEnvelope(uint8_t* Out, int64_t First, int64_t Count, int64_t DataSize, bool Stereo,
                   TTGResolution Resolution, const TEnvelopeSettings& Envelope);
// Truncates toward zero, for values known to fit; the synthesis truncates every sample this way.
inline int64_t Trunc(double Value) {
  return int64_t(std::trunc(Value));
}
// Truncates toward zero; NaN gives 0 and values beyond ±2^62 saturate, so a stored table's
// float can never overflow the integer it becomes.
int64_t TruncSaturated(double Value);

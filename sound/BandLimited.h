// Band-limited synthesis: the periodic waveforms built from their harmonics below half the
// image's sample rate, so that nothing folds back into the audible band. Beside the plain
// synthesis, never instead of it.
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/ToneGenSynth.h"
#include "sound/ToneGenTypes.h"

// How many harmonics of Hertz lie below half of Rate; 0 when the tone itself does not.
int64_t HarmonicsBelowHalfRate(int64_t Hertz, int Rate);

// Bin K of the inverse transform for the waveform's harmonic K, up to a common factor: each
// shape starts where the plain one does (the square and the ramps low, the sine rising).
std::complex<double> HarmonicBin(TTGWave Waveform, int64_t K);

// Sets Cycle to one cycle of Waveform from harmonics 1 to Harmonics, at Size points (a power
// of two) plus a copy of the first point at the end, scaled so that its peak magnitude is 1.
// Each harmonic is raised by what reading the cycle with linear interpolation takes away.
void BandLimitedCycle(TTGWave Waveform, int64_t Harmonics, std::size_t Size,
                      std::vector<double>& Cycle);

// A sine, square, triangle or sawtooth partial as its harmonics below half the rate, with the
// plain partial's peak level, added with wrap-around. The phase of every frame is exact (whole
// frames times the frequency, modulo the rate), so the tone neither drifts nor jitters, and any
// run of frames can be rendered on its own.
class TBandLimitedPartial {
 public:
  TBandLimitedPartial(const TPartial& Partial, TTGResolution Resolution, TTGQuality Quality,
                      bool Stereo);
  // False for a partial at or above half the rate, which adds nothing.
  bool Sounds() const { return !FCycle.empty(); }
  // Adds frames First to First + Count - 1 into Out, which holds them.
  void Add(uint8_t* Out, int64_t First, int64_t Count) const;

 private:
  std::vector<double> FCycle;
  double FPeak = 0;
  int64_t FHertz;
  int FRate;
  bool FSixteenBit, FStereo;
};

// Whether band-limited synthesis leaves Partial out: a sounding sine, square, triangle or
// sawtooth at or above half the rate. Noise is never left out.
bool LeftOutWhenBandLimited(const TPartial& Partial, TTGQuality Quality);

// The frequencies of the partials that band-limited synthesis leaves out, in partial order;
// empty for plain and ultrasound-only synthesis.
std::vector<int64_t> PartialsLeftOut(const TToneSettings& Settings);

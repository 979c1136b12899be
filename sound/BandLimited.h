// Band-limited synthesis: the periodic waveforms built from their harmonics below half the
// image's sample rate, so that nothing folds back into the audible band. Beside the plain
// synthesis, never instead of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/ToneGenSynth.h"
#include "sound/ToneGenTypes.h"

// How many harmonics of Hertz lie below half of Rate; 0 when the tone itself does not.
int64_t HarmonicsBelowHalfRate(int64_t Hertz, int Rate);

// Sets Cycle to one cycle of Waveform from harmonics 1 to Harmonics, at Size points (a power
// of two) plus a copy of the first point at the end, scaled so that its peak magnitude is 1.
// Each harmonic is raised by what reading the cycle with linear interpolation takes away.
void BandLimitedCycle(TTGWave Waveform, int64_t Harmonics, std::size_t Size,
                      std::vector<double>& Cycle);

// Adds a sine, square, triangle or sawtooth partial into the DataSize bytes at Data as its
// harmonics below half the rate, with the plain partial's peak level and wrap-around addition.
// The phase of every frame is exact (whole frames times the frequency, modulo the rate), so the
// tone neither drifts nor jitters. A partial at or above half the rate adds nothing.
void RenderBandLimited(uint8_t* Data, int64_t DataSize, const TPartial& Partial,
                       TTGResolution Resolution, TTGQuality Quality, bool Stereo);

// Whether band-limited synthesis leaves Partial out: a sounding sine, square, triangle or
// sawtooth at or above half the rate. Noise is never left out.
bool LeftOutWhenBandLimited(const TPartial& Partial, TTGQuality Quality);

// The frequencies of the partials that band-limited synthesis leaves out, in partial order;
// empty for plain synthesis.
std::vector<int64_t> PartialsLeftOut(const TToneSettings& Settings);

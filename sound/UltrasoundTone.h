// Ultrasound-only synthesis: what a tone holds above 20 kHz and nothing else, for playing a
// band above hearing without the audible sound the plain synthesis carries with it. Always 16-bit
// at 96000 samples per second. Every partial is made whole in the frequency domain over the
// tone's own length, so one loop of the image holds whole cycles and its seam is smooth: a sine,
// square, triangle or sawtooth partial from its harmonics below half the rate, at the nearest
// frequency that fills the loop with whole cycles (within 500 / Duration hertz); noise as the
// plain noise with everything below 20.5 kHz taken out, peaking where the plain noise does.
// Partials below 20.5 kHz are left out. The
// service fades each such tone in and out (SND_FADE), so its start, its stop and a tick change
// do not click.
#pragma once

#include <cstdint>
#include <vector>

#include "sound/ToneGenSynth.h"

constexpr int UltrasoundRate = 96000;
constexpr int64_t HearingLimit = 20000;  // hertz: where the audible band ends
// The lowest frequency ultrasound only plays: a tone closer to 20 kHz would spill below it as it
// fades in and out and follows its envelope.
constexpr int64_t UltrasoundFloor = 20500;

// Whether ultrasound-only synthesis keeps Partial: noise, and a sounding partial from 20.5 kHz to
// below half the rate. One that adds nothing anyway (no amplitude, no frequency) is not "kept".
bool KeptForUltrasound(const TPartial& Partial);
// The frequencies of the sounding partials below 20.5 kHz that it leaves out, main tone first.
std::vector<int64_t> UltrasoundLeftOut(const TToneSettings& Settings);

// The Frames frames of the partials (one channel, in 16-bit sample units, unclipped), as one loop
// of the tone. Noise draws from Noise as the plain synthesis does, one draw per frame.
std::vector<double> UltrasoundFrames(const std::vector<TPartial>& Partials, int64_t Frames,
                                     TToneNoise& Noise);

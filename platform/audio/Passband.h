// The edge of the program's own rate conversion (platform/audio/sdl/ImageResampler.h), known
// without loading the converter, so that what an output carries can be told by a command that
// plays nothing.
#pragma once

// libsoxr's passband end at its very high quality, as a fraction of half the output's rate
// (soxr_quality_spec(SOXR_VHQ, 0).passband_end); the converter's tests check that they agree.
constexpr double ConverterPassbandEnd = 0.91132831989516627;

// The highest frequency the converter passes unharmed into a stream of Rate samples per second
// (about 21.9 kHz at 48000); above it the converter's filter falls away to nothing at Rate/2.
constexpr double PassbandEdge(unsigned Rate) {
  return ConverterPassbandEnd * Rate / 2.0;
}

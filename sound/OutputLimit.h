// What the sound card's output can carry of a tone. An output that runs below the image's rate
// gets the image converted down by the program, whose filter passes everything up to its
// passband edge (about 21.9 kHz at 48000) and removes the rest; a tone whose main frequency lies
// at or above that edge cannot be carried and is not played at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/audio/OutputChain.h"

struct TOutputLimit {
  TOutputChain Chain;
  unsigned Rate = 0;  // the rate the image is carried at, below its own
  double Edge = 0;    // nothing at or above this many hertz is carried
  bool Carries(int64_t Hertz) const { return Hertz < Edge; }
  // "the output (PipeWire, graph at 48000 Hz (allowed: 48000)) carries nothing at or above
  // 21.9 kHz"
  std::string Text() const;
};

// The limit of Chain for an image of ImageRate, or nullopt when the chain carries the image at
// its own rate (then only half that rate limits it, as the image itself does).
std::optional<TOutputLimit> OutputLimit(const TOutputChain& Chain, unsigned ImageRate);
// The same for the process-wide sound service's output; asking may open the device.
std::optional<TOutputLimit> CurrentOutputLimit(unsigned ImageRate);
// "21.9 kHz"
std::string KilohertzText(double Hertz);

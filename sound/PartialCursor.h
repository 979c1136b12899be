// One partial of a tone, rendered a run of frames at a time in frame order: each call goes on
// where the last one ended, so a tone can be made in blocks with the bytes of a whole build.
#pragma once

#include <cstdint>
#include <memory>

#include "sound/ToneGenSynth.h"

class TPartialCursor {
 public:
  virtual ~TPartialCursor() = default;
  // The next Count frames into Out: written over whatever Out holds when Write is set (the first
  // partial of the tone; the image is not filled first), else added with wrap-around.
  virtual void Render(uint8_t* Out, int64_t Count, bool Write) = 0;
};

// The cursor of Partial, or none for a partial that adds nothing (no amplitude, no frequency, a
// zero divisor, a band-limited one at or above half the rate). A noise partial draws from Noise,
// which it takes as it is and moves on by every frame of the tone at once, so that the next
// noise partial starts where this one's draws end.
std::unique_ptr<TPartialCursor> MakePartialCursor(const TPartial& Partial,
                                                  const TToneSettings& Settings, int64_t Frames,
                                                  TToneNoise& Noise);

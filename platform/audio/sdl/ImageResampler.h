// The program's own rate conversion of a wave image, for an output that runs below the image's
// rate: libsoxr at very high quality, so everything at or above half the output's rate is
// removed instead of folding back into the audible band as a server's resampler lets it.
#pragma once

#include "platform/audio/WaveImage.h"

// The passband end libsoxr states for the quality the converter works at, as a fraction of half
// the output's rate; platform/audio/Passband.h holds it for those that do not load the converter.
double ConverterPassband();

// Image (whose format is Format) at Rate samples per second, lower than its own. A looping
// image is converted as the loop it plays as, its end running on into its start, so the loop
// point gains no click; otherwise silence lies before and after it. Throws std::bad_alloc when
// there is no memory for it.
TSharedImage ConvertImageRate(const TSharedImage& Image, const TWaveFormat& Format, unsigned Rate,
                              bool Loop);

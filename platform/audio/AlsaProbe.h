// The rate ALSA's default device really takes, with ALSA's own resampling off: the plug layer
// that SDL opens accepts any rate and resamples quietly, which hides what the hardware (or the
// plug's fixed slave rate) runs at. libasound is loaded when first asked for.
#pragma once

#include <optional>

// The supported rate nearest Asked on the "default" PCM opened without automatic resampling;
// nullopt when libasound cannot be loaded or the device cannot be opened.
std::optional<unsigned> QueryAlsaRate(unsigned Asked);

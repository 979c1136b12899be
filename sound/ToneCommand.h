// The headless "tone" command.
#pragma once

#include <string>
#include <vector>

#include "sound/ToneSpectrum.h"

// WriteSpectrum draws --spectrum's picture; without one that option is refused.
int ToneCommand(const std::vector<std::string>& Args, const TSpectrumWriter& WriteSpectrum = {});

// The headless "devices" command.
#pragma once

#include <string>
#include <vector>

#include "platform/audio/AudioDevices.h"

int DevicesCommand(const std::vector<std::string>& Args);
// One output's line: its name, what it opens at, and whether it plays the image at the image's
// own rate, resamples it, or runs below it.
std::string DescribeOutput(const TOutputDevice& Device, const TImageFormat& Image);

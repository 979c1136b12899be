// The sound card outputs as SDL sees them (platform/audio/AudioDevices.h): the audio module's
// side of ListOutputDevices.
#pragma once

#include "platform/audio/AudioDevices.h"

// Opens and closes each output in turn; nothing is played. Throws EAudioDevicesError when no
// audio driver starts.
TAudioOutputs ListSdlOutputDevices(const TImageFormat& Image);

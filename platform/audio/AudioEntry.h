// The entry points of the audio module (tessolon-audio.so), which holds everything that links SDL2
// and libsoxr (platform/audio/sdl), so that a command that plays nothing loads neither. Unlike the
// windows module's, they hand over the sound service itself: an object of the abstract interface
// both sides compile from one header, with standard-library values (the program and the module
// share one C++ library); no exception of the program's own crosses between the two.
#pragma once

#include <cstddef>

#include "platform/audio/AudioDevices.h"
#include "platform/audio/SoundService.h"

extern "C" {

// The module's sound service on SDL2, made at the first call and kept for the process.
ISoundService* tessolon_audio_service();
// Fills Outputs as ListOutputDevices says: 0 when listed, else 1 with the reason in Error (cut to
// ErrorSize bytes, zero included).
int tessolon_audio_list_outputs(const TImageFormat* Image, TAudioOutputs* Outputs, char* Error,
                                std::size_t ErrorSize);
}

// The audio module's entry points (platform/audio/AudioEntry.h). Compiled into the module, and
// into tessolon_audio_linked for the programs that carry the SDL output themselves.
#include <algorithm>
#include <cstring>

#include "platform/audio/AudioEntry.h"
#include "platform/audio/sdl/SdlAudioDevices.h"
#include "platform/audio/sdl/SdlSoundService.h"

extern "C" {

ISoundService* tessolon_audio_service() {
  // Deliberately never destroyed: components stop their sounds from their own destructors,
  // which may run during static destruction after any function-local static would be gone.
  static TSdlSoundService* Service = new TSdlSoundService();
  return Service;
}

int tessolon_audio_list_outputs(const TImageFormat* Image, TAudioOutputs* Outputs, char* Error,
                                std::size_t ErrorSize) {
  try {
    *Outputs = ListSdlOutputDevices(*Image);
    return 0;
  } catch (const std::exception& E) {
    if (ErrorSize == 0) return 1;
    const std::size_t Length = std::min(std::strlen(E.what()), ErrorSize - 1);
    std::memcpy(Error, E.what(), Length);
    Error[Length] = '\0';
    return 1;
  }
}
}

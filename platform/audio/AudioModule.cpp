#include "platform/audio/AudioModule.h"

#include <memory>
#include <string>

#include "platform/core/Exceptions.h"
#include "platform/core/ProgramModule.h"

namespace {

// Constant-initialised, so that LinkAudioBackend may run before any other static of the program.
constinit TAudioBackend Linked;

struct TLoadedBackend {
  std::unique_ptr<TDynamicLibrary> Module;
  TAudioBackend Backend;
  std::string Missing;  // why the module could not be had
};

TLoadedBackend LoadBackend() {
  TLoadedBackend Loaded;
  try {
    Loaded.Module = LoadProgramModule("tessolon-audio.so", "audio");
    Loaded.Backend.Service =
        Loaded.Module->Function<decltype(tessolon_audio_service)>("tessolon_audio_service");
    Loaded.Backend.ListOutputs = Loaded.Module->Function<decltype(tessolon_audio_list_outputs)>(
        "tessolon_audio_list_outputs");
  } catch (const Exception& E) {
    Loaded.Missing = E.what();
  }
  return Loaded;
}

}  // namespace

void LinkAudioBackend(const TAudioBackend& Backend) {
  Linked = Backend;
}

const TAudioBackend& AudioBackend() {
  if (Linked.Service) return Linked;
  static const TLoadedBackend Loaded = LoadBackend();
  if (!Loaded.Missing.empty()) throw Exception(Loaded.Missing);
  return Loaded.Backend;
}

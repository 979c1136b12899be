// The program's side of the audio module: its entry points, found at the first need and kept for
// the process. A program that carries the SDL output itself (the test suites and the tick-latency
// benchmark link tessolon_audio_linked) uses that instead of loading the module.
#pragma once

#include "platform/audio/AudioEntry.h"

struct TAudioBackend {
  decltype(&tessolon_audio_service) Service = nullptr;
  decltype(&tessolon_audio_list_outputs) ListOutputs = nullptr;
};

// Uses Backend instead of the module; called before main by the linked SDL output.
void LinkAudioBackend(const TAudioBackend& Backend);

// The linked backend, else the module's. Throws Exception when the module is missing or cannot
// be loaded (the same reason each time: it is tried once).
const TAudioBackend& AudioBackend();

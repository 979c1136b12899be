// Makes a program that links the SDL output (tessolon_audio_linked) use it instead of loading the
// audio module: the test suites and the tick-latency benchmark, which do not run beside it.
#include "platform/audio/AudioModule.h"

namespace {

[[maybe_unused]] const bool Linked = [] {
  LinkAudioBackend({&tessolon_audio_service, &tessolon_audio_list_outputs});
  return true;
}();

}  // namespace

#include "platform/audio/AlsaProbe.h"

#include <alsa/asoundlib.h>

#include "platform/core/DynamicLibrary.h"

namespace {

struct TAlsaLibrary {
  TDynamicLibrary Library{"libasound.so.2"};
#define ALSA_FUNCTION(Name) decltype(&::Name) Name = Library.Function<decltype(::Name)>(#Name)
  ALSA_FUNCTION(snd_pcm_open);
  ALSA_FUNCTION(snd_pcm_close);
  ALSA_FUNCTION(snd_pcm_hw_params_malloc);
  ALSA_FUNCTION(snd_pcm_hw_params_free);
  ALSA_FUNCTION(snd_pcm_hw_params_any);
  ALSA_FUNCTION(snd_pcm_hw_params_set_rate_near);
  ALSA_FUNCTION(snd_lib_error_set_handler);
#undef ALSA_FUNCTION
};

// ALSA reports a missing device on stderr as well as in its result; the result is enough.
void Quiet(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

std::optional<unsigned> QueryAlsaRate(unsigned Asked) {
  const TAlsaLibrary* A = LoadedOnce<TAlsaLibrary>();
  if (!A) return std::nullopt;
  A->snd_lib_error_set_handler(Quiet);
  snd_pcm_t* Pcm = nullptr;
  // Non-blocking, so a device another program holds answers at once instead of waiting.
  if (A->snd_pcm_open(&Pcm, "default", SND_PCM_STREAM_PLAYBACK,
                      SND_PCM_NONBLOCK | SND_PCM_NO_AUTO_RESAMPLE) < 0)
    return std::nullopt;
  std::optional<unsigned> Rate;
  snd_pcm_hw_params_t* Params = nullptr;
  if (A->snd_pcm_hw_params_malloc(&Params) == 0) {
    unsigned Near = Asked;
    if (A->snd_pcm_hw_params_any(Pcm, Params) >= 0 &&
        A->snd_pcm_hw_params_set_rate_near(Pcm, Params, &Near, nullptr) >= 0)
      Rate = Near;
    A->snd_pcm_hw_params_free(Params);
  }
  A->snd_pcm_close(Pcm);
  A->snd_lib_error_set_handler(nullptr);
  return Rate;
}

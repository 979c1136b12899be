// Tone generator speed: one sweep tick's image (target: under 1 ms) and the longest, richest
// image the settings allow.
#include <benchmark/benchmark.h>

#include "platform/audio/RecordingSoundService.h"
#include "sound/ToneGen.h"

namespace {

// Builds only: the recording service would copy every image it is handed.
class TSilentService : public TRecordingSoundService {
 public:
  void Stop(TSoundVoice) override {}
  bool SetVolume(TSoundVoice, uint32_t) override { return true; }
};

void Configure(TToneGen& Tone, int Duration, int Rows) {
  Tone.SetDuration(Duration);
  Tone.SetQuality(tgHiQ);
  Tone.SetResolution(tg16Bit);
  Tone.SetStereo(true);
  Tone.SetFrequency(18000);
  for (int Row = 0; Row < Rows; ++Row)
    Tone.SetAMParameter(TTGAMLevel(Row), int16_t(Rows == 1 ? 30 : 10), 0.3f + 0.4f * Row,
                        TTGWave(Row % 5));
}

void BM_SweepTick(benchmark::State& State) {
  TSilentService Service;
  TScopedSoundService Install(Service);
  TToneGen Tone(nullptr);
  Configure(Tone, 150, 1);
  const bool Envelope = State.range(0) != 0;
  int Step = 0;
  for (auto _ : State) {
    Tone.SetFrequency(18000 + (Step++ % 100) * 10);  // every tick is a new frequency
    benchmark::DoNotOptimize(Envelope ? Tone.PrepareADSR() : Tone.Prepare());
  }
  State.SetLabel(Envelope ? "150 ms, 96 kHz, 16 bit, stereo, 2 partials, envelope"
                          : "150 ms, 96 kHz, 16 bit, stereo, 2 partials");
}
BENCHMARK(BM_SweepTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_LongestImage(benchmark::State& State) {
  TSilentService Service;
  TScopedSoundService Install(Service);
  TToneGen Tone(nullptr);
  Configure(Tone, 32767, 8);
  for (auto _ : State) {
    Tone.SetFrequency(18000);
    benchmark::DoNotOptimize(Tone.PrepareADSR());
  }
  State.SetLabel("32767 ms, 96 kHz, 16 bit, stereo, 9 partials, envelope");
}
BENCHMARK(BM_LongestImage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Tone generator speed: one sweep tick's image (target: under 1 ms), the same tick band-limited
// at frequencies across the whole range (target: under 2 ms at every one), and the longest,
// richest image the settings allow.
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

// Sawtooths have every harmonic, so they are the costliest band-limited waveform; at 20 Hz the
// tone has 2399 harmonics below 48 kHz. The partial at 0.3 times the tone is held at 20 Hz or
// more by the component.
void BM_BandLimitedSweepTick(benchmark::State& State) {
  TSilentService Service;
  TScopedSoundService Install(Service);
  TToneGen Tone(nullptr);
  Configure(Tone, 150, 1);
  Tone.SetWaveform(tgSawtooth);
  Tone.SetAMParameter(tgAMLevel1, 30, 0.3f, tgSawtooth);
  Tone.SetBandLimited(true);
  const int64_t Hertz = State.range(0);
  int Step = 0;
  for (auto _ : State) {
    Tone.SetFrequency(Hertz + (Step++ % 10));  // every tick is a new frequency
    benchmark::DoNotOptimize(Tone.Prepare());
  }
  State.SetLabel("150 ms, 96 kHz, 16 bit, stereo, 2 sawtooth partials, band-limited");
}
BENCHMARK(BM_BandLimitedSweepTick)
    ->ArgName("Hz")
    ->Apply([](benchmark::internal::Benchmark* B) {
      for (int Hertz : {20, 30, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 15000, 20000, 30000,
                        40000, 47990, 50000})
        B->Arg(Hertz);
    })
    ->Unit(benchmark::kMicrosecond);

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

// Loads arbitrary bytes as the tone generator's stored partial table (AMArrayData). A table that
// loads must store back to bytes that load to the same table, and every partial it holds, however
// odd its amplitude, waveform or frequency, must synthesise without fault with and without the
// envelope.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/audio/RecordingSoundService.h"
#include "sound/ToneGen.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static TRecordingSoundService Service;
  static TScopedSoundService Install(Service);
  TToneGen Tone(nullptr);
  try {
    Tone.ReadAMArrayData(TBytes(Data, Data + Size));
  } catch (const EToneGenError&) {
    return 0;  // refused with a message
  }
  TToneGen Copy(nullptr);
  Copy.ReadAMArrayData(Tone.WriteAMArrayData());
  if (Copy.WriteAMArrayData() != Tone.WriteAMArrayData()) {
    std::fprintf(stderr, "partial table changed on its way back\n");
    std::abort();
  }
  // Short tones keep each run quick; the two rates, both resolutions and stereo take turns.
  Tone.SetDuration(8);
  Tone.SetFrequency(Size > 0 ? 200 + Data[Size - 1] * 100 : 440);
  Tone.SetQuality(Size % 2 ? tgHiQ : tgLoQ);
  Tone.SetResolution(Size % 3 ? tg16Bit : tg8Bit);
  Tone.SetStereo(Size % 5 == 0);
  for (bool UseMultiplier : {true, false}) {
    Tone.SetAMUseMultiplier(UseMultiplier);
    // Whether a tone gets built matters less here than that building never goes wrong.
    static_cast<void>(Tone.Prepare());
    static_cast<void>(Tone.PrepareADSR());
  }
  Service.Clear();
  return 0;
}

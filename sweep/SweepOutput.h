// The sweep's real outputs: the tone generator on the sound card and the PC speaker.
#pragma once

#include "sweep/Sweep.h"

class TToneGen;

class TToneGenOutput : public ISweepOutput {
 public:
  explicit TToneGenOutput(TToneGen& ToneGen) : FToneGen(ToneGen) {}

  void SetWaveform(TTGWave Value) override;
  void SetStereo(bool Value) override;
  void SetLeftVolume(int Value) override;
  void SetRightVolume(int Value) override;
  void SetAMAmplitude(int Value) override;
  void SetDuration(int Milliseconds) override;
  void SoundCardTone(int Frequency, bool ADSR) override;
  void SoundCardStop() override;
  void SpeakerTone(int Frequency, int Milliseconds) override;
  void SpeakerSilence() override;

 protected:
  // Builds the tone's image without playing it; throws Exception when it could not be built.
  void BuildTone(int Frequency, bool ADSR);
  TToneGen& FToneGen;
};

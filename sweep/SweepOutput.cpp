#include "sweep/SweepOutput.h"

#include "platform/core/Exceptions.h"
#include "sound/Bleeper.h"
#include "sound/ToneGen.h"

void TToneGenOutput::SetWaveform(TTGWave Value) {
  FToneGen.SetWaveform(Value);
}
void TToneGenOutput::SetStereo(bool Value) {
  FToneGen.SetStereo(Value);
}
void TToneGenOutput::SetLeftVolume(int Value) {
  FToneGen.SetLeftVolume(Value);
}
void TToneGenOutput::SetRightVolume(int Value) {
  FToneGen.SetRightVolume(Value);
}
void TToneGenOutput::SetAMAmplitude(int Value) {
  FToneGen.SetAMAmplitude(Value);
}
void TToneGenOutput::SetDuration(int Milliseconds) {
  FToneGen.SetDuration(Milliseconds);
}

void TToneGenOutput::BuildTone(int Frequency, bool ADSR) {
  FToneGen.SetFrequency(Frequency);
  if (!(ADSR ? FToneGen.PrepareADSR() : FToneGen.Prepare()))
    throw Exception("The tone at " + std::to_string(Frequency) + " Hz could not be built");
}

void TToneGenOutput::SoundCardTone(int Frequency, bool ADSR) {
  BuildTone(Frequency, ADSR);
  if (ADSR)
    FToneGen.PlayADSR();
  else
    FToneGen.Play();
}

void TToneGenOutput::SoundCardStop() {
  FToneGen.Stop();
}

void TToneGenOutput::SpeakerTone(int Frequency, int Milliseconds) {
  // The whole position goes to the speaker; a negative one reads as a huge frequency.
  ::SpeakerTone(static_cast<uint32_t>(Frequency), Milliseconds);
}

void TToneGenOutput::SpeakerSilence() {
  ::SpeakerSilence();
}

#include "sound/ToneGen.h"

#include <algorithm>
#include <cstring>

#include "platform/audio/SoundService.h"
#include "platform/core/ByteOrder.h"
#include "sound/ToneGenNotes.h"
#include "sound/ToneGenSynth.h"

namespace {

int32_t GInstanceCount = 0;
uint32_t GSavedVolume = 0;

// Out-of-range values are clamped silently; a build without a form designer shows no message.
int64_t ClampValue(int64_t Min, int64_t Max, int64_t Value) {
  return std::clamp(Value, Min, Max);
}

int16_t Percent(int64_t Value) {
  return int16_t(ClampValue(0, 100, Value));
}

std::size_t Row(TTGAMLevel Level) {
  if (Level > tgAMLevel8) throw ERangeError("Partial row must be between 1 and 8");
  return Level;
}

const std::vector<std::string> StoredWaveNames{"tgSine", "tgSquare", "tgTriangle", "tgSawtooth",
                                               "tgNoise"};

}  // namespace

TToneGen::TToneGen(TComponent* AOwner) : TComponent(AOwner) {
  ResetAM();
  FAMAmplitude = FAM.Amplitudes[0];
  FAMWaveform = FAM.Waveforms[0];
  FAMFrequency = FAM.Frequencies[0];
  std::fill(std::begin(FAMNoteOctave), std::end(FAMNoteOctave), FNoteOctave);
  if (GInstanceCount == 0 && !Designing()) {
    GSavedVolume = ReadDeviceVolume();
    ApplyVolume();
  }
  ++GInstanceCount;
}

TToneGen::~TToneGen() {
  Stop();
  FImage.reset();
  if (--GInstanceCount == 0 && !Designing()) SoundService().SetVolume(svTone, GSavedVolume);
}

int32_t TToneGen::InstanceCount() {
  return GInstanceCount;
}
uint32_t TToneGen::SavedVolume() {
  return GSavedVolume;
}

void TToneGen::SetFrequency(int64_t Value) {
  FFrequency = int32_t(ClampValue(20, 50000, Value));
  FWaveChanged = true;
}

void TToneGen::SetDuration(int64_t Value) {
  FDuration = int16_t(ClampValue(10, 32767, Value));
  FWaveChanged = true;
}

void TToneGen::SetWaveform(TTGWave Value) {
  FWaveform = Value;
  FWaveChanged = true;
}

void TToneGen::SetEnvelopeValue(int16_t& Field, int64_t Value) {
  Field = Percent(Value);
  FEnvelopeStale = true;
}

void TToneGen::SetAttack(int64_t Value) {
  SetEnvelopeValue(FEnvelope.Attack, Value);
}
void TToneGen::SetHold(int64_t Value) {
  SetEnvelopeValue(FEnvelope.Hold, Value);
}
void TToneGen::SetDecay(int64_t Value) {
  SetEnvelopeValue(FEnvelope.Decay, Value);
}
void TToneGen::SetSustain(int64_t Value) {
  SetEnvelopeValue(FEnvelope.Sustain, Value);
}
void TToneGen::SetRelease(int64_t Value) {
  SetEnvelopeValue(FEnvelope.Release, Value);
}

void TToneGen::SetResolution(TTGResolution Value) {
  FResolution = Value;
  FWaveChanged = true;
}

void TToneGen::SetQuality(TTGQuality Value) {
  FQuality = Value;
  FWaveChanged = true;
}

void TToneGen::SetLeftVolume(int64_t Value) {
  FLeftVolume = Percent(Value);
  if (Loading() || FIdle) ApplyVolume();
}

void TToneGen::SetRightVolume(int64_t Value) {
  FRightVolume = Percent(Value);
  if (Loading() || FIdle) ApplyVolume();
}

void TToneGen::SetStereo(bool Value) {
  FStereo = Value;
  FWaveChanged = true;
}

void TToneGen::SetBandLimited(bool Value) {
  FBandLimited = Value;
  FWaveChanged = true;
}

void TToneGen::SetUltrasoundOnly(bool Value) {
  FUltrasoundOnly = Value;
  FWaveChanged = true;
}

void TToneGen::SetAMLevel(TTGAMLevel Value) {
  const std::size_t R = Row(Value);
  FAMLevel = Value;
  // Through the setters, so a row amplitude outside 0..100 is clamped on selection.
  SetAMAmplitude(FAM.Amplitudes[R]);
  SetAMWaveform(FAM.Waveforms[R]);
  SetAMFrequency(FAM.Frequencies[R]);
}

void TToneGen::SetAMAmplitude(int64_t Value) {
  FAMAmplitude = FAM.Amplitudes[FAMLevel] = Percent(Value);
  FWaveChanged = true;
}

void TToneGen::SetAMWaveform(TTGWave Value) {
  FAMWaveform = FAM.Waveforms[FAMLevel] = Value;
  FWaveChanged = true;
}

void TToneGen::SetAMFrequency(float Value) {
  FAMFrequency = FAM.Frequencies[FAMLevel] = Value;
  FWaveChanged = true;
}

void TToneGen::SetAMUseMultiplier(bool Value) {
  FAMUseMultiplier = Value;
  FWaveChanged = true;
}

void TToneGen::ResetAM() {
  for (int R = 0; R < AMRowCount; ++R) {
    FAM.Amplitudes[R] = 0;
    FAM.Waveforms[R] = tgSine;
    FAM.Frequencies[R] = float(R + 1) / 2;
  }
  FWaveChanged = true;
}

void TToneGen::SetAMParameter(TTGAMLevel Level, int16_t Amplitude, float Frequency,
                              TTGWave Waveform) {
  const std::size_t R = Row(Level);
  FAM.Amplitudes[R] = Amplitude;
  FAM.Frequencies[R] = Frequency;
  FAM.Waveforms[R] = Waveform;
  FWaveChanged = true;
}

int32_t TToneGen::SetNote(const std::string& Note) {
  int32_t Octave = FNoteOctave;
  const int32_t Hertz = NoteToFrequency(Note, Octave);
  if (Hertz <= 0) return 0;
  SetFrequency(Hertz);
  FNoteOctave = Octave;
  return Hertz;
}

float TToneGen::SetAMNote(TTGAMLevel Level, const std::string& Note) {
  const std::size_t R = Row(Level);
  int32_t Octave = FAMNoteOctave[R];
  const int32_t Hertz = NoteToFrequency(Note, Octave);
  if (Hertz <= 0) return 0;
  FAM.Frequencies[R] = FAMUseMultiplier ? float(double(Hertz) / FFrequency) : float(Hertz);
  FAMNoteOctave[R] = Octave;
  FWaveChanged = true;
  return FAM.Frequencies[R];
}

TBytes TToneGen::WriteAMArrayData() const {
  TBytes Out;
  Out.reserve(4 + 12 * AMRowCount);
  AppendLE32(Out, AMRowCount - 1);
  for (int R = 0; R < AMRowCount; ++R) {
    AppendLE32(Out, uint32_t(int32_t(FAM.Amplitudes[R])));
    AppendLE32(Out, FAM.Waveforms[R]);
    uint32_t Bits;
    std::memcpy(&Bits, &FAM.Frequencies[R], 4);
    AppendLE32(Out, Bits);
  }
  return Out;
}

void TToneGen::ReadAMArrayData(const TBytes& Data) {
  if (Data.size() < 4) throw EToneGenError("AMArrayData is too short to hold its row count");
  const int32_t Last = int32_t(GetLE32(Data.data()));
  if (Last < 0) return;
  if (Last >= AMRowCount)
    throw EToneGenError("AMArrayData holds " + std::to_string(int64_t(Last) + 1) +
                        " rows; the partial table has " + std::to_string(AMRowCount));
  const std::size_t Needed = 4 + 12 * std::size_t(Last + 1);
  if (Data.size() < Needed)
    throw EToneGenError("AMArrayData is cut short: " + std::to_string(Data.size()) +
                        " bytes where " + std::to_string(Needed) + " are needed");
  for (int R = 0; R <= Last; ++R) {
    const uint8_t* Record = Data.data() + 4 + 12 * R;
    FAM.Amplitudes[R] = int16_t(GetLE32(Record));
    FAM.Waveforms[R] = TTGWave(GetLE32(Record + 4) & 0xFF);
    const uint32_t Bits = GetLE32(Record + 8);
    std::memcpy(&FAM.Frequencies[R], &Bits, 4);
  }
}

TToneSettings TToneGen::Settings() const {
  TToneSettings S;
  S.Frequency = FFrequency;
  S.Duration = FDuration;
  S.Waveform = FWaveform;
  S.Resolution = FUltrasoundOnly ? tg16Bit : FResolution;
  S.Quality = FUltrasoundOnly ? tgHiQ : FQuality;
  S.Stereo = FStereo;
  S.AMUseMultiplier = FAMUseMultiplier;
  S.BandLimited = FBandLimited;
  S.UltrasoundOnly = FUltrasoundOnly;
  S.AM = FAM;
  return S;
}

unsigned TToneGen::ImageRate() const {
  return unsigned(SampleRate(FUltrasoundOnly ? tgHiQ : FQuality));
}

const TClassInfo& TToneGen::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TToneGen>("TToneGen", TComponent::StaticClassInfo())
          .Int("Frequency", &TToneGen::Frequency, &TToneGen::SetFrequency, 440)
          .Int("Duration", &TToneGen::Duration, &TToneGen::SetDuration, 100)
          .Enum("Waveform", StoredWaveNames, &TToneGen::Waveform, &TToneGen::SetWaveform, tgSine)
          .Int("Attack", &TToneGen::Attack, &TToneGen::SetAttack, 10)
          .Int("Hold", &TToneGen::Hold, &TToneGen::SetHold, 5)
          .Int("Decay", &TToneGen::Decay, &TToneGen::SetDecay, 20)
          .Int("Sustain", &TToneGen::Sustain, &TToneGen::SetSustain, 50)
          .Int("Release", &TToneGen::Release, &TToneGen::SetRelease, 30)
          .Bool("Async", &TToneGen::Async, &TToneGen::SetAsync, true)
          .Bool("Loop", &TToneGen::Loop, &TToneGen::SetLoop, false)
          .Enum("Resolution", {"tg16Bit", "tg8Bit"}, &TToneGen::Resolution,
                &TToneGen::SetResolution, tg16Bit)
          .Enum("Quality", {"tgHiQ", "tgLoQ"}, &TToneGen::Quality, &TToneGen::SetQuality, tgHiQ)
          .Int("LeftVolume", &TToneGen::LeftVolume, &TToneGen::SetLeftVolume, 100)
          .Int("RightVolume", &TToneGen::RightVolume, &TToneGen::SetRightVolume, 100)
          .Bool("Stereo", &TToneGen::Stereo, &TToneGen::SetStereo, false)
          .Bool("BandLimited", &TToneGen::BandLimited, &TToneGen::SetBandLimited, false)
          .Bool("UltrasoundOnly", &TToneGen::UltrasoundOnly, &TToneGen::SetUltrasoundOnly, false)
          .Enum("AMLevel",
                {"tgAMLevel1", "tgAMLevel2", "tgAMLevel3", "tgAMLevel4", "tgAMLevel5", "tgAMLevel6",
                 "tgAMLevel7", "tgAMLevel8"},
                &TToneGen::AMLevel, &TToneGen::SetAMLevel, tgAMLevel1)
          .Int("AMAmplitude", &TToneGen::AMAmplitude, &TToneGen::SetAMAmplitude)
          .AlwaysStored()
          .Enum("AMWaveform", StoredWaveNames, &TToneGen::AMWaveform, &TToneGen::SetAMWaveform)
          .AlwaysStored()
          .Real("AMFrequency", &TToneGen::AMFrequency, &TToneGen::SetAMFrequency)
          .AlwaysStored()
          .Bool("AMUseMultiplier", &TToneGen::AMUseMultiplier, &TToneGen::SetAMUseMultiplier, true)
          .Binary("AMArrayData", &TToneGen::WriteAMArrayData, &TToneGen::ReadAMArrayData)
          .AlwaysStored()
          .Build();
  return Info;
}

void RegisterSoundClasses() {
  RegisterClass(TToneGen::StaticClassInfo());
}

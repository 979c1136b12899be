// TToneGen: a non-visual component that turns tone settings (frequency, waveform, up to eight
// added partials, resolution, rate, channels, envelope) into an in-memory RIFF/WAVE image and
// plays it through the sound service, keeping the device volume in step with its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/WaveImage.h"
#include "platform/core/Component.h"
#include "sound/ToneGenTypes.h"

// A stored partial table that cannot be loaded.
class EToneGenError : public Exception {
 public:
  using Exception::Exception;
};

class TToneGen : public TComponent {
 public:
  explicit TToneGen(TComponent* AOwner);
  ~TToneGen() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // Published properties. Setters take the whole value and clamp it before narrowing.
  int32_t Frequency() const { return FFrequency; }
  void SetFrequency(int64_t Value);
  int16_t Duration() const { return FDuration; }
  void SetDuration(int64_t Value);
  TTGWave Waveform() const { return FWaveform; }
  void SetWaveform(TTGWave Value);
  int16_t Attack() const { return FEnvelope.Attack; }
  void SetAttack(int64_t Value);
  int16_t Hold() const { return FEnvelope.Hold; }
  void SetHold(int64_t Value);
  int16_t Decay() const { return FEnvelope.Decay; }
  void SetDecay(int64_t Value);
  int16_t Sustain() const { return FEnvelope.Sustain; }
  void SetSustain(int64_t Value);
  int16_t Release() const { return FEnvelope.Release; }
  void SetRelease(int64_t Value);
  bool Async() const { return FAsync; }
  void SetAsync(bool Value) { FAsync = Value; }
  bool Loop() const { return FLoop; }
  void SetLoop(bool Value) { FLoop = Value; }
  TTGResolution Resolution() const { return FResolution; }
  void SetResolution(TTGResolution Value);
  TTGQuality Quality() const { return FQuality; }
  void SetQuality(TTGQuality Value);
  int16_t LeftVolume() const { return FLeftVolume; }
  void SetLeftVolume(int64_t Value);
  int16_t RightVolume() const { return FRightVolume; }
  void SetRightVolume(int64_t Value);
  bool Stereo() const { return FStereo; }
  void SetStereo(bool Value);
  // Sine, square, triangle and sawtooth partials built only from their harmonics below half the
  // image's rate (sound/BandLimited.h); a partial at or above it is left out.
  bool BandLimited() const { return FBandLimited; }
  void SetBandLimited(bool Value);
  // Only what the tone holds at or above 20 kHz, 16-bit at 96000 Hz whatever Resolution and
  // Quality say (sound/UltrasoundTone.h); played with a fade in and out.
  bool UltrasoundOnly() const { return FUltrasoundOnly; }
  void SetUltrasoundOnly(bool Value);
  TTGAMLevel AMLevel() const { return FAMLevel; }
  void SetAMLevel(TTGAMLevel Value);
  int16_t AMAmplitude() const { return FAMAmplitude; }
  void SetAMAmplitude(int64_t Value);
  TTGWave AMWaveform() const { return FAMWaveform; }
  void SetAMWaveform(TTGWave Value);
  float AMFrequency() const { return FAMFrequency; }
  void SetAMFrequency(float Value);
  bool AMUseMultiplier() const { return FAMUseMultiplier; }
  void SetAMUseMultiplier(bool Value);

  // The stored form of the partial table: a 32-bit last-row index, then per row amplitude,
  // waveform and float frequency as 32-bit little-endian values.
  TBytes WriteAMArrayData() const;
  // Throws EToneGenError, storing nothing, for more than eight rows or a truncated record.
  void ReadAMArrayData(const TBytes& Data);

  // Builds the image without (Prepare) or with (PrepareADSR) the envelope; false when the
  // memory for it could not be had.
  [[nodiscard]] bool Prepare();
  [[nodiscard]] bool PrepareADSR();
  // Plays the image, rebuilding it first when a setting changed since it was built.
  void Play();
  void PlayADSR();
  void Stop();
  void PresetVolume();
  void ResetAM();
  // Writes one row as given, without range checks.
  void SetAMParameter(TTGAMLevel Level, int16_t Amplitude, float Frequency, TTGWave Waveform);
  // The image ("RIFF" first), or nullptr; valid until the next build or destruction.
  const uint8_t* GetDataBuffer() const { return FImage ? FImage->data() : nullptr; }
  int32_t DataBufferSize() const { return FImage ? int32_t(FImage->size()) : 0; }
  bool ExportFile(const std::string& FileName) const;
  // Note texts: see NoteToFrequency. Both return 0 and change nothing for an invalid note.
  int32_t SetNote(const std::string& Note);
  float SetAMNote(TTGAMLevel Level, const std::string& Note);

  // State, for callers that need to know what the next Play will do.
  bool WaveChanged() const { return FWaveChanged; }
  bool EnvelopeStale() const { return FEnvelopeStale; }
  bool PlainStale() const { return FPlainStale; }
  bool Idle() const { return FIdle; }
  // Whether the last Play or PlayADSR reached the output. False when the output runs below the
  // image's rate and cannot carry the main frequency: the tone was then not played, and the one
  // before it was silenced.
  bool Carried() const { return FCarried; }
  int32_t NoteOctave() const { return FNoteOctave; }
  const TAMTable& AMTable() const { return FAM; }
  // What a build reads: the properties, with the format ultrasound-only synthesis imposes.
  TToneSettings Settings() const;
  // The rate of the image the next build makes.
  unsigned ImageRate() const;
  TEnvelopeSettings Envelope() const { return FEnvelope; }

  // Live instances, and the device volume found when the first one was created.
  static int32_t InstanceCount();
  static uint32_t SavedVolume();

 private:
  bool Synthesize(bool WithEnvelope);
  void StartPlayback();
  uint32_t PlayFlags() const;
  void ApplyVolume();
  static uint32_t ReadDeviceVolume();
  void SetEnvelopeValue(int16_t& Field, int64_t Value);

  bool FWaveChanged = true;
  bool FEnvelopeStale = true;
  bool FPlainStale = true;
  bool FIdle = true;
  bool FCarried = true;
  // Shared with the sound service, which keeps it for as long as it plays it.
  TSharedImage FImage;
  int32_t FFrequency = 440;
  int16_t FDuration = 100;
  TTGWave FWaveform = tgSine;
  TEnvelopeSettings FEnvelope;
  bool FAsync = true;
  bool FLoop = false;
  TTGResolution FResolution = tg16Bit;
  TTGQuality FQuality = tgHiQ;
  int16_t FLeftVolume = 100;
  int16_t FRightVolume = 100;
  bool FStereo = false;
  bool FBandLimited = false;
  bool FUltrasoundOnly = false;
  int16_t FAMAmplitude = 0;
  TTGWave FAMWaveform = tgSine;
  float FAMFrequency = 0;
  bool FAMUseMultiplier = true;
  int32_t FNoteOctave = 4;
  TTGAMLevel FAMLevel = tgAMLevel1;
  TAMTable FAM;
  int32_t FAMNoteOctave[AMRowCount];
};

// Registers the sound library's component classes with the definitions reader.
void RegisterSoundClasses();

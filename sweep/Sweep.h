// The sweep engine: profile selection, the timer tick and the output routing. Shared by the
// windows and the headless "sweep" command; no Qt.
#pragma once

#include <cstdint>
#include <string>

#include "sound/ToneGenTypes.h"

// Stored band limit (beat units) to hertz: the value as single precision, divided by 0.5 and by
// 0.69897 in extended precision, rounded halfway to even.
int64_t BeatToFreq(float X);

// Waveform number of a profile or of the waveform list; anything outside 0..3 is noise.
TTGWave WaveIndex(int N);

// Nearest integer, halfway to even, held within the 64-bit range.
int64_t RoundHalfEvenSaturated(long double X);

// Where the sweep's state lives: the table's current record, the band bar, the timer and the
// dialog's boxes. The windows back it with their components, the headless command with plain
// values.
class ISweepHost {
 public:
  virtual ~ISweepHost() = default;
  // Fields of the current record; an empty field raises the conversion error.
  virtual double FieldAsFloat(const std::string& Name) = 0;
  virtual int64_t FieldAsInteger(const std::string& Name) = 0;
  virtual std::string FieldAsString(const std::string& Name) = 0;
  // The band bar: Position always stays within Min..Max.
  virtual int BandMin() = 0;
  virtual int BandMax() = 0;
  virtual int Position() = 0;
  virtual void SetBand(int Min, int Max) = 0;
  virtual void SetPosition(int Value) = 0;
  virtual void SetStep(int Value) = 0;
  virtual void SetInterval(int Milliseconds) = 0;
  // The dialog's boxes and sliders.
  virtual bool AutoChange() = 0;
  virtual bool SoundCard() = 0;
  virtual bool PlayADSR() = 0;
  virtual bool Stereo() = 0;
  virtual int LeftVolume() = 0;
  virtual int RightVolume() = 0;
  virtual int Amplitude() = 0;
};

// The two outputs: the tone generator and the PC speaker.
class ISweepOutput {
 public:
  virtual ~ISweepOutput() = default;
  virtual void SetWaveform(TTGWave Value) = 0;
  virtual void SetStereo(bool Value) = 0;
  virtual void SetLeftVolume(int Value) = 0;
  virtual void SetRightVolume(int Value) = 0;
  virtual void SetAMAmplitude(int Value) = 0;
  virtual void SetDuration(int Milliseconds) = 0;
  // One looping tone on the sound card, replacing the previous one.
  virtual void SoundCardTone(int Frequency, bool ADSR) = 0;
  virtual void SoundCardStop() = 0;
  // One beep; raises the speaker's range error when the tone is refused.
  virtual void SpeakerTone(int Frequency, int Milliseconds) = 0;
  virtual void SpeakerSilence() = 0;
};

// Selection, tick and stop over a host and an output. Errors propagate to the caller, leaving
// what was applied before them in place.
class TSweepEngine {
 public:
  TSweepEngine(ISweepHost& Host, ISweepOutput& Output) : FHost(Host), FOutput(Output) {}

  // Applies the current record's profile. A band whose converted lower limit lies above its
  // upper limit is refused before anything changes.
  void Select();
  // Advances the position and plays one tone; returns the position played.
  int Tick();
  // Plays one tone at the current position on the output the host selects.
  void RunAllNight();
  void SNDOut();
  void SpkOut();
  // Silences the output the host selects at this moment.
  void Silence();

 private:
  int FieldAsInt(const std::string& Name);

  ISweepHost& FHost;
  ISweepOutput& FOutput;
};

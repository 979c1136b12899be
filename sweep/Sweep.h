// The sweep engine: profile selection, the timer tick and the output routing. Shared by the
// windows and the headless "sweep" command; no Qt.
#pragma once

#include <cstdint>
#include <string>

#include "platform/data/DataSet.h"
#include "sound/ToneGenTypes.h"

// Stored band limit (beat units) to hertz: the value as single precision, divided by 0.5 and by
// 0.69897 in extended precision, rounded halfway to even.
int64_t BeatToFreq(float X);

// Waveform number of a profile or of the waveform list; anything outside 0..3 is noise.
TTGWave WaveIndex(int N);

// Nearest integer, halfway to even, held within the 64-bit range.
int64_t RoundHalfEvenSaturated(long double X);

// The current record of the pest table, read field by field when the sweep needs a value, so a
// tick follows whichever record is current at that moment. An empty number field raises the
// conversion error.
class TPestRecord {
 public:
  explicit TPestRecord(const TDataSet& Table) : FTable(Table) {}
  double Float(const char* Name) const;
  int Integer(const char* Name) const;  // held within the int range
  std::string Text(const char* Name) const;

 private:
  const TDataSet& FTable;
};

// The Adjustment dialog's boxes and sliders that a sweep reads, and the synthesis its tones are
// made with on the sound card.
struct TSweepSettings {
  bool AutoChange = false, SoundCard = false, PlayADSR = false, Stereo = false;
  int LeftVolume = 0, RightVolume = 0, Amplitude = 0;
  bool BandLimited = false, UltrasoundOnly = false;
  bool operator==(const TSweepSettings&) const = default;
};

// Where a sweep stands: the band bar (its band, the position within it and its tick spacing) and
// the timer's interval.
struct TSweepState {
  int BandMin = 0, BandMax = 0, Position = 0, Step = 1, Interval = 0;
  bool operator==(const TSweepState&) const = default;
  // Like the bar: the position always stays within the band.
  void SetBand(int Min, int Max);
  void SetPosition(int Value);
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

// Selection, tick and stop: functions of the record, the settings and the state, played on an
// output. Errors propagate to the caller, leaving what was applied before them in place.
class TSweepEngine {
 public:
  explicit TSweepEngine(ISweepOutput& Output) : FOutput(Output) {}

  // Applies the current record's profile to State and the output. A band whose converted lower
  // limit lies above its upper limit is refused before anything changes.
  void Select(const TPestRecord& Record, const TSweepSettings& Settings, TSweepState& State);
  // The position the next tick plays: one step up, held within the band and wrapped at its top.
  static int NextPosition(const TPestRecord& Record, const TSweepSettings& Settings,
                          const TSweepState& State);
  // Advances State to the next position and plays it; returns the position played.
  int Tick(const TPestRecord& Record, const TSweepSettings& Settings, TSweepState& State);
  // Plays one tone at Position on the output the settings choose.
  void RunAllNight(const TPestRecord& Record, const TSweepSettings& Settings, int Position);
  void SNDOut(const TSweepSettings& Settings, int Position);
  void SpkOut(const TPestRecord& Record, int Position);
  // Silences the output the settings choose.
  void Silence(const TSweepSettings& Settings);

 private:
  ISweepOutput& FOutput;
};

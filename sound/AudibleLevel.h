// What a tone carries into hearing: the RMS of its image between 20 Hz and 20 kHz, in dB relative
// to a full-scale sine (0 dBFS), over one loop of the image, as the output gets it; and what that
// sound comes from. Computed from the tone's own image with FFTW: the loop is transformed whole,
// so its seam counts as it sounds when the image repeats.
//
// When the output runs below the image's rate the program converts the image (its converter is
// taken as an ideal cut at its passband edge, platform/audio/Passband.h): the edge lies above
// 20 kHz at every rate the program meets (20.1 kHz at 44100), so what is audible passes
// unchanged, and a tone whose main frequency lies at or above the edge is not played at all.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "sound/ToneGenTypes.h"

constexpr double AudibleLowHertz = 20, AudibleHighHertz = 20000;

// "faint" below -60 dBFS, "quiet" from -60 to -40, "audible" above -40. Faint is not silent: at
// ordinary volume -60 dBFS at 7-12 kHz can still be heard.
enum class TAudibleClass { Faint, Quiet, Audible };
TAudibleClass AudibleClassOf(double Db);
// "faint", "quiet", "audible": the class's name, the same in every language (the windows keep it).
const char* AudibleClassName(TAudibleClass Class);
// The class's name in the user's language, for the texts that say it.
std::string AudibleClassWord(TAudibleClass Class);

// Where part of the audible sound comes from.
enum class TShareSource {
  MainTone,    // the main tone and its harmonics where they lie below 20 kHz
  Partial,     // an added partial (a row of the partial table) and its harmonics
  Noise,       // noise partials
  Spurs,       // what the plain synthesis spreads over the spectrum (whole-frame cycles)
  LoopSeam,    // where the image joins its own start, its start and stop, and rounding to samples
  TickChange,  // a sweep's tone cut off by the next one
};

struct TAudibleShare {
  TShareSource Source = TShareSource::MainTone;
  int Row = -1;          // the partial table's row, for Partial
  int64_t LowHertz = 0;  // the main tone's or partial's frequency (over a sweep: its range)
  int64_t HighHertz = 0;
  double Power = 0;  // relative to a full-scale sine's
};

// Power is relative to a full-scale sine's; 0 is silence (minus infinity dBFS).
double PowerDb(double Power);

struct TToneLevel {
  double Power = 0;                   // the whole audible band
  std::vector<TAudibleShare> Shares;  // loudest first; their sum comes close to Power
  bool Played = true;                 // false: the output cannot carry the main tone
  std::vector<double> Loop;           // the first channel of one loop, full scale 1
  double Db() const { return PowerDb(Power); }
};

// The tone Settings make (with Envelope, or none) heard on an output that carries images of their
// rate at OutputRate samples per second (0: at their own rate), at full volume.
TToneLevel MeasureToneLevel(const TToneSettings& Settings, const TEnvelopeSettings* Envelope,
                            unsigned OutputRate);

// The audible energy (power relative to a full-scale sine times frames) that cutting Before (one
// loop) at frame Cut of its repetition and starting After (one loop) there adds, beyond what
// both tones carry on their own: a tick change's click. Rate is both loops' rate.
double TickChangeEnergy(const std::vector<double>& Before, int64_t Cut,
                        const std::vector<double>& After, unsigned Rate);

// What the volumes take away: dB of the mean power over the output's two channels. A mono image
// sounds on both at the mean of the two volumes (percent).
double VolumeGainDb(int LeftVolume, int RightVolume, bool Stereo);

// Measured levels kept per tone, so that a tone met again (each pass of a sweep) is not measured
// again.
class TToneLevels {
 public:
  const TToneLevel& Of(const TToneSettings& Settings, const TEnvelopeSettings* Envelope,
                       unsigned OutputRate);

 private:
  using TKey = std::tuple<std::string, unsigned>;
  std::map<TKey, std::unique_ptr<TToneLevel>> FLevels;
};

// "the partial at 0.3 × the frequency (7.5-12 kHz)", "spurs of the plain synthesis".
std::string ShareText(const TAudibleShare& Share, const TAMTable& Table, bool Multiplier);
// "-20 dBFS"; "nothing (silent)" for silence.
std::string DbText(double Db);
// ", mostly the partial at 0.3 × the frequency (7.5-12 kHz)": the loudest share and those within
// 6 dB of it, or nothing without shares.
std::string MostlyText(const std::vector<TAudibleShare>& Shares, const TAMTable& Table,
                       bool Multiplier);

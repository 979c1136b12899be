// What a sweep carries into hearing (sound/AudibleLevel.h): the mean audible power over the
// ticks of one pass through its band, the loudest tick beside it and what the sound comes from,
// and the words the commands, the service log and the windows say it in.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sound/AudibleLevel.h"
#include "sweep/Sweep.h"

class TToneGen;

struct TSweepLevel {
  double Power = 0;  // mean over the ticks, at the tone generator's volumes
  double LoudestPower = 0;
  int LoudestHertz = 0;
  int Ticks = 0;
  int SilentTicks = 0;  // ticks that play nothing (not carried, or nothing at or above 20 kHz)
  std::vector<TAudibleShare> Shares;  // loudest first
  TAMTable Table;                     // the partial table the shares' rows name
  bool Multiplier = true;
  double Db() const { return PowerDb(Power); }
  TAudibleClass Class() const { return AudibleClassOf(Db()); }
};

// The positions the ticks play after a selection left State, through one pass of the band (until
// a position comes again); one position when the sweep does not move.
std::vector<int> PassPositions(const TPestRecord& Record, const TSweepSettings& Settings,
                               const TSweepState& State);

// The level of ToneGen's tones at Positions, one tick of Interval milliseconds each, with the
// envelope when ADSR, heard at OutputRate (0: the image's own rate) and at ToneGen's volumes.
// Levels is the cache of tones already measured.
TSweepLevel MeasureSweepLevel(const TToneGen& ToneGen, const std::vector<int>& Positions, bool ADSR,
                              int Interval, unsigned OutputRate, TToneLevels& Levels);

// The level of the sweep a tone generator plays, measured again only when its tones, the pass or
// the output change: the windows ask at every tick.
class TSweepLevelMeter {
 public:
  const TSweepLevel& Of(const TToneGen& ToneGen, const std::vector<int>& Positions, bool ADSR,
                        int Interval, unsigned OutputRate);
  // The level last measured.
  const TSweepLevel& Last() const { return FLevel; }

 private:
  struct TAsked {
    TToneSettings Settings;
    TEnvelopeSettings Envelope;
    int LeftVolume = 0, RightVolume = 0;
    std::vector<int> Positions;
    bool ADSR = false;
    int Interval = 0;
    unsigned OutputRate = 0;
    bool operator==(const TAsked&) const = default;
  };
  TToneLevels FLevels;
  std::optional<TAsked> FAsked;
  TSweepLevel FLevel;
};

// "audible sound at -20 dBFS (loudest tick -18 dBFS at 31000 Hz), mostly the partial at 0.3 ×
// the frequency (7.5-12 kHz)"
std::string SweepLevelText(const TSweepLevel& Level);
// "-20 dBFS audible": the profiles' column.
std::string SweepLevelShort(const TSweepLevel& Level);
// "These tones carry audible sound: -20 dBFS, mostly ..."; the page's sentence.
std::string SweepLevelSentence(const TSweepLevel& Level);

// The audible level of tones whose answer is known from outside the measurement: a sine at a
// known amplitude inside the band, tones wholly above it, the dialog's partial at 0.3 times the
// frequency, a tone the output cannot carry; and the cache, the volumes and the classes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "sound/AudibleLevel.h"

namespace {

TToneSettings Tone(int Frequency, TTGWave Waveform = tgSine) {
  TToneSettings S;
  S.Frequency = Frequency;
  S.Duration = 200;
  S.Waveform = Waveform;
  return S;
}

// The dialog's stored partial: row 1, 30 % of a sine at 0.3 times the frequency.
TToneSettings WithDialogPartial(TToneSettings S) {
  S.AM.Amplitudes[0] = 30;
  S.AM.Waveforms[0] = tgSine;
  S.AM.Frequencies[0] = 0.3f;
  return S;
}

struct TLevelCase {
  const char* What;
  TToneSettings Settings;
  double LowDb, HighDb;  // the level lies within
  TShareSource Loudest;
};

TToneSettings Plain(int Frequency) {
  return Tone(Frequency);
}
TToneSettings BandLimited(TToneSettings S) {
  S.BandLimited = true;
  return S;
}
TToneSettings Ultrasound(TToneSettings S) {
  S.UltrasoundOnly = true;
  return S;
}
TToneSettings LowQuality8Bit(TToneSettings S) {
  S.Resolution = tg8Bit;
  S.Quality = tgLoQ;
  return S;
}

}  // namespace

TEST(AudibleLevel, TonesOfKnownLevelMeasureAtIt) {
  // A full-scale sine is 0 dBFS (the plain synthesis makes it exactly when its cycles are whole
  // frames); 30 % of full scale is 20 log10(0.3) = -10.5 dBFS; a plain tone
  // above 20 kHz carries the spurs of its whole-frame cycles (about -22 dBFS at 30 kHz); the
  // band-limited and ultrasound-only ones carry no more than rounding to 16 bits.
  const TLevelCase Cases[] = {
      {"6 kHz sine, whole cycles of 16 frames", Plain(6000), -0.1, 0.1, TShareSource::MainTone},
      {"1 kHz sine, 8-bit, 44100 Hz", LowQuality8Bit(Plain(1000)), -0.3, 0.1,
       TShareSource::MainTone},
      {"plain 30 kHz sine", Plain(30000), -30, -15, TShareSource::Spurs},
      {"band-limited 30 kHz sine", BandLimited(Plain(30000)), -200, -90, TShareSource::LoopSeam},
      {"band-limited 25 kHz sawtooth with the dialog's partial",
       BandLimited(WithDialogPartial(Tone(25000, tgSawtooth))), -10.7, -10.3,
       TShareSource::Partial},
      {"ultrasound-only 30 kHz sine", Ultrasound(Plain(30000)), -200, -90, TShareSource::LoopSeam},
      {"ultrasound-only 25 kHz square, partial left out",
       Ultrasound(WithDialogPartial(Tone(25000, tgSquare))), -200, -90, TShareSource::LoopSeam},
      {"ultrasound-only noise", Ultrasound(Tone(30000, tgNoise)), -200, -90, TShareSource::Noise},
  };
  for (const TLevelCase& C : Cases) {
    SCOPED_TRACE(C.What);
    const TToneLevel Level = MeasureToneLevel(C.Settings, nullptr, 0);
    EXPECT_GE(Level.Db(), C.LowDb);
    EXPECT_LE(Level.Db(), C.HighDb);
    ASSERT_FALSE(Level.Shares.empty());
    EXPECT_EQ(Level.Shares[0].Source, C.Loudest);
    double Sum = 0;
    for (const TAudibleShare& Share : Level.Shares) Sum += Share.Power;
    EXPECT_NEAR(PowerDb(Sum), Level.Db(), 1.0);
  }
}

TEST(AudibleLevel, ThePartialIsNamedWithItsFrequencyAndWhatTheOutputCannotCarryIsSilent) {
  const TToneSettings S = BandLimited(WithDialogPartial(Tone(25000, tgSawtooth)));
  const TToneLevel Level = MeasureToneLevel(S, nullptr, 0);
  ASSERT_FALSE(Level.Shares.empty());
  EXPECT_EQ(Level.Shares[0].Row, 0);
  EXPECT_EQ(Level.Shares[0].LowHertz, 7500);
  EXPECT_EQ(MostlyText(Level.Shares, S.AM, true),
            ", mostly the partial at 0.3 × the frequency (7.5 kHz)");
  EXPECT_EQ(DbText(Level.Db()), "-10 dBFS");
  // At 48000 Hz the program's converter passes nothing at or above 21.9 kHz: the tone is not
  // played at all, and so carries nothing.
  const TToneLevel Converted = MeasureToneLevel(S, nullptr, 48000);
  EXPECT_FALSE(Converted.Played);
  EXPECT_EQ(Converted.Power, 0);
  EXPECT_EQ(DbText(Converted.Db()), "nothing (silent)");
  // A tone the converter carries keeps its audible sound: the edge lies above 20 kHz.
  EXPECT_NEAR(MeasureToneLevel(Plain(6000), nullptr, 44100).Db(), 0, 0.1);
}

TEST(AudibleLevel, TheEnvelopeAndTheVolumesLowerTheLevel) {
  const TEnvelopeSettings Envelope;  // ramps up, holds, decays to 50 %, releases
  const double Flat = MeasureToneLevel(Plain(5000), nullptr, 0).Db();
  const double Shaped = MeasureToneLevel(Plain(5000), &Envelope, 0).Db();
  EXPECT_LT(Shaped, Flat - 3);
  EXPECT_GT(Shaped, Flat - 9);
  // Mean power over the two channels; a mono image plays at the mean of the two volumes.
  EXPECT_NEAR(VolumeGainDb(60, 80, true), 10 * std::log10((0.36 + 0.64) / 2), 1e-9);
  EXPECT_NEAR(VolumeGainDb(60, 80, false), 20 * std::log10(0.7), 1e-9);
  EXPECT_EQ(VolumeGainDb(100, 100, true), 0);
}

TEST(AudibleLevel, ClassesMeetAtMinusSixtyAndMinusForty) {
  const std::pair<double, const char*> Cases[] = {{-HUGE_VAL, "faint"}, {-60.01, "faint"},
                                                  {-60, "quiet"},       {-40, "quiet"},
                                                  {-39.99, "audible"},  {0, "audible"}};
  for (const auto& [Db, Name] : Cases)
    EXPECT_STREQ(AudibleClassName(AudibleClassOf(Db)), Name) << Db;
}

TEST(AudibleLevel, AToneIsMeasuredOnceAndATickChangeThatCutsAToneClicks) {
  TToneLevels Levels;
  const TToneLevel& First = Levels.Of(Plain(7000), nullptr, 0);
  EXPECT_EQ(&Levels.Of(Plain(7000), nullptr, 0), &First);
  EXPECT_NE(&Levels.Of(Plain(7001), nullptr, 0), &First);
  EXPECT_NE(&Levels.Of(Plain(7000), nullptr, 48000), &First);
  // A 32 kHz sine of 3 frames a cycle, looped: cut where it would go on, nothing is heard; cut a
  // frame later and followed by the same tone from its start, the jump is heard.
  std::vector<double> Sine(9600);
  for (std::size_t N = 0; N < Sine.size(); ++N)
    Sine[N] = std::sin(2 * std::numbers::pi * double(N) / 3);
  EXPECT_LT(TickChangeEnergy(Sine, 3 * 1000, Sine, 96000), 1e-9);
  EXPECT_GT(TickChangeEnergy(Sine, 3 * 1000 + 1, Sine, 96000), 1e-3);
}

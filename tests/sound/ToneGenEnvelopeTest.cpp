// Envelope segment boundaries, applied to a constant signal so every frame shows its gain.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "sound/ToneGenSynth.h"

namespace {

constexpr int Level = 1000;

struct TShaped {
  std::vector<uint8_t> Data;
  bool SixteenBit;
  int Frame(int Index) const {
    const uint8_t* P = Data.data() + Index * 2;  // both shapes have 2-byte frames
    return SixteenBit ? int16_t(P[0] | P[1] << 8) : P[0] - 128;
  }
};

// The default 100 ms tone's data (16-bit, 96 kHz, mono: 9600 frames) holding Level throughout,
// shaped Window frames at a time.
TShaped Shape16(TEnvelopeSettings Envelope, int Window = 9600) {
  TShaped S{std::vector<uint8_t>(19200 + WaveSpareSize), true};
  for (int I = 0; I < 19200; I += 2) {
    S.Data[I] = uint8_t(Level & 0xFF);
    S.Data[I + 1] = uint8_t(Level >> 8);
  }
  for (int First = 0; First < 9600; First += Window)
    ApplyEnvelope(S.Data.data() + 2 * First, First, std::min(Window, 9600 - First), 19200, false,
                  tg16Bit, Envelope);
  return S;
}

TEST(ToneGenEnvelope, DefaultSegmentsOnTheDefaultTone) {
  const TShaped S = Shape16({});
  EXPECT_EQ(S.Frame(0), 0);
  EXPECT_EQ(S.Frame(480), 500);
  EXPECT_EQ(S.Frame(959), 998);
  EXPECT_EQ(S.Frame(960), Level);   // attack ends at full level
  EXPECT_EQ(S.Frame(1441), Level);  // hold
  EXPECT_EQ(S.Frame(1442), Level);  // decay starts at k = 0
  EXPECT_EQ(S.Frame(3362), 500);    // and reaches the sustain level
  EXPECT_EQ(S.Frame(3363), 500);
  EXPECT_EQ(S.Frame(6723), 500);
  EXPECT_EQ(S.Frame(6724), 500);  // release: n 2876, k 0
  EXPECT_EQ(S.Frame(6724 + 1438), 250);
  EXPECT_EQ(S.Frame(9599), 0);
}

TEST(ToneGenEnvelope, EightBitStereoCarriesOneValuePerFrame) {
  TShaped S{std::vector<uint8_t>(8820 + WaveSpareSize, 128 + 100), false};
  ApplyEnvelope(S.Data.data(), 0, 4410, 8820, true, tg8Bit, {});
  for (int I = 0; I < 8820; I += 2) ASSERT_EQ(S.Data[I], S.Data[I + 1]) << I;
  EXPECT_EQ(S.Frame(0), 0);
  EXPECT_EQ(S.Frame(440), 99);
  EXPECT_EQ(S.Frame(441), 100);  // attack n 441
  EXPECT_EQ(S.Frame(663), 100);  // hold 442-662, decay from 663
  EXPECT_EQ(S.Frame(1545), 50);
  EXPECT_EQ(S.Frame(3089), 50);        // sustain to 3089
  EXPECT_EQ(S.Frame(3090 + 660), 25);  // release n 1320
  EXPECT_EQ(S.Frame(4409), 0);
  EXPECT_EQ(S.Data[8820], 128 + 100);  // the spare area is not shaped
}

TEST(ToneGenEnvelope, SharesAboveTheWholeAreRescaled) {
  const TShaped S = Shape16({50, 50, 50, 50, 50});
  EXPECT_EQ(S.Frame(2400), Level);  // attack n 2400
  EXPECT_EQ(S.Frame(7202), 501);    // decay ends (its double factor truncates 499.99...)
  EXPECT_EQ(S.Frame(7203), 500);    // release from full sustain level
  EXPECT_EQ(S.Frame(9599), 0);
}

// A tone made in blocks is shaped a block at a time; windows that cut every segment somewhere
// shape it as a whole.
TEST(ToneGenEnvelope, WindowsShapeAsTheWhole) {
  const TEnvelopeSettings Shapes[] = {
      {}, {50, 50, 50, 50, 50}, {0, 0, 0, 37, 0}, {10, 5, 20, 0, 30}};
  for (const TEnvelopeSettings& Envelope : Shapes)
    for (int Window : {1, 777, 961, 4800})
      EXPECT_EQ(Shape16(Envelope, Window).Data, Shape16(Envelope).Data)
          << Envelope.Attack << " " << Envelope.Release << " in windows of " << Window;
}

TEST(ToneGenEnvelope, DegenerateShares) {
  TShaped S = Shape16({0, 0, 0, 37, 0});
  EXPECT_EQ(S.Frame(0), 370);
  EXPECT_EQ(S.Frame(9599), 370);
  S = Shape16({100, 0, 0, 50, 0});
  EXPECT_EQ(S.Frame(4800), 500);
  EXPECT_EQ(S.Frame(9599), 999);  // one rising ramp to the end, no sustain, no release
  S = Shape16({10, 5, 20, 0, 30});
  EXPECT_EQ(S.Frame(3362), 0);
  EXPECT_EQ(S.Frame(6000), 0);
  S = Shape16({10, 5, 20, 100, 30});
  EXPECT_EQ(S.Frame(3362), Level);
  EXPECT_EQ(S.Frame(6724), Level);
}

}  // namespace

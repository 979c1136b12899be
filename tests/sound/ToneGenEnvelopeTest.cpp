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

// Frames of the default tone shaped whole, and shaped in windows that cut every segment somewhere
// (as a tone made in blocks is shaped a block at a time), which must give the same data.
TEST(ToneGenEnvelope, SegmentBoundariesAndWindowsShapingAsTheWhole) {
  const struct {
    TEnvelopeSettings Envelope;
    std::vector<std::pair<int, int>> Frames;  // frame, value
  } Cases[] = {
      // Attack ends at full level at 960, hold to 1441, decay from k = 0 at 1442 to the sustain
      // level at 3362, release from 6724 (n 2876, k 0).
      {{}, {{0, 0}, {480, 500}, {959, 998}, {960, Level}, {1441, Level}, {1442, Level}}},
      {{}, {{3362, 500}, {3363, 500}, {6723, 500}, {6724, 500}, {6724 + 1438, 250}, {9599, 0}}},
      // Shares above the whole are rescaled: attack n 2400, decay ends at 7202 (its double factor
      // truncates 499.99...), release from the full sustain level.
      {{50, 50, 50, 50, 50}, {{2400, Level}, {7202, 501}, {7203, 500}, {9599, 0}}},
      {{0, 0, 0, 37, 0}, {{0, 370}, {9599, 370}}},
      // One rising ramp to the end, no sustain, no release.
      {{100, 0, 0, 50, 0}, {{4800, 500}, {9599, 999}}},
      {{10, 5, 20, 0, 30}, {{3362, 0}, {6000, 0}}},
      {{10, 5, 20, 100, 30}, {{3362, Level}, {6724, Level}}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(testing::Message() << "case " << &C - Cases);
    const TShaped Whole = Shape16(C.Envelope);
    for (auto [Frame, Value] : C.Frames) EXPECT_EQ(Whole.Frame(Frame), Value) << Frame;
    for (int Window : {1, 777, 961, 4800})
      EXPECT_EQ(Shape16(C.Envelope, Window).Data, Whole.Data) << "in windows of " << Window;
  }
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

}  // namespace

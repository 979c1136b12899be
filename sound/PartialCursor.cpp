#include "sound/PartialCursor.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "sound/BandLimited.h"

namespace {

// What a frame's value v adds to a sample: trunc(v) to a 16-bit sample; to an 8-bit byte the
// offset it gets from trunc(128 + v), which differs from trunc(v) for negative fractions.
int64_t Delta(double Value, bool SixteenBit) {
  return SixteenBit ? Trunc(Value) : Trunc(128.0 + Value) - 128;
}

// Every cycle restarts its waveform at phase 0, so the value of a frame depends only on its
// place j in the cycle: the ramps and the sine are computed once per place.
std::vector<int64_t> CycleTable(TTGWave Waveform, double P, int64_t Hh, double Span, double Low,
                                bool SixteenBit) {
  const int64_t Places = Trunc(P) + 2;  // no cycle is longer than trunc(P) + 1 frames
  const int64_t First = Trunc(P);
  std::vector<int64_t> Table(std::size_t(Places), 0);
  double V = Low;
  const double W = 2.0 * std::numbers::pi / double(First);
  const double Step = Waveform == tgTriangle ? Span / double(Hh) : Span / double(First);
  for (int64_t J = 0; J < Places; ++J) {
    double Value;
    if (Waveform == tgSine) {
      Value = double(Trunc(std::sin(double(J) * W) / 2 * Span));
    } else if (Waveform == tgSawtooth) {
      Value = double(Trunc(V));
      V += Step;
    } else if (Waveform == tgTriangle) {
      Value = double(Trunc(V));
      if (J < Hh) {
        V += Step;
      } else {
        V -= Step;
        if (V < Low) V = Low;
      }
    } else {  // the square: low for the first half cycle, then high
      Value = J < Hh ? Low : Span / 2;
    }
    Table[std::size_t(J)] = Delta(Value, SixteenBit);
  }
  return Table;
}

// Adds Bytes bytes of samples at Add into Out, sample by sample with wrap-around.
void AddSamples(uint8_t* Out, const uint8_t* Add, std::size_t Bytes, bool SixteenBit) {
  if (!SixteenBit) {
    for (std::size_t I = 0; I < Bytes; ++I) Out[I] = uint8_t(Out[I] + Add[I]);
  } else if constexpr (std::endian::native == std::endian::little) {
    // Whole little-endian samples, which the compiler adds several at a time.
    for (std::size_t I = 0; I < Bytes; I += 2) {
      uint16_t Sample, Term;
      std::memcpy(&Sample, Out + I, 2);
      std::memcpy(&Term, Add + I, 2);
      Sample = uint16_t(Sample + Term);
      std::memcpy(Out + I, &Sample, 2);
    }
  } else {
    for (std::size_t I = 0; I < Bytes; I += 2) {
      const unsigned Sample = (Out[I] | Out[I + 1] << 8) + (Add[I] | Add[I + 1] << 8);
      Out[I] = uint8_t(Sample);
      Out[I + 1] = uint8_t(Sample >> 8);
    }
  }
}

// Whole cycles are copied in pieces of this size, which may reach past the cycle: the next one
// writes over it, and the block has room past its last frame (ToneBlocks.cpp).
constexpr std::size_t CopyPiece = 16;

void CopyPieces(uint8_t* Out, const uint8_t* From, std::size_t Bytes) {
  for (std::size_t I = 0; I < Bytes; I += CopyPiece) std::memcpy(Out + I, From + I, CopyPiece);
}

// A waveform that restarts every cycle: its frames are copied or added from a table of one
// cycle's frames, as the image holds them. Cycle k starts at frame trunc((k - 1) * P); a first
// cycle of 0 frames never ends and every frame is place 0.
class TCycleCursor : public TPartialCursor {
 public:
  TCycleCursor(const std::vector<int64_t>& Deltas, double P, bool SixteenBit, bool Stereo)
      : FP(P),
        FLength(Trunc(P)),
        FEnd(FLength),
        FFrameBytes((SixteenBit ? 2 : 1) * (Stereo ? 2 : 1)),
        FSixteenBit(SixteenBit) {
    const uint8_t Fill = SixteenBit ? 0x00 : 0x80;
    for (int64_t D : Deltas)
      for (int Channel = 0; Channel < (Stereo ? 2 : 1); ++Channel) {
        FAdd.push_back(uint8_t(D));
        FWrite.push_back(uint8_t(Fill + D));
        if (SixteenBit) {
          FAdd.push_back(uint8_t(uint16_t(D) >> 8));
          FWrite.push_back(uint8_t(uint16_t(D) >> 8));
        }
      }
    FWrite.resize(FWrite.size() + CopyPiece);
  }

  void Render(uint8_t* Out, int64_t Count, bool Write) override {
    if (FLength == 0) {
      for (; Count > 0; --Count) Out = Put(Out, 0, 1, Write);
      return;
    }
    // The rest of the cycle under way, then whole cycles, then the start of the next.
    if (FJ != 0) {
      const int64_t Run = std::min(FLength - FJ, Count);
      Out = Put(Out, FJ, Run, Write);
      Count -= Run;
      FJ += Run;
      if (FJ < FLength) return;
      NextCycle();
    }
    for (; Count >= FLength; NextCycle()) {
      Out = Put(Out, 0, FLength, Write);
      Count -= FLength;
    }
    Put(Out, 0, Count, Write);
    FJ = Count;
  }

 private:
  // Frames places From to From + Frames - 1 of the cycle into Out; the end of what they fill.
  uint8_t* Put(uint8_t* Out, int64_t From, int64_t Frames, bool Write) const {
    const std::size_t Place = std::size_t(From * FFrameBytes);
    const std::size_t Bytes = std::size_t(Frames * FFrameBytes);
    if (Write)
      CopyPieces(Out, FWrite.data() + Place, Bytes);
    else
      AddSamples(Out, FAdd.data() + Place, Bytes, FSixteenBit);
    return Out + Bytes;
  }

  void NextCycle() {
    // trunc(c * P - trunc((c - 1) * P)): taking a whole number of frames from c * P is exact,
    // so the length is the difference of the truncated ends of cycles c and c - 1.
    FJ = 0;
    ++FCycle;
    const int64_t End = int64_t(double(FCycle) * FP);
    FLength = End - FEnd;
    FEnd = End;
  }

  std::vector<uint8_t> FAdd, FWrite;
  double FP;
  int64_t FLength, FEnd, FJ = 0, FCycle = 1;
  int64_t FFrameBytes;
  bool FSixteenBit;
};

template <bool SixteenBit, bool Stereo>
class TNoiseCursor : public TPartialCursor {
 public:
  TNoiseCursor(TToneNoise Noise, uint32_t Range, double Low)
      : FNoise(Noise), FRange(Range), FLow(Low) {}

  void Render(uint8_t* Out, int64_t Count, bool Write) override {
    constexpr int64_t FrameBytes = (SixteenBit ? 2 : 1) * (Stereo ? 2 : 1);
    if (Write) std::memset(Out, SixteenBit ? 0x00 : 0x80, std::size_t(Count * FrameBytes));
    for (int64_t Frame = 0; Frame < Count; ++Frame, Out += FrameBytes)
      AddToFrame<SixteenBit, Stereo>(Out, Delta(double(FNoise.Random(FRange)) + FLow, SixteenBit));
  }

 private:
  TToneNoise FNoise;
  uint32_t FRange;
  double FLow;
};

std::unique_ptr<TPartialCursor> MakeNoiseCursor(TToneNoise Noise, uint32_t Range, double Low,
                                                bool SixteenBit, bool Stereo) {
  if (SixteenBit && Stereo) return std::make_unique<TNoiseCursor<true, true>>(Noise, Range, Low);
  if (SixteenBit) return std::make_unique<TNoiseCursor<true, false>>(Noise, Range, Low);
  if (Stereo) return std::make_unique<TNoiseCursor<false, true>>(Noise, Range, Low);
  return std::make_unique<TNoiseCursor<false, false>>(Noise, Range, Low);
}

class TBandLimitedCursor : public TPartialCursor {
 public:
  TBandLimitedCursor(const TPartial& Partial, const TToneSettings& Settings)
      : FPartial(Partial, Settings.Resolution, Settings.Quality, Settings.Stereo),
        FFrameBytes((Settings.Resolution == tg16Bit ? 2 : 1) * (Settings.Stereo ? 2 : 1)),
        FFill(FillByte(Settings.Resolution)) {}
  bool Sounds() const { return FPartial.Sounds(); }

  void Render(uint8_t* Out, int64_t Count, bool Write) override {
    if (Write) std::memset(Out, FFill, std::size_t(Count * FFrameBytes));
    FPartial.Add(Out, FFrame, Count);
    FFrame += Count;
  }

 private:
  TBandLimitedPartial FPartial;
  int64_t FFrameBytes;
  uint8_t FFill;
  int64_t FFrame = 0;
};

}  // namespace

std::unique_ptr<TPartialCursor> MakePartialCursor(const TPartial& Partial,
                                                  const TToneSettings& Settings, int64_t Frames,
                                                  TToneNoise& Noise) {
  const int64_t A = Partial.Amplitude;
  if (A <= 0 || Partial.Frequency <= 0) return nullptr;
  if (Partial.BandLimited && Partial.Waveform <= tgSawtooth) {
    auto Cursor = std::make_unique<TBandLimitedCursor>(Partial, Settings);
    if (!Cursor->Sounds()) return nullptr;
    return Cursor;
  }
  const bool SixteenBit = Settings.Resolution == tg16Bit;
  const double Span = SixteenBit ? double(A * 65534) / 100 : double(A * 254) / 100;
  const double Low = SixteenBit ? double(A * -32767) / 100 : double(A * -127) / 100;
  const double P = double(SampleRate(Settings.Quality)) / double(Partial.Frequency);
  const int64_t Length = Trunc(P);
  const int64_t Hh = Trunc(P + 0.5) / 2;
  if (Partial.Waveform > tgSawtooth) {
    const TToneNoise Start = Noise;
    Noise.Skip(uint64_t(Frames));
    return MakeNoiseCursor(Start, uint32_t(Trunc(Span + 1)), Low, SixteenBit, Settings.Stereo);
  }
  // A zero first cycle (or half cycle, for the triangle) leaves the ramps and the sine no step
  // to take; the square then holds one level.
  if (Partial.Waveform != tgSquare && (Length == 0 || (Partial.Waveform == tgTriangle && Hh == 0)))
    return nullptr;
  return std::make_unique<TCycleCursor>(CycleTable(Partial.Waveform, P, Hh, Span, Low, SixteenBit),
                                        P, SixteenBit, Settings.Stereo);
}

#include <algorithm>
#include <cmath>

#include "sound/ToneGenSynth.h"

namespace {

// Reads and writes a frame's value: its first sample as a signed number, written back to
// every sample of the frame.
class TFrames {
 public:
  TFrames(uint8_t* Data, bool SixteenBit, int Channels)
      : FData(Data), FSixteenBit(SixteenBit), FChannels(Channels) {}
  int64_t Bytes() const { return (FSixteenBit ? 2 : 1) * FChannels; }
  int64_t Read(int64_t Frame) const {
    const uint8_t* P = FData + Frame * Bytes();
    return FSixteenBit ? int64_t(int16_t(P[0] | P[1] << 8)) : int64_t(P[0]) - 128;
  }
  void Write(int64_t Frame, int64_t Value) const {
    uint8_t* P = FData + Frame * Bytes();
    for (int C = 0; C < FChannels; ++C) {
      if (FSixteenBit) {
        *P++ = uint8_t(Value);
        *P++ = uint8_t(Value >> 8);
      } else {
        *P++ = uint8_t(Value + 128);
      }
    }
  }

 private:
  uint8_t* FData;
  bool FSixteenBit;
  int FChannels;
};

}  // namespace

void ApplyEnvelope(uint8_t* Out, int64_t First, int64_t Count, int64_t DataSize, bool Stereo,
                   TTGResolution Resolution, const TEnvelopeSettings& Envelope) {
  const TFrames Frames(Out, Resolution == tg16Bit, Stereo ? 2 : 1);
  const int64_t FrameCount = DataSize / Frames.Bytes();
  int64_t A = Envelope.Attack, H = Envelope.Hold, D = Envelope.Decay, R = Envelope.Release;
  const int64_t T = A + H + D + R;
  if (T > 100) {
    A = A * 100 / T;
    H = H * 100 / T;
    D = D * 100 / T;
    R = 100 - A - H - D;  // the release takes the rounding remainder
  }
  const int64_t SustainShare = 100 - A - H - D - R;
  const double Level = Envelope.Sustain / 100.0;
  auto FramesOf = [&](int64_t Share) { return Share * DataSize / (100 * Frames.Bytes()); };

  // Each segment covers frames F..F+N; frames past the data are left to the spare area, and
  // frames outside First..First+Count-1 to the other blocks.
  const int64_t End = std::min(First + Count, FrameCount);
  int64_t F = 0;
  auto Segment = [&](int64_t N, auto NewValue) {
    const int64_t Last = std::min(F + N + 1, End);
    for (int64_t Frame = std::max(F, First); Frame < Last; ++Frame)
      Frames.Write(Frame - First, NewValue(Frame - F, Frames.Read(Frame - First)));
    F += N + 1;
  };
  if (const int64_t N = FramesOf(A); N != 0) {
    const double Factor = 1.0 / double(N);
    Segment(N, [=](int64_t K, int64_t S) { return Trunc(double(K * S) * Factor); });
  }
  if (const int64_t N = FramesOf(H); N != 0) F += N + 1;
  if (const int64_t N = FramesOf(D); N != 0) {
    const double Factor = double(100 - Envelope.Sustain) / double(N) / 100;
    Segment(N, [=](int64_t K, int64_t S) { return S - Trunc(double(K * S) * Factor); });
  }
  if (SustainShare != 0) {
    const int64_t N = R == 0 ? FrameCount - F : FramesOf(SustainShare);
    Segment(N, [=](int64_t, int64_t S) { return Trunc(double(S) * Level); });
  }
  if (const int64_t N = FrameCount - F; R != 0 && N > 0) {
    const double Factor = Level / double(N);
    Segment(N, [=](int64_t K, int64_t S) { return Trunc(double((N - K) * S) * Factor); });
  }
}

#include "sound/ToneBlocks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "sound/UltrasoundTone.h"

namespace {

// Small enough to stay in the processor's cache between the partials' passes over it.
constexpr int64_t BlockBytes = 64 * 1024;

}  // namespace

TToneBlocks::TToneBlocks(const TToneSettings& Settings, const TEnvelopeSettings* Envelope)
    : FSettings(Settings),
      FDataSize(ToneDataSize(Settings)),
      FFrameBytes(int64_t(SampleBytes(Settings.Resolution)) * (Settings.Stereo ? 2 : 1)),
      FFrames((FDataSize + FFrameBytes - 1) / FFrameBytes) {
  if (Envelope) FEnvelope = *Envelope;
  TToneNoise Noise;
  if (Settings.UltrasoundOnly) {
    FUltrasound.reserve(std::size_t(FFrames));
    for (double Value : UltrasoundFrames(TonePartials(Settings), FFrames, Noise))
      FUltrasound.push_back(int16_t(std::clamp<double>(std::round(Value), -32767, 32767)));
  } else {
    for (const TPartial& Partial : TonePartials(Settings))
      if (auto Cursor = MakePartialCursor(Partial, Settings, FFrames, Noise))
        FCursors.push_back(std::move(Cursor));
  }
  // The last frame may reach into the spare bytes, which the last block carries, and a cycle
  // copied in whole pieces a little further (PartialCursor.cpp).
  FBlock.resize(std::size_t(BlockBytes) + 2 * WaveSpareSize);
}

std::span<const uint8_t> TToneBlocks::Next() {
  if (FDone) return {};
  const int64_t Count = std::min(BlockBytes / FFrameBytes, FFrames - FFrame);
  uint8_t* Out = FBlock.data();
  Render(Out, Count);
  if (FEnvelope)
    ApplyEnvelope(Out, FFrame, Count, FDataSize, FSettings.Stereo, FSettings.Resolution,
                  *FEnvelope);
  FFrame += Count;
  std::size_t Size = std::size_t(Count * FFrameBytes);
  if (FFrame == FFrames) {
    // The spare bytes that the last frame leaves: the image holds DataSize + spare bytes here.
    const std::size_t Spare =
        std::size_t(FDataSize + int64_t(WaveSpareSize) - FFrames * FFrameBytes);
    std::memset(Out + Size, FillByte(FSettings.Resolution), Spare);
    Size += Spare;
    FDone = true;
  }
  return {Out, Size};
}

void TToneBlocks::Render(uint8_t* Out, int64_t Count) {
  if (FSettings.UltrasoundOnly) {
    const int Channels = FSettings.Stereo ? 2 : 1;
    for (int64_t Frame = FFrame; Frame < FFrame + Count; ++Frame)
      for (int Channel = 0; Channel < Channels; ++Channel, Out += 2) {
        const uint16_t Sample = uint16_t(FUltrasound[std::size_t(Frame)]);
        Out[0] = uint8_t(Sample);
        Out[1] = uint8_t(Sample >> 8);
      }
    return;
  }
  if (FCursors.empty())
    std::memset(Out, FillByte(FSettings.Resolution), std::size_t(Count * FFrameBytes));
  for (std::size_t I = 0; I < FCursors.size(); ++I) FCursors[I]->Render(Out, Count, I == 0);
}

bool WriteToneFile(const std::string& FileName, const TToneSettings& Settings,
                   const TEnvelopeSettings* Envelope) {
  TToneBlocks Blocks(Settings, Envelope);
  uint8_t Header[WaveHeaderSize];
  WriteWaveHeader(Header, ToneWaveFormat(Settings), uint32_t(Blocks.DataSize()));
  std::FILE* File = std::fopen(FileName.c_str(), "wb");
  if (!File) return false;
  // The blocks are large: they go to the file straight, without a copy into a stream buffer.
  std::setvbuf(File, nullptr, _IONBF, 0);
  std::fwrite(Header, 1, sizeof Header, File);
  for (auto Block = Blocks.Next(); !Block.empty() && !std::ferror(File); Block = Blocks.Next())
    std::fwrite(Block.data(), 1, Block.size(), File);
  const bool Failed = std::ferror(File) != 0;
  return std::fclose(File) == 0 && !Failed;
}

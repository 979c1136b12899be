#include "platform/audio/WaveImage.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t Read32(const uint8_t* P) {
  return P[0] | P[1] << 8 | P[2] << 16 | uint32_t(P[3]) << 24;
}
uint16_t Read16(const uint8_t* P) {
  return uint16_t(P[0] | P[1] << 8);
}

}  // namespace

bool ParseWaveImage(const uint8_t* Image, std::size_t Size, TWaveFormat& Format) {
  if (!Image || Size < 12 || std::memcmp(Image, "RIFF", 4) != 0 ||
      std::memcmp(Image + 8, "WAVE", 4) != 0)
    return false;
  bool HaveFormat = false;
  std::size_t Pos = 12;
  while (Pos + 8 <= Size) {
    const uint8_t* Chunk = Image + Pos;
    const std::size_t Length = Read32(Chunk + 4);
    const std::size_t Body = Pos + 8;
    if (std::memcmp(Chunk, "fmt ", 4) == 0) {
      if (Length < 16 || Body + 16 > Size || Read16(Chunk + 8) != 1) return false;
      Format.Channels = Read16(Chunk + 10);
      Format.Rate = Read32(Chunk + 12);
      Format.Bits = Read16(Chunk + 22);
      if ((Format.Bits != 8 && Format.Bits != 16) || Format.Channels < 1 || Format.Channels > 8 ||
          Format.Rate == 0)
        return false;
      HaveFormat = true;
    } else if (std::memcmp(Chunk, "data", 4) == 0) {
      if (!HaveFormat) return false;
      const std::size_t Available = Size - Body < Length ? Size - Body : Length;
      Format.DataOffset = Body;
      Format.DataBytes = Available - Available % Format.FrameBytes();
      return true;
    }
    // Chunks are padded to even lengths.
    Pos = Body + Length + (Length & 1);
  }
  return false;
}

TWaveFormat RicherStream(const TWaveFormat& A, const TWaveFormat& B) {
  TWaveFormat Result;
  Result.Rate = std::max(A.Rate, B.Rate);
  Result.Channels = std::max(A.Channels, B.Channels);
  Result.Bits = std::max(A.Bits, B.Bits);
  return Result;
}

#include "platform/audio/WaveImage.h"

#include <algorithm>
#include <cstring>

#include "platform/core/ByteOrder.h"

bool ParseWaveImage(const uint8_t* Image, std::size_t Size, TWaveFormat& Format) {
  if (!Image || Size < 12 || std::memcmp(Image, "RIFF", 4) != 0 ||
      std::memcmp(Image + 8, "WAVE", 4) != 0)
    return false;
  bool HaveFormat = false;
  std::size_t Pos = 12;
  while (Pos + 8 <= Size) {
    const uint8_t* Chunk = Image + Pos;
    const std::size_t Length = GetLE32(Chunk + 4);
    const std::size_t Body = Pos + 8;
    if (std::memcmp(Chunk, "fmt ", 4) == 0) {
      if (Length < 16 || Body + 16 > Size || GetLE16(Chunk + 8) != 1) return false;
      Format.Channels = GetLE16(Chunk + 10);
      Format.Rate = GetLE32(Chunk + 12);
      Format.Bits = GetLE16(Chunk + 22);
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

void WriteWaveHeader(uint8_t* Dest, const TWaveFormat& Format, uint32_t DataBytes) {
  const auto FrameBytes = static_cast<uint16_t>(Format.FrameBytes());
  std::memcpy(Dest, "RIFF", 4);
  PutLE32(Dest + 4, DataBytes + 36);
  std::memcpy(Dest + 8, "WAVEfmt ", 8);
  PutLE32(Dest + 16, 16);
  PutLE16(Dest + 20, 1);  // PCM
  PutLE16(Dest + 22, Format.Channels);
  PutLE32(Dest + 24, Format.Rate);
  PutLE32(Dest + 28, Format.Rate * FrameBytes);
  PutLE16(Dest + 32, FrameBytes);
  PutLE16(Dest + 34, Format.Bits);
  std::memcpy(Dest + 36, "data", 4);
  PutLE32(Dest + 40, DataBytes);
}

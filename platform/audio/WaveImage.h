// Reads the format and the sample area of an in-memory RIFF/WAVE PCM image.
#pragma once

#include <cstddef>
#include <cstdint>

struct TWaveFormat {
  uint32_t Rate = 0;
  uint16_t Channels = 0;
  uint16_t Bits = 0;
  std::size_t DataOffset = 0;
  // Bytes of whole frames that lie inside the image (a trailing part frame is dropped).
  std::size_t DataBytes = 0;

  std::size_t FrameBytes() const { return std::size_t(Channels) * (Bits / 8); }
  bool SameStream(const TWaveFormat& Other) const {
    return Rate == Other.Rate && Channels == Other.Channels && Bits == Other.Bits;
  }
};

// False when Image is not an 8- or 16-bit PCM RIFF/WAVE image with 1 to 8 channels.
bool ParseWaveImage(const uint8_t* Image, std::size_t Size, TWaveFormat& Format);

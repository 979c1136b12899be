// In-memory RIFF/WAVE PCM images: their shared form, reading their format and sample area, and
// writing their header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// An image's bytes, immutable once built and shared between whoever built them and the sound
// service, which keeps them alive for as long as its audio thread may read them.
using TSharedImage = std::shared_ptr<const std::vector<uint8_t>>;

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

// A stream format that both A and B convert to without loss: the higher rate, the wider sample
// and the more channels of the two.
TWaveFormat RicherStream(const TWaveFormat& A, const TWaveFormat& B);

// False when Image is not an 8- or 16-bit PCM RIFF/WAVE image with 1 to 8 channels.
bool ParseWaveImage(const uint8_t* Image, std::size_t Size, TWaveFormat& Format);

// Bytes of the header WriteWaveHeader writes: the RIFF head, a 16-byte format chunk and the head
// of the data chunk, so the samples follow at this offset.
constexpr std::size_t WaveHeaderSize = 44;
// Writes at Dest the header of a PCM image in Format's rate, channels and bits whose sample area
// holds DataBytes bytes.
void WriteWaveHeader(uint8_t* Dest, const TWaveFormat& Format, uint32_t DataBytes);

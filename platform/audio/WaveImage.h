// In-memory RIFF/WAVE PCM images: their shared form, and reading their format and sample area.
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

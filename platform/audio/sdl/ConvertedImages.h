// Images the program converted to the output's rate, kept so that a tone played again (each pass
// of a sweep through its band) is not converted again: the converter designs its filter anew for
// every image, which cost a played sweep more than making its tones. An image is found by its
// bytes, so a tone built again finds the conversion of its earlier build, and what plays is the
// same to the byte. Not thread-safe: the sound service calls it on its calling thread only.
#pragma once

#include <cstddef>
#include <list>

#include "platform/audio/WaveImage.h"

class TConvertedImages {
 public:
  // The bytes of sources and conversions a player keeps at most; the least recently played go
  // first.
  static constexpr std::size_t KeptBytes = 32u << 20;

  explicit TConvertedImages(std::size_t Bound = KeptBytes) : FBound(Bound) {}

  // Image (whose format is Format) converted to Rate as ConvertImageRate converts it, from the
  // images kept or converted now and kept. Throws std::bad_alloc as ConvertImageRate does.
  TSharedImage Of(const TSharedImage& Image, const TWaveFormat& Format, unsigned Rate, bool Loop);

 private:
  struct TEntry {
    std::size_t Hash;
    unsigned Rate;
    bool Loop;
    TSharedImage Source, Converted;
    std::size_t Bytes() const { return Source->size() + Converted->size(); }
  };
  std::list<TEntry> FEntries;  // the most recently played first
  std::size_t FBound;
  std::size_t FBytes = 0;
};

// Parses arbitrary bytes as an in-memory RIFF/WAVE image. An accepted image must describe a
// sample area of whole frames inside the bytes; the fuzzer's buffer is exactly Size long, so
// touching every sample byte shows a read past the end.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/audio/WaveImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TWaveFormat Format;
  if (!ParseWaveImage(Data, Size, Format)) return 0;
  const bool Sound = Format.DataOffset <= Size && Format.DataBytes <= Size - Format.DataOffset &&
                     Format.FrameBytes() > 0 && Format.DataBytes % Format.FrameBytes() == 0;
  if (!Sound) {
    std::fprintf(stderr, "accepted image with %zu data bytes at %zu of %zu\n", Format.DataBytes,
                 Format.DataOffset, Size);
    std::abort();
  }
  unsigned Sum = 0;
  for (std::size_t I = 0; I < Format.DataBytes; ++I) Sum += Data[Format.DataOffset + I];
  volatile unsigned Sink = Sum;
  (void)Sink;
  return 0;
}

#include "platform/audio/sdl/ImageResampler.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <numeric>

namespace {

// Frames of context converted on each side of the image and then cut off, enough for the
// filter's reach. A whole number of the rates' common period, so the cut falls on an output frame.
std::size_t Margin(unsigned From, unsigned To) {
  const std::size_t Period = From / std::gcd(From, To);
  return Period * ((4096 + Period - 1) / Period);
}

float Sample(const uint8_t* Data, std::size_t Index, uint16_t Bits) {
  if (Bits == 8) return (float(Data[Index]) - 128.0f) / 128.0f;
  const auto Value = int16_t(uint16_t(Data[2 * Index] | (Data[2 * Index + 1] << 8)));
  return float(Value) / 32768.0f;
}

void Store(uint8_t* Data, std::size_t Index, uint16_t Bits, float Value) {
  if (Bits == 8) {
    Data[Index] = uint8_t(std::clamp(std::lround(Value * 128.0f) + 128, 0L, 255L));
    return;
  }
  const auto Word = uint16_t(int16_t(std::clamp(std::lround(Value * 32768.0f), -32768L, 32767L)));
  Data[2 * Index] = uint8_t(Word & 0xFF);
  Data[2 * Index + 1] = uint8_t(Word >> 8);
}

soxr_quality_spec_t Quality() {
  return soxr_quality_spec(SOXR_VHQ, 0);
}

}  // namespace

double ConverterPassband() {
  return Quality().passband_end;
}

TSharedImage ConvertImageRate(const TSharedImage& Image, const TWaveFormat& Format, unsigned Rate,
                              bool Loop) {
  const std::size_t Channels = Format.Channels;
  const std::size_t Frames = Format.DataBytes / Format.FrameBytes();
  const std::size_t Pad = Margin(Format.Rate, Rate);
  const uint8_t* Data = Image->data() + Format.DataOffset;

  // The image with its context: the loop's other end, or silence.
  std::vector<float> In((Frames + 2 * Pad) * Channels, 0.0f);
  for (std::size_t Frame = 0; Frame < Frames + 2 * Pad; ++Frame) {
    const bool Inside = Frame >= Pad && Frame < Pad + Frames;
    if ((!Inside && !Loop) || Frames == 0) continue;
    const std::size_t From = (Frame + Frames * (Pad / Frames + 1) - Pad) % Frames;
    for (std::size_t C = 0; C < Channels; ++C)
      In[Frame * Channels + C] = Sample(Data, From * Channels + C, Format.Bits);
  }

  const double Ratio = double(Rate) / Format.Rate;
  std::vector<float> Out(std::size_t(std::ceil(double(Frames + 2 * Pad) * Ratio)) * Channels + 1);
  std::size_t Done = 0;
  const soxr_io_spec_t Io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t Q = Quality();
  if (soxr_oneshot(Format.Rate, Rate, unsigned(Channels), In.data(), Frames + 2 * Pad, nullptr,
                   Out.data(), Out.size() / Channels, &Done, &Io, &Q, nullptr) != nullptr)
    throw std::bad_alloc();

  const std::size_t Skip = std::size_t(std::llround(double(Pad) * Ratio));
  const std::size_t Kept =
      std::min(std::size_t(std::llround(double(Frames) * Ratio)), Done > Skip ? Done - Skip : 0);
  TWaveFormat Converted = Format;
  Converted.Rate = Rate;
  const std::size_t Bytes = Kept * Format.FrameBytes();
  auto Result = std::make_shared<std::vector<uint8_t>>(WaveHeaderSize + Bytes);
  WriteWaveHeader(Result->data(), Converted, uint32_t(Bytes));
  uint8_t* Samples = Result->data() + WaveHeaderSize;
  for (std::size_t I = 0; I < Kept * Channels; ++I)
    Store(Samples, I, Format.Bits, Out[Skip * Channels + I]);
  return Result;
}

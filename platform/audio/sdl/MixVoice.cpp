#include "platform/audio/sdl/MixVoice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Frames handed to a converter at a time: enough for one device buffer at any rate ratio the
// service meets, in a few turns.
constexpr std::size_t ChunkFrames = 512;

int SampleAt(const uint8_t* P, bool EightBit) {
  return EightBit ? P[0] - 128 : int16_t(P[0] | P[1] << 8);
}

void PutSample(uint8_t* P, int Sample, bool EightBit) {
  if (EightBit) {
    P[0] = uint8_t(Sample + 128);
    return;
  }
  P[0] = uint8_t(Sample);
  P[1] = uint8_t(uint16_t(Sample) >> 8);
}

// How long a sound played once with a fade keeps the device streaming silence after its end, so
// that the server has played that end before the device may close.
constexpr std::size_t TrailMilliseconds = FadedStreamHeardMilliseconds;

int Scale(int Sample, uint32_t Gain) {
  return Sample * int(Gain) / 0xFFFF;
}

// A raised cosine from 0 at Step 0 to 1 at Step Steps: its sidebands fall away within a few
// hundred hertz of a tone, so a fading tone above 20 kHz puts nothing audible beside it.
double RaisedCosine(std::size_t Step, std::size_t Steps) {
  if (Step >= Steps) return 1.0;
  return 0.5 - 0.5 * std::cos(std::numbers::pi * double(Step) / double(Steps));
}

}  // namespace

SDL_AudioFormat SdlFormat(const TWaveFormat& Format) {
  return Format.Bits == 16 ? AUDIO_S16LSB : AUDIO_U8;
}

bool TMixVoice::Start(const TSharedImage& Image, const TWaveFormat& Format, bool Loop,
                      const TWaveFormat& Device, bool Fade) {
  FFormat = Format;
  FLoop = Loop;
  FPos = 0;
  FFadeFrames = Fade ? std::max<std::size_t>(1, Format.Rate * FadeMilliseconds / 1000) : 0;
  FFrame = 0;
  FFadeLeft = 0;
  FFadingOut = false;
  // A server plays what it was handed some way behind; a sound that ends faded is heard to its
  // end only when the device streams on a while before it may close.
  FTrailLeft = Fade && !Loop ? Format.Rate * TrailMilliseconds / 1000 : 0;
  FDrained = false;
  if (!Retarget(Device)) return false;
  FImage = Image;
  FSounding = true;
  ++FSound;
  return true;
}

void TMixVoice::FadeOut() {
  if (!Fades() || FFadingOut) return;
  // A voice still fading in fades out from where it stands.
  const double Gain = FadeGain();
  FFadingOut = true;
  FFadeLeft = std::size_t(std::lround(double(FFadeFrames) * Gain));
}

double TMixVoice::FadeGain() const {
  if (FFadeFrames == 0) return 1.0;
  if (FFadingOut) return RaisedCosine(FFadeLeft, FFadeFrames);
  double Gain = RaisedCosine(FFrame, FFadeFrames);
  // A sound played once fades out over its last frames.
  if (!FLoop) {
    const std::size_t Left = (FFormat.DataBytes - FPos) / FFormat.FrameBytes();
    Gain = std::min(Gain, RaisedCosine(Left, FFadeFrames));
  }
  return Gain;
}

void TMixVoice::StepFade() {
  if (FFadingOut) {
    if (FFadeLeft > 0) --FFadeLeft;
  } else if (FFrame < FFadeFrames) {
    ++FFrame;
  }
}

TSharedImage TMixVoice::Stop() {
  FSounding = false;
  FEnded = FSound;
  FConverter.reset();
  return std::move(FImage);
}

bool TMixVoice::Retarget(const TWaveFormat& Device) {
  FDevice = Device;
  FFlushed = false;
  FConverter.reset();
  if (FFormat.SameStream(Device)) return true;
  FConverter.reset(SDL_NewAudioStream(SdlFormat(FFormat), uint8_t(FFormat.Channels),
                                      int(FFormat.Rate), SdlFormat(Device),
                                      uint8_t(Device.Channels), int(Device.Rate)));
  return FConverter != nullptr;
}

void TMixVoice::MixInto(int32_t* Mix, std::size_t Samples) {
  if (!FSounding) return;
  if (FTrailLeft > 0 && FPos == FFormat.DataBytes && (!FConverter || FFlushed)) {
    FTrailLeft -= std::min(FTrailLeft, Samples / std::max<std::size_t>(1, FDevice.Channels));
    if (!FConverter) return;
  }
  if (FConverter)
    MixConverted(Mix, Samples);
  else
    MixDirect(Mix, Samples);
}

void TMixVoice::MixDirect(int32_t* Mix, std::size_t Samples) {
  for (std::size_t Out = 0; Out < Samples && FPos < FFormat.DataBytes; ++Out)
    Mix[Out] += NextScaled();
}

void TMixVoice::MixConverted(int32_t* Mix, std::size_t Samples) {
  SDL_AudioStream* Converter = FConverter.get();
  const bool EightBit = FFormat.Bits == 8, DeviceEightBit = FDevice.Bits == 8;
  const std::size_t DeviceSampleBytes = DeviceEightBit ? 1 : 2;
  const int Wanted = int(Samples * DeviceSampleBytes);
  while (!FFlushed && SDL_AudioStreamAvailable(Converter) < Wanted) {
    if (FPos == FFormat.DataBytes) {
      // The resampler holds back its last few frames until it is told that no more will come.
      SDL_AudioStreamFlush(Converter);
      FFlushed = true;
      break;
    }
    const std::size_t Bytes =
        std::min(ChunkFrames * FFormat.FrameBytes(), FFormat.DataBytes - FPos);
    FScaled.resize(Bytes);
    for (std::size_t I = 0; I < Bytes; I += EightBit ? 1 : 2)
      PutSample(&FScaled[I], NextScaled(), EightBit);
    if (SDL_AudioStreamPut(Converter, FScaled.data(), int(Bytes)) != 0) break;
  }
  FConverted.resize(std::size_t(Wanted));
  const int Got = SDL_AudioStreamGet(Converter, FConverted.data(), Wanted);
  for (std::size_t I = 0; Got > 0 && I < std::size_t(Got) / DeviceSampleBytes; ++I)
    Mix[I] += SampleAt(&FConverted[I * DeviceSampleBytes], DeviceEightBit);
}

int TMixVoice::NextScaled() {
  const bool EightBit = FFormat.Bits == 8;
  const std::size_t SampleBytes = EightBit ? 1 : 2;
  const uint32_t Left = FVolume & 0xFFFF, Right = FVolume >> 16;
  // A mono image sounds on both speakers: it gets the mean of the two volumes. Channels past
  // the second take the left volume.
  const uint32_t Gain = FFormat.Channels == 1                          ? (Left + Right) / 2
                        : (FPos / SampleBytes) % FFormat.Channels == 1 ? Right
                                                                       : Left;
  int Sample = Scale(SampleAt(FImage->data() + FFormat.DataOffset + FPos, EightBit), Gain);
  if (FFadeFrames > 0) {
    Sample = int(std::lround(Sample * FadeGain()));
    // The last channel of a frame moves the fade on.
    if ((FPos / SampleBytes) % FFormat.Channels == FFormat.Channels - 1u) StepFade();
  }
  FPos += SampleBytes;
  if (FPos == FFormat.DataBytes && FLoop) FPos = 0;
  return Sample;
}

bool TMixVoice::Exhausted() const {
  if (FLoop && FFormat.DataBytes > 0) return false;
  if (FTrailLeft > 0) return false;
  if (!FConverter) return FPos == FFormat.DataBytes;
  return FFlushed && SDL_AudioStreamAvailable(FConverter.get()) == 0;
}

bool TMixVoice::EndOfBuffer() {
  if (!FSounding || !Exhausted()) return false;
  // The last samples went out in this buffer; once the next one is asked for they have played.
  if (!FDrained) {
    FDrained = true;
    return false;
  }
  FSounding = false;
  FEnded = FSound;
  return true;
}

void WriteMix(const std::vector<int32_t>& Mix, bool EightBit, uint8_t* Out) {
  const int Low = EightBit ? -128 : -32768, High = EightBit ? 127 : 32767;
  const std::size_t SampleBytes = EightBit ? 1 : 2;
  for (std::size_t I = 0; I < Mix.size(); ++I)
    PutSample(Out + I * SampleBytes, std::clamp(Mix[I], Low, High), EightBit);
}

// A voice played with SND_FADE through SDL's disk driver: it rises from silence, falls back to it
// when stopped, replaced or at the end of a sound played once, and never jumps on the way, so a
// tone above hearing starts, stops and changes without a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/audio/WaveImage.h"
#include "platform/audio/sdl/SdlSoundService.h"
#include "platform/core/ByteOrder.h"
#include "tests/support/DiskAudio.h"
#include "tests/support/ScratchFolder.h"

namespace {

// A mono 16-bit image at 96000 Hz that holds Value throughout.
TSharedImage Level(std::size_t Frames, int Value) {
  auto Image = std::make_shared<std::vector<uint8_t>>(WaveHeaderSize + 2 * Frames);
  WriteWaveHeader(Image->data(), {.Rate = 96000, .Channels = 1, .Bits = 16}, uint32_t(2 * Frames));
  for (std::size_t I = 0; I < Frames; ++I)
    PutLE16(Image->data() + WaveHeaderSize + 2 * I, uint16_t(Value));
  return Image;
}

std::vector<int> Samples(const std::vector<uint8_t>& Bytes) {
  std::vector<int> Out;
  for (std::size_t I = 0; I + 1 < Bytes.size(); I += 2) Out.push_back(int16_t(GetLE16(&Bytes[I])));
  return Out;
}

// The largest step between neighbouring samples.
int LargestStep(const std::vector<int>& S) {
  int Largest = 0;
  for (std::size_t I = 1; I < S.size(); ++I) Largest = std::max(Largest, std::abs(S[I] - S[I - 1]));
  return Largest;
}

}  // namespace

TEST(Fade, AFadingVoiceNeverJumps) {
  const TScratchFolder Folder("tessolon-fade-");
  const TDiskAudio Device(Folder / "device.raw");
  constexpr int High = 20000;
  // A raised cosine over 4 ms (384 frames) rises at most pi / 2 / 384 of the level a frame.
  const int Smooth = int(std::ceil(High * M_PI / 2 / 384)) + 2;
  auto Service = std::make_unique<TSdlSoundService>();
  const uint32_t Loop = SND_MEMORY | SND_ASYNC | SND_LOOP | SND_FADE;
  ASSERT_TRUE(Service->PlayImage(svTone, Level(960, High), Loop));
  ASSERT_TRUE(Device.WaitFor(0, 4 * 9600));
  // Replaced, then stopped; then a sound played once, which ends on its own.
  ASSERT_TRUE(Service->PlayImage(svTone, Level(960, -High), Loop));
  ASSERT_TRUE(Device.WaitFor(Device.Size(), 4 * 9600));
  Service->Stop(svTone);
  ASSERT_TRUE(Service->PlayImage(svTone, Level(9600, High), SND_MEMORY | SND_FADE));
  Service.reset();
  const std::vector<int> S = Samples(Device.Bytes());
  ASSERT_FALSE(S.empty());
  EXPECT_LE(LargestStep(S), Smooth);
  // Each level was reached in full, and the last sound ended in silence.
  EXPECT_EQ(*std::max_element(S.begin(), S.end()), High);
  EXPECT_EQ(*std::min_element(S.begin(), S.end()), -High);
  EXPECT_EQ(S.back(), 0);
}

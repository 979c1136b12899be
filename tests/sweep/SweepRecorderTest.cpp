#include "sweep/SweepRecorder.h"

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"
#include "sound/ToneGen.h"

namespace {

// A mono 8-bit image at 1000 frames per second holding Frames samples 1, 2, 3, ...
std::vector<uint8_t> Image(uint32_t Rate, int Frames, uint16_t Channels = 1) {
  std::vector<uint8_t> Out = {'R', 'I', 'F', 'F', 0,   0,  0, 0, 'W', 'A', 'V',
                              'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,   1,   0};
  auto Put = [&](uint32_t V, int Bytes) {
    for (int I = 0; I < Bytes; ++I) Out.push_back((V >> (8 * I)) & 0xFF);
  };
  Put(Channels, 2);
  Put(Rate, 4);
  Put(Rate * Channels, 4);
  Put(Channels, 2);
  Put(8, 2);
  Out.insert(Out.end(), {'d', 'a', 't', 'a'});
  Put(Frames * Channels, 4);
  for (int I = 0; I < Frames * Channels; ++I) Out.push_back(static_cast<uint8_t>(I + 1));
  Out.resize(Out.size() + 32, 0x80);  // spare bytes that are not played
  return Out;
}

}  // namespace

TEST(SweepRecorder, RepeatsEachTonesFramesCutsAtTheIntervalAndRefusesAFormatChange) {
  TToneGen ToneGen(nullptr);
  TSweepRecorder Recorder(ToneGen, [] { return 0; });
  const auto First = Image(1000, 3), Second = Image(1000, 4);
  Recorder.Append(First.data(), First.size(), 7);
  Recorder.Append(Second.data(), Second.size(), 5);
  EXPECT_EQ(Recorder.Samples(), (std::vector<uint8_t>{1, 2, 3, 1, 2, 3, 1, 1, 2, 3, 4, 1}));
  const std::vector<uint8_t> Header = Recorder.WaveHeader();
  ASSERT_EQ(Header.size(), 44u);
  EXPECT_EQ(Header[40], 12);  // data size

  // A change of format and an image that is no WAVE image are refused, adding nothing.
  const auto Stereo = Image(1000, 3, 2);
  EXPECT_THROW(Recorder.Append(Stereo.data(), Stereo.size(), 2), Exception);
  const uint8_t Junk[8] = {1, 2, 3};
  EXPECT_THROW(Recorder.Append(Junk, sizeof Junk, 2), Exception);
  EXPECT_EQ(Recorder.Samples().size(), 12u);
}

TEST(SweepRecorder, RecordsTheToneGeneratorsImageForEachTone) {
  TToneGen ToneGen(nullptr);
  int Interval = 50;
  TSweepRecorder Recorder(ToneGen, [&] { return Interval; });
  Recorder.SoundCardTone(1000, false);
  Interval = 20;
  Recorder.SoundCardTone(2000, true);
  TWaveFormat Format;
  ASSERT_TRUE(ParseWaveImage(ToneGen.GetDataBuffer(), ToneGen.DataBufferSize(), Format));
  EXPECT_EQ(Recorder.Samples().size(), Format.Rate * 70 / 1000 * Format.FrameBytes());
  EXPECT_EQ(ToneGen.Frequency(), 2000);
}

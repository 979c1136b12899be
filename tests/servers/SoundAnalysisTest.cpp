// The measuring instrument itself: sines of known level, frequency and timing, written as
// parec writes them, must read back as what they are. Every server test's verdict rests on it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>

#include "platform/core/ByteOrder.h"
#include "tests/servers/SoundAnalysis.h"
#include "tests/support/ScratchFolder.h"

namespace {

struct TCase {
  const char* Name;
  unsigned Rate;
  double Hz, Db;     // the sine, in dB relative to full scale
  double From, To;   // when it sounds, within a 3 s recording
  double AudibleDb;  // what the audible band must read; below -90 means nothing
};

const TCase Cases[] = {
    {"half scale at 15 kHz", 48000, 15000, -6.02, 0, 3, -6.02},
    {"folded tone at 18 kHz", 48000, 18000, -26, 0, 3, -26},
    {"full scale at 30 kHz is inaudible", 96000, 30000, 0, 0, 3, -100},
    {"a short burst reads its own level", 48000, 1000, -6.02, 1.0, 1.4, -6.02},
};

// Stereo s16, both channels alike, as parec writes it.
std::filesystem::path WriteSine(const TScratchFolder& Scratch, const TCase& Case) {
  const std::filesystem::path File = Scratch / "sine.raw";
  std::ofstream Out(File, std::ios::binary);
  const double Amplitude = 32767 * std::pow(10, Case.Db / 20);
  for (unsigned N = 0; N < 3 * Case.Rate; ++N) {
    const double T = double(N) / Case.Rate;
    const bool Sounds = T >= Case.From && T < Case.To;
    const auto Sample = std::int16_t(
        Sounds ? std::lround(Amplitude * std::sin(2 * std::numbers::pi * Case.Hz * T)) : 0);
    std::uint8_t Bytes[2];
    PutLE16(Bytes, std::uint16_t(Sample));
    for (int Channel = 0; Channel < 2; ++Channel) Out.write(reinterpret_cast<char*>(Bytes), 2);
  }
  return File;
}

}  // namespace

TEST(SoundAnalysisTest, KnownSinesReadBackAtTheirLevelFrequencyAndTime) {
  TScratchFolder Scratch;
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const TRecording Sound = ReadRawS16(WriteSine(Scratch, Case), Case.Rate, 2);
    ASSERT_DOUBLE_EQ(Sound.Seconds(), 3);
    const TAnalysis Result = Analyse(Sound);
    SCOPED_TRACE(Result.Describe());
    if (Case.AudibleDb < -90)
      EXPECT_LT(Result.Loudest.AudibleDb, -90);
    else
      EXPECT_NEAR(Result.Loudest.AudibleDb, Case.AudibleDb, 0.2);
    EXPECT_NEAR(Result.Strongest.PeakHz, Case.Hz, 10);
    EXPECT_NEAR(Result.Strongest.PeakDb, Case.Db, 0.2);
    // The loudest stretch lies wholly within the sound, so a burst is not diluted by silence.
    EXPECT_GE(Result.Loudest.Start, Case.From);
    EXPECT_LE(Result.Loudest.Start + 0.17, Case.To);
  }
}

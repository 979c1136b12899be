// Images made block by block against fingerprints of images that an engine which filled the
// whole image first and added every partial into it made for the same settings: the component's
// image and the file written without holding it must both carry those bytes. The tones span
// several blocks, start with each kind of partial, draw noise for more than one partial, and
// shape an envelope across block boundaries.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/audio/RecordingSoundService.h"
#include "sound/ToneBlocks.h"
#include "sound/ToneGen.h"
#include "tests/support/ScratchFolder.h"

namespace {

struct TRow {
  TTGAMLevel Level;
  int16_t Amplitude;
  TTGWave Waveform;
  float Multiplier;
};

struct TGoldenTone {
  const char* What;
  int Frequency, Duration;
  TTGWave Waveform;
  TTGResolution Resolution;
  TTGQuality Quality;
  bool Stereo, BandLimited, Envelope;
  const std::vector<TRow>& Rows;
  int EnvelopeShares;  // attack, hold, decay and release, when not 0
  uint64_t Fingerprint;
  std::size_t Size;
};

// The partials (rows of the table beside the main tone) the tones carry.
const std::vector<TRow> NoRows,
    Sine = {{tgAMLevel1, 30, tgSine, 0.3f}}, Noise = {{tgAMLevel1, 40, tgNoise, 1.0f}},
    HighNoise = {{tgAMLevel3, 20, tgNoise, 1.5f}},
    NoiseAndSawtooth = {{tgAMLevel1, 100, tgNoise, 2.0f}, {tgAMLevel2, 50, tgSawtooth, 0.5f}};

const TGoldenTone Tones[] = {
    {"20 kHz sine, 16-bit stereo, 6 blocks", 20000, 1000, tgSine, tg16Bit, tgHiQ, true, false,
     false, NoRows, 0, 0xb3745de2261b656a, 384076},
    {"8-bit square", 440, 15, tgSquare, tg8Bit, tgLoQ, false, false, false, NoRows, 0,
     0x9ffd59429613918a, 737},
    {"odd data size: the last sample reaches the spare bytes", 1000, 15, tgTriangle, tg16Bit, tgLoQ,
     false, false, false, NoRows, 0, 0x3dd6955303854fd8, 1399},
    {"no main tone: noise first, rows scaled, envelope over 5 blocks", 14999, 1500, tgSawtooth,
     tg16Bit, tgLoQ, true, false, true, NoiseAndSawtooth, 50, 0x22563a27354b484e, 264676},
    {"two noise partials draw from one sequence", 1234, 700, tgNoise, tg8Bit, tgHiQ, true, false,
     false, Noise, 0, 0xc7f7a25b66307ac9, 134476},
    {"band-limited with noise and envelope", 20, 800, tgSawtooth, tg16Bit, tgHiQ, false, true, true,
     HighNoise, 0, 0x5fd3e80a5082c25f, 153676},
    {"a square whose cycle never ends", 47000, 100, tgSquare, tg16Bit, tgLoQ, false, false, false,
     NoRows, 0, 0x5b8aaad7e389dda7, 8896},
    {"3-frame sine with a row", 32000, 100, tgSine, tg16Bit, tgHiQ, false, false, false, Sine, 0,
     0xa2831a0d64bd2ad2, 19276},
};

uint64_t Fingerprint(const uint8_t* Bytes, std::size_t Size) {
  uint64_t Hash = 0xcbf29ce484222325u;  // FNV-1a
  for (std::size_t I = 0; I < Size; ++I) Hash = (Hash ^ Bytes[I]) * 0x100000001b3u;
  return Hash;
}

void Configure(TToneGen& Tone, const TGoldenTone& T) {
  Tone.SetFrequency(T.Frequency);
  Tone.SetDuration(T.Duration);
  Tone.SetWaveform(T.Waveform);
  Tone.SetResolution(T.Resolution);
  Tone.SetQuality(T.Quality);
  Tone.SetStereo(T.Stereo);
  Tone.SetBandLimited(T.BandLimited);
  for (const TRow& Row : T.Rows)
    Tone.SetAMParameter(Row.Level, Row.Amplitude, Row.Multiplier, Row.Waveform);
  if (T.EnvelopeShares != 0)
    for (auto Set :
         {&TToneGen::SetAttack, &TToneGen::SetHold, &TToneGen::SetDecay, &TToneGen::SetRelease})
      (Tone.*Set)(T.EnvelopeShares);
}

TEST(ToneBlocks, ImageAndFileCarryTheBytesOfAWholeBuild) {
  TRecordingSoundService Service;
  TScopedSoundService Install(Service);
  const TScratchFolder Folder("tessolon-blocks-");
  const std::string Path = (Folder / "tone.wav").string();
  for (const TGoldenTone& T : Tones) {
    SCOPED_TRACE(T.What);
    TToneGen Tone(nullptr);
    Configure(Tone, T);
    ASSERT_TRUE(T.Envelope ? Tone.PrepareADSR() : Tone.Prepare());
    ASSERT_EQ(std::size_t(Tone.DataBufferSize()), T.Size);
    EXPECT_EQ(Fingerprint(Tone.GetDataBuffer(), T.Size), T.Fingerprint);

    const TEnvelopeSettings Shape = Tone.Envelope();
    ASSERT_TRUE(WriteToneFile(Path, Tone.Settings(), T.Envelope ? &Shape : nullptr));
    std::ifstream In(Path, std::ios::binary);
    const std::vector<uint8_t> Written{std::istreambuf_iterator<char>(In), {}};
    ASSERT_EQ(Written.size(), T.Size);
    EXPECT_EQ(Fingerprint(Written.data(), Written.size()), T.Fingerprint);
  }
  std::filesystem::remove(Path);
  EXPECT_FALSE(WriteToneFile("/nonexistent-dir/x.wav", TToneSettings{}, nullptr));
}

}  // namespace

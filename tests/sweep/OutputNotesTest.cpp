// The plain words of the "Sound output" page for outputs that run at, above and below the
// images' rate, and for none.
#include "sweep/OutputNotes.h"

#include <gtest/gtest.h>

namespace {

TOutputChain Chain(TSoundServer Server, unsigned Rate, std::vector<unsigned> Allowed = {}) {
  TOutputChain Result;
  Result.Server = Server;
  Result.Driver = "pulseaudio";
  Result.Rate = Rate;
  Result.Allowed = std::move(Allowed);
  return Result;
}

// What people hear is measured (SweepLevelTest.cpp), not told from the band.
TEST(OutputNotes, SayWhatTheOutputCannotCarry) {
  const TOutputChain PipeWire48 = Chain(TSoundServer::PipeWire, 48000, {44100, 48000});
  const TOutputChain Pulse96 = Chain(TSoundServer::PulseAudio, 96000);
  const TOutputChain None = Chain(TSoundServer::None, 0);
  struct TCase {
    TBand Band;
    const TOutputChain& Output;
    const char* Note;
  };
  const TCase Cases[] = {
      {{5000, 15000}, PipeWire48, "The output can carry the whole band (5000-15000 Hz)."},
      {{30000, 25000}, PipeWire48, "The output cannot carry any of this band (25000-30000 Hz)."},
      {{15000, 23000}, PipeWire48, "The output cannot carry 21872-23000 Hz of this band."},
      {{18000, 22000}, Pulse96, "The output can carry the whole band (18000-22000 Hz)."},
      {{5000, 15000}, None, "Without an output device nothing of this band can be played."},
  };
  for (const TCase& Case : Cases)
    EXPECT_EQ(BandNote(Case.Band, Case.Output, 96000), Case.Note)
        << Case.Band.Low << "-" << Case.Band.High << " on " << Case.Output.Describe();

  EXPECT_EQ(OutputText(PipeWire48), "Output: PipeWire, graph at 48000 Hz (allowed: 44100, 48000)");
  EXPECT_EQ(OutputText(None), "Output: none");
  EXPECT_EQ(OutputRateText(PipeWire48, 96000), "It carries nothing at or above 21.9 kHz.");
  EXPECT_EQ(OutputRateText(Pulse96, 96000),
            "It plays the tones at their own rate: nothing at or above 48 kHz.");
  EXPECT_EQ(OutputRateText(Pulse96, 44100),
            "It plays the tones at their own rate: nothing at or above 22.05 kHz.");
  EXPECT_EQ(OutputRateText(None, 96000), "No output device could be opened.");
  EXPECT_EQ(UltrasoundNote({18000, 28000}),
            "Ultrasound only: 16-bit at 96000 Hz whatever the Resolution and Quality boxes say; "
            "partials below 20.5 kHz are left out. Tones below 20.5 kHz (18000-20499 Hz) stay "
            "silent.");
}

}  // namespace

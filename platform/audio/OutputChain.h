// What really carries the sound card's output: the sound server (or plain ALSA) behind SDL's
// driver, and the rate the whole chain runs at. SDL itself cannot tell: its PulseAudio and
// PipeWire drivers, and ALSA's plug layer, accept any rate and let the server resample, which
// folds a tone above half the real rate back into the audible band. So the chain is asked
// through the servers' own client libraries.
#pragma once

#include <string>
#include <vector>

enum class TSoundServer { None, PulseAudio, PipeWire, Alsa };

struct TOutputChain {
  TSoundServer Server = TSoundServer::None;
  std::string Driver;             // SDL's audio driver
  unsigned Rate = 0;              // what the chain runs at now; 0 when nothing could be opened
  std::vector<unsigned> Allowed;  // the rates a PipeWire graph may switch to
  unsigned Losses = 0;            // how often the output went away before this answer
  std::string Unavailable;        // why no driver could be asked (the audio module is missing)

  // "PipeWire, graph at 48000 Hz (allowed: 44100, 48000)", "PulseAudio, sink at 48000 Hz",
  // "ALSA, default device at 48000 Hz", "SDL's dummy driver at 96000 Hz", "no output (the audio
  // module is missing: FILE)".
  std::string Describe() const;
  // The rate an image of ImageRate samples per second reaches the output at: its own, or the
  // chain's when that is lower (the program then converts the image itself).
  unsigned CarriedRate(unsigned ImageRate) const;
  bool operator==(const TOutputChain&) const = default;
};

// Asks the chain behind SDL's driver Driver, which opened a device at SdlRate (0: none open) for
// an image of AskedRate. For PulseAudio and PipeWire the server's default sink (and PipeWire's
// clock settings), once the stream SDL opened has set the sink running, so that a sink which
// switches to the stream's rate has done so; for ALSA the default device's rate with resampling
// off; for any other driver SDL's own answer.
TOutputChain ProbeOutputChain(const std::string& Driver, unsigned AskedRate, unsigned SdlRate);

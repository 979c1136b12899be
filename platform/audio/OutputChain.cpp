#include "platform/audio/OutputChain.h"

#include "platform/audio/AlsaProbe.h"
#include "platform/audio/PipeWireProbe.h"
#include "platform/audio/PulseProbe.h"
#include "platform/core/Messages.h"

#include <thread>

namespace {

// A server on this machine answers in milliseconds; one that does not within this is taken as
// absent rather than waited for.
constexpr std::chrono::milliseconds AnswerLimit{1500};
// How long a sink may take to start running our stream (and so to switch to its rate).
constexpr std::chrono::milliseconds SettleLimit{600};

// The server, once its default sink runs the stream SDL has open (at once when none is open).
std::optional<TPulseServer> SettledServer(bool StreamOpen) {
  using Clock = std::chrono::steady_clock;
  const auto Deadline = Clock::now() + SettleLimit;
  for (;;) {
    auto Server = QueryPulseServer(AnswerLimit);
    const TPulseSink* Sink = Server ? Server->Default() : nullptr;
    if (!Sink || Sink->Running || !StreamOpen || Clock::now() >= Deadline) return Server;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string RateList(const std::vector<unsigned>& Rates) {
  std::string Text;
  for (unsigned Rate : Rates) Text += (Text.empty() ? "" : ", ") + std::to_string(Rate);
  return Text;
}

}  // namespace

std::string TOutputChain::Describe() const {
  switch (Server) {
    case TSoundServer::PipeWire:
      return Allowed.empty() ? FormatMessage("PipeWire, graph at %u Hz", Rate)
                             : FormatMessage("PipeWire, graph at %u Hz (allowed: %s)", Rate,
                                             RateList(Allowed).c_str());
    case TSoundServer::PulseAudio:
      return FormatMessage("PulseAudio, sink at %u Hz", Rate);
    case TSoundServer::Alsa:
      return FormatMessage("ALSA, default device at %u Hz", Rate);
    case TSoundServer::None:
      break;
  }
  if (!Unavailable.empty()) return FormatMessage("no output (%s)", Unavailable.c_str());
  if (Rate == 0) return FormatMessage("no output (SDL's %s driver)", Driver.c_str());
  return FormatMessage("SDL's %s driver at %u Hz", Driver.c_str(), Rate);
}

unsigned TOutputChain::CarriedRate(unsigned ImageRate) const {
  return Rate != 0 && Rate < ImageRate ? Rate : ImageRate;
}

TOutputChain ProbeOutputChain(const std::string& Driver, unsigned AskedRate, unsigned SdlRate) {
  TOutputChain Chain;
  Chain.Driver = Driver;
  Chain.Rate = SdlRate;
  if (Driver == "alsa") {
    if (const auto Rate = QueryAlsaRate(AskedRate)) {
      Chain.Server = TSoundServer::Alsa;
      Chain.Rate = *Rate;
    }
    return Chain;
  }
  if (Driver != "pulseaudio" && Driver != "pipewire") return Chain;
  // PipeWire's PulseAudio service answers for its graph; its own library adds the rates the
  // graph may switch to.
  const auto Server = SettledServer(SdlRate != 0);
  const TPulseSink* Sink = Server ? Server->Default() : nullptr;
  const bool OnPipeWire = Driver == "pipewire" || (Server && Server->OnPipeWire());
  const auto Clock = OnPipeWire ? QueryPipeWireClock(AnswerLimit) : std::nullopt;
  // A server that does not answer leaves nothing known: SDL's word is the one that folds.
  Chain.Rate = 0;
  if (Sink) {
    Chain.Server = OnPipeWire ? TSoundServer::PipeWire : TSoundServer::PulseAudio;
    Chain.Rate = Sink->Rate;
  } else if (Clock) {
    Chain.Server = TSoundServer::PipeWire;
    Chain.Rate = Clock->ForcedRate ? Clock->ForcedRate : Clock->Rate;
  }
  if (Clock) Chain.Allowed = Clock->Allowed;
  return Chain;
}

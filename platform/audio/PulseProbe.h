// What a PulseAudio server says of its default sink, asked through libpulse. PipeWire answers
// too, through its PulseAudio service. libpulse is loaded when first asked for, so a machine
// without it still runs; every wait is bounded, so a server that does not answer never hangs us.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <vector>

struct TPulseSink {
  std::string Name;
  std::string Description;  // what SDL lists the output as
  unsigned Rate = 0;        // its sample rate now (a PipeWire sink shows its graph's rate)
  bool Running = false;
};

struct TPulseServer {
  std::string ServerName;  // "pulseaudio", "PulseAudio (on PipeWire 0.3.65)"
  std::string DefaultSink;
  std::vector<TPulseSink> Sinks;
  bool OnPipeWire() const { return ServerName.find("PipeWire") != std::string::npos; }
  // The default sink; nullptr when the server has none.
  const TPulseSink* Default() const;
};

// The server libpulse finds (PULSE_SERVER, else the user's runtime folder) and its sinks;
// nullopt when libpulse cannot be loaded or no server answers within Limit. Never starts one.
std::optional<TPulseServer> QueryPulseServer(std::chrono::milliseconds Limit);

// Hears a server's changes on libpulse's own thread: another default sink, a sink's rate, the
// server going away. Changes() counts them, so that an answer kept from QueryPulseServer knows
// when to be asked again; the sink's running state and volumes do not count.
class TPulseWatch {
 public:
  // nullptr when libpulse cannot be loaded or no server can be reached.
  static std::unique_ptr<TPulseWatch> Start();
  ~TPulseWatch();
  TPulseWatch(const TPulseWatch&) = delete;
  TPulseWatch& operator=(const TPulseWatch&) = delete;

  uint64_t Changes() const { return FChanges.load(); }
  // False once the server has gone: nothing more will be heard.
  bool Connected() const { return FConnected.load(); }

 private:
  struct TState;
  TPulseWatch() = default;
  std::unique_ptr<TState> FState;
  std::atomic<uint64_t> FChanges{0};
  std::atomic<bool> FConnected{true};
};

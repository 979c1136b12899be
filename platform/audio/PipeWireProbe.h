// The clock settings of a PipeWire server (its "settings" metadata), asked through libpipewire:
// the rate its graph runs at when nothing asks for another, and the rates it may switch to.
// libpipewire is loaded when first asked for, so a machine without it still runs; every wait is
// bounded.
#pragma once

#include <chrono>
#include <optional>
#include <vector>

struct TPipeWireClock {
  unsigned Rate = 0;              // clock.rate: the graph's rate when idle
  unsigned ForcedRate = 0;        // clock.force-rate; 0 when not forced
  std::vector<unsigned> Allowed;  // clock.allowed-rates, in the server's order
};

// nullopt when libpipewire cannot be loaded or no server answers within Limit.
std::optional<TPipeWireClock> QueryPipeWireClock(std::chrono::milliseconds Limit);

// The numbers of a metadata value such as "[ 44100 48000 ]" or "48000", in order.
std::vector<unsigned> ParseRateList(const char* Text);

// The sound service's own playback stream on a PulseAudio or PipeWire server, used when SDL's
// driver is PulseAudio's. SDL's stream of 10-ms callbacks has the server hold about 10 ms and ask
// for a quarter of that at a time, some 370 wake-ups a second, which cost a sweep about 0.9 % of
// a core on two cores of a virtual machine: more than the rest of the program. This stream says
// itself how much the server holds and how much it asks for at a time, and fills each request
// straight from libpulse's thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/audio/WaveImage.h"

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;
struct TPulseFunctions;

class TPulseOutput {
 public:
  // Fills a buffer of the given length in bytes, in the stream's format; called on libpulse's
  // thread.
  using TFill = std::function<void(uint8_t* Buffer, std::size_t Length)>;

  // Connects to the server and opens a stream of Format (8 or 16 bits) to its default sink,
  // asking it to hold HoldMs and to ask for RequestMs at a time; nothing is written before Start.
  // nullptr when libpulse, the server or the stream cannot be had.
  static std::unique_ptr<TPulseOutput> Open(const TWaveFormat& Format, unsigned HoldMs,
                                            unsigned RequestMs, TFill Fill);
  ~TPulseOutput();
  TPulseOutput(const TPulseOutput&) = delete;
  TPulseOutput& operator=(const TPulseOutput&) = delete;

  // Starts the stream: from now on Fill is called whenever the server asks.
  void Start();
  // False once the server has gone or refused the stream: it will play no more.
  bool Playing() const { return !FLost; }

 private:
  TPulseOutput(const TPulseFunctions& Pulse, TFill Fill) : P(Pulse), FFill(std::move(Fill)) {}
  bool Connect(const TWaveFormat& Format, unsigned HoldMs, unsigned RequestMs);
  // Waits on the loop (whose lock the caller holds) until the context and then the stream are
  // ready; false when either failed.
  bool WaitUntilReady();
  // Waits, boundedly, until the server has played what it was handed.
  void Drain();
  static void OnContextState(pa_context* Context, void* Self);
  static void OnStreamState(pa_stream* Stream, void* Self);
  static void OnWrite(pa_stream* Stream, std::size_t Length, void* Self);

  const TPulseFunctions& P;
  TFill FFill;
  pa_threaded_mainloop* FLoop = nullptr;
  pa_context* FContext = nullptr;
  pa_stream* FStream = nullptr;
  std::size_t FFrameBytes = 1;
  bool FStarted = false;  // guarded by the loop's lock, as is
  bool FDraining = false;
  std::atomic<bool> FLost{false};
};

#include "platform/audio/sdl/PulseOutput.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/core/DynamicLibrary.h"

// The libpulse functions the stream needs, bound once. SDL's PulseAudio driver has loaded the
// library already; this binds to the same copy.
struct TPulseFunctions {
  TDynamicLibrary Library{"libpulse.so.0"};
#define PULSE_FUNCTION(Name) decltype(&::Name) Name = Library.Function<decltype(::Name)>(#Name)
  PULSE_FUNCTION(pa_threaded_mainloop_new);
  PULSE_FUNCTION(pa_threaded_mainloop_free);
  PULSE_FUNCTION(pa_threaded_mainloop_start);
  PULSE_FUNCTION(pa_threaded_mainloop_stop);
  PULSE_FUNCTION(pa_threaded_mainloop_lock);
  PULSE_FUNCTION(pa_threaded_mainloop_unlock);
  PULSE_FUNCTION(pa_threaded_mainloop_get_api);
  PULSE_FUNCTION(pa_context_new);
  PULSE_FUNCTION(pa_context_unref);
  PULSE_FUNCTION(pa_context_connect);
  PULSE_FUNCTION(pa_context_disconnect);
  PULSE_FUNCTION(pa_context_get_state);
  PULSE_FUNCTION(pa_context_set_state_callback);
  PULSE_FUNCTION(pa_stream_new);
  PULSE_FUNCTION(pa_stream_unref);
  PULSE_FUNCTION(pa_stream_connect_playback);
  PULSE_FUNCTION(pa_stream_disconnect);
  PULSE_FUNCTION(pa_stream_get_state);
  PULSE_FUNCTION(pa_stream_set_state_callback);
  PULSE_FUNCTION(pa_stream_set_write_callback);
  PULSE_FUNCTION(pa_stream_begin_write);
  PULSE_FUNCTION(pa_stream_cancel_write);
  PULSE_FUNCTION(pa_stream_write);
  PULSE_FUNCTION(pa_stream_writable_size);
  PULSE_FUNCTION(pa_stream_drain);
  PULSE_FUNCTION(pa_operation_get_state);
  PULSE_FUNCTION(pa_operation_unref);
#undef PULSE_FUNCTION
};

namespace {

// How long a server may take to accept the connection and the stream before the open fails: a
// server that hangs must not hang the program.
constexpr std::chrono::seconds ReadyBound{5};
// How long the end of the stream is waited for: far more than it holds.
constexpr std::chrono::milliseconds DrainBound{500};
// How long the server's graph may still be playing what the drained stream handed it last.
constexpr std::chrono::milliseconds GraphSettle{40};

bool Failed(pa_context_state_t State) {
  return State == PA_CONTEXT_FAILED || State == PA_CONTEXT_TERMINATED;
}

bool Failed(pa_stream_state_t State) {
  return State == PA_STREAM_FAILED || State == PA_STREAM_TERMINATED;
}

}  // namespace

std::unique_ptr<TPulseOutput> TPulseOutput::Open(const TWaveFormat& Format, unsigned HoldMs,
                                                 unsigned RequestMs, TFill Fill) {
  const TPulseFunctions* Pulse = LoadedOnce<TPulseFunctions>();
  if (!Pulse || (Format.Bits != 8 && Format.Bits != 16) || Format.Channels == 0 ||
      Format.Channels > PA_CHANNELS_MAX)
    return nullptr;
  std::unique_ptr<TPulseOutput> Output(new TPulseOutput(*Pulse, std::move(Fill)));
  if (!Output->Connect(Format, HoldMs, RequestMs)) return nullptr;
  return Output;
}

bool TPulseOutput::Connect(const TWaveFormat& Format, unsigned HoldMs, unsigned RequestMs) {
  FLoop = P.pa_threaded_mainloop_new();
  if (!FLoop) return false;
  FContext = P.pa_context_new(P.pa_threaded_mainloop_get_api(FLoop), "Tessolon");
  if (!FContext) return false;
  P.pa_context_set_state_callback(FContext, &TPulseOutput::OnContextState, this);
  if (P.pa_context_connect(FContext, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
      P.pa_threaded_mainloop_start(FLoop) < 0)
    return false;
  P.pa_threaded_mainloop_lock(FLoop);
  bool Ready = WaitUntilReady();
  if (Ready) {
    const pa_sample_spec Spec{Format.Bits == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE, Format.Rate,
                              uint8_t(Format.Channels)};
    FStream = P.pa_stream_new(FContext, "Tessolon", &Spec, nullptr);
    const std::size_t BytesPerMs = std::size_t(Format.Rate) * Format.FrameBytes() / 1000;
    FFrameBytes = Format.FrameBytes();
    const std::size_t RequestBytes = BytesPerMs * RequestMs;
    pa_buffer_attr Attr{};
    Attr.maxlength = uint32_t(-1);
    Attr.tlength = uint32_t(BytesPerMs * HoldMs);
    Attr.prebuf = uint32_t(-1);
    Attr.minreq = uint32_t(RequestBytes);
    Attr.fragsize = uint32_t(-1);
    Ready = FStream != nullptr;
    if (Ready) {
      P.pa_stream_set_state_callback(FStream, &TPulseOutput::OnStreamState, this);
      P.pa_stream_set_write_callback(FStream, &TPulseOutput::OnWrite, this);
      Ready = P.pa_stream_connect_playback(FStream, nullptr, &Attr, PA_STREAM_NOFLAGS, nullptr,
                                           nullptr) == 0 &&
              WaitUntilReady();
    }
  }
  P.pa_threaded_mainloop_unlock(FLoop);
  return Ready;
}

bool TPulseOutput::WaitUntilReady() {
  const auto Limit = std::chrono::steady_clock::now() + ReadyBound;
  for (;;) {
    const pa_context_state_t Context = P.pa_context_get_state(FContext);
    if (Failed(Context)) return false;
    if (Context == PA_CONTEXT_READY) {
      if (!FStream) return true;
      const pa_stream_state_t Stream = P.pa_stream_get_state(FStream);
      if (Failed(Stream)) return false;
      if (Stream == PA_STREAM_READY) return true;
    }
    if (std::chrono::steady_clock::now() >= Limit) return false;
    // The loop's thread moves the states on while the lock is free.
    P.pa_threaded_mainloop_unlock(FLoop);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    P.pa_threaded_mainloop_lock(FLoop);
  }
}

TPulseOutput::~TPulseOutput() {
  if (!FLoop) return;
  if (FStarted && !FLost) Drain();
  P.pa_threaded_mainloop_stop(FLoop);
  if (FStream) {
    P.pa_stream_disconnect(FStream);
    P.pa_stream_unref(FStream);
  }
  if (FContext) {
    P.pa_context_disconnect(FContext);
    P.pa_context_unref(FContext);
  }
  P.pa_threaded_mainloop_free(FLoop);
}

void TPulseOutput::Drain() {
  // What the server holds still plays after the last write; a stream that goes sooner cuts the end
  // of a sound just handed over. A server that does not answer is not waited for long.
  P.pa_threaded_mainloop_lock(FLoop);
  FDraining = true;
  if (pa_operation* Operation = P.pa_stream_drain(FStream, nullptr, nullptr)) {
    const auto Limit = std::chrono::steady_clock::now() + DrainBound;
    while (P.pa_operation_get_state(Operation) == PA_OPERATION_RUNNING && !FLost &&
           std::chrono::steady_clock::now() < Limit) {
      P.pa_threaded_mainloop_unlock(FLoop);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      P.pa_threaded_mainloop_lock(FLoop);
    }
    P.pa_operation_unref(Operation);
  }
  P.pa_threaded_mainloop_unlock(FLoop);
  // Drained is the stream's queue; the server's graph still holds what it took last, which it
  // drops with the stream (a tone recorded at PipeWire's monitor lost its last 17 ms).
  if (!FLost) std::this_thread::sleep_for(GraphSettle);
}

void TPulseOutput::Start() {
  P.pa_threaded_mainloop_lock(FLoop);
  // The server asked to be filled as soon as the stream was ready, and asks no more until that is
  // written: written now, as the owner is ready to fill.
  FStarted = true;
  const std::size_t Writable = P.pa_stream_writable_size(FStream);
  if (Writable != std::size_t(-1)) OnWrite(FStream, Writable, this);
  P.pa_threaded_mainloop_unlock(FLoop);
}

void TPulseOutput::OnContextState(pa_context* Context, void* Self) {
  auto& Output = *static_cast<TPulseOutput*>(Self);
  if (Failed(Output.P.pa_context_get_state(Context))) Output.FLost = true;
}

void TPulseOutput::OnStreamState(pa_stream* Stream, void* Self) {
  auto& Output = *static_cast<TPulseOutput*>(Self);
  if (Failed(Output.P.pa_stream_get_state(Stream))) Output.FLost = true;
}

void TPulseOutput::OnWrite(pa_stream* Stream, std::size_t Length, void* Self) {
  auto& Output = *static_cast<TPulseOutput*>(Self);
  // Until the owner is ready the request waits (Start writes what it asked for); once the stream
  // drains nothing more is written, or it would never run dry.
  if (!Output.FStarted || Output.FDraining) return;
  while (Length >= Output.FFrameBytes) {
    void* Buffer = nullptr;
    std::size_t Size = Length;
    if (Output.P.pa_stream_begin_write(Stream, &Buffer, &Size) < 0 || !Buffer) return;
    Size -= Size % Output.FFrameBytes;  // the owner fills whole frames
    if (Size == 0) {
      Output.P.pa_stream_cancel_write(Stream);
      return;
    }
    Output.FFill(static_cast<uint8_t*>(Buffer), Size);
    if (Output.P.pa_stream_write(Stream, Buffer, Size, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
      Output.P.pa_stream_cancel_write(Stream);
      return;
    }
    Length -= std::min(Length, Size);
  }
}

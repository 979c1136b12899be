#include "platform/audio/PulseProbe.h"

#include <pulse/pulseaudio.h>

#include <memory>

#include "platform/core/DynamicLibrary.h"

namespace {

// The few libpulse functions the question needs, bound once.
struct TPulseLibrary {
  TDynamicLibrary Library{"libpulse.so.0"};
#define PULSE_FUNCTION(Name) decltype(&::Name) Name = Library.Function<decltype(::Name)>(#Name)
  PULSE_FUNCTION(pa_mainloop_new);
  PULSE_FUNCTION(pa_mainloop_free);
  PULSE_FUNCTION(pa_mainloop_get_api);
  PULSE_FUNCTION(pa_mainloop_prepare);
  PULSE_FUNCTION(pa_mainloop_poll);
  PULSE_FUNCTION(pa_mainloop_dispatch);
  PULSE_FUNCTION(pa_context_new);
  PULSE_FUNCTION(pa_context_unref);
  PULSE_FUNCTION(pa_context_connect);
  PULSE_FUNCTION(pa_context_disconnect);
  PULSE_FUNCTION(pa_context_get_state);
  PULSE_FUNCTION(pa_context_get_server_info);
  PULSE_FUNCTION(pa_context_get_sink_info_list);
  PULSE_FUNCTION(pa_operation_unref);
  PULSE_FUNCTION(pa_context_set_state_callback);
  PULSE_FUNCTION(pa_context_set_subscribe_callback);
  PULSE_FUNCTION(pa_context_subscribe);
  PULSE_FUNCTION(pa_context_get_sink_info_by_name);
  PULSE_FUNCTION(pa_threaded_mainloop_new);
  PULSE_FUNCTION(pa_threaded_mainloop_free);
  PULSE_FUNCTION(pa_threaded_mainloop_start);
  PULSE_FUNCTION(pa_threaded_mainloop_stop);
  PULSE_FUNCTION(pa_threaded_mainloop_get_api);
#undef PULSE_FUNCTION
};

// One connection's questions and answers, filled in by libpulse's callbacks.
struct TPulseQuery {
  explicit TPulseQuery(const TPulseLibrary& Library) : P(Library) {}
  const TPulseLibrary& P;
  pa_context* Context = nullptr;
  TPulseServer Answer;
  bool AskedServer = false;
  bool Done = false;
  bool Failed = false;

  static void OnSink(pa_context*, const pa_sink_info* Info, int Last, void* Self) {
    auto& Q = *static_cast<TPulseQuery*>(Self);
    if (Last != 0) {
      Q.Done = true;
      return;
    }
    if (!Info) return;
    Q.Answer.Sinks.push_back({Info->name ? Info->name : "",
                              Info->description ? Info->description : "", Info->sample_spec.rate,
                              Info->state == PA_SINK_RUNNING});
  }

  static void OnServer(pa_context* Context, const pa_server_info* Info, void* Self) {
    auto& Q = *static_cast<TPulseQuery*>(Self);
    if (!Info) {
      Q.Failed = true;
      return;
    }
    Q.Answer.ServerName = Info->server_name ? Info->server_name : "";
    Q.Answer.DefaultSink = Info->default_sink_name ? Info->default_sink_name : "";
    if (pa_operation* Op = Q.P.pa_context_get_sink_info_list(Context, OnSink, Self))
      Q.P.pa_operation_unref(Op);
    else
      Q.Failed = true;
  }

  // Moves the conversation on by what the context's state allows.
  void Step() {
    const pa_context_state_t State = P.pa_context_get_state(Context);
    if (State == PA_CONTEXT_FAILED || State == PA_CONTEXT_TERMINATED) Failed = true;
    if (State != PA_CONTEXT_READY || AskedServer) return;
    AskedServer = true;
    if (pa_operation* Op = P.pa_context_get_server_info(Context, OnServer, this))
      P.pa_operation_unref(Op);
    else
      Failed = true;
  }
};

}  // namespace

const TPulseSink* TPulseServer::Default() const {
  for (const TPulseSink& Sink : Sinks)
    if (Sink.Name == DefaultSink) return &Sink;
  return nullptr;
}

std::optional<TPulseServer> QueryPulseServer(std::chrono::milliseconds Limit) {
  const TPulseLibrary* P = LoadedOnce<TPulseLibrary>();
  if (!P) return std::nullopt;
  pa_mainloop* Loop = P->pa_mainloop_new();
  if (!Loop) return std::nullopt;
  TPulseQuery Query(*P);
  Query.Context = P->pa_context_new(P->pa_mainloop_get_api(Loop), "tessolon");
  if (Query.Context &&
      P->pa_context_connect(Query.Context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
    using Clock = std::chrono::steady_clock;
    const auto Deadline = Clock::now() + Limit;
    while (!Query.Done && !Query.Failed) {
      const auto Left =
          std::chrono::duration_cast<std::chrono::microseconds>(Deadline - Clock::now());
      if (Left.count() <= 0) break;
      if (P->pa_mainloop_prepare(Loop, int(Left.count())) < 0 || P->pa_mainloop_poll(Loop) < 0 ||
          P->pa_mainloop_dispatch(Loop) < 0)
        break;
      Query.Step();
    }
    P->pa_context_disconnect(Query.Context);
  }
  if (Query.Context) P->pa_context_unref(Query.Context);
  P->pa_mainloop_free(Loop);
  if (!Query.Done || Query.Failed) return std::nullopt;
  return Query.Answer;
}

// Lives on libpulse's thread: every callback runs there, so only the counters are shared.
struct TPulseWatch::TState {
  TState(const TPulseLibrary& Library, TPulseWatch& Watch) : P(Library), Owner(Watch) {}
  const TPulseLibrary& P;
  TPulseWatch& Owner;
  pa_threaded_mainloop* Loop = nullptr;
  pa_context* Context = nullptr;
  std::string Sink;  // the default sink and its rate as last heard
  unsigned Rate = 0;
  bool Heard = false;

  void Changed() { ++Owner.FChanges; }

  void AskServer() {
    if (pa_operation* Op = P.pa_context_get_server_info(Context, OnServer, this))
      P.pa_operation_unref(Op);
  }

  static void OnState(pa_context* Context, void* Self) {
    auto& S = *static_cast<TState*>(Self);
    switch (S.P.pa_context_get_state(Context)) {
      case PA_CONTEXT_READY:
        if (pa_operation* Op = S.P.pa_context_subscribe(
                Context,
                pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER),
                nullptr, nullptr))
          S.P.pa_operation_unref(Op);
        S.AskServer();
        break;
      case PA_CONTEXT_FAILED:
      case PA_CONTEXT_TERMINATED:
        S.Owner.FConnected = false;
        S.Changed();
        break;
      default:
        break;
    }
  }

  static void OnEvent(pa_context*, pa_subscription_event_type_t, uint32_t, void* Self) {
    static_cast<TState*>(Self)->AskServer();
  }

  static void OnServer(pa_context* Context, const pa_server_info* Info, void* Self) {
    auto& S = *static_cast<TState*>(Self);
    if (!Info) return;
    const std::string Default = Info->default_sink_name ? Info->default_sink_name : "";
    if (pa_operation* Op =
            S.P.pa_context_get_sink_info_by_name(Context, Default.c_str(), OnSink, Self))
      S.P.pa_operation_unref(Op);
  }

  static void OnSink(pa_context*, const pa_sink_info* Info, int Last, void* Self) {
    auto& S = *static_cast<TState*>(Self);
    if (Last != 0 || !Info) return;
    const std::string Name = Info->name ? Info->name : "";
    if (S.Heard && (Name != S.Sink || Info->sample_spec.rate != S.Rate)) S.Changed();
    S.Heard = true;
    S.Sink = Name;
    S.Rate = Info->sample_spec.rate;
  }
};

std::unique_ptr<TPulseWatch> TPulseWatch::Start() {
  const TPulseLibrary* P = LoadedOnce<TPulseLibrary>();
  if (!P) return nullptr;
  std::unique_ptr<TPulseWatch> Watch(new TPulseWatch);
  Watch->FState = std::make_unique<TState>(*P, *Watch);
  TState& S = *Watch->FState;
  S.Loop = P->pa_threaded_mainloop_new();
  if (!S.Loop) return nullptr;
  S.Context = P->pa_context_new(P->pa_threaded_mainloop_get_api(S.Loop), "tessolon-watch");
  if (!S.Context) return nullptr;
  P->pa_context_set_state_callback(S.Context, TState::OnState, &S);
  P->pa_context_set_subscribe_callback(S.Context, TState::OnEvent, &S);
  if (P->pa_context_connect(S.Context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
      P->pa_threaded_mainloop_start(S.Loop) < 0)
    return nullptr;
  return Watch;
}

TPulseWatch::~TPulseWatch() {
  if (!FState) return;
  const TPulseLibrary& P = FState->P;
  if (FState->Loop) P.pa_threaded_mainloop_stop(FState->Loop);
  if (FState->Context) {
    P.pa_context_disconnect(FState->Context);
    P.pa_context_unref(FState->Context);
  }
  if (FState->Loop) P.pa_threaded_mainloop_free(FState->Loop);
}

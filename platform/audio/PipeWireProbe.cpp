#include "platform/audio/PipeWireProbe.h"

#include <pipewire/extensions/metadata.h>
#include <pipewire/pipewire.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/core/DynamicLibrary.h"

namespace {

// The libpipewire functions the question needs; the rest of its API is inline calls through the
// objects' method tables and needs no symbol.
struct TPipeWireLibrary {
  TDynamicLibrary Library{"libpipewire-0.3.so.0"};
#define PW_FUNCTION(Name) decltype(&::Name) Name = Library.Function<decltype(::Name)>(#Name)
  PW_FUNCTION(pw_init);
  PW_FUNCTION(pw_loop_new);
  PW_FUNCTION(pw_loop_destroy);
  PW_FUNCTION(pw_context_new);
  PW_FUNCTION(pw_context_destroy);
  PW_FUNCTION(pw_context_connect);
  PW_FUNCTION(pw_core_disconnect);
  PW_FUNCTION(pw_proxy_destroy);
#undef PW_FUNCTION
  TPipeWireLibrary() {
    pw_init(nullptr, nullptr);
  }
};

unsigned FirstRate(const char* Text) {
  const std::vector<unsigned> Rates = ParseRateList(Text);
  return Rates.empty() ? 0 : Rates.front();
}

// One connection: find the "settings" metadata among the globals, bind it, and read its clock
// keys; each step ends with a round trip, so "done" means every answer has arrived.
struct TQuery {
  explicit TQuery(const TPipeWireLibrary& Library) : P(Library) {}
  const TPipeWireLibrary& P;
  pw_core* Core = nullptr;
  pw_registry* Registry = nullptr;
  pw_metadata* Settings = nullptr;
  spa_hook CoreListener{}, RegistryListener{}, MetadataListener{};
  TPipeWireClock Clock;
  int PendingSeq = -1;
  bool Bound = false;
  bool Done = false;
  bool Failed = false;

  static int OnProperty(void* Self, uint32_t Subject, const char* Key, const char*,
                        const char* Value) {
    auto& Q = *static_cast<TQuery*>(Self);
    if (Subject != PW_ID_CORE || !Key || !Value) return 0;
    if (std::strcmp(Key, "clock.rate") == 0) Q.Clock.Rate = FirstRate(Value);
    if (std::strcmp(Key, "clock.force-rate") == 0) Q.Clock.ForcedRate = FirstRate(Value);
    if (std::strcmp(Key, "clock.allowed-rates") == 0) Q.Clock.Allowed = ParseRateList(Value);
    return 0;
  }

  static void OnGlobal(void* Self, uint32_t Id, uint32_t, const char* Type, uint32_t,
                       const spa_dict* Props) {
    auto& Q = *static_cast<TQuery*>(Self);
    if (Q.Settings || std::strcmp(Type, PW_TYPE_INTERFACE_Metadata) != 0) return;
    const char* Name = Props ? spa_dict_lookup(Props, "metadata.name") : nullptr;
    if (!Name || std::strcmp(Name, "settings") != 0) return;
    Q.Settings = static_cast<pw_metadata*>(
        pw_registry_bind(Q.Registry, Id, PW_TYPE_INTERFACE_Metadata, PW_VERSION_METADATA, 0));
    if (!Q.Settings) return;
    static const pw_metadata_events Events = [] {
      pw_metadata_events E{};
      E.version = PW_VERSION_METADATA_EVENTS;
      E.property = OnProperty;
      return E;
    }();
    pw_metadata_add_listener(Q.Settings, &Q.MetadataListener, &Events, Self);
  }

  static void OnDone(void* Self, uint32_t Id, int Seq) {
    auto& Q = *static_cast<TQuery*>(Self);
    if (Id != PW_ID_CORE || Seq != Q.PendingSeq) return;
    if (Q.Settings && !Q.Bound) {
      // The metadata's properties arrive before the answer to the next round trip.
      Q.Bound = true;
      Q.PendingSeq = pw_core_sync(Q.Core, PW_ID_CORE, 0);
      return;
    }
    Q.Done = true;
  }

  static void OnError(void* Self, uint32_t Id, int, int, const char*) {
    if (Id == PW_ID_CORE) static_cast<TQuery*>(Self)->Failed = true;
  }
};

}  // namespace

std::vector<unsigned> ParseRateList(const char* Text) {
  std::vector<unsigned> Rates;
  for (const char* At = Text; At && *At;) {
    char* End = nullptr;
    const unsigned long Value = std::strtoul(At, &End, 10);
    if (End == At) {
      ++At;
      continue;
    }
    if (Value > 0 && Value < 10'000'000) Rates.push_back(unsigned(Value));
    At = End;
  }
  return Rates;
}

std::optional<TPipeWireClock> QueryPipeWireClock(std::chrono::milliseconds Limit) {
  const TPipeWireLibrary* P = LoadedOnce<TPipeWireLibrary>();
  if (!P) return std::nullopt;
  pw_loop* Loop = P->pw_loop_new(nullptr);
  if (!Loop) return std::nullopt;
  pw_context* Context = P->pw_context_new(Loop, nullptr, 0);
  TQuery Query(*P);
  if (Context) Query.Core = P->pw_context_connect(Context, nullptr, 0);
  if (Query.Core) {
    static const pw_core_events CoreEvents = [] {
      pw_core_events Events{};
      Events.version = PW_VERSION_CORE_EVENTS;
      Events.done = TQuery::OnDone;
      Events.error = TQuery::OnError;
      return Events;
    }();
    static const pw_registry_events RegistryEvents = [] {
      pw_registry_events Events{};
      Events.version = PW_VERSION_REGISTRY_EVENTS;
      Events.global = TQuery::OnGlobal;
      return Events;
    }();
    pw_core_add_listener(Query.Core, &Query.CoreListener, &CoreEvents, &Query);
    Query.Registry = pw_core_get_registry(Query.Core, PW_VERSION_REGISTRY, 0);
    if (Query.Registry) {
      pw_registry_add_listener(Query.Registry, &Query.RegistryListener, &RegistryEvents, &Query);
      Query.PendingSeq = pw_core_sync(Query.Core, PW_ID_CORE, 0);
      using Clock = std::chrono::steady_clock;
      const auto Deadline = Clock::now() + Limit;
      pw_loop_enter(Loop);
      while (!Query.Done && !Query.Failed && Clock::now() < Deadline) pw_loop_iterate(Loop, 20);
      pw_loop_leave(Loop);
    }
    if (Query.Settings) P->pw_proxy_destroy(reinterpret_cast<pw_proxy*>(Query.Settings));
    if (Query.Registry) P->pw_proxy_destroy(reinterpret_cast<pw_proxy*>(Query.Registry));
    P->pw_core_disconnect(Query.Core);
  }
  if (Context) P->pw_context_destroy(Context);
  P->pw_loop_destroy(Loop);
  if (!Query.Done || Query.Clock.Rate == 0) return std::nullopt;
  return Query.Clock;
}

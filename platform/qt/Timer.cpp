#include "platform/qt/Timer.h"

#include <QTimer>
#include <algorithm>

#include "platform/qt/Application.h"

const TClassInfo& TTimer::StaticClassInfo() {
  static const TClassInfo Info = TClassBuilder<TTimer>("TTimer", TComponent::StaticClassInfo())
                                     .Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
                                     .Int("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000)
                                     .Event("OnTimer", &TTimer::OnTimer)
                                     .Build();
  return Info;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FTimer(std::make_unique<QTimer>()) {
  QObject::connect(FTimer.get(), &QTimer::timeout, [this] { Tick(); });
  UpdateTimer();
}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(int Value) {
  Value = std::max(0, Value);
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

bool TTimer::Running() const {
  return FTimer->isActive();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  FTimer->stop();
  if (FEnabled && FInterval > 0 && !Loading() && !Designing()) FTimer->start(FInterval);
}

void TTimer::Tick() {
  if (!OnTimer) return;
  try {
    OnTimer(this);
  } catch (...) {
    // Shown after this tick returns, so the ticks go on while the error box is open.
    if (Application)
      Application->PostException(std::current_exception());
    else
      DispatchEvent([E = std::current_exception()] { std::rethrow_exception(E); });
  }
}

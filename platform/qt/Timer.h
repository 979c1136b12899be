// The timer component: OnTimer every Interval milliseconds while Enabled and Interval > 0.
// Ticks come through the message loop (also inside modal loops); ticks missed while the
// thread was busy are not made up. Exceptions from OnTimer go to the application's handler.
#pragma once

#include <memory>

#include "platform/core/Component.h"

class QTimer;

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  int Interval() const { return FInterval; }
  void SetInterval(int Value);
  // True while ticks are being delivered.
  bool Running() const;

  TNotifyEvent OnTimer;

 protected:
  void Loaded() override;

 private:
  void UpdateTimer();
  void Tick();

  bool FEnabled = true;
  int FInterval = 1000;
  std::unique_ptr<QTimer> FTimer;
};

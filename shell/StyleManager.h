// One theme for many tool buttons: each button whose style uses the manager draws in the
// manager's theme, and changing it repaints them all.
#pragma once

#include <vector>

#include "platform/qt/Controls.h"

enum TskTheme { WindowsXP, OfficeXP };

class TskStyleManager : public TComponent {
 public:
  using TComponent::TComponent;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TskTheme Theme() const { return FTheme; }
  void SetTheme(TskTheme Value);
  // The controls drawn in this theme; a destroyed control leaves the list by itself.
  void AddControl(TControl* Control);
  void RemoveControl(TControl* Control);
  int ControlCount() const { return static_cast<int>(FControls.size()); }

  TNotifyEvent OnThemeChanged;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TskTheme FTheme = WindowsXP;
  std::vector<TControl*> FControls;
};

#include "shell/StyleManager.h"

#include <algorithm>

#include "platform/qt/Application.h"

void TskStyleManager::SetTheme(TskTheme Value) {
  if (FTheme == Value) return;
  FTheme = Value;
  for (TControl* Control : FControls) Control->Widget()->update();
  if (OnThemeChanged) DispatchEvent([this] { OnThemeChanged(this); });
}

void TskStyleManager::AddControl(TControl* Control) {
  if (std::find(FControls.begin(), FControls.end(), Control) != FControls.end()) return;
  FControls.push_back(Control);
  FreeNotification(Control);
}

void TskStyleManager::RemoveControl(TControl* Control) {
  std::erase(FControls, Control);
}

void TskStyleManager::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  // The control is being destroyed and is no longer a TControl: compare, never cast.
  if (Operation == opRemove)
    std::erase_if(FControls, [AComponent](TControl* Control) { return Control == AComponent; });
}

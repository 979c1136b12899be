#include "shell/SkinMenuManager.h"

#include <algorithm>

#include "platform/qt/Application.h"
#include "platform/qt/Forms.h"
#include "shell/SkinMenu.h"

namespace {

TSkinMenuManager* TheManager = nullptr;

bool Contains(const std::vector<TComponent*>& List, const TComponent* C) {
  return std::find(List.begin(), List.end(), C) != List.end();
}

bool HasSkinMenu(const TComponent& Form) {
  for (int I = 0; I < Form.ComponentCount(); ++I)
    if (dynamic_cast<const TSkinMenu*>(Form.Components(I))) return true;
  return false;
}

bool Eligible(const TSkinMenu* Menu) {
  return Menu && Menu->Active() && !Menu->DisableSubclassing();
}

}  // namespace

TSkinMenuManager* TSkinMenuManager::Instance() {
  return TheManager;
}

TSkinMenuManager& TSkinMenuManager::Acquire() {
  if (!TheManager) TheManager = new TSkinMenuManager;
  return *TheManager;
}

TSkinMenuManager::TSkinMenuManager() : TComponent(nullptr) {}

TSkinMenuManager::~TSkinMenuManager() {
  TheManager = nullptr;
}

void TSkinMenuManager::Register(TSkinMenu& Menu) {
  if (std::find(FMenus.begin(), FMenus.end(), &Menu) == FMenus.end()) FMenus.push_back(&Menu);
  ChooseCurrent(false);
}

void TSkinMenuManager::Unregister(TSkinMenu& Menu) {
  std::erase(FMenus, &Menu);
  if (FCurrent == &Menu) FCurrent = nullptr;
  if (FMenus.empty()) {
    delete this;
    return;
  }
  ChooseCurrent(false);
}

void TSkinMenuManager::MenuChanged(TSkinMenu& Menu) {
  // The current menu switched on again or choosing other controls paints every form anew.
  ChooseCurrent(&Menu == FCurrent && Eligible(&Menu));
}

// Keeps the current menu while it may paint, else takes the first registered one that may. A
// new current menu handles every form again: the old one's painting went with it.
void TSkinMenuManager::ChooseCurrent(bool Requeue) {
  TSkinMenu* Next = FCurrent;
  if (!Eligible(Next)) {
    Next = nullptr;
    for (TSkinMenu* Menu : FMenus)
      if (Eligible(Menu)) {
        Next = Menu;
        break;
      }
  }
  if (Next == FCurrent && !Requeue) return;
  FCurrent = Next;
  for (TComponent* Form : FHandled)
    if (!Contains(FQueue, Form)) RemoveFreeNotification(Form);
  FHandled.clear();
  if (FCurrent) QueueScreenForms();
}

void TSkinMenuManager::QueueScreenForms() {
  if (!Application) return;
  for (int I = 0; I < Application->ComponentCount(); ++I)
    if (auto* Form = dynamic_cast<TForm*>(Application->Components(I))) Queue(Form);
}

void TSkinMenuManager::Queue(TComponent* Candidate) {
  if (!Candidate || Contains(FQueue, Candidate)) return;
  FQueue.push_back(Candidate);
  FreeNotification(Candidate);
  if (FPosted) return;
  FPosted = true;
  QMetaObject::invokeMethod(
      &FHook, [this] { HandleQueued(); }, Qt::QueuedConnection);
}

void TSkinMenuManager::HandleQueued() {
  FPosted = false;
  const std::vector<TComponent*> Queue = std::move(FQueue);
  FQueue.clear();
  for (TComponent* C : Queue) {
    auto* Form = dynamic_cast<TForm*>(C);
    if (!FCurrent || !Form || Form->Tag() == 999 || Handled(*Form) || HasSkinMenu(*Form)) {
      if (!Contains(FHandled, C)) RemoveFreeNotification(C);
      continue;
    }
    FHandled.push_back(Form);
    try {
      FCurrent->HandleComponents(*Form);
    } catch (const std::exception&) {
      // A form that cannot be painted keeps its own look.
    }
  }
}

bool TSkinMenuManager::Handled(const TComponent& Form) const {
  return Contains(FHandled, &Form);
}

void TSkinMenuManager::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  std::erase(FQueue, AComponent);
  std::erase(FHandled, AComponent);
}

#include "shell/Menus.h"

#include <QAction>
#include <QFont>
#include <QMenu>
#include <algorithm>

#include "platform/qt/Application.h"

namespace {

template <class T>
void Erase(std::vector<T*>& List, T* Item) {
  List.erase(std::remove(List.begin(), List.end(), Item), List.end());
}

// Fills a QMenu with the actions of Items (separators for "-" captions).
void Fill(QMenu& Menu, const std::vector<TMenuItem*>& Items) {
  Menu.clear();
  for (TMenuItem* Item : Items) Menu.addAction(Item->Action());
}

}  // namespace

// ---- TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FAction(new QAction) {
  QObject::connect(FAction.get(), &QAction::triggered, [this] { Click(); });
}

TMenuItem::~TMenuItem() {
  FAction->setMenu(nullptr);
  for (TMenuItem* Item : FItems) Item->FParent = nullptr;
  FItems.clear();
  if (FParent) FParent->Remove(this);
  if (FMenu) FMenu->Remove(this);
}

void TMenuItem::SetCaption(const std::string& Value) {
  FCaption = Value;
  UpdateAction();
}

void TMenuItem::SetChecked(bool Value) {
  FChecked = Value;
  UpdateAction();
}

void TMenuItem::SetEnabled(bool Value) {
  FEnabled = Value;
  UpdateAction();
}

void TMenuItem::SetVisible(bool Value) {
  FVisible = Value;
  UpdateAction();
}

void TMenuItem::SetDefault(bool Value) {
  FDefault = Value;
  UpdateAction();
}

void TMenuItem::SetRadioItem(bool Value) {
  FRadioItem = Value;
  UpdateAction();
}

void TMenuItem::UpdateAction() {
  QAction& A = *FAction;
  A.setSeparator(IsLine());
  A.setText(QString::fromStdString(FCaption));
  A.setCheckable(FChecked || FRadioItem);
  A.setChecked(FChecked);
  A.setEnabled(FEnabled);
  A.setVisible(FVisible);
  QFont Font = A.font();
  Font.setBold(FDefault);
  A.setFont(Font);
}

void TMenuItem::Add(TMenuItem* Item) {
  if (!Item || Item == this) return;
  if (Item->FParent) Item->FParent->Remove(Item);
  if (Item->FMenu) Item->FMenu->Remove(Item);
  Item->FParent = this;
  FItems.push_back(Item);
  RebuildSubMenu();
}

void TMenuItem::Remove(TMenuItem* Item) {
  if (!Item || Item->FParent != this) return;
  Item->FParent = nullptr;
  Erase(FItems, Item);
  RebuildSubMenu();
}

void TMenuItem::RebuildSubMenu() {
  if (FItems.empty()) {
    FAction->setMenu(nullptr);
    FSubMenu.reset();
    return;
  }
  if (!FSubMenu) {
    FSubMenu = std::make_unique<QMenu>();
    FAction->setMenu(FSubMenu.get());
  }
  Fill(*FSubMenu, FItems);
}

TPopupMenu* TMenuItem::Menu() const {
  const TMenuItem* Top = this;
  while (Top->FParent) Top = Top->FParent;
  return Top->FMenu;
}

void TMenuItem::Click() {
  // A checkable action flips its own check mark; the item's Checked stays what code sets.
  FAction->setChecked(FChecked);
  if (OnClick) DispatchEvent([this] { OnClick(this); });
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent) return FParent;
  return FMenu;
}

void TMenuItem::SetParentComponent(TComponent* AParent) {
  if (auto* Item = dynamic_cast<TMenuItem*>(AParent))
    Item->Add(this);
  else if (auto* Menu = dynamic_cast<TPopupMenu*>(AParent))
    Menu->Add(this);
  else
    throw EComponentError("Menu item " + Name() + " must be placed in a menu or a menu item");
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& Proc,
                            const TComponent* Root) const {
  for (TMenuItem* Item : FItems)
    if (Item->Owner() == Root) Proc(Item);
}

// ---- TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), FMenu(new QMenu) {
  QObject::connect(FMenu.get(), &QMenu::aboutToShow, [this] {
    if (OnPopup) DispatchEvent([this] { OnPopup(this); });
  });
}

TPopupMenu::~TPopupMenu() {
  for (TMenuItem* Item : FItems) Item->FMenu = nullptr;
}

void TPopupMenu::Add(TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) Item->FParent->Remove(Item);
  if (Item->FMenu) Item->FMenu->Remove(Item);
  Item->FMenu = this;
  FItems.push_back(Item);
  Rebuild();
}

void TPopupMenu::Remove(TMenuItem* Item) {
  if (!Item || Item->FMenu != this) return;
  Item->FMenu = nullptr;
  Erase(FItems, Item);
  Rebuild();
}

void TPopupMenu::Rebuild() {
  Fill(*FMenu, FItems);
}

TMenuItem* TPopupMenu::DefaultItem() const {
  for (TMenuItem* Item : FItems)
    if (Item->Default()) return Item;
  return nullptr;
}

void TPopupMenu::Popup(int X, int Y) {
  FMenu->popup(QPoint(X, Y));
}

void TPopupMenu::GetChildren(const std::function<void(TComponent*)>& Proc,
                             const TComponent* Root) const {
  for (TMenuItem* Item : FItems)
    if (Item->Owner() == Root) Proc(Item);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

#include "shell/Menus.h"

#include <QAction>
#include <QApplication>
#include <QFont>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <algorithm>

#include "platform/qt/Application.h"
#include "platform/qt/StdCtrls.h"

// An item's action, so the menu's style can find the item it paints.
class TMenuAction : public QAction {
 public:
  explicit TMenuAction(TMenuItem& AItem) : Item(AItem) {}
  TMenuItem& Item;
};

namespace {

// A menu window that remembers which action it last set up a style option for: the menu asks
// the style to measure or paint an action straight after, and the option does not say which.
class TMenuWidget : public QMenu {
 public:
  TMenuItem* StyledItem() const { return TMenuItem::FromAction(FStyled); }

 protected:
  void initStyleOption(QStyleOptionMenuItem* Option, const QAction* Action) const override {
    QMenu::initStyleOption(Option, Action);
    FStyled = Action;
  }

 private:
  mutable const QAction* FStyled = nullptr;
};

TMenuItem* StyledItem(const QWidget* Widget) {
  const auto* Menu = dynamic_cast<const TMenuWidget*>(Widget);
  return Menu ? Menu->StyledItem() : nullptr;
}

// Qt gives every item of a menu the widest shortcut text ("\t..." in the action's text) on top
// of the item's own width; an owner-measured width already holds it.
int ShortcutColumn(const QWidget& Menu) {
  int Widest = 0;
  for (const QAction* Action : Menu.actions()) {
    const QString Text = Action->text();
    const qsizetype Tab = Text.indexOf('\t');
    if (Action->isVisible() && Tab >= 0)
      Widest = std::max(Widest, Menu.fontMetrics().horizontalAdvance(Text.mid(Tab + 1)));
  }
  return Widest;
}

// The style of owner-drawn menus: items with handlers measure and paint themselves; the frame
// and the other items are the platform's.
class TOwnerDrawStyle : public QProxyStyle {
 public:
  QSize sizeFromContents(ContentsType Type, const QStyleOption* Option, const QSize& Size,
                         const QWidget* Widget) const override {
    TMenuItem* Item = Type == CT_MenuItem ? StyledItem(Widget) : nullptr;
    if (!Item || !Item->OnMeasureItem)
      return QProxyStyle::sizeFromContents(Type, Option, Size, Widget);
    int Width = Size.width(), Height = Size.height();
    DispatchEvent([&] { Item->OnMeasureItem(Item, Width, Height); });
    // The menu gives every owner-drawn item a check mark's room on top of its own width, as
    // menus of other platforms do. At least a pixel wide: an empty size drops the item.
    Width += CheckMarkRoom(Option, Widget);
    return QSize(std::max(1, Width - ShortcutColumn(*Widget)), std::max(0, Height));
  }
  void drawControl(ControlElement Element, const QStyleOption* Option, QPainter* Painter,
                   const QWidget* Widget) const override {
    TMenuItem* Item = Element == CE_MenuItem ? StyledItem(Widget) : nullptr;
    if (!Item || !Item->OnDrawItem) {
      QProxyStyle::drawControl(Element, Option, Painter, Widget);
      return;
    }
    Painter->save();
    const bool Selected = Option->state & State_Selected;
    DispatchEvent([&] { Item->OnDrawItem(Item, *Painter, Option->rect, Selected); });
    Painter->restore();
  }
  // A one-pixel platform frame at least, so the items never touch the menu's edge.
  int pixelMetric(PixelMetric Metric, const QStyleOption* Option,
                  const QWidget* Widget) const override {
    const int Base = QProxyStyle::pixelMetric(Metric, Option, Widget);
    return Metric == PM_MenuPanelWidth ? std::max(1, Base) : Base;
  }

 private:
  int CheckMarkRoom(const QStyleOption* Option, const QWidget* Widget) const {
    return pixelMetric(PM_IndicatorWidth, Option, Widget) - 1;
  }
};

// One style for every owner-drawn menu, going with the application.
QStyle* OwnerDrawStyle() {
  static QPointer<TOwnerDrawStyle> Style;
  if (!Style) {
    Style = new TOwnerDrawStyle;
    Style->setParent(qApp);
  }
  return Style;
}

// Gives Item's sub-menus, all the way down, Style (none: the application's).
void StyleSubMenus(const TMenuItem& Item, QStyle* Style) {
  if (QMenu* Menu = Item.SubMenu();
      Menu && Menu->style() != (Style ? Style : QApplication::style()))
    Menu->setStyle(Style);
  for (int I = 0; I < Item.Count(); ++I) StyleSubMenus(*Item.Items(I), Style);
}

void Relayout(QMenu* Menu) {
  if (!Menu) return;
  QEvent Change(QEvent::StyleChange);
  QCoreApplication::sendEvent(Menu, &Change);
  Menu->update();
}

void RelayoutSubMenus(const TMenuItem& Item) {
  Relayout(Item.SubMenu());
  for (int I = 0; I < Item.Count(); ++I) RelayoutSubMenus(*Item.Items(I));
}

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

std::string ShortCutToText(TShortCut ShortCut) {
  const int Key = ShortCut & 0xFF;
  std::string Name;
  if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
    Name = std::string(1, static_cast<char>(Key));
  else if (Key >= 0x70 && Key <= 0x87)
    Name.append(1, 'F').append(std::to_string(Key - 0x6F));
  else {
    static const std::pair<int, const char*> Names[] = {
        {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"},
        {0x21, "PgUp"}, {0x22, "PgDn"},  {0x23, "End"},   {0x24, "Home"}, {0x25, "Left"},
        {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},  {0x2E, "Del"}};
    for (const auto& [Code, Text] : Names)
      if (Code == Key) Name = Text;
  }
  if (Name.empty()) return {};
  if (ShortCut & scAlt) Name = "Alt+" + Name;
  if (ShortCut & scCtrl) Name = "Ctrl+" + Name;
  if (ShortCut & scShift) Name = "Shift+" + Name;
  return Name;
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FAction(new TMenuAction(*this)) {
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

void TMenuItem::SetShortCut(TShortCut Value) {
  FShortCut = Value;
  UpdateAction();
}

void TMenuItem::SetBitmap(const std::string& FileName) {
  FBitmapName = FileName;
  FImage = LoadPicture(FileName);
  FAction->setIcon(FImage.isNull() ? QIcon() : QIcon(QPixmap::fromImage(FImage)));
}

TMenuItem* TMenuItem::FromAction(const QAction* Action) {
  const auto* Ours = dynamic_cast<const TMenuAction*>(Action);
  return Ours ? &Ours->Item : nullptr;
}

QMenu* TMenuItem::MenuWidget() const {
  if (FParent) return FParent->SubMenu();
  return FMenu ? FMenu->Menu() : nullptr;
}

void TMenuItem::UpdateAction() {
  QAction& A = *FAction;
  A.setSeparator(IsLine());
  const std::string Keys = ShortCutToText(FShortCut);
  A.setText(IsLine() ? QString()
                     : QString::fromStdString(Keys.empty() ? FCaption : FCaption + "\t" + Keys));
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
  StyleSubMenus(*Item, nullptr);
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
    FSubMenu = std::make_unique<TMenuWidget>();
    FAction->setMenu(FSubMenu.get());
  }
  Fill(*FSubMenu, FItems);
  if (TPopupMenu* Top = Menu()) Top->StyleMenus();
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

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), FMenu(new TMenuWidget) {
  QObject::connect(FMenu.get(), &QMenu::aboutToShow, [this] {
    if (OnPopup) DispatchEvent([this] { OnPopup(this); });
  });
}

TPopupMenu::~TPopupMenu() {
  for (TMenuItem* Item : FItems) {
    Item->FMenu = nullptr;
    StyleSubMenus(*Item, nullptr);
  }
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
  StyleSubMenus(*Item, nullptr);
  Erase(FItems, Item);
  Rebuild();
}

void TPopupMenu::Rebuild() {
  Fill(*FMenu, FItems);
  StyleMenus();
}

void TPopupMenu::SetOwnerDraw(bool Value) {
  FOwnerDraw = Value;
  StyleMenus();
  Refresh();
}

void TPopupMenu::StyleMenus() {
  QStyle* Style = FOwnerDraw ? OwnerDrawStyle() : nullptr;
  if (FMenu->style() != (Style ? Style : QApplication::style())) FMenu->setStyle(Style);
  for (TMenuItem* Item : FItems) StyleSubMenus(*Item, Style);
}

void TPopupMenu::Refresh() {
  Relayout(FMenu.get());
  for (TMenuItem* Item : FItems) RelayoutSubMenus(*Item);
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

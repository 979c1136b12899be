// Pop-up menus: TPopupMenu holding TMenuItem components (nested items make sub-menus), on a
// QMenu. Items are owned by the form like every component of a definition; the menu and the
// parent item only list them, and forget them when they go.
//
// Owner draw: with the menu's OwnerDraw on, an item that has OnMeasureItem gives its own size
// and one that has OnDrawItem paints itself; the others keep the platform's look.
#pragma once

#include <QImage>
#include <QPoint>
#include <memory>
#include <vector>

#include "platform/core/Component.h"

class QAction;
class QMenu;
class QPainter;
class QRect;
class TPopupMenu;

// A key with modifiers: the key code in the low byte, plus scShift, scCtrl and scAlt.
using TShortCut = int;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
// "Ctrl+S", "Shift+F5", "Del"; empty for no shortcut or a key without a name.
std::string ShortCutToText(TShortCut ShortCut);

// Width and Height come in as the platform's own measure and go out as the item's size.
using TMenuMeasureItemEvent = TEvent<void(TComponent* Sender, int& Width, int& Height)>;
using TMenuDrawItemEvent =
    TEvent<void(TComponent* Sender, QPainter& Canvas, const QRect& Rect, bool Selected)>;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  // The item's icon: a picture file of the resources, or none.
  const std::string& Bitmap() const { return FBitmapName; }
  void SetBitmap(const std::string& FileName);
  const QImage& Image() const { return FImage; }
  bool IsLine() const { return FCaption == "-"; }

  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const { return FItems.at(Index); }
  void Add(TMenuItem* Item);
  void Remove(TMenuItem* Item);
  TMenuItem* Parent() const { return FParent; }
  // The pop-up menu the item belongs to, through its parent items.
  TPopupMenu* Menu() const;
  QAction* Action() const { return FAction.get(); }
  QMenu* SubMenu() const { return FSubMenu.get(); }
  // The menu window the item is shown in: its parent's sub-menu or its pop-up menu's.
  QMenu* MenuWidget() const;
  // The item an action of a menu stands for, or none.
  static TMenuItem* FromAction(const QAction* Action);

  // Runs OnClick under the application's exception handling.
  void Click();
  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* AParent) override;
  void GetChildren(const std::function<void(TComponent*)>& Proc,
                   const TComponent* Root) const override;

 private:
  friend class TPopupMenu;
  void UpdateAction();
  void RebuildSubMenu();

  std::string FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  bool FRadioItem = false;
  std::string FHint;
  TShortCut FShortCut = 0;
  std::string FBitmapName;
  QImage FImage;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TPopupMenu* FMenu = nullptr;  // set on top-level items
  std::unique_ptr<QAction> FAction;
  std::unique_ptr<QMenu> FSubMenu;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const { return FItems.at(Index); }
  void Add(TMenuItem* Item);
  void Remove(TMenuItem* Item);
  // The first top-level item marked Default, or none.
  TMenuItem* DefaultItem() const;
  // Lets the items with OnMeasureItem and OnDrawItem measure and paint themselves.
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value);
  // Measures and paints the menu and its sub-menus again (after their items' look changed).
  void Refresh();

  // Shows the menu at a screen position without waiting for it to close.
  void Popup(int X, int Y);
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value) { SetReference(FPopupComponent, Value); }
  QMenu* Menu() const { return FMenu.get(); }
  TNotifyEvent OnPopup;

  void GetChildren(const std::function<void(TComponent*)>& Proc,
                   const TComponent* Root) const override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TMenuItem;
  void Rebuild();
  void StyleMenus();

  bool FAutoPopup = true;
  bool FOwnerDraw = false;
  std::vector<TMenuItem*> FItems;
  TComponent* FPopupComponent = nullptr;
  std::unique_ptr<QMenu> FMenu;
};

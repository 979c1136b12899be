// The skin menu: while Active, it owner-draws the pop-up menus of its form in a flat light look
// (an icon column that fades into the item background, a framed selection bar), and gives the
// standard controls of its form a flat look (ControlPainter.h). Through the process-wide
// TSkinMenuManager, the first active one does the same for every other form of the application
// that has no skin menu of its own.
//
// Switching Active off takes the look off the menus at once; each control gets its own look
// back at the next event it receives. Destroying the menu takes everything off at once.
#pragma once

#include <QFont>
#include <QPointer>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/core/Component.h"
#include "platform/qt/Graphics.h"
#include "shell/SkinMenuOptions.h"

class QObject;
class QPainter;
class QRect;
class TControl;
class TControlSubClass;
class TMenuItem;
class TPopupMenu;

class TSkinMenu : public TComponent {
 public:
  explicit TSkinMenu(TComponent* AOwner);
  ~TSkinMenu() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool Active() const { return FActive; }
  void SetActive(bool Value);
  // Keeps the menus painted but leaves the controls their own look.
  bool DisableSubclassing() const { return FDisableSubclassing; }
  void SetDisableSubclassing(bool Value);
  // The menu font; a new menu starts with the platform's.
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& Value);
  const TSkinMenuOptions& Options() const { return FOptions; }
  // Changes one setting and shows the change; XPContainers and XPControls choose the controls
  // again.
  template <class T, class C>
  requires std::is_base_of_v<C, TSkinMenuOptions>
  void SetOption(T C::*Field, std::type_identity_t<T> Value) {
    FOptions.*Field = Value;
    bool Choice = false;
    if constexpr (std::is_same_v<T, int> && std::is_same_v<C, TSkinMenuOptions>)
      Choice = Field == &TSkinMenuOptions::XPContainers || Field == &TSkinMenuOptions::XPControls;
    Choice ? Reapply() : Refresh();
  }
  // Bits per pixel of the screen, read at creation: 15 or less gives the plain colours.
  int ScreenBits() const { return FScreenBits; }
  void SetScreenBits(int Value);

  // The working colours, from the settings, the platform palette and the screen.
  TSkinColours Colours() const;
  QFont MenuFont() const { return FontToQFont(FFont); }
  // The item handlers this menu gives the items it paints.
  void MeasureItem(TComponent* Sender, int& Width, int& Height) const;
  void DrawItem(TComponent* Sender, QPainter& Canvas, const QRect& Rect, bool Selected) const;

  // Paints the menus and controls Root owns (a form) with this menu's settings.
  void HandleComponents(TComponent& Root);
  // The items and controls this menu paints now.
  bool Paints(const TMenuItem& Item) const;
  int ControlCount() const;

 protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void Apply();
  void Reapply();
  void Refresh();
  void HandleMenu(TPopupMenu& Menu);
  void HandleItem(TMenuItem& Item);
  void HandleControl(TControl& Control);
  void UndoMenus();
  void ReleaseControls();
  void DetectLater();

  TSkinMenuOptions FOptions;
  TFont FFont;
  bool FActive = false, FDisableSubclassing = false;
  int FScreenBits = 32;
  std::vector<TPopupMenu*> FMenus;  // switched to owner draw by this menu
  std::vector<TMenuItem*> FItems;   // given this menu's handlers
  std::vector<QPointer<TControlSubClass>> FControls;
  std::unique_ptr<QObject> FPoster;  // runs the AutoDetect check once the new item is built
  bool FDetectPending = false;
};

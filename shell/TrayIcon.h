// The notification-area icon: tip, picture, pop-up menu, mouse events, and sending the main
// window to the tray when it is minimised. Where the desktop has no notification area
// (NotificationArea.h follows it) the component keeps its settings and shows nothing, and
// minimising leaves the window minimised in the task list, since no icon could bring it back;
// a window minimised so, or started so, goes behind the icon when a notification area comes up.
#pragma once

#include <QSystemTrayIcon>
#include <functional>
#include <memory>

#include "shell/ImageList.h"
#include "shell/Menus.h"
#include "shell/ShellTypes.h"

class QTimer;
class QWidget;
class TForm;

using TCycleEvent = TEvent<void(TComponent* Sender, int NextIndex)>;

class TTrayIcon : public TComponent {
 public:
  explicit TTrayIcon(TComponent* AOwner);
  ~TTrayIcon() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool DesignPreview() const { return FDesignPreview; }
  void SetDesignPreview(bool Value) { FDesignPreview = Value; }
  TImageList* IconList() const { return FIconList; }
  void SetIconList(TImageList* Value);
  // Steps through IconList every CycleInterval ms (an interval of 0 stops the stepping).
  bool CycleIcons() const { return FCycleIcons; }
  void SetCycleIcons(bool Value);
  unsigned CycleInterval() const { return FCycleInterval; }
  void SetCycleInterval(unsigned Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  const std::string& Icon() const { return FIconName; }
  void SetIcon(const std::string& FileName);
  bool IconVisible() const { return FIconVisible; }
  void SetIconVisible(bool Value);
  int IconIndex() const { return FIconIndex; }
  // Shows that icon of IconList (held at the last one); without a list the index stays 0.
  void SetIconIndex(int Value);
  // The picture the tray shows now: Icon, or the list's icon last shown.
  const QImage& CurrentIcon() const { return FCurrentIcon; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  bool LeftPopup() const { return FLeftPopup; }
  void SetLeftPopup(bool Value) { FLeftPopup = Value; }
  bool StartMinimized() const { return FStartMinimized; }
  // Takes effect at the owner form's next showing, whether set by its definition or later: with
  // a notification area the form goes through that showing without reaching the screen and
  // waits behind the icon; without one it reaches the screen minimised.
  void SetStartMinimized(bool Value);
  bool MinimizeToTray() const { return FMinimizeToTray; }
  void SetMinimizeToTray(bool Value) { FMinimizeToTray = Value; }

  // The tip as the tray shows it: Hint cut to 63 characters when ShowHint is on, else empty.
  std::string ToolTip() const;
  // The mouse actions on the icon, as the tray reports them; each does nothing while Enabled
  // is off. The toolkit's tray reports a left click, a double click, a context request and a
  // middle click, not the separate presses and releases: a click is handed on as a press and a
  // release, a context request as a right press (opening the menu, unless the tray opens it itself:
  // see UpdateTrayIcon) and a right release. It reports no moves over the icon, so OnMouseMove
  // never fires.
  void LeftDown();
  void LeftUp();
  void DoubleClick();
  void RightDown();
  void RightUp();
  // One step of the icon cycle (the step timer's tick).
  void CycleStep();
  bool Cycling() const;
  // Opens PopupMenu at the cursor when it pops up automatically.
  void PopupAtMouse();
  // Hides the owner form and shows the icon (what minimising does with MinimizeToTray); without
  // a notification area the form stays as it is until one comes up.
  void MinimizeNow();

  // Whether the desktop has a notification area now. The probe replaces the desktop's answer
  // and reports it as the desktop would (tests); an empty one restores it.
  static bool TrayAvailable();
  static void SetTrayProbe(std::function<bool()> Probe);
  // The toolkit's icon; none yet on Wayland while no tray has come up.
  QSystemTrayIcon* TrayIcon() const { return FTray.get(); }

  TNotifyEvent OnClick, OnDblClick;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TCycleEvent OnCycle;

 protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  // Makes the toolkit's icon once a tray can hold it (see TrayIcon()).
  void MakeTray();
  // A notification area came up or went away.
  void TrayChanged();
  void StartInTray(QWidget& Window);
  class TFormWatch;
  void UpdateTrayIcon();
  void UpdateStepTimer();
  void ShowIcon(const QImage& Image);
  void Activated(QSystemTrayIcon::ActivationReason Reason);
  void MouseEvent(const TMouseEvent& Event, TMouseButton Button);
  TForm* OwnerForm() const;

  bool FDesignPreview = false;
  bool FCycleIcons = false;
  unsigned FCycleInterval = 0;
  bool FEnabled = true;
  std::string FHint;
  bool FShowHint = false;
  std::string FIconName;
  bool FIconVisible = true;
  int FIconIndex = 0;
  TImageList* FIconList = nullptr;
  QImage FIconImage, FCurrentIcon;
  TPopupMenu* FPopupMenu = nullptr;
  bool FLeftPopup = false;
  bool FStartMinimized = false;
  bool FMinimizeToTray = false;
  bool FClickPending = false;
  bool FTrayAvailable = false;
  bool FHiddenToTray = false;  // the form was hidden for the icon to bring it back
  // The form was minimised, or started minimised, while there was no notification area: the
  // first to come up takes it.
  bool FWaitingForTray = false;
  std::unique_ptr<QSystemTrayIcon> FTray;
  std::unique_ptr<TFormWatch> FFormWatch;
  std::unique_ptr<QTimer> FStepTimer;
};

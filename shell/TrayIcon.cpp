#include "shell/TrayIcon.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <climits>

#include "platform/qt/Application.h"
#include "platform/qt/Forms.h"
#include "platform/qt/StdCtrls.h"
#include "shell/NotificationArea.h"

namespace {

// The tray holds at most this many characters of the tip (the rest is cut).
constexpr int MaxTipLength = 63;

}  // namespace

// Watches the owner form's window: minimising sends it to the tray, a form that starts
// minimised goes there from its first showing, and one restored by the user waits for no tray.
class TTrayIcon::TFormWatch : public QObject {
 public:
  explicit TFormWatch(TTrayIcon& AIcon) : Icon(AIcon) {}
  TTrayIcon& Icon;
  bool MinimizeOnShow = false;

  bool eventFilter(QObject* Watched, QEvent* Event) override {
    auto* Window = qobject_cast<QWidget*>(Watched);
    if (!Window) return false;
    if (Event->type() == QEvent::WindowStateChange) {
      if (!(Window->windowState() & Qt::WindowMinimized))
        Icon.FWaitingForTray = false;
      else if (Icon.MinimizeToTray())
        QTimer::singleShot(0, this, [this] { Icon.MinimizeNow(); });
    } else if (Event->type() == QEvent::Show) {
      Icon.FHiddenToTray = false;
      if (MinimizeOnShow) {
        MinimizeOnShow = false;
        Icon.StartInTray(*Window);
      }
    }
    return false;
  }
};

TTrayIcon::TTrayIcon(TComponent* AOwner)
    : TComponent(AOwner),
      FFormWatch(std::make_unique<TFormWatch>(*this)),
      FStepTimer(std::make_unique<QTimer>()) {
  QObject::connect(FStepTimer.get(), &QTimer::timeout, [this] { CycleStep(); });
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    // A notification area may come up after the program (a panel started later) or go away.
    TNotificationArea& Area = TNotificationArea::Instance();
    QObject::connect(&Area, &TNotificationArea::Changed, FFormWatch.get(),
                     [this] { TrayChanged(); });
    FTrayAvailable = Area.Available();
    MakeTray();
  }
  if (TForm* Form = OwnerForm()) Form->Widget()->installEventFilter(FFormWatch.get());
}

// Qt asks D-Bus once per program, when its first tray icon is made or looked for, whether a
// StatusNotifierItem host is there, and keeps that answer. On Wayland, where that is the only
// kind of tray, a program started before its panel (as a session's autostart may be) would never
// get a tray. There, Qt's tray is neither made nor asked about until the watcher has come up.
void TTrayIcon::MakeTray() {
  if (FTray || !TNotificationArea::Instance().IconCanBeMade()) return;
  FTray = std::make_unique<QSystemTrayIcon>();
  QObject::connect(FTray.get(), &QSystemTrayIcon::activated,
                   [this](QSystemTrayIcon::ActivationReason Reason) { Activated(Reason); });
  ShowIcon(FCurrentIcon);
}

// The form's window reaches the screen minimised, the state set before it is mapped, or, with a
// notification area, not at all: the form is shown (its OnShow runs: the program's start) on no
// screen and hidden behind the icon before the next turn of the loop.
void TTrayIcon::StartInTray(QWidget& Window) {
  TForm* Form = OwnerForm();
  if (!Form) return;
  if (!FTrayAvailable) {
    Form->SetWindowState(wsMinimized);
    FWaitingForTray = true;
    return;
  }
  Window.setAttribute(Qt::WA_DontShowOnScreen);
  QTimer::singleShot(0, FFormWatch.get(), [this, Form, &Window] {
    Window.setAttribute(Qt::WA_DontShowOnScreen, false);
    if (FTrayAvailable) {
      MinimizeNow();
      return;
    }
    // The notification area went meanwhile: the form shows as it would have without one.
    Form->Hide();
    FFormWatch->MinimizeOnShow = true;
    Form->Show();
  });
}

TTrayIcon::~TTrayIcon() {
  if (FTray) FTray->hide();
}

TForm* TTrayIcon::OwnerForm() const {
  return dynamic_cast<TForm*>(Owner());
}

void TTrayIcon::Loaded() {
  TComponent::Loaded();
  if (FStartMinimized && !Designing()) FFormWatch->MinimizeOnShow = true;
  UpdateTrayIcon();
}

void TTrayIcon::SetStartMinimized(bool Value) {
  FStartMinimized = Value;
  if (!Loading() && !Designing()) FFormWatch->MinimizeOnShow = Value;
}

void TTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPopupMenu) {
    FPopupMenu = nullptr;
    UpdateTrayIcon();
  }
  if (AComponent == FIconList) SetIconList(nullptr);
}

void TTrayIcon::SetEnabled(bool Value) {
  FEnabled = Value;
  UpdateTrayIcon();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* Value) {
  SetReference(FPopupMenu, Value);
  UpdateTrayIcon();
}

void TTrayIcon::SetIconList(TImageList* Value) {
  SetReference(FIconList, Value);
  SetIconIndex(0);
}

void TTrayIcon::SetCycleIcons(bool Value) {
  FCycleIcons = Value;
  if (Value) SetIconIndex(0);
  UpdateStepTimer();
}

void TTrayIcon::SetCycleInterval(unsigned Value) {
  FCycleInterval = Value;
  UpdateStepTimer();
}

bool TTrayIcon::Cycling() const {
  return FStepTimer->isActive();
}

// A platform timer with no interval never fires; a Qt one would fire continuously.
void TTrayIcon::UpdateStepTimer() {
  FStepTimer->setInterval(static_cast<int>(std::min<unsigned>(FCycleInterval, INT_MAX)));
  if (FCycleIcons && FCycleInterval > 0)
    FStepTimer->start();
  else
    FStepTimer->stop();
}

void TTrayIcon::CycleStep() {
  if (!FIconList) return;
  const int Count = FIconList->Count();
  if (FIconIndex < Count) ShowIcon(FIconList->Get(FIconIndex));
  if (OnCycle) {
    const int Next = FIconIndex < Count ? FIconIndex + 1 : 0;
    DispatchEvent([&] { OnCycle(this, Next); });
  }
  UpdateTrayIcon();
  FIconIndex = FIconIndex < Count - 1 ? FIconIndex + 1 : 0;
}

void TTrayIcon::SetHint(const std::string& Value) {
  FHint = Value;
  UpdateTrayIcon();
}

void TTrayIcon::SetShowHint(bool Value) {
  FShowHint = Value;
  UpdateTrayIcon();
}

void TTrayIcon::SetIcon(const std::string& FileName) {
  FIconName = FileName;
  FIconImage = LoadPicture(FileName);
  ShowIcon(FIconImage);
  UpdateTrayIcon();
}

void TTrayIcon::ShowIcon(const QImage& Image) {
  FCurrentIcon = Image;
  if (FTray) FTray->setIcon(Image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(Image)));
}

void TTrayIcon::SetIconVisible(bool Value) {
  FIconVisible = Value;
  UpdateTrayIcon();
}

void TTrayIcon::SetIconIndex(int Value) {
  if (FIconList && FIconList->Count() > 0) {
    FIconIndex = std::clamp(Value, 0, FIconList->Count() - 1);
    ShowIcon(FIconList->Get(FIconIndex));
  } else {
    FIconIndex = 0;
  }
  UpdateTrayIcon();
}

std::string TTrayIcon::ToolTip() const {
  if (!FShowHint || FHint.empty()) return {};
  return QString::fromStdString(FHint).left(MaxTipLength).toStdString();
}

// The icon goes into the tray once loading is over, and only where there is a tray.
void TTrayIcon::UpdateTrayIcon() {
  if (!FTray || Loading() || (Designing() && !FDesignPreview)) return;
  FTray->setToolTip(QString::fromStdString(ToolTip()));
  // The menu is the tray's to open: a tray that draws menus itself (a StatusNotifierItem host
  // such as waybar, KDE's or GNOME's) gets it over D-Bus, and on an X11 tray the toolkit pops it
  // at the click. Opened by the program, it would not show on Wayland at all.
  QMenu* Menu = FEnabled && FPopupMenu && FPopupMenu->AutoPopup() ? FPopupMenu->Menu() : nullptr;
  if (FTray->contextMenu() != Menu) FTray->setContextMenu(Menu);
  if (Menu) FPopupMenu->SetPopupComponent(this);
  const bool Show = FIconVisible && FTrayAvailable && !FTray->icon().isNull();
  if (Show != FTray->isVisible()) FTray->setVisible(Show);
}

void TTrayIcon::Activated(QSystemTrayIcon::ActivationReason Reason) {
  switch (Reason) {
    case QSystemTrayIcon::Trigger:  // the tray reports a left click once released
      LeftDown();
      LeftUp();
      break;
    case QSystemTrayIcon::DoubleClick:
      DoubleClick();
      break;
    case QSystemTrayIcon::Context:
      RightDown();
      RightUp();
      break;
    case QSystemTrayIcon::MiddleClick:
      if (!FEnabled) break;
      MouseEvent(OnMouseDown, mbMiddle);
      MouseEvent(OnMouseUp, mbMiddle);
      break;
    default:
      break;
  }
}

void TTrayIcon::MouseEvent(const TMouseEvent& Event, TMouseButton Button) {
  if (!Event) return;
  const QPoint At = QCursor::pos();
  const Qt::MouseButton QtButton = Button == mbLeft    ? Qt::LeftButton
                                   : Button == mbRight ? Qt::RightButton
                                                       : Qt::MiddleButton;
  const TShiftState Shift = ShiftFromQt(QGuiApplication::keyboardModifiers(), QtButton);
  DispatchEvent([&] { Event(this, Button, Shift, At.x(), At.y()); });
}

void TTrayIcon::LeftDown() {
  if (!FEnabled) return;
  MouseEvent(OnMouseDown, mbLeft);
  FClickPending = true;
  if (FLeftPopup) PopupAtMouse();
}

void TTrayIcon::LeftUp() {
  if (!FEnabled) return;
  if (FClickPending) {
    FClickPending = false;
    if (OnClick) DispatchEvent([this] { OnClick(this); });
  }
  MouseEvent(OnMouseUp, mbLeft);
}

void TTrayIcon::DoubleClick() {
  if (!FEnabled) return;
  if (OnDblClick) DispatchEvent([this] { OnDblClick(this); });
  if (FPopupMenu && FPopupMenu->AutoPopup() && !FLeftPopup)
    if (TMenuItem* Item = FPopupMenu->DefaultItem()) Item->Click();
}

void TTrayIcon::RightDown() {
  if (!FEnabled) return;
  MouseEvent(OnMouseDown, mbRight);
  if (!FTray || !FTray->contextMenu()) PopupAtMouse();
}

void TTrayIcon::RightUp() {
  if (FEnabled) MouseEvent(OnMouseUp, mbRight);
}

void TTrayIcon::PopupAtMouse() {
  if (!FPopupMenu || !FPopupMenu->AutoPopup()) return;
  FPopupMenu->SetPopupComponent(this);
  const QPoint At = QCursor::pos();
  FPopupMenu->Popup(At.x(), At.y());
}

void TTrayIcon::MinimizeNow() {
  FWaitingForTray = !FTrayAvailable;
  if (!FTrayAvailable) return;
  if (TForm* Form = OwnerForm()) {
    Form->Hide();
    FHiddenToTray = true;
  }
  SetIconVisible(true);
}

bool TTrayIcon::TrayAvailable() {
  return TNotificationArea::Instance().Available();
}

void TTrayIcon::SetTrayProbe(std::function<bool()> Probe) {
  TNotificationArea::SetProbe(std::move(Probe));
}

// A window hidden to a notification area that has gone away comes back minimised, so that the
// task list still reaches it, and goes behind the icon again when a notification area returns.
void TTrayIcon::TrayChanged() {
  MakeTray();
  const bool Available = TrayAvailable();
  if (Available == FTrayAvailable) return;
  FTrayAvailable = Available;
  UpdateTrayIcon();
  TForm* Form = OwnerForm();
  if (!Form) return;
  if (Available) {
    if (FWaitingForTray) MinimizeNow();
    return;
  }
  if (!FHiddenToTray) return;
  Form->SetWindowState(wsMinimized);
  Form->Show();
  FWaitingForTray = true;
}

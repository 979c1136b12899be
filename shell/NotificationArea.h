// Whether the desktop has a notification area, followed as the desktop reports its coming and
// going rather than asked again and again: a StatusNotifierItem host (waybar, KDE's or GNOME's
// panel) by its watcher's name and signals on the session bus, an X11 system tray (XEmbed:
// trayer, the older panels) by what the X server tells the program: the MANAGER message of a
// new tray's selection owner, the tray window's destruction.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <functional>

class TNotificationArea : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT

 public:
  // The process's one, made at the first call (the application must be a QGuiApplication) and
  // ended with the application.
  static TNotificationArea& Instance();
  ~TNotificationArea() override;
  bool Available() const { return FAvailable; }
  // On Wayland Qt's tray must not be made before a watcher is there (see TrayIcon.cpp).
  bool IconCanBeMade() const { return !FOnWayland || FAvailable; }

  // Replaces the desktop's answer (tests) and, as the desktop would, reports it; an empty probe
  // restores the desktop's own.
  static void SetProbe(std::function<bool()> Probe);

  bool nativeEventFilter(const QByteArray& EventType, void* Message, qintptr* Result) override;

 signals:
  // Available() has changed.
  void Changed();

 private slots:
  // The watcher's signals: a host registered with it, or one went.
  void HostRegistered();
  void HostUnregistered();

 private:
  TNotificationArea();
  // Asks the watcher whether a host has registered with it, waiting for the answer or not.
  void AskForHost(bool Wait);
  void HostAnswered(const class QDBusPendingCall& Call);
  // Asks again once the events at hand are handled: Qt updates its own view of the tray first.
  void CheckSoon();
  void Check();

  bool FOnWayland = false;
  bool FHostRegistered = false;
  bool FAvailable = false;
  bool FCheckPosted = false;
};

#include "shell/NotificationArea.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString WatcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");

std::function<bool()>& AreaProbe() {
  static std::function<bool()> Probe;
  return Probe;
}

QPointer<TNotificationArea>& TheArea() {
  static QPointer<TNotificationArea> Area;
  return Area;
}

}  // namespace

TNotificationArea& TNotificationArea::Instance() {
  if (!TheArea()) TheArea() = new TNotificationArea;
  return *TheArea();
}

// A watcher's name alone is not a tray: waybar, for one, takes the name before its host
// registers, and Qt, asked in between, would keep "no tray" for good (see TrayIcon.cpp).
TNotificationArea::TNotificationArea() : QObject(QCoreApplication::instance()) {
  FOnWayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
  QDBusConnection Bus = QDBusConnection::sessionBus();
  if (Bus.isConnected()) {
    // Watching first, then asking once, so that a watcher coming in between is not missed.
    auto* Watcher = new QDBusServiceWatcher(
        WatcherService, Bus,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration,
        this);
    connect(Watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { AskForHost(false); });
    connect(Watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
      FHostRegistered = false;
      CheckSoon();
    });
    Bus.connect(WatcherService, WatcherPath, WatcherInterface,
                QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(HostRegistered()));
    Bus.connect(WatcherService, WatcherPath, WatcherInterface,
                QStringLiteral("StatusNotifierHostUnregistered"), this, SLOT(HostUnregistered()));
    if (Bus.interface() && Bus.interface()->isServiceRegistered(WatcherService).value())
      AskForHost(true);
  }
  // On X11 Qt's first question about the tray also has it follow the tray's selection.
  QCoreApplication::instance()->installNativeEventFilter(this);
  Check();
}

void TNotificationArea::AskForHost(bool Wait) {
  QDBusMessage Ask = QDBusMessage::createMethodCall(
      WatcherService, WatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
      QStringLiteral("Get"));
  Ask << WatcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
  const QDBusPendingCall Call = QDBusConnection::sessionBus().asyncCall(Ask);
  if (Wait) {
    QDBusPendingCall(Call).waitForFinished();
    HostAnswered(Call);
    return;
  }
  auto* Answer = new QDBusPendingCallWatcher(Call, this);
  connect(Answer, &QDBusPendingCallWatcher::finished, this, [this, Answer] {
    HostAnswered(*Answer);
    Answer->deleteLater();
  });
}

void TNotificationArea::HostAnswered(const QDBusPendingCall& Call) {
  const QDBusPendingReply<QDBusVariant> Reply(Call);
  FHostRegistered = Reply.isValid() && Reply.value().variant().toBool();
  CheckSoon();
}

void TNotificationArea::HostRegistered() {
  FHostRegistered = true;
  CheckSoon();
}

// Another host may still be there.
void TNotificationArea::HostUnregistered() {
  AskForHost(false);
}

TNotificationArea::~TNotificationArea() {
  if (auto* App = QCoreApplication::instance()) App->removeNativeEventFilter(this);
}

void TNotificationArea::SetProbe(std::function<bool()> Probe) {
  AreaProbe() = std::move(Probe);
  if (TheArea()) TheArea()->Check();
}

// Qt keeps the X11 tray's window and learns of a new one or its end from these events; what they
// mean is asked of Qt once it has handled them. Any client message (a new tray's MANAGER among
// them) or window destruction prompts the question, which Qt answers from what it keeps.
bool TNotificationArea::nativeEventFilter(const QByteArray& EventType, void* Message, qintptr*) {
  if (EventType != "xcb_generic_event_t") return false;
  const auto Type = static_cast<xcb_generic_event_t*>(Message)->response_type & ~0x80;
  if (Type == XCB_CLIENT_MESSAGE || Type == XCB_DESTROY_NOTIFY) CheckSoon();
  return false;
}

void TNotificationArea::CheckSoon() {
  if (FCheckPosted) return;
  FCheckPosted = true;
  QTimer::singleShot(0, this, [this] { Check(); });
}

// On Wayland a StatusNotifierItem host is the only kind of tray, and Qt would keep its first
// answer (see TrayIcon.cpp): there the bus's word stands alone.
void TNotificationArea::Check() {
  FCheckPosted = false;
  const bool Now = AreaProbe()  ? AreaProbe()()
                   : FOnWayland ? FHostRegistered
                                : QSystemTrayIcon::isSystemTrayAvailable();
  if (Now == FAvailable) return;
  FAvailable = Now;
  emit Changed();
}

#include "platform/qt/QtApplication.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/qt/Application.h"

bool TQtApplication::notify(QObject* Receiver, QEvent* Event) {
  try {
    return QApplication::notify(Receiver, Event);
  } catch (...) {
    if (Application) Application->HandleException(std::current_exception());
    return false;
  }
}

bool DisplayAvailable() {
  auto Set = [](const char* Name) {
    const char* Value = std::getenv(Name);
    return Value && *Value;
  };
  if (Set("QT_QPA_PLATFORM")) {
    const std::string_view Platform = std::getenv("QT_QPA_PLATFORM");
    if (Platform.substr(0, 3) != "xcb" && Platform.substr(0, 7) != "wayland") return true;
  }
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

namespace {

const char* FatalProgramName = "tessolon";
bool StartingUp = true;
QStringList HeldBack;

void FatalMessageExit(QtMsgType Type, const QMessageLogContext& Context, const QString& Message) {
  const QString Line = qFormatLogMessage(Type, Context, Message);
  if (Type != QtFatalMsg) {
    if (StartingUp)
      HeldBack.append(Line);
    else
      std::fprintf(stderr, "%s\n", qPrintable(Line));
    return;
  }
  const QString Reason = HeldBack.isEmpty() ? Message : HeldBack.first();
  std::fprintf(stderr, "%s: %s\n", FatalProgramName,
               qPrintable(Reason.split('\n').first().trimmed()));
  std::_Exit(1);
}

}  // namespace

void InstallFatalMessageExit(const char* ProgramName) {
  FatalProgramName = ProgramName;
  StartingUp = true;
  qInstallMessageHandler(FatalMessageExit);
}

void StartupDone() {
  StartingUp = false;
  for (const QString& Line : HeldBack) std::fprintf(stderr, "%s\n", qPrintable(Line));
  HeldBack.clear();
}

// The program's QApplication: an exception that escapes any Qt event delivery ends in the
// application object's handler instead of unwinding through Qt.
#pragma once

#include <QApplication>

class TQtApplication : public QApplication {
 public:
  TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* Receiver, QEvent* Event) override;
};

// Whether a window system can be reached from the environment (QT_QPA_PLATFORM, DISPLAY,
// WAYLAND_DISPLAY); Qt itself aborts when it cannot connect.
bool DisplayAvailable();
// Turns Qt's fatal messages (such as a display that cannot be opened) into one line on stderr
// and exit status 1, instead of an abort. Until StartupDone, Qt's other messages are held
// back: a failed start reports its first one (the reason) in that line.
void InstallFatalMessageExit(const char* ProgramName);
void StartupDone();

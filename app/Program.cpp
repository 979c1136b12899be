#include "app/Program.h"

#include <QGuiApplication>
#include <QIcon>
#include <iostream>

#include "app/AppClasses.h"
#include "app/ScreenReaderNames.h"
#include "app/UMain.h"
#include "app/UserSettings.h"
#include "app/Util.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Translation.h"
#include "platform/qt/Application.h"
#include "platform/qt/DesignFonts.h"
#include "platform/qt/QtApplication.h"
#include "platform/qt/QtTranslations.h"
#include "sound/Bleeper.h"

void CreateWindows(TApplication& App, const TStartOptions& Options) {
  AddDesignFonts();
  RegisterAppClasses();
  App.SetTitle("Tessolon 3.0");
  // Long speaker tones let ticks and clicks through while they wait. A speaker path the system
  // refuses does not keep the windows from starting: each speaker tone reports it instead.
  try {
    Bleeper().SetMessagePump([] {
      if (Application) Application->ProcessMessages();
    });
  } catch (const Exception&) {
  }
  App.CreateForm(frmMain);
  App.CreateForm(frmUtil);
  frmMain->SetAdjustment(frmUtil);
  frmUtil->SetObserver(frmMain);
  NameControlsForScreenReaders(*frmMain);
  NameControlsForScreenReaders(*frmUtil);
  // What the definitions give is the default for whatever was not kept.
  KeepSettings(Options.KeepSettings);
  TUserChoices Choices{.Dialog = frmUtil->Choices(), .Pest = std::nullopt};
  Choices.Dialog.Waveform.reset();
  LoadChoices(Choices);
  // A pest named at the start plays its own waveform, as any pest chosen does.
  if (!Options.Pest.empty()) Choices.Dialog.Waveform.reset();
  frmUtil->ApplyChoices(Choices.Dialog);
  frmMain->SetStart({.PestName = Options.Pest,
                     .PestKey = Choices.Pest,
                     .Go = Options.Go,
                     .Minimized = Options.Minimized});
}

int RunProgram(int argc, char** argv, const TStartOptions& Options) {
  if (!DisplayAvailable()) {
    std::cerr << Tr("tessolon: no display (DISPLAY and WAYLAND_DISPLAY are unset); "
                    "the headless commands still work: tessolon --help")
              << '\n';
    return 1;
  }
  InstallFatalMessageExit("tessolon");
  TQtApplication QtApp(argc, argv);
  InstallQtTranslations(&QtApp);
  // The desktop entry's name lets the desktop match the windows to it (icon, task list entry).
  QGuiApplication::setDesktopFileName(TESSOLON_APP_ID);
  QGuiApplication::setWindowIcon(QIcon::fromTheme("tessolon", QIcon(":/resources/tray.png")));
  StartupDone();
  TApplication App;
  try {
    CreateWindows(App, Options);
  } catch (const std::exception& E) {
    std::cerr << "tessolon: " << E.what() << '\n';
    return 1;
  }
  App.Run();
  return 0;
}

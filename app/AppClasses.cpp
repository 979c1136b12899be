#include "app/AppClasses.h"

#include "app/SpectrumView.h"
#include "app/UMain.h"
#include "app/Util.h"
#include "platform/data/DataSource.h"
#include "platform/qt/QtClasses.h"
#include "platform/qt/StdCtrls.h"
#include "shell/ShellClasses.h"
#include "sound/ToneGen.h"
#include "table/DbaseTable.h"

void RegisterAppClasses() {
  RegisterQtClasses();
  RegisterStandardControls();
  RegisterSoundClasses();
  RegisterDataClasses();
  RegisterTableClasses();
  RegisterShellClasses();
  RegisterClass(TSpectrumView::StaticClassInfo());
  RegisterClass(TfrmMain::StaticClassInfo());
  RegisterClass(TfrmUtil::StaticClassInfo());
}

#include "app/AppClasses.h"

#include "app/UMain.h"
#include "app/Util.h"
#include "platform/qt/QtClasses.h"

void RegisterAppClasses() {
  RegisterQtClasses();
  RegisterClass(TfrmMain::StaticClassInfo());
  RegisterClass(TfrmUtil::StaticClassInfo());
}

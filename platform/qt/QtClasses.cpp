#include "platform/qt/QtClasses.h"

#include "platform/qt/Forms.h"
#include "platform/qt/Timer.h"

void RegisterQtClasses() {
  RegisterCoreClasses();
  RegisterClass(TForm::StaticClassInfo());
  RegisterClass(TTimer::StaticClassInfo());
}

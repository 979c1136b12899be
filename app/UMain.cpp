#include "app/UMain.h"

TfrmMain* frmMain = nullptr;

const TClassInfo& TfrmMain::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TfrmMain>("TfrmMain", TForm::StaticClassInfo()).Build();
  return Info;
}

TfrmMain::TfrmMain(TComponent* AOwner) : TForm(AOwner) {}

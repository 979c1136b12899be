#include "app/Util.h"

TfrmUtil* frmUtil = nullptr;

const TClassInfo& TfrmUtil::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TfrmUtil>("TfrmUtil", TForm::StaticClassInfo()).Build();
  return Info;
}

TfrmUtil::TfrmUtil(TComponent* AOwner) : TForm(AOwner) {}

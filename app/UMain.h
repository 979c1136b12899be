// The main window.
#pragma once

#include "platform/qt/Forms.h"

class TfrmMain : public TForm {
 public:
  explicit TfrmMain(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

extern TfrmMain* frmMain;

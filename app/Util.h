// The Adjustment dialog.
#pragma once

#include "platform/qt/Forms.h"

class TfrmUtil : public TForm {
 public:
  explicit TfrmUtil(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

extern TfrmUtil* frmUtil;

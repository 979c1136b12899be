// A control that shows a tone's spectrum picture (app/SpectrumPicture.h), repainted whenever it
// is handed a new one; until then it says that no tone has been played.
#pragma once

#include <optional>

#include "platform/qt/Controls.h"
#include "sound/ToneSpectrum.h"

class TSpectrumView : public TControl {
 public:
  explicit TSpectrumView(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::optional<TSpectrumPicture>& Picture() const { return FPicture; }
  void SetPicture(TSpectrumPicture Value);

 private:
  std::optional<TSpectrumPicture> FPicture;
};

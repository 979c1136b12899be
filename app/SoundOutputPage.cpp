#include "app/SoundOutputPage.h"

#include <QSettings>

namespace {

const char* const BandLimitedKey = "SoundOutput/BandLimited";
const char* const Organisation = "Tessolon";
const char* const Application = "Tessolon";

}  // namespace

bool StoredBandLimited() {
  return QSettings(Organisation, Application).value(BandLimitedKey, false).toBool();
}

void StoreBandLimited(bool Value) {
  QSettings(Organisation, Application).setValue(BandLimitedKey, Value);
}

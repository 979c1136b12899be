#include "platform/audio/SoundService.h"

#include <atomic>

#include "platform/audio/OnDemandSoundService.h"

namespace {

std::atomic<ISoundService*> Installed{nullptr};

}  // namespace

ISoundService& SoundService() {
  if (ISoundService* Service = Installed.load()) return *Service;
  // Deliberately never destroyed: components stop their sounds from their own destructors,
  // which may run during static destruction after any function-local static would be gone.
  static TOnDemandSoundService* Real = new TOnDemandSoundService();
  return *Real;
}

void SetSoundService(ISoundService* Service) {
  Installed.store(Service);
}

ISoundService* InstalledSoundService() {
  return Installed.load();
}

#include "platform/audio/AudioDevices.h"

#include "platform/audio/AudioModule.h"

TAudioOutputs ListOutputDevices(const TImageFormat& Image) {
  const TAudioBackend* Backend = nullptr;
  try {
    Backend = &AudioBackend();
  } catch (const Exception& E) {
    throw EAudioDevicesError(E.what());
  }
  TAudioOutputs Outputs;
  char Error[512] = "";
  if (Backend->ListOutputs(&Image, &Outputs, Error, sizeof Error) != 0)
    throw EAudioDevicesError(Error);
  return Outputs;
}

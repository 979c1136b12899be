#include "sound/BleeperPaths.h"

#include <chrono>
#include <thread>

#include "platform/audio/WaveImage.h"
#include "platform/core/ByteOrder.h"

namespace {

// The square wave in the form the sound service shares with its caller.
TSharedImage SharedSquareWave(uint32_t Freq, uint32_t Samples) {
  return std::make_shared<const std::vector<uint8_t>>(SquareWaveImage(Freq, Samples));
}

}  // namespace

void ThreadSleep(uint32_t MSecs) {
  std::this_thread::sleep_for(std::chrono::milliseconds(MSecs));
}

TEvdevBeep::TEvdevBeep(std::unique_ptr<TSpeakerDevice> Device, TSleep Sleep)
    : FDevice(std::move(Device)), FSleep(std::move(Sleep)) {}

void TEvdevBeep::Beep(uint32_t Freq, int32_t MSecs) {
  FDevice->Tone(Freq);
  if (MSecs == -1) return;
  FSleep(static_cast<uint32_t>(MSecs));
  FDevice->Tone(0);
}

void TEvdevBeep::Silence() {
  FDevice->Tone(0);
}

std::vector<uint8_t> SquareWaveImage(uint32_t Freq, uint32_t Samples) {
  constexpr uint16_t BytesPerSample = 2;
  const uint32_t DataSize = Samples * BytesPerSample;
  std::vector<uint8_t> Image(WaveHeaderSize + std::size_t{DataSize});
  TWaveFormat Format;
  Format.Rate = SquareWaveRate;
  Format.Channels = 1;
  Format.Bits = 8 * BytesPerSample;
  WriteWaveHeader(Image.data(), Format, DataSize);
  uint8_t* Sample = Image.data() + WaveHeaderSize;
  // Integer phase, so that every period has the same length over a whole second.
  for (uint64_t N = 0; N < Samples; ++N, Sample += BytesPerSample) {
    const bool High = (N * Freq % SquareWaveRate) * 2 < SquareWaveRate;
    PutLE16(Sample, static_cast<uint16_t>(High ? SquareWaveAmplitude : -SquareWaveAmplitude));
  }
  return Image;
}

TSoundCardBeep::TSoundCardBeep(ISoundService* Service, TSleep Sleep)
    : FService(Service), FSleep(std::move(Sleep)) {}

TSoundCardBeep::~TSoundCardBeep() {
  // A loop left sounding would outlive the speaker that could silence it.
  if (FLooping) Service().Stop(svSpeaker);
}

void TSoundCardBeep::Beep(uint32_t Freq, int32_t MSecs) {
  if (MSecs == -1) {
    PlayLoop(Freq);
  } else if (MSecs == 0) {
    Silence();
  } else if (MSecs <= LongestImageMSecs) {
    const auto Samples = static_cast<uint32_t>(uint64_t{SquareWaveRate} * MSecs / 1000);
    // A refused device leaves the beep silent, like a refused speaker tone on any path.
    static_cast<void>(
        Service().PlayImage(svSpeaker, SharedSquareWave(Freq, Samples), SND_MEMORY | SND_SYNC));
    FLooping = false;  // replaced by the tone just played
  } else {
    PlayLoop(Freq);
    FSleep(static_cast<uint32_t>(MSecs));
    Silence();
  }
}

void TSoundCardBeep::Silence() {
  Service().Stop(svSpeaker);
  FLooping = false;
}

void TSoundCardBeep::PlayLoop(uint32_t Freq) {
  static_cast<void>(Service().PlayImage(svSpeaker, SharedSquareWave(Freq, SquareWaveRate),
                                        SND_MEMORY | SND_ASYNC | SND_LOOP));
  FLooping = true;
}

std::unique_ptr<TBleeper> MakeBleeper(TSpeakerPath Path, const std::string& DeviceDir,
                                      ISoundService* Service) {
  if (Path == spPorts) return std::make_unique<TBleeper>(OpenPorts({0x42, 0x43, 0x61}));
  const std::string Device = FindSpeakerDevice(DeviceDir);
  if (Path == spEvdev && Device.empty())
    throw EHardwareUnavailable("No PC-speaker input device (" + DeviceDir +
                               "/*pcspkr*); the kernel's pcspkr module may not be loaded");
  if (Path == spSoundCard || Device.empty())
    return std::make_unique<TBleeper>(std::make_unique<TSoundCardBeep>(Service));
  try {
    return std::make_unique<TBleeper>(
        std::make_unique<TEvdevBeep>(std::make_unique<TSpeakerDevice>(Device)));
  } catch (const EHardwareUnavailable&) {
    if (Path == spEvdev) throw;
    return std::make_unique<TBleeper>(std::make_unique<TSoundCardBeep>(Service));
  }
}

#include "app/SoundOutputPage.h"

#include <QSettings>
#include <algorithm>
#include <cstdio>

#include "platform/audio/AudioDevices.h"
#include "platform/audio/SoundService.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"

namespace {

constexpr int64_t HearingRate = 40000;  // twice the 20 kHz where adult hearing ends
const char* const BandLimitedKey = "SoundOutput/BandLimited";

const char* const Organisation = "Tessolon";
const char* const Application = "Tessolon";

std::string Range(TBand Band) {
  return std::to_string(Band.Low) + "-" + std::to_string(Band.High) + " Hz";
}

std::string Kilohertz(double Hertz) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%.4g", Hertz / 1000);
  return Text;
}

}  // namespace

unsigned OutputDeviceRate(const TToneGen& ToneGen) {
  if (const unsigned Open = SoundService().DeviceRate()) return Open;
  TImageFormat Format;
  Format.Rate = uint32_t(SampleRate(ToneGen.Quality()));
  Format.Channels = ToneGen.Stereo() ? 2 : 1;
  Format.Bits = ToneGen.Resolution() == tg16Bit ? 16 : 8;
  const TOutputDevice Device = ProbeDefaultOutput(Format);
  return Device.Opened ? Device.Rate : 0;
}

std::string OutputRateText(unsigned DeviceRate) {
  if (DeviceRate == 0) return "No output device could be opened.";
  return "Runs at " + std::to_string(DeviceRate) + " Hz: it plays nothing at or above " +
         Kilohertz(DeviceRate / 2.0) + " kHz.";
}

std::string BandNote(TBand Band, unsigned DeviceRate) {
  const TBand Whole{std::min(Band.Low, Band.High), std::max(Band.Low, Band.High)};
  std::string Note;
  if (DeviceRate == 0) {
    Note = "Without an output device nothing of this band can be played.";
  } else if (const auto Part = UnplayablePart(Whole, DeviceRate)) {
    Note = Part->Low == Whole.Low
               ? "The device cannot play any of this band (" + Range(Whole) + ")."
               : "The device cannot play " + Range(*Part) + " of this band.";
  }
  if (const auto Part = UnplayablePart(Whole, HearingRate)) {
    if (!Note.empty()) Note += " ";
    Note += (Part->Low == Whole.Low ? "All of this band (" + Range(Whole) + ")"
                                    : std::string(Range(*Part) + " of it")) +
            " lies at or above 20 kHz, beyond adult hearing; children and pets may still hear it.";
  }
  return Note.empty() ? "The device can play the whole band (" + Range(Whole) +
                            "), and people can hear all of it."
                      : Note;
}

std::optional<TSpectrumPicture> TonePicture(const TToneGen& ToneGen, unsigned DeviceRate) {
  if (!ToneGen.GetDataBuffer()) return std::nullopt;
  TSpectrumPicture Picture;
  Picture.Spectrum =
      AnalyseWaveImage(ToneGen.GetDataBuffer(), std::size_t(ToneGen.DataBufferSize()));
  Picture.ToneHertz = ToneGen.Frequency();
  Picture.DeviceRate = DeviceRate;
  Picture.Title = "Tone " + std::to_string(ToneGen.Frequency()) + " Hz, " +
                  (ToneGen.BandLimited() ? "band-limited" : "plain synthesis");
  return Picture;
}

bool StoredBandLimited() {
  return QSettings(Organisation, Application).value(BandLimitedKey, false).toBool();
}

void StoreBandLimited(bool Value) {
  QSettings(Organisation, Application).setValue(BandLimitedKey, Value);
}

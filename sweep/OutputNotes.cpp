#include "sweep/OutputNotes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/audio/SoundService.h"
#include "platform/core/Messages.h"
#include "platform/core/Translation.h"
#include "sound/OutputLimit.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"
#include "sound/UltrasoundTone.h"

namespace {

std::string Range(TBand Band) {
  return std::to_string(Band.Low) + "-" + std::to_string(Band.High) + " Hz";
}

std::string Kilohertz(double Hertz) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%.4g kHz", Hertz / 1000);
  return Text;
}

// The lowest hertz the output cannot carry for images of ImageRate: the converter's edge when it
// runs below their rate, else half their rate.
double CarryEdge(const TOutputChain& Chain, unsigned ImageRate) {
  if (const auto Limit = OutputLimit(Chain, ImageRate)) return Limit->Edge;
  return ImageRate / 2.0;
}

unsigned ImageRateOf(const TToneGen& ToneGen) {
  return ToneGen.ImageRate();
}

}  // namespace

std::string OutputText(const TOutputChain& Chain) {
  return Chain.Rate == 0 ? Tr("Output: none")
                         : FormatMessage("Output: %s", Chain.Describe().c_str());
}

std::string OutputRateText(const TOutputChain& Chain, unsigned ImageRate) {
  if (Chain.Rate == 0) return Tr("No output device could be opened.");
  if (const auto Limit = OutputLimit(Chain, ImageRate))
    return FormatMessage("It carries nothing at or above %s.", KilohertzText(Limit->Edge).c_str());
  return FormatMessage("It plays the tones at their own rate: nothing at or above %s.",
                       Kilohertz(ImageRate / 2.0).c_str());
}

std::string BandNote(TBand Band, const TOutputChain& Chain, unsigned ImageRate) {
  const TBand Whole{std::min(Band.Low, Band.High), std::max(Band.Low, Band.High)};
  std::string Note;
  if (Chain.Rate == 0) {
    Note = Tr("Without an output device nothing of this band can be played.");
  } else if (const auto Part =
                 PartAtOrAbove(Whole, int64_t(std::ceil(CarryEdge(Chain, ImageRate))))) {
    Note =
        Part->Low == Whole.Low
            ? FormatMessage("The output cannot carry any of this band (%s).", Range(Whole).c_str())
            : FormatMessage("The output cannot carry %s of this band.", Range(*Part).c_str());
  }
  return Note.empty()
             ? FormatMessage("The output can carry the whole band (%s).", Range(Whole).c_str())
             : Note;
}

std::string UltrasoundNote(TBand Band) {
  const TBand Whole{std::min(Band.Low, Band.High), std::max(Band.Low, Band.High)};
  std::string Note =
      Tr("Ultrasound only: 16-bit at 96000 Hz whatever the Resolution and Quality boxes say; "
         "partials below 20.5 kHz are left out.");
  if (Whole.Low < UltrasoundFloor)
    Note += Whole.High < UltrasoundFloor
                ? Tr(" No tone of this band plays: all lie below 20.5 kHz.")
                : FormatMessage(" Tones below 20.5 kHz (%lld-%lld Hz) stay silent.",
                                static_cast<long long>(Whole.Low),
                                static_cast<long long>(UltrasoundFloor - 1));
  return Note;
}

bool BelowUltrasound(const TToneGen& ToneGen) {
  return ToneGen.UltrasoundOnly() && ToneGen.Frequency() < UltrasoundFloor;
}

std::string SilentToneNote(const TToneGen& ToneGen) {
  if (BelowUltrasound(ToneGen))
    return FormatMessage(
        "This tick, %s Hz, is silent: ultrasound only plays nothing below 20.5 kHz.",
        std::to_string(ToneGen.Frequency()).c_str());
  if (ToneGen.Carried()) return "";
  const auto Limit = CurrentOutputLimit(ImageRateOf(ToneGen));
  const std::string Hertz = std::to_string(ToneGen.Frequency());
  return Limit ? FormatMessage("This tick, %s Hz, is silent: the output at %u Hz cannot carry it.",
                               Hertz.c_str(), unsigned(Limit->Rate))
               : FormatMessage("This tick, %s Hz, is silent: the output cannot carry it.",
                               Hertz.c_str());
}

std::string SilentToneShort(const TToneGen& ToneGen) {
  if (SoundService().Output(ImageRateOf(ToneGen)).Rate == 0) return Tr("silent: no output");
  if (BelowUltrasound(ToneGen)) return Tr("silent: below 20.5 kHz");
  if (ToneGen.Carried()) return "";
  const auto Limit = CurrentOutputLimit(ImageRateOf(ToneGen));
  return Limit ? FormatMessage("silent: output at %u Hz", unsigned(Limit->Rate))
               : Tr("silent: output at a lower rate");
}

std::optional<TSpectrumPicture> TonePicture(const TToneGen& ToneGen, unsigned DeviceRate) {
  if (!ToneGen.GetDataBuffer()) return std::nullopt;
  TSpectrumPicture Picture;
  Picture.Spectrum =
      AnalyseWaveImage(ToneGen.GetDataBuffer(), std::size_t(ToneGen.DataBufferSize()));
  Picture.ToneHertz = ToneGen.Frequency();
  Picture.PartialHertz = SoundingPartials(ToneGen.Settings());
  Picture.DeviceRate = DeviceRate;
  Picture.Title = FormatMessage("Tone %s Hz, %s", std::to_string(ToneGen.Frequency()).c_str(),
                                Tr(ToneGen.UltrasoundOnly() ? TrMark("ultrasound only")
                                   : ToneGen.BandLimited()  ? TrMark("band-limited")
                                                            : TrMark("plain synthesis")));
  return Picture;
}

#include "sweep/OutputNotes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/audio/SoundService.h"
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
  return Chain.Rate == 0 ? "Output: none" : "Output: " + Chain.Describe();
}

std::string OutputRateText(const TOutputChain& Chain, unsigned ImageRate) {
  if (Chain.Rate == 0) return "No output device could be opened.";
  if (const auto Limit = OutputLimit(Chain, ImageRate))
    return "It carries nothing at or above " + KilohertzText(Limit->Edge) + ".";
  return "It plays the tones at their own rate: nothing at or above " + Kilohertz(ImageRate / 2.0) +
         ".";
}

std::string BandNote(TBand Band, const TOutputChain& Chain, unsigned ImageRate) {
  const TBand Whole{std::min(Band.Low, Band.High), std::max(Band.Low, Band.High)};
  std::string Note;
  if (Chain.Rate == 0) {
    Note = "Without an output device nothing of this band can be played.";
  } else if (const auto Part =
                 PartAtOrAbove(Whole, int64_t(std::ceil(CarryEdge(Chain, ImageRate))))) {
    Note = Part->Low == Whole.Low
               ? "The output cannot carry any of this band (" + Range(Whole) + ")."
               : "The output cannot carry " + Range(*Part) + " of this band.";
  }
  return Note.empty() ? "The output can carry the whole band (" + Range(Whole) + ")." : Note;
}

std::string UltrasoundNote(TBand Band) {
  const TBand Whole{std::min(Band.Low, Band.High), std::max(Band.Low, Band.High)};
  std::string Note =
      "Ultrasound only: 16-bit at 96000 Hz whatever the Resolution and Quality boxes say; "
      "partials below 20.5 kHz are left out.";
  if (Whole.Low < UltrasoundFloor)
    Note += Whole.High < UltrasoundFloor
                ? " No tone of this band plays: all lie below 20.5 kHz."
                : " Tones below 20.5 kHz (" + std::to_string(Whole.Low) + "-" +
                      std::to_string(UltrasoundFloor - 1) + " Hz) stay silent.";
  return Note;
}

bool BelowUltrasound(const TToneGen& ToneGen) {
  return ToneGen.UltrasoundOnly() && ToneGen.Frequency() < UltrasoundFloor;
}

std::string SilentToneNote(const TToneGen& ToneGen) {
  if (BelowUltrasound(ToneGen))
    return "This tick, " + std::to_string(ToneGen.Frequency()) +
           " Hz, is silent: ultrasound only plays nothing below 20.5 kHz.";
  if (ToneGen.Carried()) return "";
  const auto Limit = CurrentOutputLimit(ImageRateOf(ToneGen));
  return "This tick, " + std::to_string(ToneGen.Frequency()) + " Hz, is silent: the output" +
         (Limit ? " at " + std::to_string(Limit->Rate) + " Hz" : std::string()) +
         " cannot carry it.";
}

std::string SilentToneShort(const TToneGen& ToneGen) {
  if (SoundService().Output(ImageRateOf(ToneGen)).Rate == 0) return "silent: no output";
  if (BelowUltrasound(ToneGen)) return "silent: below 20.5 kHz";
  if (ToneGen.Carried()) return "";
  const auto Limit = CurrentOutputLimit(ImageRateOf(ToneGen));
  return "silent: output at " + (Limit ? std::to_string(Limit->Rate) + " Hz" : "a lower rate");
}

std::optional<TSpectrumPicture> TonePicture(const TToneGen& ToneGen, unsigned DeviceRate) {
  if (!ToneGen.GetDataBuffer()) return std::nullopt;
  TSpectrumPicture Picture;
  Picture.Spectrum =
      AnalyseWaveImage(ToneGen.GetDataBuffer(), std::size_t(ToneGen.DataBufferSize()));
  Picture.ToneHertz = ToneGen.Frequency();
  Picture.PartialHertz = SoundingPartials(ToneGen.Settings());
  Picture.DeviceRate = DeviceRate;
  Picture.Title = "Tone " + std::to_string(ToneGen.Frequency()) + " Hz, " +
                  (ToneGen.UltrasoundOnly() ? "ultrasound only"
                   : ToneGen.BandLimited()  ? "band-limited"
                                            : "plain synthesis");
  return Picture;
}

#include "sound/ToneCommand.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "platform/audio/SoundService.h"
#include "platform/core/CommandLine.h"
#include "sound/BandLimited.h"
#include "sound/OutputLimit.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"

namespace {

const char* const Usage =
    "Usage: tessolon tone [options] [--export FILE] [--spectrum FILE.png] [--play [--seconds N]]\n"
    "Builds one tone with the tone generator, then writes it as a RIFF/WAVE file, draws its\n"
    "spectrum and/or plays it. Values outside a property's range are clamped as the component\n"
    "clamps them.\n"
    "  --frequency HZ        main frequency, 20 to 50000 (default 440)\n"
    "  --note TEXT           main frequency from a note: A, C#, B-, >A, <C, O5A, N48\n"
    "  --duration MS         length in milliseconds, 10 to 32767 (default 100)\n"
    "  --waveform W          sine, square, triangle, sawtooth or noise (default sine)\n"
    "  --resolution 16|8     bits per sample (default 16)\n"
    "  --quality hi|lo       96000 or 44100 samples per second (default hi)\n"
    "  --stereo              two channels instead of one\n"
    "  --am ROW:AMPLITUDE:WAVEFORM:FREQUENCY\n"
    "                        sets added partial ROW (1 to 8): amplitude in percent, waveform,\n"
    "                        and a multiplier of the main frequency (repeatable)\n"
    "  --no-multiplier       partial frequencies are absolute hertz, not multipliers\n"
    "  --attack/--hold/--decay/--release PERCENT   envelope shares of the tone's length\n"
    "  --sustain PERCENT     envelope sustain level\n"
    "  --envelope            shape the tone with the envelope\n"
    "  --band-limited        build sine, square, triangle and sawtooth partials only from their\n"
    "                        harmonics below half the rate, so nothing folds back into the\n"
    "                        audible band; a partial at or above half the rate is left out\n"
    "  --left/--right PERCENT  output volume per channel (default 100)\n"
    "  --export FILE         write the wave image to FILE\n"
    "  --spectrum FILE.png   draw the tone's magnitude spectrum up to half the rate, with marks\n"
    "                        at 20 kHz, at half the default output device's rate and at the tone\n"
    "  --play                play the tone once and return when it has ended\n"
    "  --seconds N           with --play: loop the tone for N seconds, then stop\n"
    "Exit status: 0 done, 1 refused (no memory for the tone, file or picture not written), 2\n"
    "bad arguments.\n";

constexpr long long Wide = 1LL << 40;  // the component clamps; only absurd numbers are refused

TTGWave ParseWave(const std::string& Text, std::string_view What) {
  static const char* const Names[] = {"sine", "square", "triangle", "sawtooth", "noise"};
  for (int I = 0; I < 5; ++I)
    if (Text == Names[I]) return TTGWave(I);
  throw EBadArguments(std::string(What) + ": unknown waveform '" + Text + "'");
}

void ParseAM(TToneGen& Tone, const std::string& Text) {
  std::vector<std::string> Parts;
  std::size_t Start = 0;
  for (std::size_t Colon; (Colon = Text.find(':', Start)) != std::string::npos; Start = Colon + 1)
    Parts.push_back(Text.substr(Start, Colon - Start));
  Parts.push_back(Text.substr(Start));
  if (Parts.size() != 4)
    throw EBadArguments("--am: expected ROW:AMPLITUDE:WAVEFORM:FREQUENCY, got '" + Text + "'");
  const auto Row = ParseInteger(Parts[0], "--am ROW", 1, 8);
  const auto Amplitude = ParseInteger(Parts[1], "--am AMPLITUDE", -32768, 32767);
  const TTGWave Wave = ParseWave(Parts[2], "--am WAVEFORM");
  const double Frequency = ParseReal(Parts[3], "--am FREQUENCY");
  Tone.SetAMParameter(TTGAMLevel(Row - 1), int16_t(Amplitude), float(Frequency), Wave);
}

// The highest frequency that sounds in the tone, or 0 when nothing does. Band-limited
// synthesis leaves out what lies at or above half the image's rate.
int64_t HighestPartial(const TToneGen& Tone) {
  const TToneSettings Settings = Tone.Settings();
  int64_t Highest = 0;
  for (const TPartial& Partial : TonePartials(Settings))
    if (Partial.Amplitude > 0 && Partial.Frequency > Highest &&
        !(Settings.BandLimited && LeftOutWhenBandLimited(Partial, Settings.Quality)))
      Highest = Partial.Frequency;
  return Highest;
}

void WarnAboveHalf(int64_t Hertz, unsigned Rate, const char* Whose) {
  if (Rate == 0 || Hertz * 2 < Rate) return;
  std::cerr << "tessolon tone: warning: " << Hertz << " Hz is at or above half " << Whose
            << " rate of " << Rate << " samples per second and cannot sound as asked\n";
}

void WarnLeftOut(const TToneGen& Tone) {
  const unsigned Rate = unsigned(SampleRate(Tone.Quality()));
  std::vector<int64_t> Said;
  for (int64_t Hertz : PartialsLeftOut(Tone.Settings())) {
    if (std::find(Said.begin(), Said.end(), Hertz) != Said.end()) continue;
    Said.push_back(Hertz);
    std::cerr << "tessolon tone: warning: " << Hertz
              << " Hz is at or above half the image's rate of " << Rate
              << " samples per second and is left out\n";
  }
}

std::string Describe(const TToneGen& Tone) {
  static const char* const Names[] = {"sine", "square", "triangle", "sawtooth", "noise"};
  const std::vector<TPartial> All = TonePartials(Tone.Settings());
  const auto Rows =
      std::count_if(All.begin() + 1, All.end(), [](const TPartial& P) { return P.Amplitude > 0; });
  const std::string Added = Rows == 0   ? ""
                            : Rows == 1 ? " with 1 added partial"
                                        : " with " + std::to_string(Rows) + " added partials";
  return std::to_string(Tone.Frequency()) + " Hz " + Names[std::min<int>(Tone.Waveform(), 4)] +
         Added + ", " + std::to_string(SampleRate(Tone.Quality())) + " samples per second, " +
         (Tone.Resolution() == tg16Bit ? "16" : "8") + "-bit, " +
         (Tone.BandLimited() ? "band-limited" : "plain synthesis");
}

void DrawSpectrum(const TToneGen& Tone, const TSpectrumWriter& WriteSpectrum,
                  const std::string& FileName) {
  TSpectrumPicture Picture;
  Picture.Spectrum = AnalyseWaveImage(Tone.GetDataBuffer(), std::size_t(Tone.DataBufferSize()));
  Picture.ToneHertz = Tone.Frequency();
  Picture.DeviceRate = SoundService().Output(unsigned(SampleRate(Tone.Quality()))).Rate;
  Picture.Title = Describe(Tone);
  WriteSpectrum(Picture, FileName);
}

int Tone(TArgList& Args, const TSpectrumWriter& WriteSpectrum) {
  TToneGen Tone(nullptr);
  std::optional<std::string> ExportTo, SpectrumTo;
  bool Play = false, Envelope = false;
  std::optional<double> Seconds;
  auto Int = [&](const std::string& Option, long long Min = -Wide, long long Max = Wide) {
    return ParseInteger(Args.TakeValue(Option), Option, Min, Max);
  };
  while (!Args.Empty()) {
    const std::string Arg = Args.Take("option");
    const std::string Option = Arg.substr(0, Arg.find('='));
    if (Option == "--frequency") {
      Tone.SetFrequency(Int(Option));
    } else if (Option == "--note") {
      const std::string Note = Args.TakeValue(Option);
      if (Tone.SetNote(Note) == 0)
        throw EBadArguments("--note: not a playable note '" + Note + "'");
    } else if (Option == "--duration") {
      Tone.SetDuration(Int(Option));
    } else if (Option == "--waveform") {
      Tone.SetWaveform(ParseWave(Args.TakeValue(Option), Option));
    } else if (Option == "--resolution") {
      const std::string Value = Args.TakeValue(Option);
      if (Value != "16" && Value != "8") throw EBadArguments("--resolution: expected 16 or 8");
      Tone.SetResolution(Value == "16" ? tg16Bit : tg8Bit);
    } else if (Option == "--quality") {
      const std::string Value = Args.TakeValue(Option);
      if (Value != "hi" && Value != "lo") throw EBadArguments("--quality: expected hi or lo");
      Tone.SetQuality(Value == "hi" ? tgHiQ : tgLoQ);
    } else if (Arg == "--stereo") {
      Tone.SetStereo(true);
    } else if (Option == "--am") {
      ParseAM(Tone, Args.TakeValue(Option));
    } else if (Arg == "--no-multiplier") {
      Tone.SetAMUseMultiplier(false);
    } else if (Option == "--attack") {
      Tone.SetAttack(Int(Option));
    } else if (Option == "--hold") {
      Tone.SetHold(Int(Option));
    } else if (Option == "--decay") {
      Tone.SetDecay(Int(Option));
    } else if (Option == "--sustain") {
      Tone.SetSustain(Int(Option));
    } else if (Option == "--release") {
      Tone.SetRelease(Int(Option));
    } else if (Arg == "--envelope") {
      Envelope = true;
    } else if (Arg == "--band-limited") {
      Tone.SetBandLimited(true);
    } else if (Option == "--left") {
      Tone.SetLeftVolume(Int(Option));
    } else if (Option == "--right") {
      Tone.SetRightVolume(Int(Option));
    } else if (Option == "--export") {
      ExportTo = Args.TakeValue(Option);
    } else if (Option == "--spectrum") {
      SpectrumTo = Args.TakeValue(Option);
    } else if (Arg == "--play") {
      Play = true;
    } else if (Option == "--seconds") {
      Seconds = ParseReal(Args.TakeValue(Option), Option);
      if (*Seconds < 0) throw EBadArguments("--seconds: must not be negative");
    } else {
      throw EBadArguments("unknown option '" + Arg + "'");
    }
  }
  if (!ExportTo && !SpectrumTo && !Play)
    throw EBadArguments("nothing to do: give --export FILE, --spectrum FILE.png and/or --play");
  if (Seconds && !Play) throw EBadArguments("--seconds needs --play");
  if (!(Envelope ? Tone.PrepareADSR() : Tone.Prepare())) {
    std::cerr << "tessolon tone: not enough memory for the tone\n";
    return ecRefused;
  }
  const int64_t Highest = HighestPartial(Tone);
  const unsigned ImageRate = unsigned(SampleRate(Tone.Quality()));
  WarnLeftOut(Tone);
  // A played tone is warned about once the output's chain is known.
  if (!Play) WarnAboveHalf(Highest, ImageRate, "the image's");
  if (ExportTo && !Tone.ExportFile(*ExportTo)) {
    std::cerr << "tessolon tone: cannot write '" << *ExportTo << "'\n";
    return ecRefused;
  }
  if (SpectrumTo) {
    if (!WriteSpectrum) {
      std::cerr << "tessolon tone: this build cannot draw pictures\n";
      return ecRefused;
    }
    try {
      DrawSpectrum(Tone, WriteSpectrum, *SpectrumTo);
    } catch (const std::exception& E) {
      std::cerr << "tessolon tone: " << E.what() << "\n";
      return ecRefused;
    }
  }
  if (!Play) return ecSuccess;
  Tone.SetLoop(Seconds.has_value());
  Tone.SetAsync(Seconds.has_value());
  Envelope ? Tone.PlayADSR() : Tone.Play();
  const auto Limit = CurrentOutputLimit(ImageRate);
  if (!Tone.Carried()) {
    std::cerr << "tessolon tone: warning: " << Tone.Frequency()
              << " Hz cannot be carried: " << Limit->Text() << "; the tone was not played\n";
    return ecRefused;
  }
  if (Limit && !Limit->Carries(Highest))
    std::cerr << "tessolon tone: warning: " << Highest << " Hz is removed: " << Limit->Text()
              << "\n";
  else
    WarnAboveHalf(Highest, ImageRate, "the image's");
  if (Seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(*Seconds));
    Tone.Stop();
  }
  return ecSuccess;
}

}  // namespace

int ToneCommand(const std::vector<std::string>& Args, const TSpectrumWriter& WriteSpectrum) {
  return RunCommand("tone", Usage, Args,
                    [&WriteSpectrum](TArgList& List) { return Tone(List, WriteSpectrum); });
}

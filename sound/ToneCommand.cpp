#include "sound/ToneCommand.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <thread>

#include "platform/audio/SoundService.h"
#include "platform/core/CommandLine.h"
#include "platform/core/Messages.h"
#include "platform/core/Translation.h"
#include "sound/AudibleLevel.h"
#include "sound/BandLimited.h"
#include "sound/OutputLimit.h"
#include "sound/ToneBlocks.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"
#include "sound/UltrasoundTone.h"

namespace {

const char* const ToneUsage = TrMark(
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
    "  --ultrasound-only     only what lies above 20 kHz: band-limited, 16-bit at 96000 Hz\n"
    "                        whatever --resolution and --quality say, partials below 20.5 kHz\n"
    "                        left out, noise high-passed, faded in and out when played; a main\n"
    "                        tone below 20.5 kHz is not played\n"
    "  --left/--right PERCENT  output volume per channel (default 100)\n"
    "  --export FILE         write the wave image to FILE\n"
    "  --spectrum FILE.png   draw the tone's magnitude spectrum up to half the rate, with marks\n"
    "                        at 20 kHz, at half the default output device's rate and at the tone\n"
    "  --play                play the tone once and return when it has ended, saying how loud\n"
    "                        what it carries between 20 Hz and 20 kHz is (dBFS)\n"
    "  --seconds N           with --play: loop the tone for N seconds, then stop\n"
    "Exit status: 0 done, 1 refused (no memory for the tone, file or picture not written), 2\n"
    "bad arguments.\n");

const std::vector<std::string> WaveNames = {"sine", "square", "triangle", "sawtooth", "noise"};

TTGWave WaveNamed(const std::string& Name) {
  return TTGWave(std::find(WaveNames.begin(), WaveNames.end(), Name) - WaveNames.begin());
}

// One whole part of a compound value, read as an option's value is and refused outside Min to
// Max.
long long Part(const std::string& Text, const std::string& What, long long Min, long long Max) {
  const long long Value = ReadWhole(Text, What);
  if (!(Value >= Min && Value <= Max))
    throw EBadArguments(What + ": " + Text + " is outside " + std::to_string(Min) + " to " +
                        std::to_string(Max));
  return Value;
}

// "--am ROW:AMPLITUDE:WAVEFORM:FREQUENCY" into the added partial ROW.
void SetPartial(TToneGen& Tone, const std::string& Text) {
  std::vector<std::string> Parts;
  std::size_t Start = 0;
  for (std::size_t Colon; (Colon = Text.find(':', Start)) != std::string::npos; Start = Colon + 1)
    Parts.push_back(Text.substr(Start, Colon - Start));
  Parts.push_back(Text.substr(Start));
  if (Parts.size() != 4)
    throw EBadArguments("--am: expected ROW:AMPLITUDE:WAVEFORM:FREQUENCY, got '" + Text + "'");
  const int Row = int(Part(Parts[0], "--am ROW", 1, 8));
  const int Amplitude = int(Part(Parts[1], "--am AMPLITUDE", -32768, 32767));
  const std::string Fault = OneOf(WaveNames)(Parts[2]);
  if (!Fault.empty()) throw EBadArguments("--am WAVEFORM: " + Fault);
  const double Frequency = ReadReal(Parts[3], "--am FREQUENCY");
  if (!std::isfinite(Frequency))
    throw EBadArguments("--am FREQUENCY: not a number: '" + Parts[3] + "'");
  Tone.SetAMParameter(TTGAMLevel(Row - 1), int16_t(Amplitude), float(Frequency),
                      WaveNamed(Parts[2]));
}

// What is done with the tone once it is built.
struct TToneActions {
  std::optional<std::string> ExportTo, SpectrumTo;
  bool Play = false, Envelope = false;
  std::optional<double> Seconds;
};

// The options. Those that set the tone's properties are applied in the order given, as the
// component takes them: a later --note overrides an earlier --frequency.
void AddToneOptions(TOptions& Options, TToneGen& Tone, TToneActions& Do) {
  // The component clamps; only absurd numbers are refused.
  constexpr long long Wide = 1LL << 40;
  const std::pair<const char*, void (TToneGen::*)(int64_t)> Numbers[] = {
      {"--frequency", &TToneGen::SetFrequency}, {"--duration", &TToneGen::SetDuration},
      {"--attack", &TToneGen::SetAttack},       {"--hold", &TToneGen::SetHold},
      {"--decay", &TToneGen::SetDecay},         {"--sustain", &TToneGen::SetSustain},
      {"--release", &TToneGen::SetRelease},     {"--left", &TToneGen::SetLeftVolume},
      {"--right", &TToneGen::SetRightVolume}};
  for (const auto& [Name, Set] : Numbers)
    Options.AddWhole(Name, [&Tone, Setter = Set](long long Value) { (Tone.*Setter)(Value); })
        .Check(WholeRange(-Wide, Wide))
        .TypeName("N")
        .AsRead();
  Options
      .AddText("--note",
               [&Tone](const std::string& Note) {
                 if (Tone.SetNote(Note) == 0)
                   throw EBadArguments("--note: not a playable note '" + Note + "'");
               })
      .TypeName("TEXT")
      .AsRead();
  Options
      .AddText("--waveform",
               [&Tone](const std::string& Name) { Tone.SetWaveform(WaveNamed(Name)); })
      .Check(OneOf(WaveNames))
      .TypeName("W")
      .AsRead();
  Options.AddText("--am", [&Tone](const std::string& Text) { SetPartial(Tone, Text); })
      .TypeName("ROW:AMPLITUDE:WAVEFORM:FREQUENCY")
      .AsRead();
  AddResolutionOption(Options, [&Tone](unsigned Bits) {
    Tone.SetResolution(Bits == 16 ? tg16Bit : tg8Bit);
  }).AsRead();
  AddQualityOption(Options, [&Tone](bool High) { Tone.SetQuality(High ? tgHiQ : tgLoQ); }).AsRead();
  Options.Flag("--stereo", [&Tone] { Tone.SetStereo(true); });
  Options.Flag("--no-multiplier", [&Tone] { Tone.SetAMUseMultiplier(false); });
  Options.Flag("--band-limited", [&Tone] { Tone.SetBandLimited(true); });
  Options.Flag("--ultrasound-only", [&Tone] { Tone.SetUltrasoundOnly(true); });
  Options.Flag("--envelope", Do.Envelope);
  Options.AddText("--export", [&Do](const std::string& File) { Do.ExportTo = File; })
      .TypeName("FILE");
  Options.AddText("--spectrum", [&Do](const std::string& File) { Do.SpectrumTo = File; })
      .TypeName("FILE.png");
  const TOption Play = Options.Flag("--play", Do.Play);
  Options.AddReal("--seconds", [&Do](double Seconds) { Do.Seconds = Seconds; })
      .Check(RealRange(0, std::numeric_limits<double>::max()))
      .TypeName("N")
      .Needs(Play);
}

// The highest frequency that sounds in the tone, or 0 when nothing does. Band-limited
// synthesis leaves out what lies at or above half the image's rate.
int64_t HighestPartial(const TToneGen& Tone) {
  const TToneSettings Settings = Tone.Settings();
  int64_t Highest = 0;
  for (const TPartial& Partial : TonePartials(Settings))
    if (Partial.Amplitude > 0 && Partial.Frequency > Highest &&
        !(Settings.UltrasoundOnly && !KeptForUltrasound(Partial)) &&
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
  const unsigned Rate = Tone.ImageRate();
  std::vector<int64_t> Said;
  for (int64_t Hertz : PartialsLeftOut(Tone.Settings())) {
    if (std::find(Said.begin(), Said.end(), Hertz) != Said.end()) continue;
    Said.push_back(Hertz);
    std::cerr << "tessolon tone: warning: " << Hertz
              << " Hz is at or above half the image's rate of " << Rate
              << " samples per second and is left out\n";
  }
}

void WarnBelowHearing(const TToneGen& Tone) {
  if (!Tone.UltrasoundOnly()) return;
  for (int64_t Hertz : UltrasoundLeftOut(Tone.Settings()))
    std::cerr << "tessolon tone: warning: " << Hertz
              << " Hz lies below 20.5 kHz, which ultrasound only leaves out"
              << (Hertz == Tone.Frequency() ? ": the main tone stays silent" : "") << "\n";
}

// What the played tone carries into hearing, at the output's rate and the tone's volumes.
void SayLevel(const TToneGen& Tone, bool Envelope, unsigned OutputRate) {
  const TEnvelopeSettings Shape = Tone.Envelope();
  const TToneSettings Settings = Tone.Settings();
  const TToneLevel Level = MeasureToneLevel(Settings, Envelope ? &Shape : nullptr, OutputRate);
  const double Db =
      Level.Db() + VolumeGainDb(Tone.LeftVolume(), Tone.RightVolume(), Settings.Stereo);
  if (Level.Power <= 0) {
    std::cout << Tr("This tone carries no audible sound: nothing between 20 Hz and 20 kHz.")
              << "\n";
    return;
  }
  std::cout << FormatMessage(
                   "This tone carries %s sound at %s%s (between 20 Hz and 20 kHz; a full-scale "
                   "sine is 0 dBFS).",
                   AudibleClassWord(AudibleClassOf(Db)).c_str(), DbText(Db).c_str(),
                   MostlyText(Level.Shares, Settings.AM, Settings.AMUseMultiplier).c_str())
            << "\n";
}

std::string Describe(const TToneGen& Tone) {
  const std::vector<TPartial> All = TonePartials(Tone.Settings());
  const auto Rows =
      std::count_if(All.begin() + 1, All.end(), [](const TPartial& P) { return P.Amplitude > 0; });
  const std::string Added = Rows == 0   ? ""
                            : Rows == 1 ? " with 1 added partial"
                                        : " with " + std::to_string(Rows) + " added partials";
  return std::to_string(Tone.Frequency()) + " Hz " +
         WaveNames[std::min<std::size_t>(Tone.Waveform(), WaveNames.size() - 1)] + Added + ", " +
         std::to_string(Tone.ImageRate()) + " samples per second, " +
         (Tone.Resolution() == tg16Bit ? "16" : "8") + "-bit, " +
         (Tone.UltrasoundOnly() ? "ultrasound only"
          : Tone.BandLimited()  ? "band-limited"
                                : "plain synthesis");
}

void DrawSpectrum(const TToneGen& Tone, const TSpectrumWriter& WriteSpectrum,
                  const std::string& FileName) {
  TSpectrumPicture Picture;
  Picture.Spectrum = AnalyseWaveImage(Tone.GetDataBuffer(), std::size_t(Tone.DataBufferSize()));
  Picture.ToneHertz = Tone.Frequency();
  Picture.PartialHertz = SoundingPartials(Tone.Settings());
  Picture.DeviceRate = SoundService().Output(Tone.ImageRate()).Rate;
  Picture.Title = Describe(Tone);
  WriteSpectrum(Picture, FileName);
}

int RunTone(TToneGen& Tone, const TToneActions& Do, const TSpectrumWriter& WriteSpectrum) {
  if (!Do.ExportTo && !Do.SpectrumTo && !Do.Play)
    throw EBadArguments("nothing to do: give --export FILE, --spectrum FILE.png and/or --play");
  const auto& [ExportTo, SpectrumTo, Play, Envelope, Seconds] = Do;
  // A tone only written to a file is made and written a block at a time, never held whole.
  const bool FileOnly = ExportTo && !SpectrumTo && !Play;
  if (!FileOnly && !(Envelope ? Tone.PrepareADSR() : Tone.Prepare())) {
    std::cerr << "tessolon tone: not enough memory for the tone\n";
    return ecRefused;
  }
  const int64_t Highest = HighestPartial(Tone);
  const unsigned ImageRate = Tone.ImageRate();
  WarnLeftOut(Tone);
  WarnBelowHearing(Tone);
  // A played tone is warned about once the output's chain is known.
  if (!Play) WarnAboveHalf(Highest, ImageRate, "the image's");
  const TEnvelopeSettings Shape = Tone.Envelope();
  const bool Written = !ExportTo ? true
                       : FileOnly
                           ? WriteToneFile(*ExportTo, Tone.Settings(), Envelope ? &Shape : nullptr)
                           : Tone.ExportFile(*ExportTo);
  if (!Written) {
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
  if (Tone.UltrasoundOnly() && Tone.Frequency() < UltrasoundFloor) {
    std::cerr << "tessolon tone: " << Tone.Frequency()
              << " Hz lies below 20.5 kHz; ultrasound only plays nothing there, so the tone was "
                 "not played\n";
    return ecRefused;
  }
  Tone.SetLoop(Seconds.has_value());
  Tone.SetAsync(Seconds.has_value());
  {
    const auto Output = CurrentOutputLimit(ImageRate);
    SayLevel(Tone, Envelope, Output ? Output->Rate : 0);
  }
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
  TCommandLine Line("tessolon tone", ToneUsage);
  TToneGen Tone(nullptr);
  TToneActions Do;
  AddToneOptions(Line.Options(), Tone, Do);
  return Line.Run(Args, [&] { return RunTone(Tone, Do, WriteSpectrum); });
}

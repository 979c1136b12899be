#include "sweep/SweepCommand.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>

#include "platform/audio/Passband.h"
#include "platform/audio/SoundService.h"
#include "platform/core/CommandLine.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Messages.h"
#include "platform/core/Translation.h"
#include "sound/BandLimited.h"
#include "sound/OutputLimit.h"
#include "sound/ToneGen.h"
#include "sweep/DataFolder.h"
#include "sweep/DialogDefaults.h"
#include "sweep/PestFields.h"
#include "sweep/PestTable.h"
#include "sweep/Schedule.h"
#include "sweep/ServiceLog.h"
#include "sweep/Sweep.h"
#include "sweep/SweepClock.h"
#include "sweep/SweepLevel.h"
#include "sweep/SweepOutput.h"
#include "sweep/SweepRecorder.h"
#include "sweep/SweepReport.h"
#include "sweep/SweepSession.h"

namespace {

const char* const ProfilesUsage = TrMark(
    "Usage: tessolon profiles [--rate R|output]\n"
    "Lists every pest profile in key order: key, name, band in hertz, step, interval, tone\n"
    "length, waveform and the level of the sound its sweep carries between 20 Hz and 20 kHz\n"
    "(dBFS, a full-scale sine at 0: faint below -60, quiet to -40, audible above), with the\n"
    "settings sweep uses. The table is data/para.dbf under the current directory when there\n"
    "is one, else your own copy in $XDG_DATA_HOME/tessolon/data/ (see tessolon --help).\n"
    "  --rate R   mark each profile whose band lies partly or wholly at or above what an output\n"
    "             at R samples per second carries, and say which part of it cannot be played:\n"
    "             below the dialog's 96000 Hz tones, the edge of the program's own conversion\n"
    "             (about 21.9 kHz at 48000), else R/2 hertz\n"
    "  --rate output\n"
    "             the same for the sound card's output as its sound server runs it now; when it\n"
    "             runs below the dialog's 96000 Hz tones, nothing at or above the edge of the\n"
    "             program's own conversion (about 21.9 kHz at 48000) can be carried\n");

const char* const SweepUsage = TrMark(
    "Usage: tessolon sweep (--pest NAME | --idx N) [--ticks N | --seconds S] [--speaker]\n"
    "                      [--export FILE] [--band-limited] [--ultrasound-only]\n"
    "                      [--between HH:MM-HH:MM [--until-close]]\n"
    "Plays the tones of the pest profile's sweep through its band, from the pest table (as for\n"
    "profiles), with the Adjustment dialog's initial settings, printing each tick's number and\n"
    "frequency in hertz. When standard output is the journal (a systemd service), it writes a\n"
    "service log instead: the start, what cannot be played, the output lost or back, the window\n"
    "opened or closed, a summary of the ticks once an hour, and the stop with its reason.\n"
    "A played sweep says at its start, and again when it changes, how loud the sound its tones\n"
    "carry between 20 Hz and 20 kHz is (dBFS: a full-scale sine is 0): faint below -60, quiet\n"
    "to -40, audible above.\n"
    "  --pest NAME    the profile named NAME (case ignored)\n"
    "  --idx N        the profile with key N\n"
    "  --ticks N      stop after N ticks\n"
    "  --seconds S    stop after S seconds of ticks\n"
    "  --speaker      play on the PC speaker instead of the sound card\n"
    "  --export FILE  write what the sound card would play to the wave file FILE, at once\n"
    "                 (needs --ticks or --seconds)\n"
    "  --band-limited build the sound card's tones only from harmonics below half the rate,\n"
    "                 so nothing folds back; a partial at or above half the rate is left out\n"
    "  --ultrasound-only\n"
    "                 play only what lies above 20 kHz: band-limited, 16-bit at 96000 Hz,\n"
    "                 partials below 20.5 kHz left out, noise high-passed, faded in and out; a\n"
    "                 tone below 20.5 kHz stays silent; with --export the file holds that too\n"
    "  --between HH:MM-HH:MM\n"
    "                 play only inside this daily window of local time (22:00-06:00 runs across\n"
    "                 midnight) and stay silent outside it; the window follows the clock across\n"
    "                 changes to and from daylight saving\n"
    "  --until-close  end (status 0) when the window closes; started outside it, end at once\n"
    "Without --ticks or --seconds a played sweep runs until interrupted (Ctrl+C).\n");

const char* const WaveNames[] = {"sine", "square", "triangle", "sawtooth", "noise"};

std::optional<int64_t> BandLimit(TPestTable& Table, const char* Name) {
  TField* Field = Table.Field(Name);
  if (Field->IsNull()) return std::nullopt;
  return BeatToFreq(static_cast<float>(Field->AsFloat()));
}

std::string Hertz(std::optional<int64_t> Value) {
  return Value ? std::to_string(*Value) : "(empty)";
}

std::string Band(TPestTable& Table) {
  return Hertz(BandLimit(Table, PestField::BandStart)) + "-" +
         Hertz(BandLimit(Table, PestField::BandEnd)) + " Hz";
}

// Where a band stops being playable, and why.
struct TRateLimit {
  int64_t From;        // the lowest hertz that cannot be played
  int64_t Asked = 0;   // the rate asked for with --rate R
  std::string Output;  // with --rate output: the output that cannot carry it
  unsigned Rate = 0;   // the rate the dialog's tones reach the output at; 0: their own
};

constexpr unsigned DialogRate = 96000;  // the rate of the dialog's tones

// An output at Rate below the tones' own gets them through the program's conversion, which
// carries nothing at or above its passband edge (the tones there stay silent, as the level column
// has them); at or above the tones' rate only half the rate limits.
TRateLimit FixedRate(int64_t Rate) {
  const unsigned Carried = unsigned(std::min<int64_t>(Rate, UINT32_MAX));
  if (Rate < DialogRate)
    return {int64_t(std::ceil(PassbandEdge(unsigned(Rate)))), Rate, "", Carried};
  // Rate - Rate / 2 is the lowest whole hertz at or above half the rate.
  return {Rate - Rate / 2, Rate, "", Carried};
}

// The output as its server runs it now, for the dialog's 96000 Hz tones.
TRateLimit OutputRate() {
  const TOutputChain Chain = SoundService().Output(DialogRate);
  if (Chain.Rate == 0)
    throw Exception(Chain.Unavailable.empty() ? Tr("no sound card output could be opened")
                                              : Chain.Describe());
  if (const auto Limit = OutputLimit(Chain, DialogRate))
    return {int64_t(std::ceil(Limit->Edge)), 0, Chain.Describe(), Limit->Rate};
  return FixedRate(DialogRate);
}

// The mark of a band that reaches the limit: the part from there up cannot be played.
std::string RateMark(TPestTable& Table, const TRateLimit& Limit) {
  const auto Start = BandLimit(Table, PestField::BandStart),
             End = BandLimit(Table, PestField::BandEnd);
  if (!Start || !End) return "";
  const std::optional<TBand> Unplayable = PartAtOrAbove({*Start, *End}, Limit.From);
  if (!Unplayable) return "";
  const bool Whole = Unplayable->Low == std::min(*Start, *End);
  const long long Low = Unplayable->Low, High = Unplayable->High;
  const char* const Output = Limit.Output.c_str();
  if (Limit.Output.empty())
    return Whole ? FormatMessage("  (the whole band cannot be played at %lld Hz)",
                                 static_cast<long long>(Limit.Asked))
                 : FormatMessage("  (%lld-%lld Hz cannot be played at %lld Hz)", Low, High,
                                 static_cast<long long>(Limit.Asked));
  return Whole ? FormatMessage("  (the whole band cannot be carried by the output (%s))", Output)
               : FormatMessage("  (%lld-%lld Hz cannot be carried by the output (%s))", Low, High,
                               Output);
}

// Says on the error stream what became of an index that no longer matched the table.
std::function<void(const std::string&)> NoticeTo(const std::string& Command) {
  return [Command](const std::string& Notice) { std::cerr << Command << ": " << Notice << "\n"; };
}

std::string Cell(TPestTable& Table, const std::string& Name) {
  TField* Field = Table.Field(Name);
  return Field->IsNull() ? "(empty)" : Field->AsString();
}

// The signal that interrupted a played sweep; 0 while none has.
std::atomic<int> Interrupted{0};

extern "C" void OnInterrupt(int Signal) {
  Interrupted = Signal;
  EndMachineNap();
}

// Ctrl+C and termination only raise the flag while a played sweep runs; the previous handlers
// come back however the sweep ends.
class TInterruptScope {
 public:
  TInterruptScope() {
    Interrupted = 0;
    FPreviousInt = std::signal(SIGINT, OnInterrupt);
    FPreviousTerm = std::signal(SIGTERM, OnInterrupt);
  }
  ~TInterruptScope() {
    std::signal(SIGINT, FPreviousInt);
    std::signal(SIGTERM, FPreviousTerm);
  }
  TInterruptScope(const TInterruptScope&) = delete;
  TInterruptScope& operator=(const TInterruptScope&) = delete;

 private:
  void (*FPreviousInt)(int);
  void (*FPreviousTerm)(int);
};

struct TSweepOptions {
  std::optional<std::string> Pest;
  std::optional<long long> Idx;
  std::optional<long long> Ticks;
  std::optional<double> Seconds;
  bool Speaker = false;
  std::optional<std::string> Export;
  bool BandLimited = false;
  bool UltrasoundOnly = false;
  std::optional<std::string> Between;
  bool UntilClose = false;
};

// The options and the rules between them.
void AddSweepOptions(TOptions& Command, TSweepOptions& Options) {
  TOptions Profile = Command.OneOfGroup("profile");
  Profile.Add("--pest", Options.Pest).TypeName("NAME");
  Profile.Add("--idx", Options.Idx).Check(WholeRange(INT32_MIN, INT32_MAX)).TypeName("N");
  TOption Ticks =
      Command.Add("--ticks", Options.Ticks).Check(WholeRange(0, INT32_MAX)).TypeName("N");
  const TOption Seconds =
      Command.Add("--seconds", Options.Seconds).Check(RealRange(0, 1e7)).TypeName("S");
  Ticks.Excludes(Seconds);
  const TOption Speaker = Command.Flag("--speaker", Options.Speaker);
  const TOption Export = Command.Add("--export", Options.Export).TypeName("FILE").Excludes(Speaker);
  Command.Flag("--band-limited", Options.BandLimited).Excludes(Speaker);
  Command.Flag("--ultrasound-only", Options.UltrasoundOnly).Excludes(Speaker);
  TOption Between = Command.Add("--between", Options.Between)
                        .Check([](const std::string& Text) {
                          try {
                            TSchedule::Parse(Text);
                            return std::string();
                          } catch (const Exception& E) {
                            return E.Message();
                          }
                        })
                        .TypeName("HH:MM-HH:MM");
  Command.Flag("--until-close", Options.UntilClose).Needs(Between);
  Between.Excludes(Export);
}

// The level of the sound the current profile's sweep carries into hearing, as the headless sweep
// plays it, at OutputRate (0: the tones' own rate).
std::string ProfileLevel(TPestTable& Table, unsigned OutputRate, TToneLevels& Levels) {
  TToneGen ToneGen(nullptr);
  ApplyDialogToneSettings(ToneGen);
  TToneGenOutput Output(ToneGen);
  TSweepEngine Engine(Output);
  TSweepSettings Settings = StoredDialogDefaults().Settings;
  Settings.SoundCard = true;
  TSweepState State = StoredDialogDefaults().State;
  const TPestRecord Record(Table.Table());
  try {
    Engine.Select(Record, Settings, State);
    // Only the output's rate matters: above the tones' own it changes nothing.
    if (OutputRate >= ToneGen.ImageRate()) OutputRate = 0;
    return SweepLevelShort(MeasureSweepLevel(ToneGen, PassPositions(Record, Settings, State),
                                             Settings.PlayADSR, State.Interval, OutputRate,
                                             Levels));
  } catch (const Exception&) {
    return Tr("level unknown");  // an empty field: the sweep itself says which
  }
}

// Ticks that fall within Seconds at Interval milliseconds each.
long long TicksIn(double Seconds, int Interval) {
  return Interval > 0 ? static_cast<long long>(Seconds * 1000.0 / Interval) : 0;
}

}  // namespace

int ProfilesCommand(const std::vector<std::string>& Arguments) {
  TCommandLine Line("tessolon profiles", ProfilesUsage);
  std::optional<std::string> RateText;
  Line.Options()
      .Add("--rate", RateText)
      .Check([](const std::string& Text) {
        return Text == "output" || WholeRange(1, INT32_MAX)(Text).empty()
                   ? std::string()
                   : FormatMessage(
                         "expected a whole number from 1 to 2147483647 or 'output', "
                         "not '%s'",
                         Text.c_str());
      })
      .TypeName("R|output");
  return Line.Run(Arguments, [&] {
    std::optional<TRateLimit> Rate;
    if (RateText)
      Rate = *RateText == "output" ? OutputRate() : FixedRate(ReadWhole(*RateText, "--rate"));
    TPestTable Table(PestTableFolder(), NoticeTo("tessolon profiles"));
    TToneLevels Levels;
    for (Table.First(); !Table.Eof(); Table.Next()) {
      const int Wave = WaveIndex(Table.Field(PestField::Waveform)->IsNull()
                                     ? -1
                                     : Table.Field(PestField::Waveform)->AsInteger());
      // Translators: key, name, band, step, interval, tone length, the waveform's name as
      // --waveform takes it, level, and what cannot be played.
      std::cout << FormatMessage("%s  %s  %s  step %s Hz  every %s ms  tone %s ms  %s  %s%s",
                                 Cell(Table, PestField::Idx).c_str(),
                                 Cell(Table, PestField::Name).c_str(), Band(Table).c_str(),
                                 Cell(Table, PestField::Step).c_str(),
                                 Cell(Table, PestField::Interval).c_str(),
                                 Cell(Table, PestField::Duration).c_str(), WaveNames[Wave],
                                 ProfileLevel(Table, Rate ? Rate->Rate : 0, Levels).c_str(),
                                 (Rate ? RateMark(Table, *Rate) : "").c_str())
                << "\n";
    }
    return ecSuccess;
  });
}

namespace {

std::string SignalName(int Signal) {
  return Signal == SIGINT ? "SIGINT" : Signal == SIGTERM ? "SIGTERM" : std::to_string(Signal);
}

// The first line of the service log: what is swept, how, and where to.
std::string StartText(TPestTable& Table, const TSweepState& State, const TSweepOptions& Options,
                      unsigned ImageRate) {
  std::string Output;
  if (Options.Export)
    Output = FormatMessage("the wave file %s", Options.Export->c_str());
  else if (Options.Speaker)
    Output = Tr("the PC speaker");
  else if (const TOutputChain Chain = SoundService().Output(ImageRate); Chain.Rate != 0)
    Output = FormatMessage("%s (tones made at %u Hz)", Chain.Describe().c_str(), ImageRate);
  else if (!Chain.Unavailable.empty())
    Output = FormatMessage("the sound card, which has %s", Chain.Describe().c_str());
  else
    Output = Tr("the sound card, which has no output yet");
  const std::string Text = FormatMessage(
      "sweeping %s (key %s): %s in steps of %s Hz, a tone every %d ms, on %s",
      Cell(Table, PestField::Name).c_str(), Cell(Table, PestField::Idx).c_str(),
      Band(Table).c_str(), Cell(Table, PestField::Step).c_str(), State.Interval, Output.c_str());
  return Options.Between ? FormatMessage("%s, between %s", Text.c_str(), Options.Between->c_str())
                         : Text;
}

}  // namespace

int SweepCommand(const std::vector<std::string>& Arguments) {
  TMachineClock Clock;
  return SweepCommand(Arguments, Clock);
}

namespace {

// One run of the command: the profile's table, the tone generator, and the session that plays it
// on the sound card or the speaker, or records it for the file.
struct TSweepRun {
  explicit TSweepRun(const TSweepOptions& Options)
      : Table(PestTableFolder(), NoticeTo("tessolon sweep")),
        Session(Table.Table(), ToneGen,
                Options.Export ? static_cast<ISweepOutput&>(Recorder) : Player) {}
  // The profile the options name; false when there is none.
  bool Locate(const TSweepOptions& Options) {
    return Options.Pest ? Table.LocatePest(*Options.Pest) : Table.LocateIdx(*Options.Idx);
  }

  TPestTable Table;
  TToneGen ToneGen{nullptr};
  TSweepRecorder Recorder{ToneGen, [this] { return Session.State().Interval; }};
  TToneGenOutput Player{ToneGen};
  TSweepSession Session;
};

// The dialog's initial settings, with the output and synthesis the options choose, applied to the
// current record.
void Prepare(TSweepRun& Run, const TSweepOptions& Options, ISweepClock& Clock) {
  ApplyDialogToneSettings(Run.ToneGen);
  TSweepSettings Settings = StoredDialogDefaults().Settings;
  Settings.SoundCard = !Options.Speaker;
  Settings.BandLimited = Options.BandLimited;
  Settings.UltrasoundOnly = Options.UltrasoundOnly;
  Run.Session.SetSettings(Settings);
  Run.Session.SetState(StoredDialogDefaults().State);
  Run.Session.SetClock(Clock);
  if (Options.Between) Run.Session.SetSchedule(TSchedule::Parse(*Options.Between));
  Run.Session.Select(Run.Table.Field(PestField::Idx)->Value());
}

// Errors of a tick are told by the report, and end only that tick.
void TickOnce(TSweepSession& Session) {
  try {
    Session.Tick();
  } catch (const Exception&) {
  }
}

int ExportSweep(TSweepRun& Run, long long Ticks, ISweepLog& Log, const std::string& File) {
  for (long long Number = 1; Number <= Ticks; ++Number) TickOnce(Run.Session);
  if (Run.Recorder.Samples().empty() && Ticks > 0) {
    std::cerr << "tessolon sweep: " << Tr("no tick produced a tone; nothing was written") << "\n";
    return static_cast<int>(ecRefused);
  }
  Run.Recorder.WriteFile(File);
  Log.Stopped(
      FormatMessage("all %lld ticks written to %s", static_cast<long long>(Ticks), File.c_str()));
  return static_cast<int>(ecSuccess);
}

// Paces the session's ticks at its interval until the limit, the time asked, an interrupt or the
// window's close; outside the window nothing ticks. Answers why it stopped.
std::string PaceSweep(TSweepSession& Session, const TSweepOptions& Options,
                      std::optional<long long> Limit, std::optional<TWindowWatch>& Window,
                      ISweepLog& Log, ISweepClock& Clock) {
  using SteadyClock = std::chrono::steady_clock;
  const int Interval = Session.State().Interval;
  const auto Step = std::chrono::milliseconds(std::max(Interval, 0));
  auto Due = Clock.Steady() + Step;
  const auto End = Options.Seconds
                       ? Clock.Steady() + std::chrono::duration_cast<SteadyClock::duration>(
                                              std::chrono::duration<double>(*Options.Seconds))
                       : SteadyClock::time_point::max();
  // Naps end at the next tick, at the end asked for, or after a second, so that the window and
  // the hourly summary are looked at even between ticks a minute apart (the machine may have
  // slept, or its clock been set). Ctrl+C ends a nap at once (the handler ends it). Waking only
  // for these keeps a sweep's main thread to a few wake-ups a second.
  const SteadyClock::duration Longest = std::chrono::seconds(1);
  for (;;) {
    const auto Now = Clock.Steady();
    Log.Poll();
    if (Interrupted) return FormatMessage("interrupted by %s", SignalName(Interrupted).c_str());
    if (Limit && Session.Ticks() >= *Limit)
      return FormatMessage("played %lld ticks as asked", *Limit);
    if (Now >= End) {
      std::ostringstream Seconds;
      Seconds << *Options.Seconds;
      return FormatMessage("ran the %s seconds asked", Seconds.str().c_str());
    }
    if (Window && Window->Changed()) {
      if (Window->Open()) {
        Due = Now;
      } else {
        Session.Silence();
        if (Options.UntilClose)
          return FormatMessage("the window %s closed", Window->Name().c_str());
      }
      Log.Notice(TLogPriority::Notice, Window->Text());
    } else if (Window && !Window->Open()) {
      Clock.Nap(std::min(Longest, End - Now));
    } else if (Interval <= 0 || Now < Due) {
      Clock.Nap(std::min({Longest, End - Now, Interval <= 0 ? Longest : Due - Now}));
    } else {
      TickOnce(Session);
      // A tick that fell due while the last tone blocked is delivered once; missed ones are not
      // made up.
      Due = std::max(Due + Step, Clock.Steady());
    }
  }
}

int PlaySweep(TSweepRun& Run, const TSweepOptions& Options, std::optional<long long> Limit,
              ISweepLog& Log, ISweepClock& Clock) {
  std::optional<TWindowWatch> Window;
  if (Options.Between) {
    Window.emplace(TSchedule::Parse(*Options.Between), Clock);
    if (!Window->Open() && Options.UntilClose) {
      Log.Stopped(FormatMessage("started outside the window %s, which opens at %s",
                                Window->Name().c_str(),
                                LocalClockTime(Window->NextChange()).c_str()));
      return static_cast<int>(ecSuccess);
    }
    Log.Notice(TLogPriority::Notice, Window->Text());
  }
  TInterruptScope InterruptScope;
  const std::string Reason = PaceSweep(Run.Session, Options, Limit, Window, Log, Clock);
  Run.Session.Stop();
  Log.Stopped(Reason);
  return static_cast<int>(ecSuccess);
}

int RunSweep(const TSweepOptions& Options, ISweepClock& Clock) {
  if (Options.Export && !Options.Ticks && !Options.Seconds)
    throw EBadArguments(Tr("--export needs --ticks or --seconds"));
  TSweepRun Run(Options);
  if (!Run.Locate(Options)) {
    std::cerr << "tessolon sweep: "
              << (Options.Pest ? FormatMessage("no pest profile named '%s'", Options.Pest->c_str())
                               : FormatMessage("no pest profile with key %lld", *Options.Idx))
              << "\n";
    return static_cast<int>(ecRefused);
  }
  Prepare(Run, Options, Clock);
  const int Interval = Run.Session.State().Interval;
  std::optional<long long> Limit = Options.Ticks;
  if (Options.Seconds) Limit = TicksIn(*Options.Seconds, Interval);
  if (Interval <= 0 && (!Limit || *Limit > 0) && !Options.Seconds) {
    // The timer never fires at interval 0; nothing would ever play.
    std::cerr << "tessolon sweep: "
              << FormatMessage("the profile's interval is %d ms, so its timer never fires",
                               Interval)
              << "\n";
    return static_cast<int>(ecRefused);
  }
  const std::unique_ptr<ISweepLog> Log = MakeSweepLog(Clock);
  Log->Started(StartText(Run.Table, Run.Session.State(), Options, Run.ToneGen.ImageRate()));
  // Only a played sweep on the sound card reaches the output.
  TSweepReport Report(*Log, Run.Session, Run.ToneGen, !Options.Export && !Options.Speaker);
  Run.Session.AddObserver(Report);
  Run.Session.Start();
  const int Status = Options.Export ? ExportSweep(Run, *Limit, *Log, *Options.Export)
                                    : PlaySweep(Run, Options, Limit, *Log, Clock);
  Run.Session.RemoveObserver(Report);
  return Status;
}

}  // namespace

int SweepCommand(const std::vector<std::string>& Arguments, ISweepClock& Clock) {
  TCommandLine Line("tessolon sweep", SweepUsage);
  TSweepOptions Options;
  AddSweepOptions(Line.Options(), Options);
  return Line.Run(Arguments, [&] { return RunSweep(Options, Clock); });
}

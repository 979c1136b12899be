#include "sound/BeepCommand.h"

#include <iostream>
#include <optional>
#include <string>

#include "platform/core/CommandLine.h"
#include "platform/core/Translation.h"
#include "sound/Bleeper.h"

namespace {

const char* const BeepUsage = TrMark(
    "Usage: tessolon beep FREQ MSECS [--path auto|evdev|soundcard|ports]\n"
    "Sounds the PC speaker at FREQ hertz for MSECS milliseconds and returns when the tone has\n"
    "ended; MSECS -1 sounds until a line (or the end) of standard input.\n"
    "  --path auto       the kernel's PC-speaker device when present, else the sound card\n"
    "                    (the default; the environment variable TESSOLON_SPEAKER may name it)\n"
    "  --path evdev      the kernel's PC-speaker device only\n"
    "  --path soundcard  a square wave through the sound card\n"
    "  --path ports      the interval timer and speaker ports (needs the kernel's permission)\n"
    "Exit status: 0 sounded, 1 refused (value out of range, path not available), 2 bad\n"
    "arguments.\n");

int Beep(std::optional<TSpeakerPath> Path, uint32_t Freq, int32_t MSecs) {
  if (Path) StartBleeper(*Path);
  SpeakerTone(Freq, MSecs);
  if (MSecs == -1) {
    std::string Line;
    std::getline(std::cin, Line);
    SpeakerSilence();
  }
  return ecSuccess;
}

}  // namespace

int BeepCommand(const std::vector<std::string>& Args) {
  TCommandLine Line("tessolon beep", BeepUsage);
  TOptions& Options = Line.Options();
  // Only the types are checked here; the speaker itself refuses values outside its range.
  uint32_t Freq = 0;
  int32_t MSecs = 0;
  std::optional<TSpeakerPath> Path;
  Options.Add("FREQ", Freq).Required();
  Options.Add("MSECS", MSecs).Required();
  Options.AddText("--path", [&Path](const std::string& Name) { Path = ParseSpeakerPath(Name); })
      .Check([](const std::string& Name) {
        return ParseSpeakerPath(Name) ? std::string() : "unknown path '" + Name + "'";
      })
      .TypeName("auto|evdev|soundcard|ports");
  return Line.Run(Args, [&] { return Beep(Path, Freq, MSecs); });
}

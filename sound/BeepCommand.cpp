#include "sound/BeepCommand.h"

#include <iostream>
#include <limits>
#include <string>

#include "platform/core/CommandLine.h"
#include "sound/Bleeper.h"

namespace {

const char* const Usage =
    "Usage: tessolon beep FREQ MSECS [--path auto|evdev|soundcard|ports]\n"
    "Sounds the PC speaker at FREQ hertz for MSECS milliseconds and returns when the tone has\n"
    "ended; MSECS -1 sounds until a line (or the end) of standard input.\n"
    "  --path auto       the kernel's PC-speaker device when present, else the sound card\n"
    "                    (the default; the environment variable TESSOLON_SPEAKER may name it)\n"
    "  --path evdev      the kernel's PC-speaker device only\n"
    "  --path soundcard  a square wave through the sound card\n"
    "  --path ports      the interval timer and speaker ports (needs the kernel's permission)\n"
    "Exit status: 0 sounded, 1 refused (value out of range, path not available), 2 bad\n"
    "arguments.\n";

int Beep(TArgList& Args) {
  std::optional<TSpeakerPath> Path;
  std::vector<std::string> Numbers;
  while (!Args.Empty()) {
    const std::string Arg = Args.Take("argument");
    if (Arg == "--path" || Arg.starts_with("--path=")) {
      const std::string Name = Args.TakeValue("--path");
      Path = ParseSpeakerPath(Name);
      if (!Path) throw EBadArguments("--path: unknown path '" + Name + "'");
    } else if (Arg.starts_with("--")) {
      throw EBadArguments("unknown option '" + Arg + "'");
    } else {
      Numbers.push_back(Arg);
    }
  }
  if (Numbers.size() < 2) throw EBadArguments(Numbers.empty() ? "missing FREQ" : "missing MSECS");
  if (Numbers.size() > 2) throw EBadArguments("unexpected argument '" + Numbers[2] + "'");
  // Only the types are checked here; the speaker itself refuses values outside its range.
  const auto Freq = static_cast<uint32_t>(
      ParseInteger(Numbers[0], "FREQ", 0, std::numeric_limits<uint32_t>::max()));
  const auto MSecs =
      static_cast<int32_t>(ParseInteger(Numbers[1], "MSECS", std::numeric_limits<int32_t>::min(),
                                        std::numeric_limits<int32_t>::max()));
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
  return RunCommand("beep", Usage, Args, Beep);
}

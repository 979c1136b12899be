#include "app/Main.h"

#include <iostream>
#include <string>
#include <vector>

#include "app/Program.h"
#include "app/SpectrumPicture.h"
#include "app/SweepCommand.h"
#include "sound/BeepCommand.h"
#include "sound/DevicesCommand.h"
#include "sound/ToneCommand.h"
#include "table/TableCommand.h"

namespace {

const char* const Usage =
    "Usage: tessolon [COMMAND [ARGS...]]\n"
    "Without a command, starts the program's windows.\n"
    "Commands (no display needed; each takes --help):\n"
    "  tone      build, export or play one synthesised tone\n"
    "  beep      sound the PC speaker\n"
    "  table     inspect and edit a dBase table\n"
    "  profiles  list the pest profiles of data/para.dbf\n"
    "  sweep     run a pest sweep without the windows\n"
    "  devices   list the sound card outputs and the rate each really runs at\n";

using TCommand = int (*)(const std::vector<std::string>&);

struct TCommandEntry {
  const char* Name;
  TCommand Run;
};

// The tone command lives in the Qt-free sound library; its pictures are drawn here.
int ToneWithPictures(const std::vector<std::string>& Args) {
  return ToneCommand(Args, WriteSpectrumPng);
}

const TCommandEntry Commands[] = {
    {"tone", ToneWithPictures},    {"beep", BeepCommand},   {"table", TableCommand},
    {"profiles", ProfilesCommand}, {"sweep", SweepCommand}, {"devices", DevicesCommand},
};

}  // namespace

int TessolonMain(int argc, char** argv) {
  if (argc < 2) return RunProgram(argc, argv);
  const std::string First = argv[1];
  if (First == "--help" || First == "-h") {
    std::cout << Usage;
    return 0;
  }
  for (const auto& Command : Commands)
    if (First == Command.Name) return Command.Run(std::vector<std::string>(argv + 2, argv + argc));
  // Other options (Qt's own, such as -platform) go to the windows.
  if (First[0] == '-') return RunProgram(argc, argv);
  std::cerr << "tessolon: unknown command '" << First << "'\n" << Usage;
  return 2;
}

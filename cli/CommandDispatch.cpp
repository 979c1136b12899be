#include "cli/CommandDispatch.h"

#include <iostream>
#include <string>
#include <vector>

#include "cli/WindowsModuleLoader.h"
#include "platform/core/CommandLine.h"
#include "platform/core/Messages.h"
#include "platform/core/Translation.h"
#include "sound/BeepCommand.h"
#include "sound/DevicesCommand.h"
#include "sound/ToneCommand.h"
#include "sweep/SweepCommand.h"
#include "table/TableCommand.h"

namespace {

// The manual page is made from this text and the commands' own, so keep it in the form
// help2man reads: "Heading:" lines, options indented by two spaces.
const char* const Usage = TrMark(
    "Usage: tessolon [OPTION...]\n"
    "  or:  tessolon COMMAND [ARGS...]\n"
    "Tessolon plays short tones that sweep through a band of frequencies: the band a pest\n"
    "profile names. It promises nothing about what the tones do to pests. Without a command it\n"
    "starts the program's windows: the main window (pest selector, Go, Stop, Set-up, About,\n"
    "Minimise) and the Adjustment dialog. The windows need a display (X11 or Wayland); the\n"
    "commands do not.\n"
    "\n"
    "Options:\n"
    "  -h, --help          show this help and exit\n"
    "      --version       show the version and exit\n"
    "      --minimized     start the windows in the notification area, or minimised where the\n"
    "                      desktop has none\n"
    "      --go [PEST]     start sweeping PEST (its name, in any case) at once; without a\n"
    "                      name, the pest chosen last time\n"
    "      --no-settings   start the windows with their defaults, and keep no choices of\n"
    "                      this run\n"
    "  -platform NAME      the window system for the windows: xcb (X11) or wayland;\n"
    "                      by default the session's own\n"
    "  -display DISPLAY    the X display to open the windows on (X11 only)\n"
    "Other options beginning with '-' go to the toolkit (Qt) with the windows; the program's\n"
    "own options come before them.\n"
    "\n"
    "Commands (no display needed; each takes --help):\n"
    "  tone      build, export or play one synthesised tone\n"
    "  beep      sound the PC speaker\n"
    "  table     inspect and edit a dBase table\n"
    "  profiles  list the pest profiles\n"
    "  sweep     play a pest profile's sweep without the windows\n"
    "  devices   list the sound card outputs and the rate each really runs at\n"
    "\n"
    "The pest table: started in a folder that has data/para.dbf, the windows and the commands\n"
    "use that table. Started anywhere else, they use your own copy in\n"
    "$XDG_DATA_HOME/tessolon/data/ (~/.local/share/tessolon/data/ by default), copied from the\n"
    "installed table the first time; the installed table itself is never changed.\n"
    "\n"
    "Minimise sends the main window to the notification area where the desktop has one, and\n"
    "leaves it minimised in the task list where it has none.\n"
    "\n"
    "The windows keep your choices (the pest, the volumes and the other settings of the\n"
    "Adjustment dialog, and the hours to sweep) in $XDG_CONFIG_HOME/Tessolon/Tessolon.conf\n"
    "(~/.config/Tessolon/Tessolon.conf by default) and start with them the next time. The\n"
    "dialog's \"Sound output\" page can also start the program with your session, through an\n"
    "entry in $XDG_CONFIG_HOME/autostart/.\n"
    "\n"
    "A machine without a screen can run a sweep as a systemd user service, for example with\n"
    "'systemctl --user start tessolon-sweep@Mosquito', or every night from 22:00 to 06:00 with\n"
    "'systemctl --user enable --now tessolon-sweep-nightly@Mosquito.timer'; the journal then\n"
    "holds a short log of each sweep ('journalctl --user -u tessolon-sweep*').\n"
    "\n"
    "Environment:\n"
    "  DISPLAY, WAYLAND_DISPLAY  the display the windows open on\n"
    "  QT_QPA_PLATFORM           the window system, as -platform\n"
    "  XDG_DATA_HOME             where your copy of the pest table is kept\n"
    "  XDG_CONFIG_HOME           where your choices and the autostart entry are kept\n");

using TCommand = int (*)(const std::vector<std::string>&);

struct TCommandEntry {
  const char* Name;
  TCommand Run;
};

// The tone command lives in the Qt-free sound library; its pictures are drawn by the windows
// module.
int ToneWithPictures(const std::vector<std::string>& Args) {
  return ToneCommand(Args, WriteSpectrumPicture);
}

const TCommandEntry Commands[] = {
    {"tone", ToneWithPictures},    {"beep", BeepCommand},   {"table", TableCommand},
    {"profiles", ProfilesCommand}, {"sweep", SweepCommand}, {"devices", DevicesCommand},
};

// The windows get the toolkit's options only: argv[0] and what the program left.
int StartWindows(const char* Program, const std::vector<std::string>& Rest,
                 const TessolonWindowsOptions& Options) {
  std::vector<std::string> Args{Program};
  Args.insert(Args.end(), Rest.begin(), Rest.end());
  std::vector<char*> Argv;
  for (std::string& Arg : Args) Argv.push_back(Arg.data());
  Argv.push_back(nullptr);
  return RunWindows(static_cast<int>(Args.size()), Argv.data(), Options);
}

}  // namespace

int TessolonMain(int argc, char** argv) {
  StartProgramTranslations();
  TCommandLine Line("tessolon", Usage);
  TOptions& Options = Line.Options();
  bool Version = false, Minimized = false, NoSettings = false;
  std::string Pest;
  Options.Flag("--version", Version);
  Options.Flag("--minimized", Minimized);
  Options.Flag("--no-settings", NoSettings);
  const TOption Go = Options.Add("--go", Pest).ValueOptional();
  // Everything from the first argument that is not the program's own stays as given: a command
  // and its arguments, or the toolkit's options (-platform, -display) for the windows.
  Options.LeaveTheRest();
  return Line.Run(std::vector<std::string>(argv + 1, argv + argc), [&] {
    if (Version) {
      std::cout << "tessolon " << TESSOLON_VERSION << "\n";
      return 0;
    }
    const std::vector<std::string> Rest = Options.Rest();
    if (Rest.empty() || Rest.front().starts_with('-'))
      return StartWindows(argv[0], Rest,
                          {.Minimized = Minimized,
                           .KeepSettings = !NoSettings,
                           .Go = Go.Given(),
                           .GoPest = Pest.c_str()});
    if (Minimized || NoSettings || Go.Given())
      throw EBadArguments(FormatMessage(
          "--minimized, --go and --no-settings are options of the windows, not of '%s'",
          Rest.front().c_str()));
    for (const auto& Command : Commands)
      if (Rest.front() == Command.Name)
        return Command.Run(std::vector<std::string>(Rest.begin() + 1, Rest.end()));
    std::cerr << FormatMessage("tessolon: unknown command '%s'", Rest.front().c_str()) << '\n'
              << Tr(Usage);
    return 2;
  });
}

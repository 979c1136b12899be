// The program as a process: the headless commands start without the toolkit and, unless they need
// the sound output, without the audio libraries; a module that is missing or broken is refused in
// one line.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "cli/WindowsModuleLoader.h"

#include "tests/support/ScratchFolder.h"
#include "tests/support/ShellRun.h"

namespace fs = std::filesystem;

namespace {

const fs::path Program = fs::path(TESSOLON_BINARY_DIR) / "tessolon";

// The program copied alone into a folder: no module beside it, none in ../lib/tessolon.
fs::path LoneProgram(const TScratchFolder& Scratch) {
  fs::create_directories(Scratch / "prefix/bin");
  const fs::path Copy = Scratch / "prefix/bin/tessolon";
  fs::copy_file(Program, Copy);
  return Copy;
}

}  // namespace

// What each command loads, as the dynamic linker tells it (it names every library it loads, at
// start and by dlopen alike): no command loads Qt, and only a command that plays or asks about the
// sound output loads the audio module, SDL and the converter.
TEST(ProgramProcessTest, CommandsLoadNoToolkitAndNoSoundLibraryUnlessTheyNeedTheOutput) {
  TScratchFolder Scratch;
  fs::create_directories(Scratch / "data");
  for (const char* File : {"para.dbf", "idx.ndx"})
    fs::copy_file(fs::path(TESSOLON_SOURCE_DIR) / "data" / File, Scratch / "data" / File);
  const std::string Table = (Scratch / "data/para.dbf").string();
  const std::string In = "cd '" + Scratch.Path().string() + "' && ";
  // One profile shows which libraries each command loads as well as ten; measuring what all ten
  // carry into hearing took most of this test's time in the sanitized build.
  for (int Record = 2; Record <= 10; ++Record)
    ASSERT_EQ(RunShell(Scratch.Path(), In + Program.string() + " table " + Table +
                                           " --index data/idx.ndx delete " + std::to_string(Record))
                  .Status,
              0);
  const std::string Tone = (Scratch / "tone.wav").string(),
                    Sweep = (Scratch / "sweep.wav").string();
  // Each command prints its result, or writes it to Written.
  const struct {
    std::string Args;
    bool Sound;
    std::string Written;
  } Cases[] = {
      {"--version", false, ""},
      {"--help", false, ""},
      {"table " + Table + " info", false, ""},
      {"table " + Table + " list", false, ""},
      {"profiles", false, ""},
      {"profiles --rate 44100", false, ""},
      {"tone --frequency 1000 --export " + Tone, false, Tone},
      {"sweep --pest Mosquito --ticks 2 --export " + Sweep, false, Sweep},
      {"profiles --rate output", true, ""},
      {"devices", true, ""},
  };
  for (const auto& C : Cases) {
    const TShellRun R = RunShell(Scratch.Path(), In + "LD_DEBUG=files SDL_AUDIODRIVER=dummy " +
                                                     Program.string() + " " + C.Args);
    EXPECT_EQ(R.Status, 0) << C.Args << ": " << R.Err;
    if (C.Written.empty())
      EXPECT_FALSE(R.Out.empty()) << C.Args;
    else
      EXPECT_GT(fs::file_size(C.Written), 44u) << C.Args;
    EXPECT_NE(R.Err.find("file=libstdc++"), std::string::npos) << "no loader report: " << R.Err;
    EXPECT_EQ(R.Err.find("libQt"), std::string::npos) << C.Args << " loads Qt";
    for (const char* Library : {"tessolon-audio.so", "libSDL2", "libsoxr"})
      EXPECT_EQ(R.Err.find(Library) != std::string::npos, C.Sound)
          << C.Args << (C.Sound ? " does not load " : " loads ") << Library;
  }
}

// The program reads only its own options; from the first other argument on, everything goes to
// the command it names, as given, whatever it looks like.
TEST(ProgramProcessTest, TheCommandGetsItsArgumentsAsGiven) {
  TScratchFolder Scratch;
  const struct {
    std::string Args;
    int Status;
    std::string OutStart, ErrStart;
  } Cases[] = {
      {"--version", 0, "tessolon ", ""},
      {"--help tone", 0, "Usage: tessolon [OPTION...]", ""},
      {"-h", 0, "Usage: tessolon [OPTION...]", ""},
      {"profiles --help", 0, "Usage: tessolon profiles", ""},
      {"tone --version", 2, "",
       "tessolon tone: The following argument was not expected: --version"},
      {"beep 440 --help", 0, "Usage: tessolon beep", ""},
      {"table table list extra", 2, "", "tessolon table: The following argument was not expected"},
      {"sweep --pest tone --idx 1", 2, "", "tessolon sweep: Exactly 1 option from [--pest,--idx]"},
      {"frobnicate", 2, "", "tessolon: unknown command 'frobnicate'\n"},
      {"--go Mosquito profiles", 2, "",
       "tessolon: --minimized, --go and --no-settings are options of the windows, not of "
       "'profiles'"},
  };
  for (const auto& C : Cases) {
    const TShellRun R = RunShell(Scratch.Path(), Program.string() + " " + C.Args);
    EXPECT_EQ(R.Status, C.Status) << C.Args << ": " << R.Err;
    EXPECT_EQ(R.Out.rfind(C.OutStart, 0), 0u) << C.Args << ": " << R.Out;
    EXPECT_EQ(R.Err.rfind(C.ErrStart, 0), 0u) << C.Args << ": " << R.Err;
  }
}

TEST(ProgramProcessTest, MissingOrBrokenModuleIsRefusedInOneLine) {
  TScratchFolder Scratch;
  const fs::path Lone = LoneProgram(Scratch);
  const fs::path Expected = Scratch.Path() / "prefix/lib/tessolon/tessolon-windows.so";
  TShellRun R = RunShell(Scratch.Path(), "DISPLAY=:99 " + Lone.string());
  EXPECT_EQ(R.Status, 1);
  EXPECT_EQ(R.Err, "tessolon: the windows module is missing: " + Expected.string() + "\n");
  // The tone command refuses the picture the same way and writes nothing.
  const fs::path Png = Scratch / "tone.png";
  R = RunShell(Scratch.Path(), Lone.string() + " tone --spectrum " + Png.string());
  EXPECT_EQ(R.Status, 1);
  EXPECT_EQ(R.Err, "tessolon tone: the windows module is missing: " + Expected.string() + "\n");
  EXPECT_FALSE(fs::exists(Png));
  // Without the audio module nothing plays, and what asks about the output says why.
  const std::string NoAudio = "the audio module is missing: " +
                              (Scratch.Path() / "prefix/lib/tessolon/tessolon-audio.so").string();
  R = RunShell(Scratch.Path(), Lone.string() + " devices");
  EXPECT_EQ(R.Status, 1);
  EXPECT_EQ(R.Err, "tessolon devices: " + NoAudio + "\n");
  fs::create_directories(Scratch / "data");
  fs::copy_file(fs::path(TESSOLON_SOURCE_DIR) / "data/para.dbf", Scratch / "data/para.dbf");
  R = RunShell(Scratch.Path(), "cd '" + Scratch.Path().string() + "' && " + Lone.string() +
                                   " profiles --rate output");
  EXPECT_EQ(R.Status, 1);
  EXPECT_EQ(R.Err, "no output (" + NoAudio + ")\n");

  std::ofstream(Lone.parent_path() / "tessolon-windows.so") << "not a shared object\n";
  R = RunShell(Scratch.Path(), "DISPLAY=:99 " + Lone.string() + " -platform offscreen");
  EXPECT_EQ(R.Status, 1);
  EXPECT_EQ(R.Err.rfind("tessolon: cannot load " +
                            (Lone.parent_path() / "tessolon-windows.so").string() + ": ",
                        0),
            0u)
      << R.Err;
  EXPECT_EQ(R.Err.find('\n'), R.Err.size() - 1) << R.Err;
}

TEST(ProgramProcessTest, ModuleIsFoundBesideTheProgramElseBelowItsPrefix) {
  TScratchFolder Scratch;
  fs::create_directories(Scratch / "bin");
  EXPECT_EQ(WindowsModuleFile(Scratch / "bin"), Scratch / "lib/tessolon/tessolon-windows.so");
  std::ofstream(Scratch / "bin/tessolon-windows.so");
  EXPECT_EQ(WindowsModuleFile(Scratch / "bin"), Scratch / "bin/tessolon-windows.so");
}

// The language comes from the environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG); the catalog is
// found beside the program in the build folder and under share/locale of the prefix it is
// installed under. Option names and the usage's syntax stay as they are.
TEST(ProgramProcessTest, HelpAndMessagesAreInTheEnvironmentsLanguage) {
  TScratchFolder Scratch;
  const fs::path Lone = LoneProgram(Scratch);
  const fs::path Installed = Scratch / "prefix/share/locale/th/LC_MESSAGES";
  fs::create_directories(Installed);
  fs::copy_file(fs::path(TESSOLON_BINARY_DIR) / "locale/th/LC_MESSAGES/tessolon.mo",
                Installed / "tessolon.mo");
  const std::string SweepThai = "วิธีใช้: tessolon sweep (--pest NAME | --idx N)";
  const struct {
    fs::path Program;
    std::string Environment, Args, OutStart, ErrStart;
  } Cases[] = {
      {Program, "LANG=th_TH.UTF-8", "sweep --help", SweepThai, ""},
      {Lone, "LANG=th_TH.UTF-8", "sweep --help", SweepThai, ""},
      {Program, "LANG=C", "sweep --help", "Usage: tessolon sweep (--pest NAME | --idx N)", ""},
      {Program, "LANG=th_TH.UTF-8 LANGUAGE=de", "sweep --help", "Usage: tessolon sweep", ""},
      {Program, "LANG=C LC_MESSAGES=th_TH.UTF-8", "--help", "วิธีใช้: tessolon [OPTION...]", ""},
      {Program, "LC_ALL=th_TH.UTF-8", "frobnicate", "", "tessolon: ไม่รู้จักคำสั่ง 'frobnicate'\n"},
      {Program, "LANG=th_TH.UTF-8", "sweep --pest Mosquito --export x.wav", "",
       "tessolon sweep: --export ต้องใช้คู่กับ --ticks หรือ --seconds (ดู 'tessolon sweep --help')"},
      // The argument parser's own messages, rebuilt from their parts; in English as it says them.
      {Program, "LANG=th_TH.UTF-8", "tone --frequency", "",
       "tessolon tone: --frequency: ขาด N (ต้องมี 1 ค่า) (ดู 'tessolon tone --help')\n"},
      {Program, "LANG=th_TH.UTF-8", "sweep --pest a --idx 1", "",
       "tessolon sweep: ต้องระบุตัวเลือกจาก [--pest,--idx] หนึ่งตัวพอดี แต่ระบุมา 2 ตัว"},
      {Program, "LANG=C", "sweep --pest a --idx 1", "",
       "tessolon sweep: Exactly 1 option from [--pest,--idx] is required and 2 were given"},
      {Program, "LANG=th_TH.UTF-8", "beep abc 10", "", "tessolon beep: แปลงค่าไม่ได้: FREQ = abc"},
      {Program, "LANG=th_TH.UTF-8", "tone --frequency 1000 --bogus", "",
       "tessolon tone: ไม่ได้คาดว่าจะมีอาร์กิวเมนต์นี้: --bogus"},
      {Program, "LANG=C", "tone --frequency 1000 --bogus", "",
       "tessolon tone: The following argument was not expected: --bogus"},
      // The table engine's messages too.
      {Program, "LANG=th_TH.UTF-8", "table " + (Scratch / "missing.dbf").string() + " info", "",
       "เปิด: ไม่พบไฟล์: \""},
  };
  for (const auto& C : Cases) {
    const TShellRun R =
        RunShell(Scratch.Path(), "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG " +
                                     C.Environment + " " + C.Program.string() + " " + C.Args);
    const std::string Case = C.Environment + " " + C.Args;
    EXPECT_EQ(R.Out.rfind(C.OutStart, 0), 0u) << Case << ": " << R.Out;
    EXPECT_EQ(R.Err.rfind(C.ErrStart, 0), 0u) << Case << ": " << R.Err;
  }
}

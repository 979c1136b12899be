// What the windows keep between runs (in the scratch folder's settings), how the program's
// options start them, and the autostart entry of the "Sound output" page: real clicks and keys,
// then a new start of both windows, and what the tone generator and the output then get.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalBlocker>
#include <QTest>
#include <fstream>
#include <sstream>

#include "app/Autostart.h"
#include "app/UserSettings.h"
#include "platform/qt/DbCtrls.h"
#include "platform/qt/StdCtrls.h"
#include "sound/ToneSpectrum.h"
#include "tests/app/WindowFixture.h"
#include "tests/platform/qt/ListDriver.h"
#include "tests/support/ScopedEnv.h"

namespace fs = std::filesystem;

namespace {

// The shipped table's fifth pest, as `tessolon profiles` lists it.
constexpr int HouseFly = 4;
constexpr int HouseFlyLow = 10000, HouseFlyHigh = 18000;

std::string FileText(const fs::path& File) {
  std::ifstream In(File, std::ios::binary);
  std::ostringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

class UserChoices : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    SavedWarning = SettingsWarning;
    SettingsWarning = [this](const std::string& Text) { Warnings.push_back(Text); };
  }
  void TearDown() override {
    SettingsWarning = SavedWarning;
    KeepSettings(true);
    WindowFixture::TearDown();
  }

  fs::path SettingsFile() { return Dir / "settings" / "Tessolon" / "Tessolon.conf"; }
  void WriteSettings(const std::string& Text) {
    fs::create_directories(SettingsFile().parent_path());
    std::ofstream(SettingsFile(), std::ios::binary) << Text;
  }
  // The dialog shown on a page, as Set-up shows it but without waiting in its own loop.
  void ShowDialogPage(int Page) {
    frmUtil->Show();
    Pages().SetActivePageIndex(Page);
    App.ProcessMessages();
  }
  void PressKey(const char* Slider, Qt::Key Key) {
    QTest::keyClick(Util<TTrackBar>(Slider).Widget(), Key);
  }
  int Slider(const char* Name) { return Util<TTrackBar>(Name).Position(); }
  bool Box(const char* Name) { return Util<TCheckBox>(Name).Checked(); }
  int ShownPest() { return Main<TDBLookupComboBox>("cbLook1").ItemIndex(); }

  std::vector<std::string> Warnings;

 private:
  std::function<void(const std::string&)> SavedWarning;
};

// Every choice changed from its default by the user's own clicks and keys, the program ended
// and started again: the controls, the tone generator and the first tick all have them.
TEST_F(UserChoices, ComeBackAtTheNextStartAndReachTheSound) {
  StartProgram();
  ListDriver::ChooseWithMouse(Selector(), HouseFly);
  ShowDialogPage(0);
  PressKey("tbL", Qt::Key_Home);
  PressKey("tbR", Qt::Key_End);
  PressKey("tramp", Qt::Key_Home);  // no partials beside the main tone
  PressKey("troct", Qt::Key_Home);
  for (const char* Name : {"chster", "chReso", "chQual", "chPlay", "chAuto"}) ClickBox(Name);
  ListDriver::ChooseWithMouse(*static_cast<QComboBox*>(Util<TControl>("cbWavForm").Widget()),
                              tgSquare);
  ShowDialogPage(2);
  ClickBox("chBand");
  EndProgram();

  StartProgram();
  EXPECT_EQ(ShownPest(), HouseFly);
  EXPECT_EQ(Band().Min(), HouseFlyLow);
  EXPECT_EQ(Band().Max(), HouseFlyHigh);
  const std::pair<const char*, int> Sliders[] = {
      {"tbL", 1}, {"tbR", 100}, {"tramp", 0}, {"troct", 0}};
  for (const auto& [Name, Position] : Sliders) EXPECT_EQ(Slider(Name), Position) << Name;
  const std::pair<const char*, bool> Boxes[] = {
      {"chster", false}, {"chReso", false}, {"chQual", false}, {"chSND", true},
      {"chPlay", false}, {"chAuto", false}, {"chBand", true}};
  for (const auto& [Name, Checked] : Boxes) EXPECT_EQ(Box(Name), Checked) << Name;
  EXPECT_EQ(Util<TLabel>("lblAmp").Caption(), "0");
  EXPECT_EQ(Util<TLabel>("lbloct").Caption(), "0");
  EXPECT_EQ(Tone().LeftVolume(), 1);
  EXPECT_EQ(Tone().RightVolume(), 100);
  EXPECT_EQ(Tone().AMAmplitude(), 0);
  EXPECT_FALSE(Tone().Stereo());
  EXPECT_EQ(Tone().Resolution(), tg8Bit);
  EXPECT_EQ(Tone().Quality(), tgLoQ);
  EXPECT_TRUE(Tone().BandLimited());
  EXPECT_EQ(Tone().Waveform(), tgSquare);  // the list's choice, over the pest's sine

  // Without Auto Change the tick plays the bottom of the band: one 8-bit mono image at the low
  // quality's rate (44100 Hz, not 96000), whose strongest part lies at 10 kHz.
  Main<TControl>("btnGo").Click();
  Tick();
  ASSERT_EQ(Sound.Count(scPlay), 1);
  const std::vector<uint8_t>& Image = Sound.Plays().front()->Image;
  ASSERT_GT(Image.size(), 44u);
  EXPECT_EQ(Image[22], 1);  // channels
  EXPECT_EQ(Image[34], 8);  // bits per sample
  const TSpectrum Spectrum = AnalyseWaveImage(Image.data(), Image.size());
  EXPECT_EQ(Spectrum.Rate, 44100u);
  const double Tone = Spectrum.PeakIn(HouseFlyLow - 50, HouseFlyLow + 50);
  EXPECT_GT(Tone, Spectrum.PeakIn(0, HouseFlyLow - 200));
  EXPECT_GT(Tone, Spectrum.PeakIn(HouseFlyLow + 200, Spectrum.Rate / 2.0));

  // The sound card box comes back too, off.
  ShowDialogPage(0);
  ClickBox("chSND");
  EndProgram();
  StartProgram();
  EXPECT_FALSE(Box("chSND"));
  EXPECT_TRUE(Warnings.empty());
}

// --no-settings: the definitions' defaults, and nothing of the run is kept.
TEST_F(UserChoices, WithoutSettingsTheRunStartsFromTheDefaultsAndKeepsNothing) {
  StartProgram();
  ListDriver::ChooseWithMouse(Selector(), HouseFly);
  ShowDialogPage(0);
  PressKey("tbL", Qt::Key_Home);
  EndProgram();

  StartProgram({.KeepSettings = false, .Pest = {}});
  EXPECT_EQ(ShownPest(), 0);
  EXPECT_EQ(Slider("tbL"), 60);
  EXPECT_EQ(Tone().LeftVolume(), 60);
  ListDriver::ChooseWithMouse(Selector(), 1);
  ShowDialogPage(0);
  PressKey("tbL", Qt::Key_End);
  EndProgram();

  StartProgram();
  EXPECT_EQ(ShownPest(), HouseFly);
  EXPECT_EQ(Slider("tbL"), 1);
}

// A settings file that cannot be read starts the windows with their defaults (a value that is
// not valid, with that one's default), warns once, and never fails the start.
TEST_F(UserChoices, ADamagedFileGivesTheDefaultsAndOneWarning) {
  const struct {
    const char* What;
    std::string Text;  // empty: a folder stands where the file should be
    int Left, Right, Octave;
    const char* Warning;
  } Cases[] = {
      {"a broken section", "[Sound\nLeftVolume=5\nRightVolume=7\n", 60, 80, 4, "cannot be read"},
      {"a folder", "", 60, 80, 4, "cannot be read"},
      {"bad values", "[Sound]\nLeftVolume=loud\nRightVolume=20\nOctave=12\n", 60, 20, 4,
       "(Sound/LeftVolume, Sound/Octave)"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    Warnings.clear();
    fs::remove_all(Dir / "settings");
    if (C.Text.empty())
      fs::create_directories(SettingsFile());
    else
      WriteSettings(C.Text);
    StartProgram();
    EXPECT_EQ(Slider("tbL"), C.Left);
    EXPECT_EQ(Slider("tbR"), C.Right);
    EXPECT_EQ(Slider("troct"), C.Octave);
    EXPECT_EQ(Tone().LeftVolume(), C.Left);
    EXPECT_EQ(ShownPest(), 0);
    ASSERT_EQ(Warnings.size(), 1u);
    EXPECT_NE(Warnings.front().find(C.Warning), std::string::npos) << Warnings.front();
    EndProgram();
  }
  // The unreadable file was moved aside with its text: the next start is clean and keeps again.
  const fs::path Aside = SettingsFile().string() + ".damaged";
  fs::remove_all(Dir / "settings");
  WriteSettings("[Sound\nLeftVolume=5\n");
  StartProgram();
  EXPECT_EQ(FileText(Aside), "[Sound\nLeftVolume=5\n");
  ShowDialogPage(0);
  PressKey("tbL", Qt::Key_Home);
  EndProgram();
  Warnings.clear();
  StartProgram();
  EXPECT_EQ(Slider("tbL"), 1);
  EXPECT_TRUE(Warnings.empty());
}

// --go starts the sweep at once: the pest named, in any case, else the one kept.
TEST_F(UserChoices, GoSweepsThePestNamedOrTheOneKept) {
  WriteSettings("[Sound]\nWaveform=3\n");
  StartProgram({.Go = true, .Pest = "hOUSE fLY"});
  EXPECT_TRUE(Running());
  EXPECT_EQ(Tone().Waveform(), tgSine);  // the pest's own, not the sawtooth kept
  EXPECT_EQ(ShownPest(), HouseFly);
  EXPECT_EQ(Band().Min(), HouseFlyLow);
  EXPECT_EQ(Main<TControl>("lblPoint").Caption(), "RUN ...");
  EXPECT_FALSE(Main<TControl>("cbLook1").Enabled());
  EndProgram();

  StartProgram();
  ListDriver::ChooseWithMouse(Selector(), 2);
  const int64_t Low = Band().Min();
  EndProgram();
  StartProgram({.Go = true, .Pest = {}});
  EXPECT_TRUE(Running());
  EXPECT_EQ(ShownPest(), 2);
  EXPECT_EQ(Band().Min(), Low);
  EXPECT_EQ(Tone().Waveform(), tgSquare);  // choosing the pest kept its waveform with it
  EndProgram();

  // A name the table does not have: the first pest is shown, nothing runs, and the user is told.
  EnterScratchFolder();
  CreateWindows(App, {.Go = true, .Pest = "Nonesuch"});
  try {
    frmMain->FormShow(frmMain);
    ADD_FAILURE() << "an unknown pest was accepted";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(), "There is no pest named \"Nonesuch\" in the table");
  }
  EXPECT_FALSE(Running());
  EXPECT_EQ(ShownPest(), 0);
}

// --minimized: hidden to the tray where there is one (never shown, so never minimised), else
// minimised in the task list.
TEST_F(UserChoices, MinimizedStartsInTheTrayOrMinimisedWithoutOne) {
  for (const bool Tray : {true, false}) {
    SCOPED_TRACE(Tray ? "tray" : "no tray");
    TTrayIcon::SetTrayProbe([Tray] { return Tray; });
    StartProgram({.Minimized = true, .Pest = {}});
    App.ProcessMessages();
    EXPECT_EQ(frmMain->Widget()->isVisible(), !Tray);
    EXPECT_EQ(frmMain->WindowState(), Tray ? wsNormal : wsMinimized);
    EXPECT_TRUE(Table().Active());  // started all the same
    EndProgram();
  }
}

// Named as the shipped desktop entry, so that the desktop takes the two for one program.
TEST(Autostart, TheEntryLiesInTheUsersConfigFolderAndStartsTheProgramInTheTraySweeping) {
  std::string Name;
  {
    const TScopedEnv Config("XDG_CONFIG_HOME", "/c");
    Name = "autostart/" + AutostartFile().filename().string();
    EXPECT_TRUE(fs::exists(fs::path(TESSOLON_SOURCE_DIR) / "dist" / AutostartFile().filename()));
  }
  const struct {
    const char *Config, *Home, *Expected;
  } Cases[] = {
      {"/x/conf", "/h", "/x/conf/"}, {nullptr, "/h", "/h/.config/"},
      {"", "/h", "/h/.config/"},     {"relative/conf", "/h", "/h/.config/"},
      {nullptr, nullptr, ""},
  };
  for (const auto& C : Cases) {
    const TScopedEnv Config("XDG_CONFIG_HOME", C.Config), Home("HOME", C.Home);
    EXPECT_EQ(AutostartFile(), *C.Expected ? fs::path(C.Expected + Name) : fs::path())
        << (C.Config ? C.Config : "(unset)");
  }

  // The entry starts the program in the tray, sweeping; its path is quoted as desktop entries
  // quote Exec arguments.
  const std::string Entry = AutostartEntry("/opt/my apps/te$t\"%\\bin/tessolon");
  EXPECT_NE(Entry.find("\nExec=\"/opt/my apps/te\\\\$t\\\\\"%%\\\\\\\\bin/tessolon\" --minimized "
                       "--go\n"),
            std::string::npos)
      << Entry;
  EXPECT_NE(Entry.find("\nTryExec=/opt/my apps/te$t\"%\\\\bin/tessolon\n"), std::string::npos);
  EXPECT_EQ(Entry.rfind("[Desktop Entry]\nType=Application\n", 0), 0u);
}

// The page's box writes and removes the entry, shows whether it is there, and shows the truth
// when writing it fails.
TEST_F(UserChoices, ThePagesBoxInstallsAndRemovesTheAutostartEntry) {
  const TScopedEnv Config("XDG_CONFIG_HOME", (Dir / "config").c_str());
  StartProgram();
  ShowDialogPage(2);
  EXPECT_FALSE(Box("chStart"));
  ClickBox("chStart");
  const fs::path File = AutostartFile();
  ASSERT_TRUE(fs::is_regular_file(File));
  EXPECT_EQ(File.parent_path(), Dir / "config" / "autostart");
  EXPECT_EQ(FileText(File), AutostartEntry(QCoreApplication::applicationFilePath().toStdString()));
  EndProgram();

  StartProgram();
  ShowDialogPage(2);
  EXPECT_TRUE(Box("chStart"));
  ClickBox("chStart");
  EXPECT_FALSE(fs::exists(File));

  // A file where the folder should be: the entry cannot be written, and the box stays clear.
  std::ofstream(Dir / "blocked") << "";
  const TScopedEnv Blocked("XDG_CONFIG_HOME", (Dir / "blocked").c_str());
  {
    const QSignalBlocker Quiet(Util<TCheckBox>("chStart").Widget());
    Util<TCheckBox>("chStart").SetChecked(true);
  }
  EXPECT_THROW(frmUtil->chStartClick(&Util<TCheckBox>("chStart")), Exception);
  EXPECT_FALSE(Box("chStart"));
}

}  // namespace

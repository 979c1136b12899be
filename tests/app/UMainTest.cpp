#include "app/UMain.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QTimer>
#include <filesystem>

#include "app/MyTools2.h"
#include "platform/data/DatabaseError.h"
#include "platform/qt/DbCtrls.h"
#include "platform/qt/StdCtrls.h"
#include "shell/BalloonTip.h"
#include "shell/Menus.h"
#include "shell/TrayIcon.h"
#include "tests/app/WindowFixture.h"
#include "tests/platform/qt/ListDriver.h"

namespace fs = std::filesystem;

namespace {

// The profiles of the shipped table, as `tessolon profiles` lists them.
struct TProfile {
  const char* Name;
  int Min, Max, Step, Interval, Duration;
  TTGWave Wave;
};
constexpr TProfile HouseFly{"House fly", 10000, 18000, 200, 150, 120, tgSine};
constexpr TProfile Cockroach{"Cockroach", 25000, 40000, 500, 250, 200, tgSawtooth};

// Both windows started as the program starts them.
class MainWindow : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    StartProgram();
  }

  void ExpectProfile(const TProfile& Pest) {
    SCOPED_TRACE(Pest.Name);
    EXPECT_EQ(Table().FieldByName("NAME_PEST")->AsString(), Pest.Name);
    EXPECT_EQ(Band().Min(), Pest.Min);
    EXPECT_EQ(Band().Max(), Pest.Max);
    EXPECT_EQ(Band().Position(), Pest.Min);
    EXPECT_EQ(Band().Frequency(), Pest.Step);
    EXPECT_EQ(Timer().Interval(), Pest.Interval);
    EXPECT_EQ(Tone().Duration(), Pest.Duration);
    EXPECT_EQ(Tone().Waveform(), Pest.Wave);
  }
};

TEST_F(MainWindow, StartsStoppedWithTheTableOpenAndThePestsListed) {
  EXPECT_EQ(frmMain->DataFolder(), (Dir / "data").string() + "/");
  EXPECT_TRUE(frmMain->TableOpened());
  EXPECT_TRUE(Table().Active());
  EXPECT_NE(Table().FindIndex("idx.ndx"), nullptr);
  const auto& Status = Main<TControl>("lblPoint");
  EXPECT_EQ(Status.Caption(), "STOP ...");
  EXPECT_EQ(Status.Font().Color, clRed);
  EXPECT_FALSE(Main<TAnimate>("Animate1").Active());
  EXPECT_FALSE(Running());
  auto& Selector = Main<TDBLookupComboBox>("cbLook1");
  EXPECT_TRUE(Selector.Enabled());
  EXPECT_GE(Selector.ItemCount(), 8);
  EXPECT_EQ(Selector.ItemCount(), Table().RecordCount());
  EXPECT_EQ(Pages().ActivePageIndex(), 0);
  EXPECT_EQ(frmMain->ClientWidth(), 337);
  EXPECT_EQ(frmMain->ClientHeight(), 362);
}

TEST_F(MainWindow, ChoosingAPestInTheOpenListAppliesThatPestsProfileAndGoSweepsIt) {
  ASSERT_EQ(Main<TDBLookupComboBox>("cbLook1").ItemText(4), HouseFly.Name);
  ListDriver::ChooseWithMouse(Selector(), 4);
  ExpectProfile(HouseFly);
  EXPECT_EQ(Tone().Stereo(), Util<TCheckBox>("chster").Checked());
  EXPECT_EQ(Tone().LeftVolume(), 60);
  EXPECT_EQ(Tone().RightVolume(), 80);
  // Selection neither starts nor plays anything.
  EXPECT_FALSE(Running());
  EXPECT_EQ(Sound.Count(scPlay), 0);
  // The fault a new user met: the fifth pest chosen, Go, and the sweep played the first pest's
  // band.
  Main<TControl>("btnGo").Click();
  std::vector<int> Played;
  for (int I = 0; I < 3; ++I) {
    Tick();
    Played.push_back(Tone().Frequency());
  }
  EXPECT_EQ(Played, (std::vector<int>{10200, 10400, 10600}));
  EXPECT_EQ(Sound.Count(scPlay), 3);
  Main<TControl>("btnStop").Click();

  // A band wholly above the last one, chosen from the keyboard.
  ListDriver::ChooseWithKeys(Selector(), 1);
  ExpectProfile(Cockroach);

  // Closing the list without a choice applies the current pest again: back to its bottom.
  Band().SetPosition(30000);
  ListDriver::EscapeFrom(Selector(), 4);
  ExpectProfile(Cockroach);
  Band().SetPosition(30000);
  ListDriver::ClickOutside(Selector());
  ExpectProfile(Cockroach);
}

// The open list is drawn like the box: black with yellow text.
TEST_F(MainWindow, TheOpenSelectorListIsBlackWithYellowText) {
  ListDriver::OpenWithKey(Selector());
  QAbstractItemView& View = *Selector().view();
  const QImage Picture = View.viewport()->grab().toImage();
  ListDriver::EscapeFrom(Selector(), 0);
  // An entry that is not the highlighted one: its right end is background, its text yellow.
  const QRect Entry =
      View.visualRect(Selector().model()->index(4, 0)).intersected(View.viewport()->rect());
  ASSERT_FALSE(Entry.isEmpty());
  EXPECT_EQ(QColor(Picture.pixel(Entry.right() - 2, Entry.center().y())), QColor(Qt::black));
  int Yellow = 0;
  for (int Y = Entry.top(); Y <= Entry.bottom(); ++Y)
    for (int X = Entry.left(); X <= Entry.right(); ++X) {
      const QColor C(Picture.pixel(X, Y));
      if (C.red() > 200 && C.green() > 200 && C.blue() < 60) ++Yellow;
    }
  EXPECT_GT(Yellow, 10);
}

TEST_F(MainWindow, GoAndStopSwitchTheStatusTimerAndSelectorAndTheDialogStopsNothing) {
  auto& Status = Main<TControl>("lblPoint");
  auto& Look = Main<TDBLookupComboBox>("cbLook1");
  ListDriver::ChooseWithKeys(Selector(), 0);  // Mosquito: 15000 .. 22000 Hz, step 250
  Main<TControl>("btnGo").Click();
  EXPECT_EQ(Status.Caption(), "RUN ...");
  EXPECT_EQ(Status.Font().Color, clBlue);
  EXPECT_TRUE(Main<TAnimate>("Animate1").Active());
  EXPECT_TRUE(Running());
  EXPECT_FALSE(Look.Enabled());
  // Go plays nothing itself; the first tick plays Min + step on the sound card.
  EXPECT_EQ(Sound.Count(scPlay), 0);
  Tick();
  EXPECT_EQ(Sound.Count(scPlay), 1);
  EXPECT_EQ(Tone().Frequency(), 15250);
  Tick();
  EXPECT_EQ(Sound.Count(scPlay), 2);

  Sound.Clear();
  Main<TControl>("btnStop").Click();
  EXPECT_EQ(Status.Caption(), "STOP ...");
  EXPECT_EQ(Status.Font().Color, clRed);
  EXPECT_FALSE(Main<TAnimate>("Animate1").Active());
  EXPECT_FALSE(Running());
  EXPECT_TRUE(Look.Enabled());
  EXPECT_EQ(Sound.Count(scStop), 1);
  // A new run continues where the last one stopped, and the dialog does not stop it.
  Main<TControl>("btnGo").Click();
  Tick();
  EXPECT_EQ(Band().Position(), 15750);
  QTimer::singleShot(0, [&] { frmUtil->SetModalResult(mrOk); });
  Main<TControl>("btnConfig").Click();
  EXPECT_TRUE(Running());
  // Once a tick has played, the label names the class of what the tones carry.
  EXPECT_EQ(Status.Caption(), "AUDIBLE");
}

// On an output at 48000 Hz nothing of Cockroach's band (25000-40000 Hz) can be carried: its ticks
// stay silent, the status label says so instead of "RUN ...", the tray tip says why, and an
// audible pest brings the ordinary display back.
TEST_F(MainWindow, TicksTheOutputCannotCarryAreSilentAndTheStatusSaysWhy) {
  Sound.Rate = 48000;
  auto& Status = Main<TControl>("lblPoint");
  auto& Tray = Main<TTrayIcon>("TrayIcon1");
  ListDriver::ChooseWithKeys(Selector(), 1);
  ExpectProfile(Cockroach);
  Main<TControl>("btnGo").Click();
  Tick();
  Tick();
  EXPECT_EQ(Sound.Count(scPlay), 0);
  EXPECT_EQ(Status.Caption(), "SILENT");
  EXPECT_EQ(Tray.Hint(), "Tessolon 3.0: silent: output at 48000 Hz");
  Main<TControl>("btnStop").Click();
  EXPECT_EQ(Status.Caption(), "STOP ...");
  EXPECT_EQ(Tray.Hint(), "Tessolon 3.0");

  ListDriver::ChooseWithMouse(Selector(), 4);  // House fly, 10000-18000 Hz
  Main<TControl>("btnGo").Click();
  Tick();
  EXPECT_EQ(Sound.Count(scPlay), 1);
  EXPECT_EQ(Status.Caption(), "AUDIBLE");
  EXPECT_EQ(Tray.Hint(), "Tessolon 3.0; heard: -10 dBFS audible");

  // The server goes away and comes back: said once each way.
  Sound.Gone = true;
  Tick();
  EXPECT_EQ(Status.Caption(), "SILENT");
  EXPECT_EQ(Tray.Hint(), "Tessolon 3.0: silent: no output");
  Sound.Gone = false;
  Tick();
  EXPECT_EQ(Status.Caption(), "AUDIBLE");
}

TEST_F(MainWindow, TrayRunAndStopCheckTheirItemsWhileTheButtonsLeaveThemAlone) {
  auto& Run = Main<TMenuItem>("Run1");
  auto& Stop = Main<TMenuItem>("StopProcess1");
  EXPECT_FALSE(Run.Checked());
  EXPECT_FALSE(Stop.Checked());
  Run.Click();
  EXPECT_TRUE(Run.Checked());
  EXPECT_FALSE(Stop.Checked());
  EXPECT_TRUE(Running());
  Main<TControl>("btnStop").Click();
  EXPECT_FALSE(Running());
  EXPECT_TRUE(Run.Checked());  // the marks can disagree with the state
  Stop.Click();
  EXPECT_FALSE(Run.Checked());
  EXPECT_TRUE(Stop.Checked());
  EXPECT_EQ(Main<TControl>("lblPoint").Caption(), "STOP ...");
}

TEST_F(MainWindow, MinimiseHidesAndShowWinBringsBackPageZeroWithoutReopening) {
  TTrayIcon::SetTrayProbe([] { return true; });  // a desktop with a notification area
  Pages().SetActivePageIndex(1);
  Main<TControl>("btnMin").Click();
  App.ProcessMessages();
  EXPECT_FALSE(frmMain->Visible());
  EXPECT_EQ(frmMain->WindowState(), wsMinimized);
  const TDbaseTable* Before = &Table();
  Main<TMenuItem>("ShowApplication1").Click();
  App.ProcessMessages();
  EXPECT_TRUE(frmMain->Visible());
  EXPECT_EQ(frmMain->WindowState(), wsNormal);
  EXPECT_EQ(Pages().ActivePageIndex(), 0);
  EXPECT_EQ(&Table(), Before);
  EXPECT_TRUE(Table().Active());
}

// No icon could bring a hidden window back: it stays minimised, reachable from the task list.
TEST_F(MainWindow, MinimiseWithoutANotificationAreaLeavesTheWindowMinimised) {
  TTrayIcon::SetTrayProbe([] { return false; });
  Main<TControl>("btnMin").Click();
  App.ProcessMessages();
  EXPECT_TRUE(frmMain->Visible());
  EXPECT_TRUE(frmMain->Widget()->isVisible());
  EXPECT_EQ(frmMain->WindowState(), wsMinimized);
  EXPECT_FALSE(Main<TTrayIcon>("TrayIcon1").TrayIcon()->isVisible());
}

TEST_F(MainWindow, ShowingReopensTheTableOnlyAfterTheFlagIsClearedAndTriesAgainAfterAFailure) {
  Table().Close();
  frmMain->FormShow(frmMain);
  EXPECT_FALSE(Table().Active());  // flag still set: left alone
  frmMain->SetTableOpened(false);
  frmMain->FormShow(frmMain);
  EXPECT_TRUE(Table().Active());
  EXPECT_TRUE(frmMain->TableOpened());
  EXPECT_NE(Table().FindIndex("idx.ndx"), nullptr);

  // A missing data folder leaves the flag clear, and the next showing tries again.
  Table().Close();
  frmMain->SetTableOpened(false);
  fs::rename(Dir / "data", Dir / "elsewhere");
  Pages().SetActivePageIndex(1);
  EXPECT_ANY_THROW(frmMain->FormShow(frmMain));
  EXPECT_FALSE(frmMain->TableOpened());
  EXPECT_EQ(Pages().ActivePageIndex(), 1);
  fs::rename(Dir / "elsewhere", Dir / "data");
  frmMain->FormShow(frmMain);
  EXPECT_TRUE(frmMain->TableOpened());
  EXPECT_EQ(Pages().ActivePageIndex(), 0);
}

// About, the dialog's Close, then Set-up: the set-up page, because showing the main window in
// between reopened the table and reselected page 0.
TEST_F(MainWindow, AboutThenCloseThenSetUpShowsTheSetUpPage) {
  int PageSeen = -1;
  bool MainVisible = true;
  QTimer::singleShot(0, [&] {
    PageSeen = Pages().ActivePageIndex();
    MainVisible = frmMain->Visible();
    frmUtil->btnCloseClick(frmUtil);
  });
  Main<TControl>("btnAbout").Click();
  EXPECT_EQ(PageSeen, 1);
  EXPECT_FALSE(MainVisible);
  App.ProcessMessages();
  EXPECT_TRUE(frmMain->Visible());
  EXPECT_TRUE(frmMain->TableOpened());
  EXPECT_TRUE(Table().Active());
  EXPECT_NE(Table().FindIndex("idx.ndx"), nullptr);

  QTimer::singleShot(0, [&] {
    PageSeen = Pages().ActivePageIndex();
    frmUtil->SetModalResult(mrOk);
  });
  Main<TControl>("btnConfig").Click();
  EXPECT_EQ(PageSeen, 0);
}

// The selector tells the truth: at start the pest it shows is the one Go sweeps, and after << or
// >> and after the dialog's Close it still shows the pest whose band sweeps, while each tick
// goes on reading the current record's step.
TEST_F(MainWindow, TheSelectorShowsThePestWhoseBandSweeps) {
  constexpr TProfile Mosquito{"Mosquito", 15000, 22000, 250, 200, 150, tgSquare};
  auto& Look = Main<TDBLookupComboBox>("cbLook1");
  EXPECT_EQ(Look.ItemText(Look.ItemIndex()), Mosquito.Name);
  ExpectProfile(Mosquito);
  Main<TControl>("btnGo").Click();
  Tick();
  EXPECT_EQ(Tone().Frequency(), 15250);
  Main<TControl>("btnStop").Click();

  ListDriver::ChooseWithMouse(Selector(), 4);
  ExpectProfile(HouseFly);
  frmUtil->btnNextClick(frmUtil);  // the record after House fly is current now
  EXPECT_NE(Table().FieldByName("NAME_PEST")->AsString(), HouseFly.Name);
  EXPECT_EQ(Look.ItemText(Look.ItemIndex()), HouseFly.Name);
  EXPECT_EQ(Band().Min(), HouseFly.Min);

  QTimer::singleShot(0, [&] { frmUtil->btnCloseClick(frmUtil); });
  Main<TControl>("btnConfig").Click();
  App.ProcessMessages();
  ASSERT_TRUE(Table().Active());
  EXPECT_EQ(Look.ItemText(Look.ItemIndex()), HouseFly.Name);
  EXPECT_EQ(Band().Min(), HouseFly.Min);
  EXPECT_EQ(Band().Max(), HouseFly.Max);
}

// Each closes the main window, which ends the program (hides it and ends the message loop).
TEST_F(MainWindow, CloseQuitAndExitEndTheProgram) {
  Main<TControl>("btnClose").Click();
  EXPECT_FALSE(frmMain->Visible());
  EXPECT_TRUE(App.Terminated());
  frmMain->Show();
  Main<TControl>("btnQuit").Click();
  EXPECT_FALSE(frmMain->Visible());
  frmMain->Show();
  Main<TMenuItem>("Exitprogram1").Click();
  EXPECT_FALSE(frmMain->Visible());
}

TEST_F(MainWindow, EveryActivationLeavesOneTipPerControl) {
  for (int I = 0; I < 3; ++I) frmMain->FormActivate(frmMain);
  EXPECT_EQ(frmMain->Widget()->findChildren<TBalloonTipWindow*>().size(), 1u);
  ASSERT_TRUE(TipWindow);
  EXPECT_EQ(TipWindow->ToolCount(), 8);
  EXPECT_EQ(TipWindow->Title(), "Info");
  EXPECT_EQ(TipWindow->Icon(), tiInfo);
  EXPECT_EQ(TipWindow->ToolText(Main<TControl>("btnGo").Widget()), "Run ...");
  EXPECT_EQ(TipWindow->ToolText(Main<TControl>("cbLook1").Widget()), "Select pest form list");
  EXPECT_EQ(TipWindow->ToolText(Main<TControl>("btnQuit").Widget()), "Exit Program");
}

}  // namespace

namespace {

// Another program added a profile to the table without keeping idx.ndx, as a spreadsheet that
// saves dBase files does. The window must list it, and say once what became of the index.
class TableEditedElsewhere : public WindowFixture {
 protected:
  void AddProfileElsewhere() {
    TDbaseTable Other(nullptr);
    Other.SetFilePath((Dir / "data").string());
    Other.SetTableName("para.dbf");
    Other.Open();
    Other.Append();
    Other.FieldByName("IDX")->SetAsInteger(11);
    Other.FieldByName("NAME_PEST")->SetAsString("Moth");
    Other.Post();
  }
  void Reshow() {
    Table().Close();
    frmMain->SetTableOpened(false);
    frmMain->FormShow(frmMain);
    App.ProcessMessages();
  }
  void ExpectEveryProfileListed() {
    ASSERT_EQ(Selector().count(), 11);
    EXPECT_EQ(Selector().itemText(10).toStdString(), "Moth");
  }
  void ExpectOneNoticeSaying(const std::string& Outcome) {
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_NE(Messages[0].find("idx.ndx\" does not match its table: record 11 is missing"),
              std::string::npos)
        << Messages[0];
    EXPECT_NE(Messages[0].find(Outcome), std::string::npos) << Messages[0];
  }
};

TEST_F(TableEditedElsewhere, AloneTheIndexIsRebuiltAndTheUserToldOnce) {
  AddProfileElsewhere();
  StartProgram();
  ExpectEveryProfileListed();
  ExpectOneNoticeSaying("rebuilt from the table");
  EXPECT_NE(Table().FindIndex("idx.ndx"), nullptr);
  Reshow();
  ExpectEveryProfileListed();
  EXPECT_EQ(Messages.size(), 1u);
}

TEST_F(TableEditedElsewhere, WhileOthersHoldTheTableTheIndexIsLeftOutAndNoProfileIs) {
  AddProfileElsewhere();
  TDbaseTable Holder(nullptr);
  Holder.SetFilePath((Dir / "data").string());
  Holder.SetTableName("para.dbf");
  Holder.Open();
  StartProgram();
  ExpectEveryProfileListed();
  ExpectOneNoticeSaying("cannot be rebuilt now");
  EXPECT_EQ(Table().FindIndex("idx.ndx"), nullptr);
  Reshow();
  ExpectEveryProfileListed();
  EXPECT_EQ(Messages.size(), 1u);
}

// The table the program starts on, changed first: the first pest's band start emptied, or every
// record deleted.
class StartOnABadProfile : public WindowFixture, public testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    TDbaseTable Edited(nullptr);
    Edited.SetFilePath((Dir / "data").string());
    Edited.SetTableName("para.dbf");
    Edited.Open();
    if (std::string(GetParam()) == "empty table") {
      while (!Edited.IsEmpty()) Edited.Delete();
    } else {
      Edited.Locate("IDX", TVariant(int64_t(1)), 0);
      Edited.Edit();
      Edited.FieldByName("F_START")->Clear();
      Edited.Post();
    }
    SavedNotice = TfrmMain::StartNotice;
    TfrmMain::StartNotice = [this](const std::string& Text) { Notices.push_back(Text); };
  }
  void TearDown() override {
    TfrmMain::StartNotice = SavedNotice;
    WindowFixture::TearDown();
  }
  std::vector<std::string> Notices;
  std::function<void(const std::string&)> SavedNotice;
};

// Restored at start (even with --go) the pest is said in one line, and nothing sweeps or shows a
// box; the user's own choice of it still raises the table's conversion error.
TEST_P(StartOnABadProfile, TheRestoredPestIsSaidInOneLineAndTheUsersChoiceStillRaises) {
  StartProgram({.Go = true});
  ASSERT_EQ(Notices.size(), 1u);
  EXPECT_EQ(Notices[0].rfind(std::string(GetParam()) == "empty table"
                                 ? "the pest table cannot be swept: "
                                 : "the pest \"Mosquito\" cannot be swept: ",
                             0),
            0u)
      << Notices[0];
  EXPECT_FALSE(Running());
  EXPECT_FALSE(App.ErrorBoxOpen());
  if (std::string(GetParam()) == "empty table") return;
  ListDriver::ChooseWithKeys(Selector(), 1);  // Cockroach sweeps
  Main<TDBLookupComboBox>("cbLook1").Choose(0);
  EXPECT_THROW(frmMain->cbLook1CloseUp(frmMain), EDatabaseError);
  EXPECT_EQ(Notices.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Tables, StartOnABadProfile,
                         testing::Values("empty band start", "empty table"));

}  // namespace

namespace {

// Each play and stop since the last look as one line: the call, its voice and, for a play, its
// flags, size and a digest of its bytes.
std::string SoundCalls(TRecordingSoundService& Sound) {
  std::string Text;
  for (const TSoundEvent& Event : Sound.Events) {
    if (Event.Call != scPlay && Event.Call != scStop) continue;
    uint64_t Digest = 14695981039346656037ull;  // FNV-1a
    for (const uint8_t Byte : Event.Image) Digest = (Digest ^ Byte) * 1099511628211ull;
    Text += std::string(Event.Call == scPlay ? "P" : "S") + std::to_string(Event.Voice);
    if (Event.Call == scPlay)
      Text += " " + std::to_string(Event.Flags) + " " + std::to_string(Event.Image.size()) + " " +
              std::to_string(Digest);
    Text += "\n";
  }
  Sound.Clear();
  return Text;
}

}  // namespace

// The whole path from the selector to the tones: a pest chosen, Go, a step to the next record with
// >> (which changes the step and the tone length from the next tick, not the band, the interval or
// the waveform), the sound card box unticked (its tone ends, the speaker plays on), and Stop.
TEST_F(MainWindow, SelectGoNextRecordSpeakerAndStopPlayTheseTones) {
  std::string Trace;
  const auto Look = [&](const char* What) {
    Trace += std::string(What) + ": " + std::to_string(Band().Position()) + " in " +
             std::to_string(Band().Min()) + "-" + std::to_string(Band().Max()) + " step " +
             std::to_string(Band().Frequency()) + " every " + std::to_string(Timer().Interval()) +
             " tone " + std::to_string(Tone().Frequency()) + " Hz " +
             std::to_string(Tone().Duration()) + " ms wave " + std::to_string(Tone().Waveform()) +
             "\n" + SoundCalls(Sound);
  };
  ListDriver::ChooseWithMouse(Selector(), 4);  // House fly
  Look("chosen");
  Main<TControl>("btnGo").Click();
  for (int I = 0; I < 2; ++I) Tick(), Look("tick");
  Util<TControl>("btnNext").Click();
  Look("next");
  for (int I = 0; I < 2; ++I) Tick(), Look("tick");
  ClickBox("chSND");
  for (int I = 0; I < 2; ++I) Tick(), Look("tick");
  Main<TControl>("btnStop").Click();
  Look("stop");
  // Pinned from the windows as they were before the sweep had a session of its own, but for the
  // S0: the sound card's tone no longer loops on once the box sends the ticks to the speaker.
  EXPECT_EQ(Trace, R"(chosen: 10000 in 10000-18000 step 200 every 150 tone 440 Hz 120 ms wave 0
tick: 10200 in 10000-18000 step 200 every 150 tone 10200 Hz 120 ms wave 0
S0
S0
P0 13 46156 12740150429464150914
tick: 10400 in 10000-18000 step 200 every 150 tone 10400 Hz 120 ms wave 0
S0
S0
P0 13 46156 9627853780834858458
next: 10400 in 10000-18000 step 200 every 150 tone 10400 Hz 120 ms wave 0
tick: 10700 in 10000-18000 step 200 every 150 tone 10700 Hz 120 ms wave 0
S0
S0
P0 13 46156 16193947258750466322
tick: 11000 in 10000-18000 step 200 every 150 tone 11000 Hz 120 ms wave 0
S0
S0
P0 13 46156 5068403389506074166
tick: 11300 in 10000-18000 step 200 every 150 tone 11000 Hz 120 ms wave 0
S0
P1 4 13274 13024080116689186330
tick: 11600 in 10000-18000 step 200 every 150 tone 11000 Hz 120 ms wave 0
P1 4 13274 17557895108874931162
stop: 11600 in 10000-18000 step 200 every 150 tone 11000 Hz 120 ms wave 0
S1
)");
}

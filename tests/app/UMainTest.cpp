#include "app/UMain.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <filesystem>

#include "app/BalloonTip.h"
#include "app/MyTools2.h"
#include "app/Program.h"
#include "app/Sweep.h"
#include "app/Util.h"
#include "platform/audio/RecordingSoundService.h"
#include "platform/qt/Application.h"
#include "platform/qt/ComCtrls.h"
#include "platform/qt/DbCtrls.h"
#include "platform/qt/StdCtrls.h"
#include "platform/qt/Timer.h"
#include "shell/Menus.h"
#include "shell/TrayIcon.h"
#include "sound/ToneGen.h"
#include "table/DbaseTable.h"
#include "tests/app/ScratchDataFolder.h"

namespace fs = std::filesystem;

namespace {

// Both windows started in a scratch directory holding a copy of the shipped pest table, with
// the sound card replaced by the recording service.
class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = MakeScratchDataFolder("tessolon-main-");
    Previous = fs::current_path();
    fs::current_path(Dir);
    CreateWindows(App);
    frmMain->Show();
    App.ProcessMessages();
  }
  void TearDown() override {
    TTrayIcon::SetTrayProbe({});
    fs::current_path(Previous);
    fs::remove_all(Dir);
  }

  template <class T>
  T& Main(const char* Name) {
    auto* Result = dynamic_cast<T*>(frmMain->FindComponent(Name));
    if (!Result) throw std::runtime_error(std::string("no ") + Name);
    return *Result;
  }
  TDbaseTable& Table() { return *frmUtil->DbaseTable1; }
  double Field(const char* Name) { return Table().FieldByName(Name)->AsFloat(); }
  // Chooses the pest in list entry Index, as a click in the open list does.
  void Choose(int Index) { Main<TDBLookupComboBox>("cbLook1").Choose(Index); }
  bool Running() const { return frmUtil->Timer1->Enabled(); }

  TRecordingSoundService Sound;
  TScopedSoundService Scoped{Sound};
  fs::path Dir, Previous;
  TApplication App;
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
  EXPECT_EQ(frmUtil->PageControl1->ActivePageIndex(), 0);
  EXPECT_EQ(frmMain->ClientWidth(), 337);
  EXPECT_EQ(frmMain->ClientHeight(), 362);
}

TEST_F(MainWindow, ChoosingAPestAppliesItsProfile) {
  Choose(2);
  const int Min = static_cast<int>(BeatToFreq(static_cast<float>(Field("F_START"))));
  const int Max = static_cast<int>(BeatToFreq(static_cast<float>(Field("F_END"))));
  EXPECT_EQ(frmUtil->tbLine->Min(), Min);
  EXPECT_EQ(frmUtil->tbLine->Max(), Max);
  EXPECT_EQ(frmUtil->tbLine->Position(), Min);
  EXPECT_EQ(frmUtil->tbLine->Frequency(), static_cast<int>(Field("VAL_CH")));
  EXPECT_EQ(frmUtil->Timer1->Interval(), static_cast<int>(Field("TIME_CH")));
  EXPECT_EQ(frmUtil->ToneGen1->Waveform(), WaveIndex(static_cast<int>(Field("WAV_FRM"))));
  EXPECT_EQ(frmUtil->ToneGen1->Duration(), static_cast<int>(Field("DURLATE")));
  EXPECT_EQ(frmUtil->ToneGen1->Stereo(), frmUtil->chster->Checked());
  EXPECT_EQ(frmUtil->ToneGen1->LeftVolume(), frmUtil->tbL->Position());
  // Selection neither starts nor plays anything.
  EXPECT_FALSE(Running());
  EXPECT_EQ(Sound.Count(scPlay), 0);
}

TEST_F(MainWindow, GoAndStopSwitchTheStatusTimerAndSelector) {
  auto& Status = Main<TControl>("lblPoint");
  auto& Selector = Main<TDBLookupComboBox>("cbLook1");
  Choose(0);
  Main<TControl>("btnGo").Click();
  EXPECT_EQ(Status.Caption(), "RUN ...");
  EXPECT_EQ(Status.Font().Color, clBlue);
  EXPECT_TRUE(Main<TAnimate>("Animate1").Active());
  EXPECT_TRUE(Running());
  EXPECT_FALSE(Selector.Enabled());
  // Go plays nothing itself; the first tick plays Min + step on the sound card.
  EXPECT_EQ(Sound.Count(scPlay), 0);
  const int Min = frmUtil->tbLine->Min();
  frmUtil->Timer1Timer(frmUtil->Timer1);
  EXPECT_EQ(Sound.Count(scPlay), 1);
  EXPECT_EQ(frmUtil->ToneGen1->Frequency(), Min + static_cast<int>(Field("VAL_CH")));
  frmUtil->Timer1Timer(frmUtil->Timer1);
  EXPECT_EQ(Sound.Count(scPlay), 2);

  Sound.Clear();
  Main<TControl>("btnStop").Click();
  EXPECT_EQ(Status.Caption(), "STOP ...");
  EXPECT_EQ(Status.Font().Color, clRed);
  EXPECT_FALSE(Main<TAnimate>("Animate1").Active());
  EXPECT_FALSE(Running());
  EXPECT_TRUE(Selector.Enabled());
  EXPECT_EQ(Sound.Count(scStop), 1);
  // A new run continues where the last one stopped.
  const int Reached = frmUtil->tbLine->Position();
  Main<TControl>("btnGo").Click();
  frmUtil->Timer1Timer(frmUtil->Timer1);
  EXPECT_EQ(frmUtil->tbLine->Position(), Reached + static_cast<int>(Field("VAL_CH")));
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
  frmUtil->PageControl1->SetActivePageIndex(1);
  Main<TControl>("btnMin").Click();
  App.ProcessMessages();
  EXPECT_FALSE(frmMain->Visible());
  EXPECT_EQ(frmMain->WindowState(), wsMinimized);
  const TDbaseTable* Before = &Table();
  Main<TMenuItem>("ShowApplication1").Click();
  App.ProcessMessages();
  EXPECT_TRUE(frmMain->Visible());
  EXPECT_EQ(frmMain->WindowState(), wsNormal);
  EXPECT_EQ(frmUtil->PageControl1->ActivePageIndex(), 0);
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

TEST_F(MainWindow, ShowingReopensTheTableOnlyAfterTheFlagIsCleared) {
  Table().Close();
  frmMain->FormShow(frmMain);
  EXPECT_FALSE(Table().Active());  // flag still set: left alone
  frmMain->SetTableOpened(false);
  frmMain->FormShow(frmMain);
  EXPECT_TRUE(Table().Active());
  EXPECT_TRUE(frmMain->TableOpened());
  EXPECT_NE(Table().FindIndex("idx.ndx"), nullptr);
}

TEST_F(MainWindow, AMissingDataFolderLeavesTheFlagClearAndIsTriedAgain) {
  Table().Close();
  frmMain->SetTableOpened(false);
  fs::rename(Dir / "data", Dir / "elsewhere");
  frmUtil->PageControl1->SetActivePageIndex(1);
  EXPECT_ANY_THROW(frmMain->FormShow(frmMain));
  EXPECT_FALSE(frmMain->TableOpened());
  EXPECT_EQ(frmUtil->PageControl1->ActivePageIndex(), 1);
  fs::rename(Dir / "elsewhere", Dir / "data");
  frmMain->FormShow(frmMain);
  EXPECT_TRUE(frmMain->TableOpened());
  EXPECT_EQ(frmUtil->PageControl1->ActivePageIndex(), 0);
}

// About, the dialog's Close, then Set-up: the set-up page, because showing the main window in
// between reopened the table and reselected page 0.
TEST_F(MainWindow, AboutThenCloseThenSetUpShowsTheSetUpPage) {
  int PageSeen = -1;
  bool MainVisible = true;
  QTimer::singleShot(0, [&] {
    PageSeen = frmUtil->PageControl1->ActivePageIndex();
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
    PageSeen = frmUtil->PageControl1->ActivePageIndex();
    frmUtil->SetModalResult(mrOk);
  });
  Main<TControl>("btnConfig").Click();
  EXPECT_EQ(PageSeen, 0);
}

TEST_F(MainWindow, TheDialogDoesNotStopARunningSweep) {
  Main<TControl>("btnGo").Click();
  QTimer::singleShot(0, [&] { frmUtil->SetModalResult(mrOk); });
  Main<TControl>("btnConfig").Click();
  EXPECT_TRUE(Running());
  EXPECT_EQ(Main<TControl>("lblPoint").Caption(), "RUN ...");
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

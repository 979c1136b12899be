// The program's windows for a test: a scratch folder holding a copy of the shipped pest table,
// the sound card replaced by the recording service, the information box by a recorder and the
// user's settings by a file in the scratch folder. Each test starts the windows it needs, the
// whole program or the Adjustment dialog alone, and finds their components by name as the
// windows themselves do.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QSettings>
#include <QTest>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/AppClasses.h"
#include "app/FormComponent.h"
#include "app/Program.h"
#include "app/UMain.h"
#include "app/Util.h"
#include "platform/audio/RecordingSoundService.h"
#include "platform/qt/Application.h"
#include "platform/qt/ComCtrls.h"
#include "platform/qt/Timer.h"
#include "shell/TrayIcon.h"
#include "sound/ToneGen.h"
#include "table/DbaseTable.h"
#include "tests/app/ScratchDataFolder.h"

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = MakeScratchDataFolder("tessolon-windows-");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString((Dir / "settings").string()));
    SavedInformation = TfrmUtil::ShowInformation;
    TfrmUtil::ShowInformation = [this](const std::string& Caption, const std::string& Text) {
      Messages.push_back(Caption + ": " + Text);
    };
  }
  void TearDown() override {
    TfrmUtil::ShowInformation = SavedInformation;
    TTrayIcon::SetTrayProbe({});
    if (!Previous.empty()) std::filesystem::current_path(Previous);
    std::filesystem::remove_all(Dir);
  }

  // Makes the scratch folder the current one, where the program looks for data/ first.
  void EnterScratchFolder() {
    if (Previous.empty()) Previous = std::filesystem::current_path();
    std::filesystem::current_path(Dir);
  }
  // Both windows as the program starts them from the scratch folder, the main one shown.
  void StartProgram(const TStartOptions& Options = {}) {
    EnterScratchFolder();
    CreateWindows(App, Options);
    frmMain->Show();
    App.ProcessMessages();
  }
  // The program's end, as far as the windows go: both destroyed.
  void EndProgram() {
    delete frmMain;
    delete frmUtil;
    App.ProcessMessages();
  }
  // The dialog alone, its table opened on the scratch copy.
  void StartDialog() {
    RegisterAppClasses();
    App.CreateForm(frmUtil);
    OpenTable();
  }
  void OpenTable() {
    Table().SetFilePath((Dir / "data").string());
    Table().Open();
    Table().AttachIndexFile("idx.ndx");
  }

  template <class T>
  T& Main(const char* Name) {
    return FormComponent<T>(*frmMain, Name);
  }
  template <class T>
  T& Util(const char* Name) {
    return FormComponent<T>(*frmUtil, Name);
  }
  TDbaseTable& Table() { return Util<TDbaseTable>("DbaseTable1"); }
  int64_t Field(const char* Name) { return Table().FieldByName(Name)->AsLargeInt(); }
  TToneGen& Tone() { return Util<TToneGen>("ToneGen1"); }
  TTimer& Timer() { return Util<TTimer>("Timer1"); }
  TPageControl& Pages() { return Util<TPageControl>("PageControl1"); }
  // The sweep position and band.
  TTrackBar& Band() { return Util<TTrackBar>("tbLine"); }
  QComboBox& Selector() { return *static_cast<QComboBox*>(Main<TControl>("cbLook1").Widget()); }
  bool Running() { return Timer().Enabled(); }
  // A real click on a check box of the dialog.
  void ClickBox(const char* Name) {
    QWidget* Box = Util<TControl>(Name).Widget();
    QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(6, Box->height() / 2));
  }
  // One tick of the sweep timer.
  void Tick() { frmUtil->Timer1Timer(&Timer()); }

  TRecordingSoundService Sound;
  TScopedSoundService Scoped{Sound};
  std::filesystem::path Dir, Previous;
  TApplication App;
  std::vector<std::string> Messages;

 private:
  std::function<void(const std::string&, const std::string&)> SavedInformation;
};

#include "app/UMain.h"

#include "app/MyTools2.h"
#include "app/Util.h"
#include "platform/qt/Application.h"
#include "platform/qt/ComCtrls.h"
#include "platform/qt/DbCtrls.h"
#include "platform/qt/Timer.h"
#include "shell/Menus.h"
#include "shell/TrayIcon.h"
#include "sweep/DataFolder.h"
#include "table/DbaseTable.h"

TfrmMain* frmMain = nullptr;

namespace {

// The tips of the main window, registered at every activation, in this order.
struct TTip {
  const char* Control;
  const char* Text;
};
constexpr TTip Tips[] = {
    {"btnConfig", "Set parameter"}, {"btnGo", "Run ..."},
    {"btnStop", "Stop ..."},        {"btnAbout", "Author by Veldran Corp :>"},
    {"btnClose", "Exit Program"},   {"cbLook1", "Select pest form list"},
    {"btnMin", "Go to tray"},       {"btnQuit", "Exit Program"},
};

// The dialog and the components of it the main window works with; a missing one is reported
// instead of crashing.
TfrmUtil& Util() {
  if (!frmUtil) throw Exception("The Adjustment dialog does not exist");
  return *frmUtil;
}

template <class T>
T& Util(T* TfrmUtil::*Member, const char* Name) {
  T* Component = Util().*Member;
  if (!Component) throw Exception(std::string("frmUtil has no ") + Name);
  return *Component;
}

TTimer& Timer() {
  return Util(&TfrmUtil::Timer1, "Timer1");
}
TPageControl& Pages() {
  return Util(&TfrmUtil::PageControl1, "PageControl1");
}

}  // namespace

const TClassInfo& TfrmMain::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TfrmMain>("TfrmMain", TForm::StaticClassInfo())
          .Method("FormCreate", &TfrmMain::FormCreate)
          .Method("FormShow", &TfrmMain::FormShow)
          .Method("FormActivate", &TfrmMain::FormActivate)
          .Method("cbLook1CloseUp", &TfrmMain::cbLook1CloseUp)
          .Method("btnGoClick", &TfrmMain::btnGoClick)
          .Method("btnStopClick", &TfrmMain::btnStopClick)
          .Method("btnConfigClick", &TfrmMain::btnConfigClick)
          .Method("btnAboutClick", &TfrmMain::btnAboutClick)
          .Method("btnCloseClick", &TfrmMain::btnCloseClick)
          .Method("btnQuitClick", &TfrmMain::btnQuitClick)
          .Method("btnMinClick", &TfrmMain::btnMinClick)
          .Method("ShowApplication1Click", &TfrmMain::ShowApplication1Click)
          .Method("Run1Click", &TfrmMain::Run1Click)
          .Method("StopProcess1Click", &TfrmMain::StopProcess1Click)
          .Method("Exitprogram1Click", &TfrmMain::Exitprogram1Click)
          .Build();
  return Info;
}

TfrmMain::TfrmMain(TComponent* AOwner) : TForm(AOwner) {}

template <class T>
T& TfrmMain::Control(const char* Name) const {
  auto* Result = dynamic_cast<T*>(FindComponent(Name));
  if (!Result) throw Exception(std::string("Component ") + Name + " not found");
  return *Result;
}

void TfrmMain::ShowRunState(bool Running, TColor Colour, const char* Caption) {
  Control<TAnimate>("Animate1").SetActive(Running);
  auto& Status = Control<TControl>("lblPoint");
  TFont Font = Status.Font();
  Font.Color = Colour;
  Status.SetFont(Font);
  Status.SetCaption(Caption);
}

void TfrmMain::START_PROC() {
  ShowRunState(true, clBlue, "RUN ...");
}

void TfrmMain::STOP_PROC() {
  ShowRunState(false, clRed, "STOP ...");
}

void TfrmMain::FormCreate(TComponent*) {
  FTableOpened = false;
  FDataFolder = PestTableFolder();
}

void TfrmMain::FormShow(TComponent*) {
  if (!FTableOpened) {
    TDbaseTable& Table = Util(&TfrmUtil::DbaseTable1, "DbaseTable1");
    // A table left open by a failed attach is not reopened, only the index is tried again.
    if (!Table.Active()) {
      Table.SetFilePath(FDataFolder);
      Table.Open();
    }
    Table.AttachIndexFile("idx.ndx");
    FTableOpened = true;
  }
  Pages().SetActivePageIndex(0);
}

void TfrmMain::FormActivate(TComponent*) {
  CreateTipWindow(Widget());
  for (const TTip& Tip : Tips)
    AddBalloonTip(Control<TControl>(Tip.Control).Widget(), TipInfo, tiInfo, "Info", Tip.Text);
}

void TfrmMain::cbLook1CloseUp(TComponent*) {
  Util().Sweep().Select();
}

void TfrmMain::btnGoClick(TComponent*) {
  START_PROC();
  Timer().SetEnabled(true);
  Control<TControl>("cbLook1").SetEnabled(!Timer().Enabled());
}

void TfrmMain::btnStopClick(TComponent*) {
  STOP_PROC();
  Timer().SetEnabled(false);
  Util().Sweep().Silence();
  Control<TControl>("cbLook1").SetEnabled(!Timer().Enabled());
}

void TfrmMain::btnConfigClick(TComponent*) {
  Hide();
  Util().ShowModal();
}

void TfrmMain::btnAboutClick(TComponent*) {
  Hide();
  Pages().SetActivePageIndex(1);
  Util().ShowModal();
}

void TfrmMain::btnCloseClick(TComponent*) {
  Close();
}

void TfrmMain::btnQuitClick(TComponent*) {
  Close();
}

void TfrmMain::btnMinClick(TComponent*) {
  SetWindowState(wsMinimized);
  // Without a notification area no tray icon could bring the window back: it stays minimised,
  // reachable from the task list.
  if (TTrayIcon::TrayAvailable()) Hide();
}

void TfrmMain::ShowApplication1Click(TComponent*) {
  SetWindowState(wsNormal);
  Show();
}

void TfrmMain::Run1Click(TComponent* Sender) {
  Control<TMenuItem>("Run1").SetChecked(true);
  Control<TMenuItem>("StopProcess1").SetChecked(false);
  btnGoClick(Sender);
}

void TfrmMain::StopProcess1Click(TComponent* Sender) {
  Control<TMenuItem>("Run1").SetChecked(false);
  Control<TMenuItem>("StopProcess1").SetChecked(true);
  btnStopClick(Sender);
}

void TfrmMain::Exitprogram1Click(TComponent*) {
  Close();
}

#include "app/UMain.h"

#include <cctype>
#include <iostream>

#include "app/FormComponent.h"
#include "app/MyTools2.h"
#include "app/UserSettings.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Translation.h"
#include "platform/data/TextCase.h"
#include "platform/qt/Application.h"
#include "platform/qt/ComCtrls.h"
#include "platform/qt/DbCtrls.h"
#include "shell/EffectLabel.h"
#include "shell/Menus.h"
#include "shell/TrayIcon.h"
#include "sweep/DataFolder.h"
#include "sweep/SweepSession.h"

TfrmMain* frmMain = nullptr;

std::function<void(const std::string&)> TfrmMain::StartNotice = [](const std::string& Text) {
  std::cerr << "tessolon: " << Text << '\n';
};

namespace {

// The tips of the main window, registered at every activation, in this order.
struct TTip {
  const char* Control;
  const char* Text;
};
constexpr TTip Tips[] = {
    {"btnConfig", TrMark("Set parameter")}, {"btnGo", TrMark("Run ...")},
    {"btnStop", TrMark("Stop ...")},        {"btnAbout", TrMark("Author by Veldran Corp :>")},
    {"btnClose", TrMark("Exit Program")},   {"cbLook1", TrMark("Select pest form list")},
    {"btnMin", TrMark("Go to tray")},       {"btnQuit", TrMark("Exit Program")},
};

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

TfrmMain::~TfrmMain() {
  if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::Loaded() {
  TForm::Loaded();
  Animate1 = &FormComponent<TAnimate>(*this, "Animate1");
  lblPoint = &FormComponent<TskLabel>(*this, "lblPoint");
  lblPoint->SetStatus(true);
  cbLook1 = &FormComponent<TDBLookupComboBox>(*this, "cbLook1");
  Run1 = &FormComponent<TMenuItem>(*this, "Run1");
  StopProcess1 = &FormComponent<TMenuItem>(*this, "StopProcess1");
  TrayIcon1 = &FormComponent<TTrayIcon>(*this, "TrayIcon1");
  FTrayHint = TrayIcon1->Hint();
}

void TfrmMain::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation == opRemove) FAdjustment.Removed(AComponent);
}

// A missing dialog is reported instead of crashing.
IAdjustmentDialog& TfrmMain::Adjustment() const {
  if (!FAdjustment.Get()) throw Exception(Tr("The Adjustment dialog does not exist"));
  return *FAdjustment.Get();
}

void TfrmMain::ShowRunState(bool Running, TColor Colour, const std::string& Caption,
                            const std::string& Reason) {
  Animate1->SetActive(Running);
  TFont Font = lblPoint->Font();
  Font.Color = Colour;
  lblPoint->SetFont(Font);
  lblPoint->SetHint(Reason);  // read after the caption by screen readers
  lblPoint->SetCaption(Caption);
}

// While the tones' level is known the label names its class instead, as "SILENT" does: "FAINT",
// "QUIET" or "AUDIBLE" (the label has room for seven capitals beside the animation).
void TfrmMain::START_PROC() {
  std::string Class = FAudibleClass;
  for (char& Letter : Class) Letter = char(std::toupper(static_cast<unsigned char>(Letter)));
  ShowRunState(true, clBlue, Class.empty() ? Tr("RUN ...") : Class);
}

void TfrmMain::STOP_PROC() {
  ShowRunState(false, clRed, Tr("STOP ..."));
  FSilence.clear();
  FAudible.clear();
  FAudibleClass.clear();
  ShowTrayTip();
}

void TfrmMain::ShowTrayTip() {
  std::string Tip = FTrayHint;
  if (!FSchedule.empty()) Tip += Tr(", sweeps ") + FSchedule;
  if (!FSilence.empty()) Tip += ": " + FSilence;
  if (!FAudible.empty() && FSilence.empty()) Tip += Tr("; heard: ") + FAudible;
  TrayIcon1->SetHint(Tip);
}

void TfrmMain::FormCreate(TComponent*) {
  FTableOpened = false;
  FDataFolder = PestTableFolder();
  // The tips exist from the start, so the controls they describe can be named for screen readers
  // before the window is first activated.
  AddTips();
}

void TfrmMain::FormShow(TComponent*) {
  if (!FTableOpened) {
    Adjustment().OpenTable(FDataFolder);
    FTableOpened = true;
    if (!FStarted) {
      FStarted = true;
      Adjustment().ShowPage(0);
      StartWithPest();
      return;
    }
  }
  Adjustment().ShowPage(0);
}

void TfrmMain::SetStart(const TStart& Start) {
  FStart = Start;
  TrayIcon1->SetStartMinimized(Start.Minimized);
}

// Go must sweep the band of the pest the selector shows, not the band the dialog was stored
// with: the first pest, or the one asked for or kept.
//
// A pest the program restores by itself (the first one, or the one kept from the last run) whose
// profile cannot be applied (an empty field, an empty table) is said in one line and not swept:
// a box at every start would be all the user ever saw of the program. A pest asked for by name
// shows the error as the user's own choice does.
void TfrmMain::StartWithPest() {
  const int Entry = StartEntry();
  if (Entry >= 0) cbLook1->Choose(Entry);
  try {
    Adjustment().Session().Select(cbLook1->KeyValue());
  } catch (const Exception& E) {
    if (!FStart.PestName.empty()) throw;
    const int Shown = cbLook1->ItemIndex();
    StartNotice((Shown >= 0 ? "the pest \"" + cbLook1->ItemText(Shown) + "\"" : "the pest table") +
                " cannot be swept: " + E.Message());
    return;
  }
  if (Entry < 0 && !FStart.PestName.empty())
    throw Exception(Tr("There is no pest named \"") + FStart.PestName + Tr("\" in the table"));
  if (FStart.Go) btnGoClick(this);
}

int TfrmMain::StartEntry() const {
  for (int I = 0; I < cbLook1->ItemCount(); ++I)
    if (FStart.PestName.empty() ? FStart.PestKey && cbLook1->ItemKey(I) == TVariant(*FStart.PestKey)
                                : SameText(cbLook1->ItemText(I), FStart.PestName))
      return I;
  return -1;
}

void TfrmMain::FormActivate(TComponent*) {
  AddTips();
}

void TfrmMain::AddTips() {
  CreateTipWindow(Widget());
  for (const TTip& Tip : Tips)
    AddBalloonTip(FormComponent<TControl>(*this, Tip.Control).Widget(), TipInfo, tiInfo, Tr("Info"),
                  Tr(Tip.Text));
}

void TfrmMain::cbLook1CloseUp(TComponent*) {
  Adjustment().Session().Select(cbLook1->KeyValue());
  if (cbLook1->ItemIndex() >= 0) StorePest(cbLook1->KeyValue().AsInteger());
}

void TfrmMain::btnGoClick(TComponent*) {
  START_PROC();
  Adjustment().Session().Start();
  cbLook1->SetEnabled(!Adjustment().Session().Running());
}

void TfrmMain::btnStopClick(TComponent*) {
  STOP_PROC();
  Adjustment().Session().Stop();
  cbLook1->SetEnabled(!Adjustment().Session().Running());
}

void TfrmMain::btnConfigClick(TComponent*) {
  Hide();
  Adjustment().Form().ShowModal();
}

void TfrmMain::btnAboutClick(TComponent*) {
  Hide();
  Adjustment().ShowPage(1);
  Adjustment().Form().ShowModal();
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
  Run1->SetChecked(true);
  StopProcess1->SetChecked(false);
  btnGoClick(Sender);
}

void TfrmMain::StopProcess1Click(TComponent* Sender) {
  Run1->SetChecked(false);
  StopProcess1->SetChecked(true);
  btnStopClick(Sender);
}

void TfrmMain::Exitprogram1Click(TComponent*) {
  Close();
}

void TfrmMain::AdjustmentClosed() {
  FTableOpened = false;
  Show();
}

void TfrmMain::ScheduleChanged(const std::string& Window) {
  FSchedule = Window;
  ShowTrayTip();
}

void TfrmMain::AudibleChanged(const std::string& Level, const std::string& Class) {
  FAudible = Level;
  FAudibleClass = Class;
  ShowTrayTip();
  if (Adjustment().Session().Running() && FSilence.empty()) START_PROC();
}

void TfrmMain::OutputSilent(const std::string& Reason) {
  FSilence = Reason;
  ShowTrayTip();
  if (!Adjustment().Session().Running()) return;
  if (Reason.empty())
    START_PROC();
  else
    ShowRunState(true, clRed, Tr("SILENT"), Reason);
}

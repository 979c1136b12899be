#include "app/Util.h"

#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>

#include "app/Autostart.h"
#include "app/FormComponent.h"
#include "app/MyTools2.h"
#include "app/SpectrumView.h"
#include "platform/core/Translation.h"
#include "platform/data/DataSource.h"
#include "platform/data/DatabaseError.h"
#include "platform/qt/Application.h"
#include "platform/qt/ComCtrls.h"
#include "platform/qt/StdCtrls.h"
#include "platform/qt/Timer.h"
#include "sound/ToneGen.h"
#include "sweep/OutputNotes.h"
#include "sweep/PestFields.h"
#include "sweep/SweepOutput.h"
#include "table/DbaseTable.h"

TfrmUtil* frmUtil = nullptr;

std::function<void(const std::string&, const std::string&)> TfrmUtil::ShowInformation =
    [](const std::string& Caption, const std::string& Text) {
      QMessageBox Box(QMessageBox::Information, QString::fromStdString(Caption),
                      QString::fromStdString(Text), QMessageBox::Ok);
      Box.exec();
    };

const TClassInfo& TfrmUtil::StaticClassInfo() {
  static const TClassInfo Info = TClassBuilder<TfrmUtil>("TfrmUtil", TForm::StaticClassInfo())
                                     .Method("FormCreate", &TfrmUtil::FormCreate)
                                     .Method("FormShow", &TfrmUtil::FormShow)
                                     .Method("FormClose", &TfrmUtil::FormClose)
                                     .Method("cbWavFormCloseUp", &TfrmUtil::cbWavFormCloseUp)
                                     .Method("troctChange", &TfrmUtil::troctChange)
                                     .Method("trampChange", &TfrmUtil::trampChange)
                                     .Method("tbLChange", &TfrmUtil::tbLChange)
                                     .Method("tbRChange", &TfrmUtil::tbRChange)
                                     .Method("btnpresetClick", &TfrmUtil::btnpresetClick)
                                     .Method("chsterClick", &TfrmUtil::chsterClick)
                                     .Method("chResoClick", &TfrmUtil::chResoClick)
                                     .Method("chQualClick", &TfrmUtil::chQualClick)
                                     .Method("btnPrevClick", &TfrmUtil::btnPrevClick)
                                     .Method("btnNextClick", &TfrmUtil::btnNextClick)
                                     .Method("btnSaveClick", &TfrmUtil::btnSaveClick)
                                     .Method("btnCloseClick", &TfrmUtil::btnCloseClick)
                                     .Method("skLabel17Click", &TfrmUtil::skLabel17Click)
                                     .Method("Timer1Timer", &TfrmUtil::Timer1Timer)
                                     .Method("chBandClick", &TfrmUtil::chBandClick)
                                     .Method("chUltraClick", &TfrmUtil::chUltraClick)
                                     .Method("chKeepClick", &TfrmUtil::chKeepClick)
                                     .Method("chStartClick", &TfrmUtil::chStartClick)
                                     .Method("chBetweenClick", &TfrmUtil::chBetweenClick)
                                     .Method("edBetweenChange", &TfrmUtil::edBetweenChange)
                                     .Method("PageControl1Change", &TfrmUtil::PageControl1Change)
                                     .Method("tbLineChange", &TfrmUtil::tbLineChange)
                                     .Build();
  return Info;
}

TfrmUtil::TfrmUtil(TComponent* AOwner) : TForm(AOwner) {}

TfrmUtil::~TfrmUtil() {
  if (frmUtil == this) frmUtil = nullptr;
  // The session and output refer to ToneGen1 and the table, which outlive them only here.
  FSession.reset();
  FOutput.reset();
  // Destroying the pages changes the active one; this dialog is gone by then.
  if (PageControl1) PageControl1->OnChange = nullptr;
}

void TfrmUtil::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation == opRemove) FObserver.Removed(AComponent);
}

void TfrmUtil::Loaded() {
  TForm::Loaded();
  DbaseTable1 = &FormComponent<TDbaseTable>(*this, "DbaseTable1");
  FormComponent<TDataSource>(*this, "DataSource1");  // the main window's selector lists through it
  ToneGen1 = &FormComponent<TToneGen>(*this, "ToneGen1");
  Timer1 = &FormComponent<TTimer>(*this, "Timer1");
  PageControl1 = &FormComponent<TPageControl>(*this, "PageControl1");
  tbLine = &FormComponent<TTrackBar>(*this, "tbLine");
  tbL = &FormComponent<TTrackBar>(*this, "tbL");
  tbR = &FormComponent<TTrackBar>(*this, "tbR");
  troct = &FormComponent<TTrackBar>(*this, "troct");
  tramp = &FormComponent<TTrackBar>(*this, "tramp");
  chster = &FormComponent<TCheckBox>(*this, "chster");
  chPlay = &FormComponent<TCheckBox>(*this, "chPlay");
  chSND = &FormComponent<TCheckBox>(*this, "chSND");
  chAuto = &FormComponent<TCheckBox>(*this, "chAuto");
  chReso = &FormComponent<TCheckBox>(*this, "chReso");
  chQual = &FormComponent<TCheckBox>(*this, "chQual");
  cbWavForm = &FormComponent<TComboBox>(*this, "cbWavForm");
  edVL = &FormComponent<TEdit>(*this, "edVL");
  edVR = &FormComponent<TEdit>(*this, "edVR");
  lbloct = &FormComponent<TLabel>(*this, "lbloct");
  lblAmp = &FormComponent<TLabel>(*this, "lblAmp");
  chBand = &FormComponent<TCheckBox>(*this, "chBand");
  chUltra = &FormComponent<TCheckBox>(*this, "chUltra");
  chStart = &FormComponent<TCheckBox>(*this, "chStart");
  chBetween = &FormComponent<TCheckBox>(*this, "chBetween");
  edFrom = &FormComponent<TEdit>(*this, "edFrom");
  edTo = &FormComponent<TEdit>(*this, "edTo");
  lblBetween = &FormComponent<TLabel>(*this, "lblBetween");
  lblDevice = &FormComponent<TLabel>(*this, "lblDevice");
  lblRate = &FormComponent<TLabel>(*this, "lblRate");
  lblNote = &FormComponent<TLabel>(*this, "lblNote");
  pbSpectrum = &FormComponent<TSpectrumView>(*this, "pbSpectrum");
  static_cast<QLabel*>(lblNote->Widget())->setWordWrap(true);
  FormComponent<TControl>(*this, "skLabel17").Widget()->setCursor(Qt::PointingHandCursor);
  FOutput = std::make_unique<TToneGenOutput>(*ToneGen1);
  FSession = std::make_unique<TSweepSession>(*DbaseTable1, *ToneGen1, *FOutput);
  FSession->AddObserver(*this);
  FSession->WatchOutput(true);
  FSession->SetSettings(ControlSettings());
  FSession->SetState({.BandMin = tbLine->Min(),
                      .BandMax = tbLine->Max(),
                      .Position = tbLine->Position(),
                      .Step = tbLine->Frequency(),
                      .Interval = Timer1->Interval()});
}

void TfrmUtil::FormCreate(TComponent*) {
  cbWavForm->SetItemIndex(0);
  lbloct->SetCaption(std::to_string(troct->Position()));
  lblAmp->SetCaption(std::to_string(tramp->Position()));
  ShowVolumes();
  SetByProgram([this] { chStart->SetChecked(AutostartInstalled()); });
  ReadSchedule();
  CreateTipWindow(Widget());
  // The last ones also name their controls for screen readers: nothing else on the page does.
  const std::pair<const char*, const char*> Tips[] = {
      {"btnPrev", TrMark("Move Previous")},
      {"btnNext", TrMark("Move Next")},
      {"btnSave", TrMark("Save record after edit")},
      {"btnClose", TrMark("Close return to main")},
      {"PageControl1", TrMark("Set-up, about and sound output pages")},
      {"edId", TrMark("Key of the pest profile")},
      {"edFST", TrMark("Lower end of the band, in beat units")},
      {"edFEN", TrMark("Upper end of the band, in beat units")},
      {"edVL", TrMark("Left volume")},
      {"edVR", TrMark("Right volume")},
      {"tbL", TrMark("Left volume")},
      {"tbR", TrMark("Right volume")},
      {"tbLine", TrMark("The frequency the sweep plays now, within the pest's band")},
      {"mmoIntro", TrMark("About Tessolon")},
      {"edFrom", TrMark("The hour the sweep starts to play, as HH:MM")},
      {"edTo", TrMark("The hour the sweep falls silent, as HH:MM")}};
  for (const auto& [Name, Text] : Tips)
    AddBalloonTip(FormComponent<TControl>(*this, Name).Widget(), TipInfo, tiInfo, Tr("Info"),
                  Tr(Text));
}

void TfrmUtil::FormShow(TComponent*) {
  ShowWaveform();
}

void TfrmUtil::ShowWaveform() {
  const int Wave = FSession->Record().Integer(PestField::Waveform);
  cbWavForm->SetItemIndex(Wave >= 0 && Wave <= 4 ? Wave : -1);
}

void TfrmUtil::ShowVolumes() {
  edVL->SetText(std::to_string(tbL->Position()));
  edVR->SetText(std::to_string(tbR->Position()));
}

void TfrmUtil::cbWavFormCloseUp(TComponent*) {
  ToneGen1->SetWaveform(WaveIndex(cbWavForm->ItemIndex()));
  KeepChoices();
}

void TfrmUtil::troctChange(TComponent*) {
  lbloct->SetCaption(std::to_string(troct->Position()));
  KeepChoices();
}

void TfrmUtil::trampChange(TComponent*) {
  lblAmp->SetCaption(std::to_string(tramp->Position()));
  KeepChoices();
}

void TfrmUtil::tbLChange(TComponent*) {
  ToneGen1->SetLeftVolume(tbL->Position());
  ToneGen1->SetRightVolume(tbR->Position());
  ShowVolumes();
  KeepChoices();
}

void TfrmUtil::tbRChange(TComponent*) {
  ToneGen1->SetRightVolume(tbR->Position());
  ToneGen1->SetLeftVolume(tbL->Position());
  ShowVolumes();
  KeepChoices();
}

void TfrmUtil::btnpresetClick(TComponent*) {
  ToneGen1->PresetVolume();
}

void TfrmUtil::chsterClick(TComponent*) {
  ToneGen1->SetStereo(chster->Checked());
  KeepChoices();
}

void TfrmUtil::chResoClick(TComponent*) {
  ToneGen1->SetResolution(chReso->Checked() ? tg16Bit : tg8Bit);
  KeepChoices();
}

void TfrmUtil::chQualClick(TComponent*) {
  ToneGen1->SetQuality(chQual->Checked() ? tgHiQ : tgLoQ);
  KeepChoices();
}

void TfrmUtil::chKeepClick(TComponent*) {
  KeepChoices();
}

void TfrmUtil::btnPrevClick(TComponent*) {
  DbaseTable1->Prior();
  ShowWaveform();
}

void TfrmUtil::btnNextClick(TComponent*) {
  DbaseTable1->Next();
  ShowWaveform();
}

void TfrmUtil::btnSaveClick(TComponent*) {
  DbaseTable1->Edit();
  DbaseTable1->FieldByName("wav_frm")->SetAsInteger(cbWavForm->ItemIndex());
  DbaseTable1->Post();
  ShowInformation(Tr("Information"), Tr("Save Parameter success."));
}

void TfrmUtil::btnCloseClick(TComponent*) {
  Close();
}

// Every way out of the dialog but the program's end comes here, Close and the window's own
// close button alike: the table is closed and handed back to the main window, which opens it
// again when shown. A table that is not open is refused with the dataset's own error. One that
// fails to close (its header on a full disk) keeps the dialog open with the table and its index
// as they were: closing the table closes idx.ndx with it, so the index is not detached first.
void TfrmUtil::FormClose(TComponent*, TCloseAction& Action) {
  Action = caNone;
  if (!DbaseTable1->Active()) DatabaseError(Tr(DataMessages::DataSetClosed), DbaseTable1);
  DbaseTable1->Close();
  Action = caHide;
  if (IAdjustmentObserver* Window = FObserver.Get()) Window->AdjustmentClosed();
}

void TfrmUtil::OpenTable(const std::string& Folder) {
  // An index that no longer matches the table is rebuilt at open, or left out while others
  // have the table; the user hears of it once, after the window is up.
  DbaseTable1->OnIndexNotice = [this](TDbaseTable*, const std::string& Notice) {
    if (FIndexNotices.insert(Notice).second)
      QTimer::singleShot(0, Widget(), [Notice] { ShowInformation(Tr("Information"), Notice); });
  };
  if (!DbaseTable1->Active()) {
    DbaseTable1->SetFilePath(Folder);
    DbaseTable1->Open();
  }
  DbaseTable1->AttachIndexFile("idx.ndx");
}

void TfrmUtil::ShowPage(int Index) {
  PageControl1->SetActivePageIndex(Index);
}

// The first selection of a run plays the waveform kept from the last one, not the pest's own.
void TfrmUtil::Selected() {
  if (FStartWaveform) {
    ToneGen1->SetWaveform(WaveIndex(*FStartWaveform));
    FStartWaveform.reset();
  }
  // The waveform kept is the one now played.
  KeepChoices();
}

void TfrmUtil::RunningChanged(bool Running) {
  Timer1->SetEnabled(Running);
}

void TfrmUtil::SilenceChanged(const std::string& Reason) {
  if (IAdjustmentObserver* Window = FObserver.Get()) Window->OutputSilent(Reason);
}

void TfrmUtil::LevelChanged(const std::string& Level, const std::string& Class) {
  if (IAdjustmentObserver* Window = FObserver.Get()) Window->AudibleChanged(Level, Class);
}

void TfrmUtil::skLabel17Click(TComponent* Sender) {
  OpenLink(Widget(), static_cast<TControl*>(Sender)->Caption());
}

void TfrmUtil::Timer1Timer(TComponent*) {
  // Outside the hours to sweep nothing plays, and the page has nothing new to show.
  if (!FSession->Tick()) return;
  // The page is kept up to date only while it can be seen: analysing costs a transform.
  if (pbSpectrum->Widget()->isVisible()) ShowSoundOutput();
}

// The user's move of the bar; the next tick steps on from there.
void TfrmUtil::tbLineChange(TComponent*) {
  if (!FShowing) FSession->SetPosition(tbLine->Position());
}

TSweepSettings TfrmUtil::ControlSettings() const {
  return {.AutoChange = chAuto->Checked(),
          .SoundCard = chSND->Checked(),
          .PlayADSR = chPlay->Checked(),
          .Stereo = chster->Checked(),
          .LeftVolume = tbL->Position(),
          .RightVolume = tbR->Position(),
          .Amplitude = tramp->Position(),
          .BandLimited = chBand->Checked(),
          .UltrasoundOnly = chUltra->Checked()};
}

TDialogChoices TfrmUtil::Choices() const {
  return {.LeftVolume = tbL->Position(),
          .RightVolume = tbR->Position(),
          .Amplitude = tramp->Position(),
          .Octave = troct->Position(),
          .Waveform = static_cast<int>(ToneGen1->Waveform()),
          .Stereo = chster->Checked(),
          .Resolution16 = chReso->Checked(),
          .QualityHigh = chQual->Checked(),
          .SoundCard = chSND->Checked(),
          .Envelope = chPlay->Checked(),
          .AutoChange = chAuto->Checked(),
          .BandLimited = chBand->Checked(),
          .UltrasoundOnly = chUltra->Checked(),
          .Schedule = FTimes ? FTimes->Text() : "",
          .ScheduleOn = chBetween->Checked()};
}

// The controls first, then the tone generator from them: a box already in the state given is not
// clicked, so its own handler does not pass it on.
void TfrmUtil::ApplyChoices(const TDialogChoices& Choices) {
  SetByProgram([&] {
    tbL->SetPosition(Choices.LeftVolume);
    tbR->SetPosition(Choices.RightVolume);
    tramp->SetPosition(Choices.Amplitude);
    troct->SetPosition(Choices.Octave);
    chster->SetChecked(Choices.Stereo);
    chReso->SetChecked(Choices.Resolution16);
    chQual->SetChecked(Choices.QualityHigh);
    chSND->SetChecked(Choices.SoundCard);
    chPlay->SetChecked(Choices.Envelope);
    chAuto->SetChecked(Choices.AutoChange);
    chBand->SetChecked(Choices.BandLimited);
    chUltra->SetChecked(Choices.UltrasoundOnly);
    if (const size_t Dash = Choices.Schedule.find('-'); Dash != std::string::npos) {
      edFrom->SetText(Choices.Schedule.substr(0, Dash));
      edTo->SetText(Choices.Schedule.substr(Dash + 1));
    }
    chBetween->SetChecked(Choices.ScheduleOn);
  });
  ReadSchedule();
  FSession->SetSettings(ControlSettings());
  ToneGen1->SetLeftVolume(tbL->Position());
  ToneGen1->SetRightVolume(tbR->Position());
  ToneGen1->SetStereo(chster->Checked());
  ToneGen1->SetResolution(chReso->Checked() ? tg16Bit : tg8Bit);
  ToneGen1->SetQuality(chQual->Checked() ? tgHiQ : tgLoQ);
  if (Choices.Waveform) {
    ToneGen1->SetWaveform(WaveIndex(*Choices.Waveform));
    cbWavForm->SetItemIndex(*Choices.Waveform);
  }
  FStartWaveform = Choices.Waveform;
}

void TfrmUtil::SetByProgram(const std::function<void()>& Set) {
  FApplying = true;
  try {
    Set();
  } catch (...) {
    FApplying = false;
    throw;
  }
  FApplying = false;
}

// Every control the settings come from calls this when the user (or the program) changes it.
void TfrmUtil::KeepChoices() {
  if (FSession) FSession->SetSettings(ControlSettings());
  if (!FApplying) StoreDialogChoices(Choices());
}

void TfrmUtil::StateChanged(const TSweepState& State) {
  FShowing = true;
  tbLine->SetRange(State.BandMin, State.BandMax);
  tbLine->SetPosition(State.Position);
  tbLine->SetFrequency(State.Step);
  FShowing = false;
  Timer1->SetInterval(State.Interval);
}

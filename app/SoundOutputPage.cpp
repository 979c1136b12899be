// The Adjustment dialog's "Sound output" page: what it shows of the output and the tone, the
// band-limited box, the box that starts the program with the session, and the hours to sweep.
#include <QCoreApplication>

#include "app/Autostart.h"
#include "app/SpectrumView.h"
#include "app/Util.h"
#include "platform/audio/SoundService.h"
#include "platform/core/Exceptions.h"
#include "platform/qt/ComCtrls.h"
#include "platform/qt/StdCtrls.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"
#include "sweep/OutputNotes.h"

// The box shows whether the entry is there, also when writing or removing it failed.
void TfrmUtil::chStartClick(TComponent*) {
  if (FApplying) return;
  try {
    if (chStart->Checked())
      InstallAutostart(QCoreApplication::applicationFilePath().toStdString());
    else
      RemoveAutostart();
  } catch (...) {
    SetByProgram([this] { chStart->SetChecked(AutostartInstalled()); });
    throw;
  }
}

void TfrmUtil::chBetweenClick(TComponent*) {
  ReadSchedule();
  KeepChoices();
}

void TfrmUtil::edBetweenChange(TComponent*) {
  ReadSchedule();
  KeepChoices();
}

// Times that do not make a window leave the last ones in force (the tray's tip names them); the
// page says the new ones were not taken.
void TfrmUtil::ReadSchedule() {
  try {
    FTimes = TSchedule::Parse(edFrom->Text() + "-" + edTo->Text());
    lblBetween->SetCaption("");
  } catch (const Exception&) {
    lblBetween->SetCaption("Not taken (HH:MM)");
  }
  FSchedule = chBetween->Checked() ? FTimes : std::nullopt;
  if (IAdjustmentObserver* Window = FObserver.Get())
    Window->ScheduleChanged(FSchedule ? FSchedule->Text() : "");
}

void TfrmUtil::chBandClick(TComponent*) {
  ToneGen1->SetBandLimited(chBand->Checked());
  KeepChoices();
}

void TfrmUtil::PageControl1Change(TComponent*) {
  if (PageControl1->ActivePage() == pbSpectrum->Parent()) ShowSoundOutput();
}

void TfrmUtil::ShowSoundOutput() {
  // The output's answer is kept by the sound service until its server reports a change, so
  // asking at every tick opens nothing.
  const unsigned ImageRate = unsigned(SampleRate(ToneGen1->Quality()));
  const TOutputChain Chain = SoundService().Output(ImageRate);
  lblDevice->SetCaption(OutputText(Chain));
  lblRate->SetCaption(OutputRateText(Chain, ImageRate));
  // The caption sizes a label to its text; the note keeps its room for four wrapped lines.
  const int NoteWidth = lblNote->Width(), NoteHeight = lblNote->Height();
  std::string Note = BandNote({tbLine->Min(), tbLine->Max()}, Chain, ImageRate);
  if (chSND->Checked() && !ToneGen1->Carried()) Note = SilentToneNote(*ToneGen1) + " " + Note;
  lblNote->SetCaption(Note);
  lblNote->SetBounds(lblNote->Left(), lblNote->Top(), NoteWidth, NoteHeight);
  if (chSND->Checked())
    if (auto Picture = TonePicture(*ToneGen1, Chain.CarriedRate(ImageRate)))
      pbSpectrum->SetPicture(std::move(*Picture));
}

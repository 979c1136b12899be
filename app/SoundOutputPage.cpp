// The Adjustment dialog's "Sound output" page: what it shows of the output and the tone, what the
// tones carry into hearing, the band-limited and ultrasound-only boxes, the box that starts the
// program with the session, and the hours to sweep.
#include <QCoreApplication>

#include "app/Autostart.h"
#include "app/SpectrumView.h"
#include "app/Util.h"
#include "platform/audio/SoundService.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Translation.h"
#include "platform/qt/ComCtrls.h"
#include "platform/qt/StdCtrls.h"
#include "platform/qt/Timer.h"
#include "sound/OutputLimit.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"
#include "sweep/OutputNotes.h"
#include "sweep/SweepLevel.h"

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
    lblBetween->SetCaption(Tr("Not taken (HH:MM)"));
  }
  const std::optional<TSchedule> Schedule = chBetween->Checked() ? FTimes : std::nullopt;
  if (FSession) FSession->SetSchedule(Schedule);
  if (IAdjustmentObserver* Window = FObserver.Get())
    Window->ScheduleChanged(Schedule ? Schedule->Text() : "");
}

// The session makes its tones band-limited or ultrasound-only from the next one.
void TfrmUtil::chBandClick(TComponent*) {
  KeepChoices();
}

void TfrmUtil::chUltraClick(TComponent*) {
  KeepChoices();
  if (pbSpectrum->Widget()->isVisible()) ShowSoundOutput();
}

// What the sweep's tones carry into hearing, measured; empty while the record cannot say (an
// empty field, no table).
std::string TfrmUtil::LevelNote(const TOutputChain& Chain) {
  const TSweepLevel* Level = FSession->PassLevel(Chain);
  return Level ? SweepLevelSentence(*Level) : "";
}

void TfrmUtil::PageControl1Change(TComponent*) {
  if (PageControl1->ActivePage() == pbSpectrum->Parent()) ShowSoundOutput();
}

void TfrmUtil::ShowSoundOutput() {
  // The output's answer is kept by the sound service until its server reports a change, so
  // asking at every tick opens nothing.
  const unsigned ImageRate = ToneGen1->ImageRate();
  const TOutputChain Chain = SoundService().Output(ImageRate);
  lblDevice->SetCaption(OutputText(Chain));
  lblRate->SetCaption(OutputRateText(Chain, ImageRate));
  // The caption sizes a label to its text; the note keeps its room for four wrapped lines.
  const int NoteWidth = lblNote->Width(), NoteHeight = lblNote->Height();
  const TBand Band{tbLine->Min(), tbLine->Max()};
  std::string Note = BandNote(Band, Chain, ImageRate);
  // Why this tick is silent, then what the tones carry into hearing, then the band.
  if (chSND->Checked()) {
    if (const std::string Level = LevelNote(Chain); !Level.empty()) Note = Level + " " + Note;
    if (const std::string Silent = SilentToneNote(*ToneGen1); !Silent.empty())
      Note = Silent + " " + Note;
  }
  if (chUltra->Checked()) Note += " " + UltrasoundNote(Band);
  lblNote->SetCaption(Note);
  lblNote->SetBounds(lblNote->Left(), lblNote->Top(), NoteWidth, NoteHeight);
  if (chSND->Checked())
    if (auto Picture = TonePicture(*ToneGen1, Chain.CarriedRate(ImageRate)))
      pbSpectrum->SetPicture(std::move(*Picture));
}

// The Adjustment dialog: editor of the pest profiles, panel of the sound settings and about box
// (Util.cpp), and the "Sound output" page (SoundOutputPage.cpp).
// It also owns what the whole program works with: the pest table, its data source, the tone
// generator, the sweep session and the timer that paces it. Its boxes and band bar show the
// session's settings and state and write the user's changes into it; the main window works the
// session through IAdjustmentDialog (WindowLinks.h).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/UserSettings.h"
#include "app/WindowLinks.h"
#include "platform/audio/OutputChain.h"
#include "platform/qt/Forms.h"
#include "sweep/Schedule.h"
#include "sweep/Sweep.h"
#include "sweep/SweepLevel.h"
#include "sweep/SweepSession.h"

class TBevel;
class TCheckBox;
class TComboBox;
class TDbaseTable;
class TEdit;
class TField;
class TLabel;
class TPageControl;
class TSpectrumView;
class TTimer;
class TToneGen;
class TToneGenOutput;
class TTrackBar;

class TfrmUtil : public TForm, public IAdjustmentDialog, private ISweepObserver {
 public:
  explicit TfrmUtil(TComponent* AOwner);
  ~TfrmUtil() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // The window told when this dialog closes.
  void SetObserver(IAdjustmentObserver* Window) { FObserver.Set(*this, Window); }

  // Handlers (bound by name in the definition).
  void FormCreate(TComponent* Sender);
  void FormShow(TComponent* Sender);
  void FormClose(TComponent* Sender, TCloseAction& Action);
  void cbWavFormCloseUp(TComponent* Sender);
  void troctChange(TComponent* Sender);
  void trampChange(TComponent* Sender);
  void tbLChange(TComponent* Sender);
  void tbRChange(TComponent* Sender);
  void btnpresetClick(TComponent* Sender);
  void chsterClick(TComponent* Sender);
  void chResoClick(TComponent* Sender);
  void chQualClick(TComponent* Sender);
  void btnPrevClick(TComponent* Sender);
  void btnNextClick(TComponent* Sender);
  void btnSaveClick(TComponent* Sender);
  void btnCloseClick(TComponent* Sender);
  void skLabel17Click(TComponent* Sender);
  void chBandClick(TComponent* Sender);
  void chUltraClick(TComponent* Sender);
  void chKeepClick(TComponent* Sender);
  void chStartClick(TComponent* Sender);
  void chBetweenClick(TComponent* Sender);
  void edBetweenChange(TComponent* Sender);
  void PageControl1Change(TComponent* Sender);
  void tbLineChange(TComponent* Sender);
  void Timer1Timer(TComponent* Sender);

  // The choices the user makes here, as the controls and the tone generator hold them.
  TDialogChoices Choices() const;
  // Sets the controls and through them the tone generator; the waveform reaches it with the first
  // selection of a pest, which would otherwise replace it by the pest's own.
  void ApplyChoices(const TDialogChoices& Choices);

  // What tells the sweep the time of day for its hours; tests give their own.
  void SetClock(const TClock& Clock) { FSession->SetClock(Clock); }

  TForm& Form() override { return *this; }
  void OpenTable(const std::string& Folder) override;
  void ShowPage(int Index) override;
  TSweepSession& Session() override { return *FSession; }

  // Shows an information message box (caption, text); tests replace it.
  static std::function<void(const std::string&, const std::string&)> ShowInformation;

 protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  // Selects the list item whose index is WAV_FRM of the current record.
  void ShowWaveform();
  void ShowVolumes();
  // What the boxes and sliders say; the session plays with it from the next tick.
  TSweepSettings ControlSettings() const;
  // The session as the band bar and the timer show it.
  void StateChanged(const TSweepState& State) override;
  void Selected() override;
  void RunningChanged(bool Running) override;
  void SilenceChanged(const std::string& Reason) override;
  void LevelChanged(const std::string& Level, const std::string& Class) override;
  // Fills the "Sound output" page from the device and the tone being played.
  void ShowSoundOutput();
  std::string LevelNote(const TOutputChain& Chain);
  // Hands the controls' settings to the session, and keeps the choices for the next run unless
  // the program is setting the controls.
  void KeepChoices();
  // Runs Set as the program's doing, not the user's: the handlers it sets off keep nothing.
  void SetByProgram(const std::function<void()>& Set);
  // Reads the hours to sweep from the page into the session and tells the main window.
  void ReadSchedule();

  // Components of the definition, found by name once it is read.
  TDbaseTable* DbaseTable1 = nullptr;
  // What the table said of its index files, each shown once a run.
  std::set<std::string> FIndexNotices;
  TToneGen* ToneGen1 = nullptr;
  TTimer* Timer1 = nullptr;
  TPageControl* PageControl1 = nullptr;
  TTrackBar *tbLine = nullptr, *tbL = nullptr, *tbR = nullptr, *troct = nullptr, *tramp = nullptr;
  TCheckBox *chster = nullptr, *chPlay = nullptr, *chSND = nullptr, *chAuto = nullptr,
            *chReso = nullptr, *chQual = nullptr;
  TComboBox* cbWavForm = nullptr;
  TEdit *edVL = nullptr, *edVR = nullptr;
  TLabel *lbloct = nullptr, *lblAmp = nullptr;
  // The "Sound output" page.
  TCheckBox *chBand = nullptr, *chUltra = nullptr, *chStart = nullptr, *chBetween = nullptr;
  TEdit *edFrom = nullptr, *edTo = nullptr;
  TLabel* lblBetween = nullptr;
  TLabel *lblDevice = nullptr, *lblRate = nullptr, *lblNote = nullptr;
  TSpectrumView* pbSpectrum = nullptr;

  TWindowLink<IAdjustmentObserver> FObserver;
  std::optional<TSchedule> FTimes;  // the page's last valid hours
  std::unique_ptr<TToneGenOutput> FOutput;
  std::unique_ptr<TSweepSession> FSession;
  bool FApplying = false;  // the program, not the user, is setting the controls
  bool FShowing = false;   // the bar is showing the session, not moved by the user
  std::optional<int> FStartWaveform;
};

// The dialog while it exists.
extern TfrmUtil* frmUtil;

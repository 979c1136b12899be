// The main window: the pest selector, the run/stop status, the command buttons and the tray
// menu. The working objects (table, timer, tone generator, sweep) belong to the Adjustment
// dialog, which the main window works through (WindowLinks.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/WindowLinks.h"
#include "platform/qt/Forms.h"

class TAnimate;
class TDBLookupComboBox;
class TMenuItem;
class TskLabel;
class TTrayIcon;

class TfrmMain : public TForm, public IAdjustmentObserver {
 public:
  explicit TfrmMain(TComponent* AOwner);
  ~TfrmMain() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // The folder of the pest table, chosen at creation: the current directory's data/ when it
  // holds the table, else the user's own copy (see DataFolder.h).
  const std::string& DataFolder() const { return FDataFolder; }
  // Whether the table has been opened by FormShow; the dialog's closing clears it so that the
  // next showing opens the table again.
  bool TableOpened() const { return FTableOpened; }
  void SetTableOpened(bool Value) { FTableOpened = Value; }
  // The dialog the selection, Go, Stop, Set-up and About work through.
  void SetAdjustment(IAdjustmentDialog* Dialog) { FAdjustment.Set(*this, Dialog); }

  // What the window does when it is first shown.
  struct TStart {
    std::string PestName;            // the pest to select (--go PEST), found whatever its case
    std::optional<int64_t> PestKey;  // else the pest kept from the last run, by its key
    bool Go = false;                 // start the sweep at once
    bool Minimized = false;          // go to the tray, or minimised where there is none
  };
  void SetStart(const TStart& Start);

  // The run/stop display: animation and status label.
  void START_PROC();
  void STOP_PROC();

  void FormCreate(TComponent* Sender);
  void FormShow(TComponent* Sender);
  void FormActivate(TComponent* Sender);
  void cbLook1CloseUp(TComponent* Sender);
  void btnGoClick(TComponent* Sender);
  void btnStopClick(TComponent* Sender);
  void btnConfigClick(TComponent* Sender);
  void btnAboutClick(TComponent* Sender);
  void btnCloseClick(TComponent* Sender);
  void btnQuitClick(TComponent* Sender);
  void btnMinClick(TComponent* Sender);
  void ShowApplication1Click(TComponent* Sender);
  void Run1Click(TComponent* Sender);
  void StopProcess1Click(TComponent* Sender);
  void Exitprogram1Click(TComponent* Sender);

  TForm& Form() override { return *this; }
  // Shows this window, which opens the table again.
  void AdjustmentClosed() override;
  // The status label says "SILENT" and the tray tip the reason while ticks stay silent.
  void OutputSilent(const std::string& Reason) override;
  // The tray tip names the hours the sweep keeps to.
  void ScheduleChanged(const std::string& Window) override;
  void AudibleChanged(const std::string& Level, const std::string& Class) override;

  // Says a line about the start on the error stream; tests replace it.
  static std::function<void(const std::string&)> StartNotice;

 protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  IAdjustmentDialog& Adjustment() const;
  // Makes the window's balloon tips anew.
  void AddTips();
  void ShowRunState(bool Running, TColor Colour, const std::string& Caption,
                    const std::string& Reason = {});
  // The tray tip: the definition's, the hours to sweep, and why ticks are silent.
  void ShowTrayTip();
  // Selects the start pest in the selector and applies it, then starts the sweep if asked.
  void StartWithPest();
  // The selector's entry for the start pest; -1 for the entry the selector shows already.
  int StartEntry() const;

  // Components of the definition, found by name once it is read.
  TAnimate* Animate1 = nullptr;
  TskLabel* lblPoint = nullptr;
  TDBLookupComboBox* cbLook1 = nullptr;
  TMenuItem *Run1 = nullptr, *StopProcess1 = nullptr;
  TTrayIcon* TrayIcon1 = nullptr;
  std::string FTrayHint;  // the tip the definition gives the tray icon
  std::string FSchedule, FSilence, FAudible, FAudibleClass;

  TWindowLink<IAdjustmentDialog> FAdjustment;
  std::string FDataFolder;
  bool FTableOpened = false;
  bool FStarted = false;  // the shown pest has been applied once
  TStart FStart;
};

// The main window while it exists.
extern TfrmMain* frmMain;

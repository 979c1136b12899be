// The main window: the pest selector, the run/stop status, the command buttons and the tray
// menu. The working objects (table, timer, tone generator, sweep) belong to frmUtil.
#pragma once

#include <string>

#include "platform/qt/Forms.h"

class TAnimate;
class TDBLookupComboBox;

class TfrmMain : public TForm {
 public:
  explicit TfrmMain(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // The folder of the pest table, chosen at creation: the current directory's data/ when it
  // holds the table, else the user's own copy (see DataFolder.h).
  const std::string& DataFolder() const { return FDataFolder; }
  // Whether the table has been opened by FormShow; the dialog's Close clears it so that the
  // next showing opens the table again.
  bool TableOpened() const { return FTableOpened; }
  void SetTableOpened(bool Value) { FTableOpened = Value; }

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

 private:
  template <class T>
  T& Control(const char* Name) const;
  void ShowRunState(bool Running, TColor Colour, const char* Caption);

  std::string FDataFolder;
  bool FTableOpened = false;
};

extern TfrmMain* frmMain;

// What the two windows ask of each other. The main window opens the pest table and works the
// sweep session through the Adjustment dialog, which owns both; the dialog tells the main window
// when it has closed and handed the table back, and what the session says of its output. Each
// window knows the other only through these, and CreateWindows links the two.
#pragma once

#include <string>

#include "platform/qt/Forms.h"

class TSweepSession;

// The Adjustment dialog as the main window uses it.
class IAdjustmentDialog {
 public:
  virtual ~IAdjustmentDialog() = default;
  // The dialog's own window, shown modally by Set-up and About.
  virtual TForm& Form() = 0;
  // Opens the pest table in Folder and attaches its index. A table left open by a failed attach
  // is not reopened; only the index is tried again.
  virtual void OpenTable(const std::string& Folder) = 0;
  virtual void ShowPage(int Index) = 0;
  // The sweep: the selector's close-up selects the record it made current, Go starts the ticks
  // of the dialog's timer and Stop ends them.
  virtual TSweepSession& Session() = 0;
};

// The window that is told when the Adjustment dialog closes.
class IAdjustmentObserver {
 public:
  virtual ~IAdjustmentObserver() = default;
  virtual TForm& Form() = 0;
  // The dialog has closed, and closed the table with it.
  virtual void AdjustmentClosed() = 0;
  // The sweep's ticks stay silent for the reason given in a few words ("silent: output at
  // 48000 Hz"), or reach the output again (empty). Told only when it changes.
  virtual void OutputSilent(const std::string& Reason) = 0;
  // The hours the sweep plays, as "22:00-06:00", or none (empty): at all hours.
  virtual void ScheduleChanged(const std::string& Window) = 0;
  // What the sweep's tones carry into hearing, in a few words ("-16 dBFS audible"), and its
  // class ("faint", "quiet" or "audible"), or nothing known (both empty). Told only when it
  // changes.
  virtual void AudibleChanged(const std::string& Level, const std::string& Class) = 0;
};

// A window's link to the other one, dropped when that window is destroyed. The holding form
// passes its removal notifications to Removed.
template <class Interface>
class TWindowLink {
 public:
  Interface* Get() const { return FWindow; }
  void Set(TComponent& Holder, Interface* Window) {
    FWindow = Window;
    FForm = Window ? &Window->Form() : nullptr;
    // Never withdrawn: the other window may hold a link back through the same notification.
    Holder.FreeNotification(FForm);
  }
  void Removed(const TComponent* Component) {
    if (Component != FForm) return;
    FWindow = nullptr;
    FForm = nullptr;
  }

 private:
  Interface* FWindow = nullptr;
  TComponent* FForm = nullptr;
};

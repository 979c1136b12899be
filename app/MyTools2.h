// Balloon tips on controls (title, icon, one line of text while the mouse rests on the control)
// and the opener of web addresses.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>

class TBalloonTipWindow;

// The description of one tool, reused for every registration.
struct TToolInfo {
  QPointer<QWidget> Window;
  QRect Rect;
  QString Text;
};

// Icon numbers of a title.
enum TTipIcon { tiNone = 0, tiInfo = 1, tiWarning = 2, tiError = 3 };

// The one slot both windows register their tips through: the current tooltip window, replaced at
// each creation, and the description of one tool that every registration fills in again.
struct TTipSlot {
  QPointer<TBalloonTipWindow> Window;
  TToolInfo Info;
};
TTipSlot& TipSlot();
// The slot's parts under the names the windows' set-up code uses.
inline const QPointer<TBalloonTipWindow>& TipWindow = TipSlot().Window;
inline TToolInfo& TipInfo = TipSlot().Info;

// Creates the tooltip window of Owner and makes it the current one. An earlier tooltip window of
// the same owner is destroyed with its tips, so activating a form again and again keeps one tip
// per control.
void CreateTipWindow(QWidget* Owner);

// Registers Control with the current tooltip window; nothing happens without one or without a
// control. The title (at most 255 characters) and icon belong to the window as a whole.
void AddBalloonTip(QWidget* Control, TToolInfo& Info, int Icon, const std::string& Title,
                   const std::string& Text);

// Opens "http://" + Text (the default address when Text is empty) with the desktop's URL opener.
void OpenLink(QWidget* Owner, const std::string& Text);

// The address OpenLink would open for Text.
QString LinkAddress(const std::string& Text);

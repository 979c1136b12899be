#include "app/MyTools2.h"

#include <QDesktopServices>
#include <QUrl>

#include "shell/BalloonTip.h"

namespace {

constexpr int MaxText = 255;
const char* const DefaultAddress = "http://www.wikipedia.org/";

}  // namespace

TTipSlot& TipSlot() {
  static TTipSlot Slot;
  return Slot;
}

void CreateTipWindow(QWidget* Owner) {
  if (Owner)
    for (auto* Earlier : Owner->findChildren<TBalloonTipWindow*>(Qt::FindDirectChildrenOnly))
      delete Earlier;
  TipSlot() = {new TBalloonTipWindow(Owner), TToolInfo()};
}

void AddBalloonTip(QWidget* Control, TToolInfo& Info, int Icon, const std::string& Title,
                   const std::string& Text) {
  if (!Control) return;
  Info.Window = Control;
  Info.Rect = Control->rect();
  Info.Text = QString::fromStdString(Text);
  TBalloonTipWindow* Window = TipSlot().Window;
  if (!Window) return;
  Window->AddTool(Info.Window, Info.Rect, Info.Text);
  if (Icon < tiNone || Icon > tiError) Icon = tiNone;
  Window->SetTitle(Icon, QString::fromStdString(Title).left(MaxText));
}

QString LinkAddress(const std::string& Text) {
  if (Text.empty()) return QString::fromLatin1(DefaultAddress);
  return ("http://" + QString::fromStdString(Text)).left(MaxText);
}

void OpenLink(QWidget*, const std::string& Text) {
  // The desktop's opener starts the browser directly; no shell sees the address.
  QDesktopServices::openUrl(QUrl(LinkAddress(Text)));
}

#include "platform/qt/DropDown.h"

#include <QAbstractItemView>
#include <QTimer>

TDropDownWidget::TDropDownWidget() {
  connect(this, &QComboBox::activated, this, [this](int Index) {
    if (OnChoose) OnChoose(Index);
    if (FClosing) ListClosed();
  });
}

void TDropDownWidget::showPopup() {
  // The list is a window of its own and takes neither the box's colours nor its font by itself;
  // the entries' painter reads only colours set on the view itself.
  for (QWidget* List : {view()->window(), static_cast<QWidget*>(view())}) {
    List->setPalette(palette());
    List->setFont(font());
  }
  QComboBox::showPopup();
}

void TDropDownWidget::hidePopup() {
  const bool WasOpen = view()->isVisible();
  QComboBox::hidePopup();
  if (!WasOpen || FClosing) return;
  FClosing = true;
  // A choice is reported right after this returns and closes up itself (see the constructor).
  QTimer::singleShot(0, this, [this] {
    if (FClosing) ListClosed();
  });
}

void TDropDownWidget::ListClosed() {
  FClosing = false;
  if (OnCloseUp) OnCloseUp();
}

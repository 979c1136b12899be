#include "app/ScreenReaderNames.h"

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include "platform/qt/AccessibleControl.h"
#include "platform/qt/Controls.h"
#include "shell/BalloonTip.h"
#include "shell/EffectLabel.h"

namespace {

QString Spoken(const QString& Shown) {
  return SpokenText(Shown);
}

QString Spoken(const std::string& Shown) {
  return SpokenText(QString::fromStdString(Shown));
}

// The caption of the effect label among Control's siblings that names it.
QString NamingLabel(const TWinControl& Parent, const TControl& Control) {
  for (int I = 0; I < Parent.ControlCount(); ++I)
    if (const auto* Label = dynamic_cast<const TskLabel*>(Parent.Controls(I)))
      if (Label->FocusControl() == &Control) return Spoken(Label->Caption());
  return {};
}

void Name(QWidget* Widget, const QString& Name, const QString& Description) {
  Widget->setAccessibleName(Name);
  Widget->setAccessibleDescription(Description);
  // A drop-down list one can type into takes the focus in its line.
  if (auto* Combo = qobject_cast<QComboBox*>(Widget); Combo && Combo->lineEdit()) {
    Combo->lineEdit()->setAccessibleName(Name);
    Combo->lineEdit()->setAccessibleDescription(Description);
  }
}

void NameChildren(const TWinControl& Parent, const TBalloonTipWindow* Tips) {
  for (int I = 0; I < Parent.ControlCount(); ++I) {
    const auto* Control = dynamic_cast<const TWinControl*>(Parent.Controls(I));
    if (!Control) continue;
    QWidget* Widget = Control->Widget();
    if (Widget->focusPolicy() != Qt::NoFocus && Widget->accessibleName().isEmpty()) {
      QString Tip = Tips ? Tips->ToolText(Widget) : QString();
      if (Tip.isEmpty()) Tip = QString::fromStdString(Control->Hint());
      QString Spelled = Spoken(Control->Caption());
      if (Spelled.isEmpty()) Spelled = Spoken(Tip);
      if (Spelled.isEmpty()) Spelled = NamingLabel(Parent, *Control);
      Name(Widget, Spelled, Tip.isEmpty() ? Spelled : Tip);
    }
    NameChildren(*Control, Tips);
  }
}

}  // namespace

void NameControlsForScreenReaders(TWinControl& Form) {
  NameChildren(Form, Form.Widget()->findChild<TBalloonTipWindow*>());
}

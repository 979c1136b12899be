#include "platform/qt/AccessibleControl.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

namespace {

class TAccessibleControl : public QAccessibleWidget {
 public:
  TAccessibleControl(QWidget* Widget, const IAccessibleControl& Control)
      : QAccessibleWidget(Widget, Control.AccessibleRole()), FControl(Control) {}

  // Asked each time: a label may become a status after its widget was first described.
  QAccessible::Role role() const override { return FControl.AccessibleRole(); }

  // A name set on the widget comes first, then the control's own text: Qt's fallback would name
  // a caption inside a group box after the box.
  QString text(QAccessible::Text Kind) const override {
    if (Kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
      const QString Caption = FControl.AccessibleCaption();
      if (!Caption.isEmpty()) return Caption;
    }
    QString Text = QAccessibleWidget::text(Kind);
    if (!Text.isEmpty()) return Text;
    if (Kind == QAccessible::Description) return FControl.AccessibleDescription();
    if (Kind == QAccessible::Accelerator) return FControl.PressKeys();
    return Text;
  }

  QAccessible::State state() const override {
    QAccessible::State State = QAccessibleWidget::state();
    if (FControl.Decorative()) State.invisible = true;
    return State;
  }

  QStringList actionNames() const override {
    QStringList Names = QAccessibleWidget::actionNames();
    if (FControl.Pressable()) Names.prepend(pressAction());
    return Names;
  }

  // The reply goes back before the click runs: a click may open a modal window, whose loop would
  // hold the screen reader's call until it closed.
  void doAction(const QString& Name) override {
    if (Name != pressAction() || !FControl.Pressable()) return QAccessibleWidget::doAction(Name);
    QPointer<QWidget> Target = widget();
    QMetaObject::invokeMethod(
        widget(),
        [Target] {
          if (auto* Control = dynamic_cast<IAccessibleControl*>(Target.data()))
            Control->AccessiblePress();
        },
        Qt::QueuedConnection);
  }

  QStringList keyBindingsForAction(const QString& Name) const override {
    if (Name == pressAction() && !FControl.PressKeys().isEmpty()) return {FControl.PressKeys()};
    return QAccessibleWidget::keyBindingsForAction(Name);
  }

 private:
  const IAccessibleControl& FControl;
};

QAccessibleInterface* DescribeControl(const QString&, QObject* Object) {
  auto* Control = dynamic_cast<IAccessibleControl*>(Object);
  auto* Widget = qobject_cast<QWidget*>(Object);
  return Control && Widget ? new TAccessibleControl(Widget, *Control) : nullptr;
}

}  // namespace

// The first such control installs the description for all of them.
IAccessibleControl::IAccessibleControl() {
  static const bool Installed = [] {
    QAccessible::installFactory(DescribeControl);
    return true;
  }();
  (void)Installed;
}

void AccessibleNameChanged(QWidget* Widget) {
  if (!QAccessible::isActive()) return;
  QAccessibleEvent Event(Widget, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&Event);
}

QString SpokenText(const QString& Shown) {
  QString Text = Shown;
  Text.replace(QLatin1String("&&"), QLatin1String("\x01")).remove('&').replace('\x01', '&');
  Text = Text.trimmed();
  while (Text.endsWith(':') || Text.endsWith('.')) Text = Text.chopped(1).trimmed();
  return Text;
}

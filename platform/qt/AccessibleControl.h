// What screen readers get of a control drawn by hand. Qt describes a plain QWidget as an unnamed
// filler that can only take the focus: a picture button could not be pressed, a painted caption
// could not be read. A widget that also derives from IAccessibleControl is described by it
// instead, over the accessibility bus (AT-SPI on Linux).
#pragma once

#include <QAccessible>
#include <QString>

class QWidget;

class IAccessibleControl {
 public:
  IAccessibleControl();
  IAccessibleControl(const IAccessibleControl&) = delete;
  IAccessibleControl& operator=(const IAccessibleControl&) = delete;

  virtual QAccessible::Role AccessibleRole() const = 0;
  // A picture that says nothing (the skin, an animation beside the status) is reported
  // invisible, so screen readers pass over it.
  virtual bool Decorative() const { return false; }
  // The name when none was set on the widget: the text it shows, as read aloud.
  virtual QString AccessibleCaption() const { return {}; }
  virtual QString AccessibleDescription() const { return {}; }
  // Controls with a press action click as their keys do.
  virtual bool Pressable() const { return false; }
  virtual void AccessiblePress() {}
  // The keys that press it from anywhere in its window ("Alt+G"), if any.
  virtual QString PressKeys() const { return {}; }

 protected:
  ~IAccessibleControl() = default;
};

// Tells screen readers that Widget's name changed (a new caption, a new status); they announce
// it. Costs nothing while no screen reader listens.
void AccessibleNameChanged(QWidget* Widget);

// A caption as read aloud: no accelerator marks, no trailing colon or dots ("Run ...").
QString SpokenText(const QString& Shown);

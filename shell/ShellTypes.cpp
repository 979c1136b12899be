#include "shell/ShellTypes.h"

#include <QMouseEvent>

#include "platform/qt/Application.h"

TMouseButton ButtonFromQt(Qt::MouseButton Button) {
  if (Button == Qt::RightButton) return mbRight;
  if (Button == Qt::MiddleButton) return mbMiddle;
  return mbLeft;
}

TShiftState ShiftFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons) {
  TShiftState S = 0;
  if (Modifiers & Qt::ShiftModifier) S |= 1 << ssShift;
  if (Modifiers & Qt::AltModifier) S |= 1 << ssAlt;
  if (Modifiers & Qt::ControlModifier) S |= 1 << ssCtrl;
  if (Buttons & Qt::LeftButton) S |= 1 << ssLeft;
  if (Buttons & Qt::RightButton) S |= 1 << ssRight;
  if (Buttons & Qt::MiddleButton) S |= 1 << ssMiddle;
  return S;
}

void FireMouseEvent(const TMouseEvent& Event, TComponent* Sender, QMouseEvent* E) {
  if (!Event) return;
  const QPoint At = E->position().toPoint();
  DispatchEvent([&] {
    Event(Sender, ButtonFromQt(E->button()), ShiftFromQt(E->modifiers(), E->buttons()), At.x(),
          At.y());
  });
}

// Mouse events and alignment shared by the skinned components, with their Qt equivalents.
#pragma once

#include <Qt>

#include "platform/core/Component.h"

class QMouseEvent;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = int;  // bit (1 << TShiftFlag) per flag
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

using TMouseEvent =
    TEvent<void(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TComponent* Sender, TShiftState Shift, int X, int Y)>;

TMouseButton ButtonFromQt(Qt::MouseButton Button);
TShiftState ShiftFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);

// Hands a Qt press or release to Event (when assigned) as Sender's, through DispatchEvent.
void FireMouseEvent(const TMouseEvent& Event, TComponent* Sender, QMouseEvent* E);

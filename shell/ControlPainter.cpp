#include "shell/ControlPainter.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

#include "platform/qt/DbCtrls.h"
#include "platform/qt/StdCtrls.h"
#include "shell/FlatPainters.h"
#include "shell/SkinMenu.h"
#include "shell/SkinMenuOptions.h"

namespace {

// The colour a widget's background really shows: its own when it fills it, else that of the
// first ancestor that does.
QColor VisibleBackground(const QWidget* Widget) {
  for (const QWidget* W = Widget; W; W = W->parentWidget())
    if (W->autoFillBackground() || W->isWindow()) return W->palette().color(W->backgroundRole());
  return Widget ? Widget->palette().color(QPalette::Window) : QColor(Qt::white);
}

// The flat check box's square and the drop-down button's width: a pixel wider on each side
// than the platform's check box, which it covers.
int ThumbSize(const QWidget& Widget) {
  return Widget.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &Widget) + 2;
}

}  // namespace

std::optional<TFlatTarget> FlatTargetOf(const TControl& C) {
  using K = TFlatKind;
  if (dynamic_cast<const TDBLookupComboBox*>(&C)) return TFlatTarget{K::LookupCombo, xcButton};
  if (dynamic_cast<const TComboBox*>(&C)) return TFlatTarget{K::Combo, xcCombo};
  if (dynamic_cast<const TDBEdit*>(&C)) return TFlatTarget{K::Edit, xcMaskEdit};
  if (dynamic_cast<const TEdit*>(&C)) return TFlatTarget{K::Edit, xcEdit};
  if (dynamic_cast<const TMemo*>(&C)) return TFlatTarget{K::Memo, xcMemo};
  if (dynamic_cast<const TCheckBox*>(&C)) return TFlatTarget{K::CheckBox, xcCheckBox};
  if (dynamic_cast<const TSpeedButton*>(&C)) return TFlatTarget{K::SpeedButton, xcSpeedButton};
  if (dynamic_cast<const TPanel*>(&C)) return TFlatTarget{K::Panel, xcPanel};
  if (dynamic_cast<const TGroupBox*>(&C)) return TFlatTarget{K::GroupBox, xcGroupBox};
  return std::nullopt;
}

TControlSubClass::TControlSubClass(TControl& Control, TFlatKind Kind, TSkinMenu& Menu)
    : QObject(Control.Widget()),
      FControl(Control),
      FWidget(Control.Widget()),
      FKind(Kind),
      FMenu(Menu) {
  SaveAndFlatten();
  FWidget->installEventFilter(this);
  // A change of check state ends the hot look, as a click does.
  if (auto* Box = qobject_cast<QCheckBox*>(FWidget.data()))
    FCheckWatch = connect(Box, &QCheckBox::stateChanged, this, [this] { SetHot(false); });
  FWidget->update();
}

TControlSubClass* TControlSubClass::Of(const QWidget* Widget) {
  if (Widget)
    for (QObject* Child : Widget->children())  // no meta object of its own: findChild won't do
      if (auto* Wrapper = dynamic_cast<TControlSubClass*>(Child)) return Wrapper;
  return nullptr;
}

void TControlSubClass::Release() {
  if (!parent()) return;  // already released
  if (FWidget) {
    FWidget->removeEventFilter(this);
    Restore();
    FWidget->update();
  }
  disconnect(FCheckWatch);
  setParent(nullptr);
  deleteLater();
}

void TControlSubClass::Invalidate() {
  if (FWidget) FWidget->update();
}

void TControlSubClass::SaveAndFlatten() {
  switch (FKind) {
    case TFlatKind::LookupCombo: {
      auto* Combo = static_cast<QComboBox*>(FWidget.data());
      FSavedFrame = Combo->hasFrame();
      Combo->setFrame(false);
      break;
    }
    case TFlatKind::Edit: {
      auto* Edit = static_cast<QLineEdit*>(FWidget.data());
      FSavedFrame = Edit->hasFrame();
      Edit->setFrame(false);
      break;
    }
    case TFlatKind::Memo: {
      auto* Frame = static_cast<QFrame*>(FWidget.data());
      FSavedFrameStyle = Frame->frameStyle();
      FSavedLineWidth = Frame->lineWidth();
      FSavedFrame = Frame->frameShape() != QFrame::NoFrame;
      if (FSavedFrame) {  // a plain one-pixel line, painted over in the flat colour
        Frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        Frame->setLineWidth(1);
      }
      break;
    }
    default:
      break;
  }
}

void TControlSubClass::Restore() {
  switch (FKind) {
    case TFlatKind::LookupCombo:
      static_cast<QComboBox*>(FWidget.data())->setFrame(FSavedFrame);
      break;
    case TFlatKind::Edit:
      static_cast<QLineEdit*>(FWidget.data())->setFrame(FSavedFrame);
      break;
    case TFlatKind::Memo: {
      auto* Frame = static_cast<QFrame*>(FWidget.data());
      Frame->setFrameStyle(FSavedFrameStyle);
      Frame->setLineWidth(FSavedLineWidth);
      break;
    }
    default:
      break;
  }
}

void TControlSubClass::SetHot(bool Value) {
  FHot = Value;
  Invalidate();
}

bool TControlSubClass::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched != FWidget) return false;
  // Switched off: the control gets its own look back at the first event it receives.
  if (!FMenu.Active()) {
    Release();
    return false;
  }
  const bool Enabled = FWidget->isEnabled();
  switch (Event->type()) {
    case QEvent::Paint:
      return PaintEvent(Event);
    case QEvent::FocusIn:
      SetHot(true);
      break;
    case QEvent::FocusOut:
      SetHot(false);
      break;
    case QEvent::Enter:
      if (Enabled) SetHot(true);
      break;
    case QEvent::Leave:
      if (Enabled) SetHot(false);
      break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton) {
        FPressed = true;
        Invalidate();
      }
      break;
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton) {
        FPressed = false;
        Invalidate();
      }
      break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const auto* Key = static_cast<QKeyEvent*>(Event);
      if (Key->key() == Qt::Key_Space && !Key->isAutoRepeat()) {
        FKeyPressed = Event->type() == QEvent::KeyPress;
        Invalidate();
      }
      break;
    }
    case QEvent::EnabledChange:
      if (!Enabled) FHot = false;
      Invalidate();
      break;
    default:
      break;
  }
  return false;
}

// The control paints itself first (the speed button and the group box, which are painted
// whole, excepted), then the flat look goes over it.
bool TControlSubClass::PaintEvent(QEvent* Event) {
  if (FKind != TFlatKind::SpeedButton && FKind != TFlatKind::GroupBox)
    static_cast<QObject*>(FWidget.data())->event(Event);
  QPainter P(FWidget.data());
  Paint(P);
  return true;
}

void TControlSubClass::Paint(QPainter& P) {
  QWidget& W = *FWidget;
  const TSkinColours Colours = FMenu.Colours();
  TFlatLook L{Colours, VisibleBackground(&W), VisibleBackground(W.parentWidget())};
  L.Hot = FHot;
  L.Focused = W.hasFocus();
  L.Pressed = Pressed();
  L.Enabled = W.isEnabled();
  L.RightToLeft = W.layoutDirection() == Qt::RightToLeft;
  L.Thumb = ThumbSize(W);
  L.Tag = FControl.Tag();
  const TFlatCaption Caption{QString(), W.font(), W.palette().color(W.foregroundRole()), QIcon()};
  switch (FKind) {
    case TFlatKind::LookupCombo:
      PaintLookupCombo(P, W.rect(), L, static_cast<QComboBox&>(W).view()->isVisible());
      break;
    case TFlatKind::Combo:
      PaintCombo(P, W.rect(), L, static_cast<QComboBox&>(W).view()->isVisible());
      break;
    case TFlatKind::Edit:
    case TFlatKind::Memo:
      PaintEdit(P, W.rect(), L, !FSavedFrame);
      break;
    case TFlatKind::CheckBox:
      PaintCheckBox(P, W.rect(), L, static_cast<QCheckBox&>(W).checkState(), L.RightToLeft);
      break;
    case TFlatKind::GroupBox: {
      auto& Group = static_cast<QGroupBox&>(W);
      const TFlatCaption Caption{Group.title(), W.font(), W.palette().color(QPalette::WindowText),
                                 QIcon()};
      PaintGroupBox(P, W.rect(), L, Caption, !Group.isFlat());
      break;
    }
    case TFlatKind::Panel:
      PaintPanel(P, W.rect(), L, static_cast<const TPanel&>(FControl).BevelOuter());
      break;
    case TFlatKind::SpeedButton: {
      auto& Button = static_cast<QToolButton&>(W);
      const TFlatCaption Caption{Button.text(), W.font(), W.palette().color(QPalette::ButtonText),
                                 Button.icon()};
      PaintSpeedButton(P, W.rect(), L, Caption, Button.isDown() || Button.isChecked(),
                       Button.autoRaise());
      break;
    }
  }
}

#include "shell/ImageForm.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <cstdlib>

#include "platform/qt/AccessibleControl.h"
#include "platform/qt/Application.h"
#include "platform/qt/Forms.h"
#include "platform/qt/StdCtrls.h"
#include "shell/Shape.h"

namespace {

// Paints the picture inside the shape and clears everything outside it, the form's own
// background included, so that the translucent window shows the desktop there: a compositor
// that ignores the input mask for drawing (Wayland) still shows the shape. Presses fall through
// to the form, whose filter starts moves.
// The skin is decoration: screen readers pass over it to the controls on it.
class TImageFormWidget : public QWidget, public IAccessibleControl {
 public:
  const TskImageForm* Owner = nullptr;
  QAccessible::Role AccessibleRole() const override { return QAccessible::Graphic; }
  bool Decorative() const override { return true; }
  void paintEvent(QPaintEvent*) override {
    if (!Owner || Owner->Image().isNull()) return;
    QPainter Painter(this);
    Painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (!Owner->Shape().isEmpty()) {
      Painter.fillRect(rect(), Qt::transparent);
      Painter.setClipRegion(Owner->Shape());
    }
    Painter.drawImage(0, 0, Owner->Image());
  }
};

// Where windows may not place themselves (Wayland), the compositor moves them on request.
bool PlatformPlacesWindows() {
  return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// The window has a focused control, or one that its activation (which the press brings about)
// will focus.
bool HoldsFocus(const QWidget* Window) {
  if (Window->focusWidget()) return true;
  for (const QWidget* W : Window->findChildren<QWidget*>())
    if ((W->focusPolicy() & Qt::TabFocus) && W->isEnabled() && W->isVisibleTo(Window)) return true;
  return false;
}

std::function<bool(QWindow*)>& SystemMoveHandler() {
  static std::function<bool(QWindow*)> Move;
  return Move;
}

}  // namespace

// Presses on the form itself (the picture, and labels without handlers, which pass their
// presses on) start a move; presses on other controls never reach it.
class TskImageForm::TMoveFilter : public QObject {
 public:
  explicit TMoveFilter(TskImageForm& AOwner) : Owner(AOwner) {}
  TskImageForm& Owner;
  bool InResize = false;

  bool eventFilter(QObject* Watched, QEvent* Event) override {
    TForm* Form = Owner.Form();
    if (!Form) return false;
    if (Owner.FCaptionBarControl && Watched == Owner.FCaptionBarControl->Widget() &&
        Event->type() == QEvent::MouseButtonPress) {
      auto* M = static_cast<QMouseEvent*>(Event);
      const QPoint Local =
          Owner.FCaptionBarControl->Widget()->mapTo(Form->Widget(), M->position().toPoint());
      return Owner.BodyPress(M->globalPosition().toPoint(), Local, M->button(), Watched);
    }
    if (Watched != Form->Widget()) return false;
    switch (Event->type()) {
      case QEvent::MouseButtonPress: {
        auto* M = static_cast<QMouseEvent*>(Event);
        return Owner.BodyPress(M->globalPosition().toPoint(), M->position().toPoint(), M->button(),
                               Watched);
      }
      case QEvent::MouseMove: {
        auto* M = static_cast<QMouseEvent*>(Event);
        if (Owner.OnMouseMove) {
          const QPoint At = M->position().toPoint();
          DispatchEvent([&] {
            Owner.OnMouseMove(&Owner, ShiftFromQt(M->modifiers(), M->buttons()), At.x(), At.y());
          });
        }
        return Owner.BodyMove(M->globalPosition().toPoint());
      }
      case QEvent::MouseButtonRelease: {
        auto* M = static_cast<QMouseEvent*>(Event);
        return Owner.BodyRelease(M->globalPosition().toPoint(), M->position().toPoint(),
                                 M->button());
      }
      case QEvent::MouseButtonDblClick:
        if (Owner.OnDblClick) DispatchEvent([this] { Owner.OnDblClick(&Owner); });
        return true;
      case QEvent::Resize:
        if (!InResize) {
          InResize = true;
          Owner.FillParent();
          InResize = false;
        }
        return false;
      default:
        return false;
    }
  }
};

TskImageForm::TskImageForm(TComponent* AOwner)
    : TControl(AOwner, new TImageFormWidget), FMoveFilter(std::make_unique<TMoveFilter>(*this)) {
  auto* W = static_cast<TImageFormWidget*>(Widget());
  W->Owner = this;
  W->setAttribute(Qt::WA_TransparentForMouseEvents);
  SetBounds(0, 0, 105, 105);
}

TskImageForm::~TskImageForm() {
  if (TForm* F = Form(); F && F->Widget()) F->Widget()->removeEventFilter(FMoveFilter.get());
}

TForm* TskImageForm::Form() const {
  return dynamic_cast<TForm*>(Parent());
}

// A parent that is not a form gives way to the form holding it; the form loses its border.
void TskImageForm::SetParent(TWinControl* AParent) {
  TWinControl* Target = AParent;
  while (Target && !dynamic_cast<TForm*>(Target)) Target = Target->Parent();
  if (TForm* Old = Form(); Old && Old->Widget())
    Old->Widget()->removeEventFilter(FMoveFilter.get());
  TControl::SetParent(Target ? Target : AParent);
  if (TForm* F = Form()) {
    // Translucent before the form's window exists: pixels outside the shape stay see-through.
    if (!Designing()) F->Widget()->setAttribute(Qt::WA_TranslucentBackground);
    F->SetBorderStyle(bsNone);
    F->Widget()->installEventFilter(FMoveFilter.get());
    Widget()->lower();
    FillParent();
    ApplyShape();
  }
}

void TskImageForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  TForm* F = Form();
  if (!FAutoSize || !F || FMoveFilter->InResize) return;
  FMoveFilter->InResize = true;
  F->SetClientWidth(Width());
  F->SetClientHeight(Height());
  FMoveFilter->InResize = false;
}

void TskImageForm::FillParent() {
  if (FAlign == alClient && Parent()) SetBounds(0, 0, Parent()->Width(), Parent()->Height());
}

void TskImageForm::SetAlign(TAlign Value) {
  FAlign = Value;
  FillParent();
}

void TskImageForm::SetAutoSize(bool Value) {
  FAutoSize = Value;
  PictureChanged();
}

void TskImageForm::SetPicture(const std::string& FileName) {
  FPicture = FileName;
  FImage = LoadPicture(FileName);
  if (TForm* F = Form(); F && !FImage.isNull()) {
    F->SetClientWidth(FImage.width());
    F->SetClientHeight(FImage.height());
  }
  PictureChanged();
  if (!FStoredShape && !Loading()) RebuildRegion();
}

void TskImageForm::PictureChanged() {
  if (FAutoSize && !FImage.isNull()) SetBounds(Left(), Top(), FImage.width(), FImage.height());
  Widget()->update();
}

void TskImageForm::SetTransparentColor(TColor Value) {
  FTransparentColor = Value;
  if (!FStoredShape && !Loading()) RebuildRegion();
}

TColor TskImageForm::EffectiveTransparentColor() const {
  if (FTransparentColor != clNone || FImage.isNull()) return FTransparentColor;
  return PixelColor(FImage, 0, FImage.height() - 1);
}

void TskImageForm::RebuildRegion() {
  FStoredShape = false;
  FShape = ShapeFromImage(FImage, EffectiveTransparentColor());
  ApplyShape();
}

void TskImageForm::ApplyShape() {
  TForm* F = Form();
  if (!F || Designing()) return;
  if (FShape.isEmpty())
    F->Widget()->clearMask();
  else
    F->Widget()->setMask(FShape.translated(Left(), Top()));
  Widget()->update();
}

TBytes TskImageForm::RegionData() const {
  return EncodeRegion(ShapeFromImage(FImage, EffectiveTransparentColor()));
}

void TskImageForm::SetRegionData(const TBytes& Value) {
  QRegion Stored;
  try {
    Stored = DecodeRegion(Value);
  } catch (const EInvalidRegionData&) {  // a block the platform could not use is skipped
  }
  if (Stored.isEmpty()) {
    FStoredShape = false;
    if (!Loading()) RebuildRegion();
    return;
  }
  FShape = Stored;
  FStoredShape = true;
  ApplyShape();
}

void TskImageForm::Loaded() {
  TControl::Loaded();
  FillParent();
  PictureChanged();
  if (FStoredShape)
    ApplyShape();
  else
    RebuildRegion();
}

void TskImageForm::Notification(TComponent* AComponent, TOperation Operation) {
  TControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FCaptionBarControl) FCaptionBarControl = nullptr;
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TskImageForm::SetCaptionBarControl(TControl* Value) {
  // A windowed caption bar gets its own presses: they are watched there.
  auto Windowed = [](TControl* C) { return dynamic_cast<TWinControl*>(C) ? C->Widget() : nullptr; };
  if (QWidget* Old = Windowed(FCaptionBarControl)) Old->removeEventFilter(FMoveFilter.get());
  SetReference(FCaptionBarControl, Value);
  if (QWidget* New = Windowed(FCaptionBarControl)) New->installEventFilter(FMoveFilter.get());
}

void TskImageForm::SetSystemMove(std::function<bool(QWindow*)> Move) {
  SystemMoveHandler() = std::move(Move);
}

bool TskImageForm::SystemMove() {
  QWindow* Window = Form()->Widget()->windowHandle();
  if (!Window) return false;
  return SystemMoveHandler() ? SystemMoveHandler()(Window) : Window->startSystemMove();
}

bool TskImageForm::MayMove(QPoint Local, QObject* Hit) const {
  TForm* F = Form();
  if (!HoldsFocus(F->Widget())) return false;
  if (!FCaptionBarControl) return Hit == F->Widget() && !Clickable();
  QWidget* Bar = FCaptionBarControl->Widget();
  if (Hit == Bar) return true;
  const QRect Inside(Bar->mapTo(F->Widget(), QPoint(0, 0)), Bar->size());
  return Inside.contains(Local) && !Clickable();
}

bool TskImageForm::BodyPress(QPoint Global, QPoint Local, Qt::MouseButton Button, QObject* Hit) {
  const TMouseButton B = ButtonFromQt(Button);
  if (OnMouseDown)
    DispatchEvent([&] { OnMouseDown(this, B, ShiftFromQt({}, Button), Local.x(), Local.y()); });
  if (Button == Qt::RightButton && FPopupMenu && FPopupMenu->AutoPopup()) {
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(Global.x(), Global.y());
    return true;
  }
  if (Button != Qt::LeftButton) return false;
  FPressed = true;
  FMoving = false;
  FCanMove = MayMove(Local, Hit);
  FPressGlobal = Global;
  FWindowAtPress = Form()->Widget()->pos();
  if (FCanMove && (FOptions & (1 << ifUseWindowsDrag)) && SystemMove()) FPressed = false;
  return true;
}

// The press becomes a move once the cursor leaves the tolerance square around it; the window
// then follows the cursor, or the compositor takes the move over where the program may not
// place its windows (it then owns the pointer until the button is released).
bool TskImageForm::BodyMove(QPoint Global) {
  if (!FPressed) return false;
  if (!FCanMove) return true;
  const QPoint Delta = Global - FPressGlobal;
  if (!FMoving && std::abs(Delta.x()) <= FDragTolerance && std::abs(Delta.y()) <= FDragTolerance)
    return true;
  if (!FMoving && !PlatformPlacesWindows() && SystemMove()) {
    FPressed = false;
    return true;
  }
  FMoving = true;
  Form()->Widget()->move(FWindowAtPress + Delta);
  return true;
}

bool TskImageForm::BodyRelease(QPoint Global, QPoint Local, Qt::MouseButton Button) {
  const bool WasPressed = FPressed && Button == Qt::LeftButton;
  if (WasPressed) {
    BodyMove(Global);
    FPressed = false;
  }
  if (OnMouseUp)
    DispatchEvent(
        [&] { OnMouseUp(this, ButtonFromQt(Button), ShiftFromQt({}, {}), Local.x(), Local.y()); });
  if (WasPressed && !FMoving) Click();
  FMoving = false;
  return WasPressed;
}

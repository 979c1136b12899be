#include "platform/qt/Forms.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "platform/core/DefinitionReader.h"
#include "platform/qt/AccessibleControl.h"
#include "platform/qt/Application.h"

// The form's window: turns Qt's window events into the form's events.
// A window to screen readers, named by its caption (a plain widget would be a filler).
class TFormWidget : public QWidget, public IAccessibleControl {
 public:
  explicit TFormWidget(TForm* AForm) : FForm(AForm) {}
  TForm* FForm;
  QAccessible::Role AccessibleRole() const override {
    return isWindow() ? QAccessible::Window : QAccessible::Client;
  }

 protected:
  void showEvent(QShowEvent* Event) override {
    QWidget::showEvent(Event);
    if (FForm && !Event->spontaneous()) FForm->WidgetShown();
  }
  void hideEvent(QHideEvent* Event) override {
    QWidget::hideEvent(Event);
    if (FForm && !Event->spontaneous()) FForm->WidgetHidden();
  }
  void closeEvent(QCloseEvent* Event) override {
    // The form decides (OnClose); it hides or ends the program itself.
    Event->ignore();
    if (FForm) DispatchEvent([this] { FForm->Close(); });
  }
  void changeEvent(QEvent* Event) override {
    QWidget::changeEvent(Event);
    if (!FForm) return;
    if (Event->type() == QEvent::ActivationChange) FForm->WidgetActivated(isActiveWindow());
    if (Event->type() == QEvent::WindowStateChange)
      FForm->FWindowState = (windowState() & Qt::WindowMinimized)   ? wsMinimized
                            : (windowState() & Qt::WindowMaximized) ? wsMaximized
                                                                    : wsNormal;
  }
  void moveEvent(QMoveEvent* Event) override {
    QWidget::moveEvent(Event);
    if (FForm && isWindow()) FForm->WidgetMoved(pos().x(), pos().y());
  }
  void resizeEvent(QResizeEvent* Event) override {
    QWidget::resizeEvent(Event);
    if (FForm) FForm->WidgetResized(width(), height());
  }
};

const TClassInfo& TForm::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TForm>("TForm", TWinControl::StaticClassInfo())
          .Bool("Visible", &TForm::Visible, &TForm::SetVisible, false)
          .Int("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
          .Int("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
          .Enum("BorderStyle",
                {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
                &TForm::BorderStyle, &TForm::SetBorderStyle, bsSizeable)
          .Enum("Position",
                {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                 "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"},
                &TForm::Position, &TForm::SetPosition, poDesigned)
          .Enum("WindowState", {"wsNormal", "wsMinimized", "wsMaximized"}, &TForm::WindowState,
                &TForm::SetWindowState, wsNormal)
          .Event("OnCreate", &TForm::OnCreate)
          .Event("OnShow", &TForm::OnShow)
          .Event("OnHide", &TForm::OnHide)
          .Event("OnActivate", &TForm::OnActivate)
          .Event("OnDeactivate", &TForm::OnDeactivate)
          .Event("OnClose", &TForm::OnClose)
          .Build();
  return Info;
}

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner, new TFormWidget(this)) {
  SetVisible(false);
  ApplyWindowFlags();
}

TForm::~TForm() {
  if (FModalLoop) FModalLoop->quit();
  // Controls go first, while the window they sit on still exists.
  DestroyComponents();
  if (auto* W = static_cast<TFormWidget*>(Widget())) W->FForm = nullptr;
}

std::string TForm::DefinitionPath() const {
  return ":/resources/" + ClassName().substr(1) + ".dfm";
}

void TForm::LoadDefinition() {
  const std::string Path = DefinitionPath();
  QFile File(QString::fromStdString(Path));
  if (!File.open(QIODevice::ReadOnly)) throw EDefinitionError("Cannot open " + Path);
  const QByteArray Text = File.readAll();
  ReadDefinition(*this, std::string_view(Text.constData(), Text.size()), Path);
}

void TForm::DoCreate() {
  if (OnCreate) DispatchEvent([this] { OnCreate(this); });
}

void TForm::SetBorderStyle(TFormBorderStyle Value) {
  FBorderStyle = Value;
  ApplyWindowFlags();
}

void TForm::ApplyWindowFlags() {
  Qt::WindowFlags Flags = Qt::Window;
  switch (FBorderStyle) {
    case bsNone:
      Flags |= Qt::FramelessWindowHint;
      break;
    case bsDialog:
      Flags = Qt::Dialog;
      break;
    case bsToolWindow:
    case bsSizeToolWin:
      Flags = Qt::Tool;
      break;
    default:
      break;
  }
  const bool WasVisible = Widget()->isVisible();
  Widget()->setWindowFlags(Flags);
  ApplySizeLimits();
  if (WasVisible) Widget()->show();
}

void TForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  ApplySizeLimits();
}

void TForm::ApplySizeLimits() {
  if (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin) {
    Widget()->setMinimumSize(0, 0);
    Widget()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    Widget()->setFixedSize(Width(), Height());
  }
}

void TForm::SetWindowState(TWindowState Value) {
  FWindowState = Value;
  const Qt::WindowStates States[] = {Qt::WindowNoState, Qt::WindowMinimized, Qt::WindowMaximized};
  Widget()->setWindowState(States[Value]);
}

void TForm::CaptionChanged() {
  Widget()->setWindowTitle(QString::fromStdString(Caption()));
}

void TForm::UpdateVisibility() {
  if (Loading()) return;
  if (Visible()) {
    PlaceForShowing();
    Widget()->show();
    Widget()->raise();
    Widget()->activateWindow();
  } else {
    Widget()->hide();
    // A hidden modal form would leave its loop waiting for nothing.
    if (FModalLoop && FModalResult == mrNone) SetModalResult(mrCancel);
  }
}

void TForm::Loaded() {
  TWinControl::Loaded();
  CaptionChanged();
}

void TForm::PlaceForShowing() {
  const bool OnMainForm = FPosition == poMainFormCenter || FPosition == poOwnerFormCenter;
  const bool OnScreen = FPosition == poScreenCenter || FPosition == poDesktopCenter;
  const TForm* Main = Application ? Application->MainForm() : nullptr;
  if (OnMainForm && Main && Main != this) {
    // At every showing: the main window may have been moved since the last one.
    CentreOn(Main->Widget()->frameGeometry());
  } else if ((OnMainForm || OnScreen) && !FPlaced) {
    if (const QScreen* Screen = QGuiApplication::primaryScreen())
      CentreOn(Screen->availableGeometry());
  }
  FPlaced = true;
}

void TForm::CentreOn(const QRect& Area) {
  // The frame is centred; creating the platform's window tells its size before the first showing
  // (where the window system knows it that early).
  Widget()->winId();
  const QSize Frame = Widget()->frameGeometry().size();
  QPoint Place(Area.x() + (Area.width() - Frame.width()) / 2,
               Area.y() + (Area.height() - Frame.height()) / 2);
  // Kept on the screen, so that its caption can still be reached.
  if (const QScreen* Screen = QGuiApplication::screenAt(Area.center())) {
    const QRect Room = Screen->availableGeometry();
    Place.setX(std::clamp(Place.x(), Room.left(),
                          std::max(Room.left(), Room.right() + 1 - Frame.width())));
    Place.setY(std::clamp(Place.y(), Room.top(),
                          std::max(Room.top(), Room.bottom() + 1 - Frame.height())));
  }
  SetBounds(Place.x(), Place.y(), Width(), Height());
}

void TForm::Close() {
  if (FModalLoop) {
    SetModalResult(mrCancel);
    return;
  }
  TCloseAction Action = caHide;
  if (OnClose) OnClose(this, Action);
  if (Action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Hide();
    Application->Terminate();
    return;
  }
  switch (Action) {
    case caMinimize:
      SetWindowState(wsMinimized);
      break;
    case caFree:
      Hide();
      // Freed once the handler that closed it has returned; the window is the guard.
      QTimer::singleShot(0, Widget(), [this] { delete this; });
      break;
    default:
      Hide();
  }
}

TModalResult TForm::ShowModal() {
  if (Visible() || FModalLoop) throw EInvalidOperation("Cannot make a visible window modal");
  QEventLoop Loop;
  FModalLoop = &Loop;
  FModalResult = mrNone;
  Widget()->setWindowModality(Qt::ApplicationModal);
  Show();
  while (!(Application && Application->Terminated())) {
    // A loop that cannot run (the program is ending) ends the dialog too.
    if (FModalResult == mrNone && Loop.exec() != 0) break;
    if (FModalResult == mrNone) continue;
    TCloseAction Action = caHide;
    if (OnClose) DispatchEvent([this, &Action] { OnClose(this, Action); });
    if (Action != caNone) break;
    FModalResult = mrNone;
  }
  FModalLoop = nullptr;
  Hide();
  Widget()->setWindowModality(Qt::NonModal);
  return FModalResult;
}

void TForm::SetModalResult(TModalResult Value) {
  FModalResult = Value;
  if (FModalLoop && Value != mrNone) FModalLoop->quit();
}

bool TForm::Active() const {
  return Widget()->isActiveWindow();
}

void TForm::GetChildren(const std::function<void(TComponent*)>& Proc,
                        const TComponent* Root) const {
  TComponent::GetChildren(Proc, Root);
  TWinControl::GetChildren(Proc, Root);
}

void TForm::WidgetShown() {
  if (OnShow) DispatchEvent([this] { OnShow(this); });
}

void TForm::WidgetHidden() {
  if (OnHide) DispatchEvent([this] { OnHide(this); });
}

void TForm::WidgetActivated(bool IsActive) {
  TNotifyEvent& Event = IsActive ? OnActivate : OnDeactivate;
  if (Event) DispatchEvent([this, &Event] { Event(this); });
}

void TForm::WidgetMoved(int X, int Y) {
  SetBoundsFields(X, Y, Width(), Height());
}

void TForm::WidgetResized(int W, int H) {
  SetBoundsFields(Left(), Top(), W, H);
}

#include "shell/EffectLabel.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

#include "platform/qt/AccessibleControl.h"
#include "platform/qt/Application.h"

class TskLabel::TLabelWidget : public QWidget, public IAccessibleControl {
 public:
  explicit TLabelWidget(TskLabel* AOwner) : Owner(AOwner) {}
  TskLabel* Owner;
  bool Pressed = false;

  // A label with a click handler is a link; the status is read with its reason.
  QAccessible::Role AccessibleRole() const override {
    if (Owner->Status()) return QAccessible::StatusBar;
    return Owner->Clickable() ? QAccessible::Link : QAccessible::StaticText;
  }
  QString AccessibleCaption() const override {
    QString Name = SpokenText(QString::fromStdString(Owner->Caption()));
    if (Owner->Status() && !Owner->Hint().empty())
      Name += QStringLiteral(": ") + QString::fromStdString(Owner->Hint());
    return Name;
  }
  bool Pressable() const override { return Owner->Clickable() && Owner->Enabled(); }
  void AccessiblePress() override {
    if (Pressable()) Owner->Click();
  }

  void paintEvent(QPaintEvent*) override {
    QPainter P(this);
    if (!Owner->Transparent()) P.fillRect(rect(), ColorToQColor(Owner->Color()));
    Owner->TextOptions().Draw(P, rect(), Owner->Caption(), font(), Owner->Font().Color,
                              Owner->Enabled());
    if (hasFocus()) {  // the link's focus ring, in the caption's colour
      P.setPen(QPen(ColorToQColor(Owner->Font().Color), 1, Qt::DotLine));
      P.drawRect(rect().adjusted(0, 0, -1, -1));
    }
  }
  void keyPressEvent(QKeyEvent* E) override {
    const bool Presses =
        E->key() == Qt::Key_Space || E->key() == Qt::Key_Return || E->key() == Qt::Key_Enter;
    if (!Presses || E->isAutoRepeat()) return QWidget::keyPressEvent(E);
    AccessiblePress();
  }
  void focusInEvent(QFocusEvent*) override { update(); }
  void focusOutEvent(QFocusEvent*) override { update(); }
  // Without handlers a press belongs to the window underneath (it may start a move).
  void mousePressEvent(QMouseEvent* E) override {
    if (!Owner->Clickable()) return E->ignore();
    Pressed = E->button() == Qt::LeftButton;
    FireMouseEvent(Owner->OnMouseDown, Owner, E);
  }
  void mouseReleaseEvent(QMouseEvent* E) override {
    if (!Owner->Clickable()) return E->ignore();
    FireMouseEvent(Owner->OnMouseUp, Owner, E);
    const bool Click = Pressed && rect().contains(E->position().toPoint());
    Pressed = false;
    if (Click) Owner->Click();
  }
  void mouseMoveEvent(QMouseEvent* E) override {
    if (!Owner->OnMouseMove) return E->ignore();
    const QPoint At = E->position().toPoint();
    DispatchEvent([&] {
      Owner->OnMouseMove(Owner, ShiftFromQt(E->modifiers(), E->buttons()), At.x(), At.y());
    });
  }
  void mouseDoubleClickEvent(QMouseEvent* E) override {
    if (!Owner->OnDblClick) return E->ignore();
    DispatchEvent([this] { Owner->OnDblClick(Owner); });
  }
  void enterEvent(QEnterEvent*) override {
    if (Owner->OnMouseEnter) DispatchEvent([this] { Owner->OnMouseEnter(Owner); });
  }
  void leaveEvent(QEvent*) override {
    if (Owner->OnMouseLeave) DispatchEvent([this] { Owner->OnMouseLeave(Owner); });
  }
};

// Re-aligns the label when its parent changes size.
class TskLabel::TParentWatch : public QObject {
 public:
  explicit TParentWatch(TskLabel& AOwner) : Owner(AOwner) {}
  TskLabel& Owner;
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::Resize) Owner.ApplyAlign();
    return false;
  }
};

TskLabel::TskLabel(TComponent* AOwner)
    : TControl(AOwner, new TLabelWidget(this)),
      FParentWatch(std::make_unique<TParentWatch>(*this)) {
  SetBounds(0, 0, 65, 17);
}

TskLabel::~TskLabel() {
  if (Parent() && Parent()->Widget()) Parent()->Widget()->removeEventFilter(FParentWatch.get());
}

void TskLabel::SetParent(TWinControl* AParent) {
  if (Parent() && Parent()->Widget()) Parent()->Widget()->removeEventFilter(FParentWatch.get());
  TControl::SetParent(AParent);
  if (Parent() && Parent()->Widget()) Parent()->Widget()->installEventFilter(FParentWatch.get());
  ApplyAlign();
}

void TskLabel::SetAlign(TAlign Value) {
  FAlign = Value;
  ApplyAlign();
}

void TskLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  ApplyAlign();
}

// Along an edge the label spans the parent and keeps its own depth; alClient fills it.
void TskLabel::ApplyAlign() {
  if (FAlign == alNone || !Parent() || FAligning || Loading()) return;
  FAligning = true;
  const int PW = Parent()->Widget()->width(), PH = Parent()->Widget()->height();
  switch (FAlign) {
    case alTop:
      TControl::SetBounds(0, 0, PW, Height());
      break;
    case alBottom:
      TControl::SetBounds(0, PH - Height(), PW, Height());
      break;
    case alLeft:
      TControl::SetBounds(0, 0, Width(), PH);
      break;
    case alRight:
      TControl::SetBounds(PW - Width(), 0, Width(), PH);
      break;
    default:
      TControl::SetBounds(0, 0, PW, PH);
      break;
  }
  FAligning = false;
}

void TskLabel::UpdateAccelerator() {
  delete FAccelerator;
  FAccelerator = nullptr;
  const QKeySequence Keys = QKeySequence::mnemonic(QString::fromStdString(Caption()));
  if (Keys.isEmpty()) return;
  auto* Shortcut = new QShortcut(Keys, Widget());
  QObject::connect(Shortcut, &QShortcut::activated, [this] {
    if (FFocusControl && Enabled() && (FTextOptions.Options & (1 << toShowAccel)))
      FFocusControl->Widget()->setFocus(Qt::ShortcutFocusReason);
  });
  FAccelerator = Shortcut;
}

void TskLabel::SetAutoSize(bool Value) {
  FAutoSize = Value;
  AdjustSize();
}

void TskLabel::SetTransparent(bool Value) {
  FTransparent = Value;
  Widget()->update();
}

void TskLabel::EditTextOptions(const std::function<void(TskCaptionText&)>& Edit) {
  Edit(FTextOptions);
  AdjustSize();
  Widget()->update();
}

void TskLabel::CaptionChanged() {
  UpdateAccelerator();
  AdjustSize();
  Widget()->update();
  AccessibleNameChanged(Widget());
}

void TskLabel::SetStatus(bool Value) {
  FStatus = Value;
  AccessibleNameChanged(Widget());
}

void TskLabel::FontChanged() {
  TControl::FontChanged();
  AdjustSize();
}

// A link is reached with Tab and followed with Space or Enter.
void TskLabel::Loaded() {
  TControl::Loaded();
  if (Clickable()) Widget()->setFocusPolicy(Qt::StrongFocus);
  AdjustSize();
  ApplyAlign();
}

void TskLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

// The label takes the measured size of its text (word-wrapped in its width); a right-aligned
// one keeps its right edge.
void TskLabel::AdjustSize() {
  if (!FAutoSize || Loading()) return;
  const QSize S =
      FTextOptions.Measure(Caption(), FontToQFont(Font()), FTextOptions.WordWrap ? Width() : 0);
  int L = Left();
  if (FTextOptions.Alignment == taRightJustify) L += Width() - S.width();
  SetBounds(L, Top(), S.width(), S.height());
}

#include "shell/EffectLabel.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/qt/Application.h"

class TskLabel::TLabelWidget : public QWidget {
 public:
  explicit TLabelWidget(TskLabel* AOwner) : Owner(AOwner) {}
  TskLabel* Owner;
  bool Pressed = false;

  void paintEvent(QPaintEvent*) override {
    QPainter P(this);
    if (!Owner->Transparent()) P.fillRect(rect(), ColorToQColor(Owner->Color()));
    Owner->TextOptions().Draw(P, rect(), Owner->Caption(), font(), Owner->Font().Color,
                              Owner->Enabled());
  }
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

TskLabel::TskLabel(TComponent* AOwner) : TControl(AOwner, new TLabelWidget(this)) {
  SetBounds(0, 0, 65, 17);
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
  AdjustSize();
  Widget()->update();
}

void TskLabel::FontChanged() {
  TControl::FontChanged();
  AdjustSize();
}

void TskLabel::Loaded() {
  TControl::Loaded();
  AdjustSize();
}

void TskLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

// The label takes the measured size of its text; a right-aligned one keeps its right edge.
void TskLabel::AdjustSize() {
  if (!FAutoSize || Loading()) return;
  const QSize S = FTextOptions.Measure(Caption(), FontToQFont(Font()));
  int L = Left();
  if (FTextOptions.Alignment == taRightJustify) L += Width() - S.width();
  SetBounds(L, Top(), S.width(), S.height());
}

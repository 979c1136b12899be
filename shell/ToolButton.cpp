#include "shell/ToolButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/qt/AccessibleControl.h"
#include "platform/qt/Application.h"
#include "platform/qt/Forms.h"

namespace {

constexpr int ButtonSize = 15;

}  // namespace

class TskToolButton::TToolWidget : public QWidget, public IAccessibleControl {
 public:
  explicit TToolWidget(TskToolButton* AOwner) : Owner(AOwner) {}
  TskToolButton* Owner;
  bool Clicking = false;

  QAccessible::Role AccessibleRole() const override { return QAccessible::Button; }
  bool Pressable() const override { return Owner->Enabled(); }
  void AccessiblePress() override {
    if (Owner->Enabled()) Owner->Click();
  }
  // Reached with Tab, pressed with Space or Enter.
  void keyPressEvent(QKeyEvent* E) override {
    const bool Presses =
        E->key() == Qt::Key_Space || E->key() == Qt::Key_Return || E->key() == Qt::Key_Enter;
    if (!Presses || E->isAutoRepeat()) return QWidget::keyPressEvent(E);
    AccessiblePress();
  }

  void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, Owner->Render()); }
  void enterEvent(QEnterEvent*) override { Enter(); }
  void leaveEvent(QEvent*) override {
    Owner->SetState(0, dsHot);
    if (Owner->OnMouseLeave) DispatchEvent([this] { Owner->OnMouseLeave(Owner); });
  }
  void mousePressEvent(QMouseEvent* E) override {
    if (E->button() != Qt::LeftButton) return;
    Clicking = true;
    Owner->SetState(dsPressed | dsHot, 0);
  }
  // While the button is held, hot follows the cursor (the mouse stays grabbed by the button).
  void mouseMoveEvent(QMouseEvent* E) override {
    if (!Clicking) return;
    const bool Over = rect().contains(E->position().toPoint());
    Owner->SetState(Over ? dsHot : 0, Over ? 0 : dsHot);
  }
  void mouseReleaseEvent(QMouseEvent* E) override {
    if (E->button() != Qt::LeftButton || !Clicking) return;
    Clicking = false;
    Owner->SetState(0, dsPressed);
    if (rect().contains(E->position().toPoint())) {
      Owner->Click();
      return;
    }
    // Released over a neighbouring tool button: that one turns hot at once.
    Owner->SetState(0, dsHot);
    if (auto* Other =
            dynamic_cast<TToolWidget*>(QApplication::widgetAt(E->globalPosition().toPoint())))
      Other->Enter();
  }
  void mouseDoubleClickEvent(QMouseEvent* E) override { mousePressEvent(E); }
  void focusInEvent(QFocusEvent*) override { Owner->SetState(dsFocused, 0); }
  void focusOutEvent(QFocusEvent*) override { Owner->SetState(0, dsFocused | dsPressed); }

  void Enter() {
    Owner->SetState(dsHot, 0);
    if (Owner->OnMouseEnter) DispatchEvent([this] { Owner->OnMouseEnter(Owner); });
  }
};

TskToolButton::TskToolButton(TComponent* AOwner) : TWinControl(AOwner, new TToolWidget(this)) {
  SetColor(clBlack);
  SetBounds(0, 0, ButtonSize, ButtonSize);
  Widget()->setFocusPolicy(Qt::StrongFocus);
}

void TskToolButton::SetBounds(int ALeft, int ATop, int, int) {
  TWinControl::SetBounds(ALeft, ATop, ButtonSize, ButtonSize);
}

void TskToolButton::SetToolType(TskToolType Value) {
  FToolType = Value;
  Widget()->update();
}

void TskToolButton::SetTheme(TskTheme Value) {
  FTheme = Value;
  Widget()->update();
}

void TskToolButton::SetUseStyleManager(bool Value) {
  FUseStyleManager = Value;
  Widget()->update();
}

void TskToolButton::SetStyleManager(TskStyleManager* Value) {
  if (FStyleManager) FStyleManager->RemoveControl(this);
  SetReference(FStyleManager, Value);
  if (FStyleManager) FStyleManager->AddControl(this);
  Widget()->update();
}

TskTheme TskToolButton::EffectiveTheme() const {
  return FUseStyleManager && FStyleManager ? FStyleManager->Theme() : FTheme;
}

void TskToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FStyleManager) {
    FStyleManager = nullptr;
    if (Widget()) Widget()->update();
  }
}

void TskToolButton::ColorChanged() {
  Widget()->update();
}

void TskToolButton::SetState(int Add, int Remove) {
  const int State = (FDrawState | Add) & ~Remove;
  if (State == FDrawState) return;
  FDrawState = State;
  Widget()->update();
}

void TskToolButton::Click() {
  if (FModalResult != 0) {
    TControl* C = this;
    while (C && !dynamic_cast<TForm*>(C)) C = C->Parent();
    if (auto* Form = dynamic_cast<TForm*>(C)) Form->SetModalResult(FModalResult);
  }
  TWinControl::Click();
}

QImage TskToolButton::GlyphOf(TskToolType Type) {
  QSize Size(10, 9);
  if (Type == ttArrowLeft || Type == ttArrowRight) Size = QSize(9, 9);
  if (Type == ttPopup) Size = QSize(7, 4);
  QImage G(Size, QImage::Format_RGB32);
  G.fill(QColor(0xC0, 0xC0, 0xC0));
  auto Set = [&G](int X, int Y) {
    if (G.rect().contains(X, Y)) G.setPixel(X, Y, qRgb(0, 0, 0));
  };
  auto Box = [&](int L, int T, int R, int B) {  // window outline with a two-pixel title bar
    for (int X = L; X <= R; ++X) Set(X, T), Set(X, T + 1), Set(X, B);
    for (int Y = T; Y <= B; ++Y) Set(L, Y), Set(R, Y);
  };
  switch (Type) {
    case ttClose:
      for (int Y = 0; Y < 9; ++Y) Set(Y, Y), Set(Y + 1, Y), Set(8 - Y, Y), Set(9 - Y, Y);
      break;
    case ttPopup:
      for (int Y = 0; Y < 4; ++Y)
        for (int X = Y; X < 7 - Y; ++X) Set(X, Y);
      break;
    case ttMinimize:
      for (int X = 1; X < 8; ++X) Set(X, 7), Set(X, 8);
      break;
    case ttMaximize:
      Box(0, 0, 8, 8);
      break;
    case ttRestore:
      Box(3, 0, 9, 5);
      for (int X = 0; X <= 6; ++X)
        for (int Y = 3; Y <= 8; ++Y) G.setPixel(X, Y, qRgb(0xC0, 0xC0, 0xC0));
      Box(0, 3, 6, 8);
      break;
    case ttArrowLeft:
    case ttArrowRight:
      for (int I = 0; I < 5; ++I)
        for (int Y = 4 - I; Y <= 4 + I; ++Y) Set(Type == ttArrowLeft ? 2 + I : 6 - I, Y);
      break;
  }
  return G;
}

QImage TskToolButton::Render() const {
  QImage Image(ButtonSize, ButtonSize, QImage::Format_RGB32);
  Image.fill(ColorToQColor(Parent() ? Parent()->Color() : clBtnFace));
  QPainter P(&Image);
  const bool Hot = FDrawState & dsHot, Pressed = FDrawState & dsPressed;
  const QRect R = Image.rect();
  auto Frame = [&](QColor TopLeft, QColor BottomRight) {
    P.setPen(TopLeft);
    P.drawLine(R.left(), R.bottom(), R.left(), R.top());
    P.drawLine(R.left(), R.top(), R.right(), R.top());
    P.setPen(BottomRight);
    P.drawLine(R.right(), R.top() + 1, R.right(), R.bottom());
    P.drawLine(R.right(), R.bottom(), R.left(), R.bottom());
  };
  const TskTheme Theme = EffectiveTheme();
  if (Theme == WindowsXP) {
    if (Hot && Pressed)
      Frame(Qt::black, Qt::white);
    else if (Hot || Pressed)
      Frame(Qt::white, Qt::black);
  } else if (Hot) {
    P.setPen(QColor(0x00, 0x33, 0x66));
    P.drawRect(R.adjusted(0, 0, -1, -1));
    P.fillRect(R.adjusted(1, 1, -1, -1),
               Pressed ? QColor(0x99, 0x99, 0xCC) : QColor(0xB5, 0xBE, 0xD6));
  }
  // Black glyph pixels take the state's colour; silver ones are left out.
  QColor Ink = Qt::black;
  if (Pressed && Hot)
    Ink = Qt::white;
  else if (!Enabled())
    Ink = QColor(0x80, 0x80, 0x80);
  else if (Color() != clBlack)
    Ink = ColorToQColor(Color());
  // The focus ring: the frame in the glyph's colour while no other frame is drawn.
  if ((FDrawState & dsFocused) && !Hot && !Pressed) {
    P.setPen(Ink);
    P.drawRect(R.adjusted(0, 0, -1, -1));
  }
  const QImage Glyph = GlyphOf(FToolType);
  const int Shift = Pressed && Theme == WindowsXP ? 1 : 0;
  const QPoint At((ButtonSize - Glyph.width()) / 2 + Shift,
                  (ButtonSize - Glyph.height()) / 2 + Shift);
  for (int Y = 0; Y < Glyph.height(); ++Y)
    for (int X = 0; X < Glyph.width(); ++X)
      if ((Glyph.pixel(X, Y) & 0xFFFFFF) == 0) Image.setPixel(At + QPoint(X, Y), Ink.rgb());
  return Image;
}

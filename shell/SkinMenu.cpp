#include "shell/SkinMenu.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "shell/Menus.h"

namespace {

QString Css(QColor C) {
  return C.name(QColor::HexRgb);
}

QColor Q(TColor C) {
  return ColorToQColor(C);
}

}  // namespace

// Paints the menus it is installed on in place of the style.
class TSkinMenu::TPainter : public QObject {
 public:
  explicit TPainter(const TSkinMenu& AOwner) : Owner(AOwner) {}
  const TSkinMenu& Owner;
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    auto* Menu = qobject_cast<QMenu*>(Watched);
    if (!Menu || Event->type() != QEvent::Paint || !Owner.Active()) return false;
    Owner.PaintMenu(*Menu);
    return true;
  }
};

TSkinMenu::TSkinMenu(TComponent* AOwner)
    : TComponent(AOwner), FPainter(std::make_unique<TPainter>(*this)) {}

TSkinMenu::~TSkinMenu() = default;

QColor TSkinMenu::Lighten(QColor Colour, int Percent) {
  const int P = std::min(Percent, 100);
  auto Up = [P](int X) { return X + static_cast<int>(std::lround((255 - X) * P / 100.0)); };
  return QColor(Up(Colour.red()), Up(Colour.green()), Up(Colour.blue()));
}

void TSkinMenu::SetActive(bool Value) {
  FActive = Value;
  Apply();
}

void TSkinMenu::SetFont(const TFont& Value) {
  FFont = Value;
  Apply();
}

TMenuColours TSkinMenu::Colours() const {
  TMenuColours C;
  C.Text = Q(FFont.Color);
  if (UseSystemColors) {
    C.Background = Lighten(Q(clBtnFace), 86);
    C.IconColumn = Lighten(Q(clBtnFace), 16);
    C.SelectFill = Lighten(Q(clHighlight), 68);
    C.SelectBorder = Q(clHighlight);
    C.SelectText = C.Text;
    C.Disabled = Lighten(Q(clBtnShadow), 10);
    C.Separator = Lighten(Q(clBtnShadow), 25);
    C.CheckFrame = Q(clHighlight);
    C.CheckFill = Lighten(Q(clHighlight), 80);
    C.CheckFillSelected = Lighten(Q(clHighlight), 50);
    return C;
  }
  auto Dim = [this](int Percent) {
    return UseDimColor ? Lighten(Q(SelectColor), Percent) : Q(SelectColor);
  };
  C.Background = Q(Color);
  C.IconColumn = Q(IconBackColor);
  C.SelectFill = Dim(68);
  C.SelectBorder = Q(SelectBorderColor);
  C.SelectText = Q(SelectFontColor);
  C.Disabled = Q(DisabledColor);
  C.Separator = Q(SeparatorColor);
  C.CheckFrame = Q(CheckedColor);
  C.CheckFill = Dim(80);
  C.CheckFillSelected = Dim(50);
  return C;
}

QString TSkinMenu::StyleSheet() const {
  const TMenuColours C = Colours();
  const int Pixels = FFont.Height < 0 ? -FFont.Height : std::max(1, FFont.Height * 3 / 4);
  const QString Weight = (FFont.Style & (1 << fsBold)) ? "bold" : "normal";
  // Items are 23 pixels high for an 11-pixel font; the text starts right of the icon column.
  const int Pad = static_cast<int>(std::lround(0.75 * (Pixels + 2))) / 2;
  QString S;
  S += QString("QMenu { background: %1; border: 1px solid %2; font: %3 %4px '%5'; }\n")
           .arg(Css(C.Background), Css(C.Separator), Weight)
           .arg(Pixels)
           .arg(QString::fromStdString(FFont.Name));
  S += QString(
           "QMenu::item { color: %1; background: transparent; border-left: %2px solid %3; "
           "padding: %4px 20px %4px 7px; }\n")
           .arg(Css(C.Text))
           .arg(IconWidth)
           .arg(Css(C.IconColumn))
           .arg(Pad);
  if (DrawSelect)
    S += QString(
             "QMenu::item:selected:enabled { color: %1; background: %2; border: 1px solid %3; "
             "padding: %4px 20px %4px %5px; }\n")
             .arg(Css(C.SelectText), Css(C.SelectFill), Css(C.SelectBorder))
             .arg(Pad - 1)
             .arg(IconWidth + 6);
  S += QString("QMenu::item:disabled { color: %1; }\n").arg(Css(C.Disabled));
  S += QString("QMenu::separator { height: 4px; background: transparent; }\n");
  return S;
}

void TSkinMenu::PaintMenu(QMenu& Menu) const {
  const TMenuColours C = Colours();
  QPainter P(&Menu);
  P.fillRect(Menu.rect(), C.Background);
  P.setPen(C.Separator);
  P.drawRect(Menu.rect().adjusted(0, 0, -1, -1));
  for (QAction* Action : Menu.actions()) {
    const QRect R = Menu.actionGeometry(Action);
    if (!Action->isVisible() || R.isEmpty()) continue;
    // Background: the icon column fading to nearly white, or flat column and item.
    if (Gradient) {
      int Shade = 1;
      for (int K = 0; K < R.width(); ++K) {
        P.setPen(Lighten(C.IconColumn, Shade));
        P.drawLine(R.left() + K, R.top(), R.left() + K, R.bottom());
        if (K + 1 < IconWidth + 5)
          Shade = std::min(96, Shade + 3);
        else
          Shade = std::min(96, Shade + 1);
      }
    } else {
      P.fillRect(R, C.Background);
      P.fillRect(QRect(R.left(), R.top(), IconWidth, R.height()), C.IconColumn);
    }
    const int TextLeft = R.left() + IconWidth;
    if (Action->isSeparator()) {
      P.setPen(C.Separator);
      const int Y = R.top() + static_cast<int>(std::lround(R.height() / 2.0));
      P.drawLine(TextLeft + 7, Y, R.right(), Y);
      continue;
    }
    const bool Selected = Menu.activeAction() == Action && Action->isEnabled();
    if (Selected && DrawSelect) {
      const QRect Bar = R.adjusted(0, 1, 0, -1);
      P.fillRect(Bar, C.SelectFill);
      P.setPen(C.SelectBorder);
      P.drawRect(Bar.adjusted(0, 0, -1, -1));
    }
    if (Action->isChecked()) {  // a 10 x 10 box centred in the icon column
      const QRect Box(R.left() + (IconWidth - 10) / 2, R.top() + (R.height() - 10) / 2, 10, 10);
      P.fillRect(Box, Selected ? C.CheckFillSelected : C.CheckFill);
      P.setPen(C.CheckFrame);
      P.drawRect(Box.adjusted(0, 0, -1, -1));
      P.setPen(QPen(C.Text, 2));
      P.drawLine(Box.left() + 2, Box.top() + 5, Box.left() + 4, Box.top() + 7);
      P.drawLine(Box.left() + 4, Box.top() + 7, Box.left() + 8, Box.top() + 2);
    }
    P.setFont(Action->font().resolve(Menu.font()));
    P.setPen(!Action->isEnabled() ? C.Disabled : Selected ? C.SelectText : C.Text);
    P.drawText(QRect(TextLeft + 3, R.top(), R.right() - TextLeft - 3, R.height()),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, " " + Action->text());
    if (Action->menu()) {  // sub-menu arrow
      const int X = R.right() - 8, Y = R.center().y();
      for (int I = 0; I < 4; ++I) P.drawLine(X + I, Y - 3 + I, X + I, Y + 3 - I);
    }
  }
}

void TSkinMenu::ApplyTo(QMenu& Menu) const {
  Menu.setStyleSheet(FActive ? StyleSheet() : QString());
  Menu.removeEventFilter(FPainter.get());
  if (FActive) Menu.installEventFilter(FPainter.get());
  Menu.update();
}

void TSkinMenu::Apply() {
  if (Loading() || !Owner()) return;
  for (int I = 0; I < Owner()->ComponentCount(); ++I) {
    if (auto* Menu = dynamic_cast<TPopupMenu*>(Owner()->Components(I))) ApplyTo(*Menu->Menu());
    if (auto* Item = dynamic_cast<TMenuItem*>(Owner()->Components(I)); Item && Item->SubMenu())
      ApplyTo(*Item->SubMenu());
  }
}

void TSkinMenu::Loaded() {
  TComponent::Loaded();
  Apply();
}

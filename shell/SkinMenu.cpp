#include "shell/SkinMenu.h"

#include <QMenu>
#include <algorithm>
#include <cmath>

#include "shell/Menus.h"

namespace {

QString Css(QColor C) {
  return C.name(QColor::HexRgb);
}

}  // namespace

TSkinMenu::TSkinMenu(TComponent* AOwner) : TComponent(AOwner) {}

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

QString TSkinMenu::StyleSheet() const {
  const bool System = UseSystemColors;
  auto Q = [](TColor C) { return ColorToQColor(C); };
  const QColor Back = System ? Lighten(Q(clBtnFace), 86) : Q(Color);
  const QColor Icons = System ? Lighten(Q(clBtnFace), 16) : Q(IconBackColor);
  const QColor Fill = System        ? Lighten(Q(clHighlight), 68)
                      : UseDimColor ? Lighten(Q(SelectColor), 68)
                                    : Q(SelectColor);
  const QColor Border = System ? Q(clHighlight) : Q(SelectBorderColor);
  const QColor Text = Q(FFont.Color);
  const QColor Selected = System ? Text : Q(SelectFontColor);
  const QColor Disabled = System ? Lighten(Q(clBtnShadow), 10) : Q(DisabledColor);
  const QColor Separator = System ? Lighten(Q(clBtnShadow), 25) : Q(SeparatorColor);
  const int Pixels = FFont.Height < 0 ? -FFont.Height : std::max(1, FFont.Height * 3 / 4);
  const QString Weight = (FFont.Style & (1 << fsBold)) ? "bold" : "normal";
  // Items are 23 pixels high for an 11-pixel font; the text starts right of the icon column.
  const int Pad = static_cast<int>(std::lround(0.75 * (Pixels + 2))) / 2;
  QString S;
  S += QString("QMenu { background: %1; border: 1px solid %2; font: %3 %4px '%5'; }\n")
           .arg(Css(Back), Css(Separator), Weight)
           .arg(Pixels)
           .arg(QString::fromStdString(FFont.Name));
  S += QString(
           "QMenu::item { color: %1; background: transparent; border-left: %2px solid %3; "
           "padding: %4px 20px %4px 7px; }\n")
           .arg(Css(Text))
           .arg(IconWidth)
           .arg(Css(Icons))
           .arg(Pad);
  if (DrawSelect)
    S += QString(
             "QMenu::item:selected:enabled { color: %1; background: %2; border: 1px solid %3; "
             "padding: %4px 20px %4px %5px; }\n")
             .arg(Css(Selected), Css(Fill), Css(Border))
             .arg(Pad - 1)
             .arg(IconWidth + 6);
  S += QString("QMenu::item:disabled { color: %1; }\n").arg(Css(Disabled));
  S += QString("QMenu::separator { height: 1px; background: %1; margin: 1px 0 2px %2px; }\n")
           .arg(Css(Separator))
           .arg(IconWidth + 7);
  return S;
}

void TSkinMenu::ApplyTo(TPopupMenu& Menu) const {
  const QString Sheet = FActive ? StyleSheet() : QString();
  Menu.Menu()->setStyleSheet(Sheet);
  for (int I = 0; I < Menu.Count(); ++I)
    if (QMenu* Sub = Menu.Items(I)->SubMenu()) Sub->setStyleSheet(Sheet);
}

void TSkinMenu::Apply() {
  if (Loading() || !Owner()) return;
  for (int I = 0; I < Owner()->ComponentCount(); ++I)
    if (auto* Menu = dynamic_cast<TPopupMenu*>(Owner()->Components(I))) ApplyTo(*Menu);
}

void TSkinMenu::Loaded() {
  TComponent::Loaded();
  Apply();
}

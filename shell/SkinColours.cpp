#include "shell/SkinColours.h"

#include <algorithm>
#include <cmath>

#include "platform/qt/Graphics.h"

QColor Lighten(QColor Colour, int Percent) {
  const int P = std::clamp(Percent, 0, 100);
  auto Up = [P](int X) { return X + static_cast<int>(std::lround((255 - X) * P / 100.0)); };
  return QColor(Up(Colour.red()), Up(Colour.green()), Up(Colour.blue()));
}

QColor Darken(QColor Colour, int Amount) {
  auto Down = [](int X) { return std::clamp(X, 0, 255); };
  return QColor(Down(Colour.red() - Amount), Down(Colour.green() - Amount + 2),
                Down(Colour.blue() - Amount));
}

QColor Grey(QColor Colour, int Amount) {
  const int G = std::min(240, Amount + (Colour.red() + Colour.green() + Colour.blue()) / 3);
  return QColor(G, G, G);
}

TSkinColours TSkinColours::From(const TSkinColourSettings& S, TColor FontColor, bool HighColour) {
  auto Q = [](TColor C) { return ColorToQColor(C); };
  const QColor White(Qt::white);
  TSkinColours C;
  C.Text = Q(FontColor);
  C.SelectBorder = S.UseSystemColors ? Q(clHighlight) : Q(S.SelectBorderColor);
  C.SelectText = S.UseSystemColors ? C.Text : Q(S.SelectFontColor);
  C.MenuBar = S.UseSystemColors ? Q(clBtnFace) : Q(S.MenuBarColor);
  C.CheckFrame = S.UseSystemColors ? Q(clHighlight) : Q(S.CheckedColor);
  if (!S.UseSystemColors) {
    auto Dim = [&](int Percent) {
      return S.UseDimColor && HighColour ? Lighten(Q(S.SelectColor), Percent) : Q(S.SelectColor);
    };
    C.MenuBackground = Q(S.Color);
    C.IconColumn = Q(S.IconBackColor);
    C.SelectFill = Dim(68);
    C.Disabled = Q(S.DisabledColor);
    C.Separator = Q(S.SeparatorColor);
    C.CheckFill = HighColour ? Dim(80) : White;
    C.CheckFillSelected = HighColour ? Dim(50) : QColor(0xC0, 0xC0, 0xC0);
  } else if (HighColour) {
    C.MenuBackground = Lighten(Q(clBtnFace), 86);
    C.IconColumn = Lighten(Q(clBtnFace), 16);
    C.SelectFill = Lighten(Q(clHighlight), 68);
    C.Disabled = Lighten(Q(clBtnShadow), 10);
    C.Separator = Lighten(Q(clBtnShadow), 25);
    C.CheckFill = Lighten(Q(clHighlight), 80);
    C.CheckFillSelected = Lighten(Q(clHighlight), 50);
  } else {
    C.MenuBackground = White;
    C.IconColumn = Q(clBtnFace);
    C.SelectFill = White;
    C.Disabled = Q(clBtnShadow);
    C.Separator = Q(clBtnShadow);
    C.CheckFill = White;
    C.CheckFillSelected = White;
  }
  return C;
}

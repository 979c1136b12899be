#include "shell/FlatPainters.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "platform/qt/Graphics.h"
#include "shell/CaptionText.h"

namespace {

QColor Q(TColor C) {
  return ColorToQColor(C);
}

// A one-pixel frame on the edge pixels of R.
void Frame(QPainter& P, const QRect& R, QColor Colour) {
  if (R.width() <= 0 || R.height() <= 0) return;
  P.fillRect(R.left(), R.top(), R.width(), 1, Colour);
  P.fillRect(R.left(), R.bottom(), R.width(), 1, Colour);
  P.fillRect(R.left(), R.top(), 1, R.height(), Colour);
  P.fillRect(R.right(), R.top(), 1, R.height(), Colour);
}

// A frame light on its top and left edges, dark on its bottom and right ones.
void Frame3D(QPainter& P, const QRect& R, QColor TopLeft, QColor BottomRight) {
  P.fillRect(R.left(), R.top(), R.width(), 1, TopLeft);
  P.fillRect(R.left(), R.top(), 1, R.height(), TopLeft);
  P.fillRect(R.left(), R.bottom(), R.width(), 1, BottomRight);
  P.fillRect(R.right(), R.top(), 1, R.height(), BottomRight);
}

// The small downward triangle: lines of 5, 3 and 1 pixels.
void Arrow(QPainter& P, int X, int Y, QColor Colour) {
  for (int I = 0; I < 3; ++I) P.fillRect(X + I, Y + I, 5 - 2 * I, 1, Colour);
}

// The colours of a drop-down button.
struct TButtonColours {
  QColor Frame, Fill, Arrow;
};

// The button inside Client, one pixel in, Thumb + 1 wide (a pixel more when hot or focused),
// at the right end (left for right-to-left controls). A strip of the control's colour beside
// it wipes what the control drew there.
void DropButton(QPainter& P, const QRect& Client, const TFlatLook& L, const TButtonColours& B) {
  const QRect Inner = Client.adjusted(1, 1, -1, -1);
  const int Width = L.Thumb + 1 + (L.Hot || L.Focused ? 1 : 0);
  const QRect Button(L.RightToLeft ? Inner.left() : Inner.right() + 1 - Width, Inner.top(), Width,
                     Inner.height());
  const QRect Strip(L.RightToLeft ? Button.right() + 1 : Button.left() - 5, Button.top(), 5,
                    Button.height());
  P.fillRect(Strip, L.Own);
  P.fillRect(Button, B.Fill);
  Frame(P, Button, B.Frame);
}

}  // namespace

void PaintLookupCombo(QPainter& P, const QRect& Window, const TFlatLook& L, bool Dropped) {
  const TSkinColours& C = L.Colours;
  TButtonColours B{Lighten(C.SelectBorder, 60), L.Focused ? C.CheckFill : Q(clBtnFace),
                   L.Enabled ? QColor(Qt::black) : QColor(Qt::white)};
  QColor Outline = Darken(L.Parent, 60);
  if (L.Hot) {
    Outline = B.Frame = C.SelectBorder;
    B.Fill = C.SelectFill;
  }
  Frame(P, Window, Outline);
  const QRect Client = Window.adjusted(1, 1, -1, -1);
  Frame(P, Client, L.Own);
  if (Dropped) B = {C.SelectBorder, C.CheckFillSelected, QColor(Qt::white)};
  DropButton(P, Client, L, B);
  const int X = L.RightToLeft ? Client.left() + 5 : Client.right() + 1 - 9;
  Arrow(P, X, Client.top() + 8, B.Arrow);
}

void PaintCombo(QPainter& P, const QRect& Client, const TFlatLook& L, bool Dropped) {
  const TSkinColours& C = L.Colours;
  QColor Outline = L.Own;
  TButtonColours B{Lighten(C.SelectBorder, 60),
                   L.Tag == 1000 ? Lighten(L.Parent, 16) : Q(clBtnFace),
                   L.Enabled ? QColor(Qt::black) : QColor(Qt::white)};
  if (L.Hot) {
    Outline = B.Frame = C.SelectBorder;
    B.Fill = C.SelectFill;
  } else if (L.Focused) {
    Outline = Lighten(C.SelectBorder, 60);
    B.Fill = C.CheckFill;
  }
  if (Dropped) B = {C.SelectBorder, C.CheckFillSelected, QColor(Qt::white)};
  Frame(P, Client, L.Parent);
  P.fillRect(Client.left() + 1, Client.top() + 1, Client.width() - 2, 1, L.Own);
  const int In = L.Hot || L.Focused ? 1 : 2;
  const QRect Edge = Client.adjusted(In, In, -In, -In);
  Frame(P, Edge, L.Own);
  Frame(P, Edge.adjusted(0, 0, 0, 1), Outline);
  DropButton(P, Client, L, B);
  const int X = L.RightToLeft ? Client.left() + 5 : Client.right() + 1 - 10;
  Arrow(P, X, Client.top() + 10, B.Arrow);
}

void PaintEdit(QPainter& P, const QRect& Window, const TFlatLook& L, bool Borderless) {
  QColor Colour = L.Hot || L.Focused ? Lighten(L.Colours.SelectBorder, 60) : Darken(L.Parent, 60);
  if (Borderless) {
    // No border shows, but a hot box stands out a little from what it stands on.
    Colour = L.Own;
    if (L.Hot && !L.Focused)
      Colour = QColor((L.Own.red() + L.Parent.red()) / 2, (L.Own.green() + L.Parent.green()) / 2,
                      (L.Own.blue() + L.Parent.blue()) / 2);
  }
  Frame(P, Window, Colour);
}

void PaintCheckBox(QPainter& P, const QRect& Client, const TFlatLook& L, Qt::CheckState State,
                   bool BoxAtRight) {
  const TSkinColours& C = L.Colours;
  QColor Fill = Q(clWindow), Outline = Q(clBtnShadow);
  if (L.Hot || L.Focused) {
    Fill = C.SelectFill;
    Outline = C.SelectBorder;
  }
  if (L.Pressed) Fill = C.CheckFillSelected;
  if (State == Qt::PartiallyChecked) Fill = QColor(0xC0, 0xC0, 0xC0);

  const QRect Room = Client.adjusted(0, 3, 0, -3);
  const QRect Square(BoxAtRight ? Room.right() + 1 - L.Thumb : Room.left(),
                     Room.top() + (Room.height() - L.Thumb) / 2, L.Thumb, L.Thumb);
  P.fillRect(Square, L.Own);
  const QRect Box = Square.adjusted(2, 2, -2, -2);
  P.fillRect(Box, Fill);
  Frame(P, Box, Outline);
  if (State == Qt::Unchecked) return;

  const QColor Mark = !L.Enabled                      ? C.Disabled
                      : L.Pressed                     ? Q(clWindow)
                      : State == Qt::PartiallyChecked ? QColor(0x80, 0x80, 0x80)
                                                      : Q(clHighlight);
  // Three strokes, each down two pixels to the right and up five.
  const int Left = Box.left(), Bottom = Box.top() + Box.height();
  for (int I = 0; I < 3; ++I) {
    for (int K = 0; K < 2; ++K) P.fillRect(Left + 2 + K, Bottom - I - 5 + K, 1, 1, Mark);
    for (int K = 0; K < 5; ++K) P.fillRect(Left + 4 + K, Bottom - I - 3 - K, 1, 1, Mark);
  }
}

void PaintGroupBox(QPainter& P, const QRect& Client, const TFlatLook& L,
                   const TFlatCaption& Caption, bool Raised3D) {
  const QFontMetrics M(Caption.Font);
  const int TextHeight = M.height();
  const int Middle = TextHeight / 2;
  const QColor Dark = Darken(L.Own, 60), Light = Lighten(L.Own, 60);
  const QColor TopLeft = Raised3D ? Light : Dark;

  P.fillRect(Client.left(), Client.top(), Client.width(), Middle, L.Parent);
  P.fillRect(Client.left(), Client.top() + Middle, Client.width(), TextHeight - Middle, L.Own);
  const QRect Box(Client.left() + 1, Client.top() + Middle, Client.width() - 2,
                  Client.height() - Middle - 1);
  Frame3D(P, Box, TopLeft, Dark);
  if (Caption.Text.isEmpty()) return;

  const int TextWidth = M.horizontalAdvance(Caption.Text);
  const QRect Text(L.RightToLeft ? Client.right() + 1 - 9 - TextWidth : Client.left() + 9,
                   Client.top(), TextWidth, TextHeight);
  P.fillRect(Text.adjusted(-1, 0, 1, 0), L.Own);
  P.setFont(Caption.Font);
  P.setPen(Caption.Colour);
  // On the font's own baseline, unclipped: a Thai caption is laid out on its fallback font's
  // taller line, which would put it lower and cut it off at the frame.
  const int Rise = int(std::lround(LaidAscent(Caption.Text, Caption.Font))) - M.ascent();
  P.drawText(Text.translated(0, -Rise),
             Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextDontClip, Caption.Text);
  // The frame's top line, up to the caption on either side.
  P.fillRect(Box.left(), Box.top(), Text.left() - 1 - Box.left(), 1, TopLeft);
  P.fillRect(Text.right() + 2, Box.top(), Box.right() - Text.right() - 1, 1, TopLeft);
}

void PaintPanel(QPainter& P, const QRect& Client, const TFlatLook& L, int Bevel) {
  if (Bevel == 0) return;
  const QColor Dark = Darken(L.Own, 60), Light = Lighten(L.Own, 60);
  if (Bevel == 2)
    Frame3D(P, Client, Light, Dark);
  else
    Frame3D(P, Client, Dark, Light);
}

void PaintSpeedButton(QPainter& P, const QRect& Client, const TFlatLook& L,
                      const TFlatCaption& Caption, bool Down, bool Flat) {
  const TSkinColours& C = L.Colours;
  QColor Back = Flat ? L.Parent : C.IconColumn;
  QColor Hot = Flat ? C.SelectFill : Lighten(Q(clBtnFace), 40);
  if (L.Tag == 1000) {
    Back = Lighten(L.Parent, 16);
    Hot = Lighten(L.Parent, 40);
  }
  if (L.Hot) Back = Hot;
  if (Down) Back = L.Hot ? C.CheckFillSelected : C.CheckFill;
  const QColor Edge = !L.Enabled ? Q(clBtnShadow)
                      : Down     ? C.SelectBorder
                      : L.Hot    ? Lighten(C.SelectBorder, 60)
                                 : Q(clBtnShadow);
  P.fillRect(Client, Back);
  Frame(P, Client, Lighten(Edge, 30));

  // The glyph, then the caption, side by side in the middle; a pixel further when down.
  const QFontMetrics M(Caption.Font);
  const QSize Glyph = Caption.Icon.isNull() ? QSize() : QSize(16, 16);
  const int Gap = Glyph.isEmpty() || Caption.Text.isEmpty() ? 0 : 4;
  const int Width = Glyph.width() + Gap + M.horizontalAdvance(Caption.Text);
  QPoint At(Client.left() + (Client.width() - Width) / 2, Client.top());
  if (Down) At += QPoint(1, 1);
  if (!Glyph.isEmpty()) {
    const QRect GlyphRect(At.x(), At.y() + (Client.height() - Glyph.height()) / 2, Glyph.width(),
                          Glyph.height());
    Caption.Icon.paint(&P, GlyphRect, Qt::AlignCenter, L.Enabled ? QIcon::Normal : QIcon::Disabled);
  }
  P.setFont(Caption.Font);
  P.setPen(L.Enabled ? Caption.Colour : C.Disabled);
  P.drawText(QRect(At.x() + Glyph.width() + Gap, At.y(), Width, Client.height()),
             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, Caption.Text);
}

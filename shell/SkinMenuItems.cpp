#include "shell/SkinMenuItems.h"

#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "shell/Menus.h"

namespace {

QString Q(const std::string& Text) {
  return QString::fromStdString(Text);
}

// Each opaque pixel of Image through Change; transparency is kept.
template <class F>
QImage Recoloured(const QImage& Image, F Change) {
  QImage Out = Image.convertToFormat(QImage::Format_ARGB32);
  for (int Y = 0; Y < Out.height(); ++Y) {
    auto* Line = reinterpret_cast<QRgb*>(Out.scanLine(Y));
    for (int X = 0; X < Out.width(); ++X) {
      const QColor C = Change(QColor(Line[X]));
      Line[X] = qRgba(C.red(), C.green(), C.blue(), qAlpha(Line[X]));
    }
  }
  return Out;
}

// Draws the icon dimmed when idle, grey when disabled, lifted off a shadow when selected.
void DrawIcon(QPainter& P, const TMenuItem& Item, QPoint At, bool Selected,
              const TSkinItemLook& L) {
  const QImage& Icon = Item.Image();
  if (!L.HighColour || (Item.Enabled() && Item.Checked())) {
    P.drawImage(At, Icon);
  } else if (!Item.Enabled()) {
    const int Level = L.Options.GrayLevel;
    P.drawImage(At, Recoloured(Icon, [Level](QColor C) { return Lighten(Grey(C, Level), 40); }));
  } else if (Selected) {
    const QColor Shadow = Darken(L.Colours.SelectFill, 50);
    P.drawImage(At + QPoint(2, 2), Recoloured(Icon, [Shadow](QColor) { return Shadow; }));
    P.drawImage(At - QPoint(1, 1), Icon);
  } else {
    const int Level = L.Options.DimLevel;
    P.drawImage(At, Recoloured(Icon, [Level](QColor C) { return Lighten(C, Level); }));
  }
}

// The check box area: a check mark or a radio dot in a framed square, or a frame around the
// icon when the item has one.
void DrawCheck(QPainter& P, const TMenuItem& Item, const QRect& Column, const QRect& Rect,
               bool Selected, const TSkinItemLook& L) {
  const TSkinColours& C = L.Colours;
  const QColor Fill = Selected ? C.CheckFillSelected : C.CheckFill;
  if (!Item.Image().isNull()) {
    const QRect Box = Column.adjusted(1, 2, -3, -2);
    P.setPen(C.CheckFrame);
    P.setBrush(Fill);
    if (Item.RadioItem())
      P.drawRoundedRect(Box.adjusted(0, 0, -1, -1), 3, 3);
    else
      P.drawRect(Box.adjusted(0, 0, -1, -1));
    P.setBrush(Qt::NoBrush);
    return;
  }
  const QRect Box(Column.left() + (Column.width() - 10) / 2, Rect.top() + (Rect.height() - 10) / 2,
                  10, 10);
  P.fillRect(Box, Fill);
  P.setPen(C.CheckFrame);
  P.drawRect(Box.adjusted(0, 0, -1, -1));
  const QColor Mark = Item.Enabled() ? C.Text : C.Disabled;
  if (Item.RadioItem()) {
    P.fillRect(Box.adjusted(3, 3, -3, -3), Mark);
    return;
  }
  // Three strokes down to the right and up again, a pixel apart.
  const int L0 = Box.left(), B = Box.top() + Box.height();
  for (int I = 0; I < 3; ++I) {
    for (int K = 0; K < 2; ++K) P.fillRect(L0 + 2 + K, B - I - 5 + K, 1, 1, Mark);
    for (int K = 0; K < 5; ++K) P.fillRect(L0 + 4 + K, B - I - 3 - K, 1, 1, Mark);
  }
}

// The icon column's colour fading towards white, column by column, or flat colours.
void DrawBackground(QPainter& P, const QRect& Rect, const QRect& Column, bool RightToLeft,
                    const TSkinItemLook& L) {
  const TSkinColours& C = L.Colours;
  if (!L.Options.Gradient || !L.HighColour) {
    P.fillRect(Rect, C.MenuBackground);
    P.fillRect(Column, C.IconColumn);
    return;
  }
  int Shade = 1;
  for (int K = 0; K < Rect.width() + 2; ++K) {
    const int X = RightToLeft ? Rect.right() - K : Rect.left() + K;
    P.fillRect(X, Rect.top(), 1, Rect.height(), Lighten(C.IconColumn, Shade));
    Shade = std::min(96, Shade + (K + 1 < L.Options.IconWidth + 5 ? 3 : 1));
  }
}

void DrawCaption(QPainter& P, const TMenuItem& Item, const QRect& TextArea, const QRect& Rect,
                 bool Selected, bool RightToLeft, const TSkinItemLook& L) {
  const TSkinColours& C = L.Colours;
  const QFontMetrics M(L.Font);
  const QColor Colour = !Item.Enabled() ? C.Disabled : Selected ? C.SelectText : C.Text;
  const int Top = Rect.top() + (Rect.height() - M.height()) / 2;
  const int Align = (RightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop |
                    Qt::TextShowMnemonic | Qt::TextExpandTabs | Qt::TextSingleLine;
  const QRect Text = RightToLeft
                         ? QRect(TextArea.left(), Top, TextArea.width() - 3, M.height())
                         : QRect(TextArea.left() + 3, Top, TextArea.width() - 3, M.height());
  const QString Caption = " " + Q(Item.Caption());
  P.setFont(L.Font);
  if (Item.Default() && Item.Enabled()) {
    // Soft emboss: a pale copy below right, the caption twice a pixel apart on it.
    P.setPen(Lighten(Colour, 60));
    P.drawText(Text.translated(1, 1), Align, Caption);
    P.setPen(Colour);
    P.drawText(Text.translated(1, 0), Align, Caption);
  }
  P.setPen(Colour);
  P.drawText(Text, Align, Caption);
  if (const std::string Keys = ShortCutToText(Item.ShortCut()); !Keys.empty()) {
    const QRect Column(Rect.left() + 10, Top, Rect.width() - 20, M.height());
    P.drawText(Column, (RightToLeft ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop,
               Q(Keys) + " ");
  }
  if (Item.Count() > 0) {  // the sub-menu's arrow, in the room measuring left for it
    const int Y = Rect.center().y();
    for (int I = 0; I < 4; ++I) {
      const int X = RightToLeft ? Rect.left() + 8 - I : Rect.right() - 8 + I;
      P.fillRect(X, Y - 3 + I, 1, 7 - 2 * I, Colour);
    }
  }
}

}  // namespace

QSize MeasureSkinItem(const TMenuItem& Item, const TSkinItemLook& Look, QSize Given) {
  const QFontMetrics M(Look.Font);
  QString Text;
  if (!Item.IsLine()) {
    Text = Q(Item.Caption());
    // The letters keep the shortcut clear of the caption.
    if (const std::string Keys = ShortCutToText(Item.ShortCut()); !Keys.empty())
      Text += "WWW" + Q(Keys);
  }
  int Width = M.horizontalAdvance(Text) + 5;
  if (Text.contains('&')) Width -= M.horizontalAdvance('&');
  if (Item.Count() > 0) Width += 6;
  const QSize Icon = Item.Image().size();
  Width = std::max(Given.width(), Width + std::max(Icon.width(), Look.Options.IconWidth));
  if (Item.IsLine()) return {Width, 4};
  const int TextHeight = M.height();
  const int Height =
      std::max({Given.height(), TextHeight + static_cast<int>(std::lround(0.75 * TextHeight)),
                Icon.height() + 6});
  return {Width, Height};
}

void DrawSkinItem(QPainter& P, const TMenuItem& Item, const QRect& Rect, bool Selected,
                  const TSkinItemLook& L) {
  const TSkinMenuOptions& O = L.Options;
  const TSkinColours& C = L.Colours;
  const QMenu* Menu = Item.MenuWidget();
  const bool RightToLeft = Menu && Menu->layoutDirection() == Qt::RightToLeft;
  const QImage& Icon = Item.Image();
  const int IconWidth = O.IconWidth;
  const QRect Column(RightToLeft ? Rect.right() - IconWidth + 1 : Rect.left(), Rect.top(),
                     IconWidth, Rect.height());
  const int Inset = std::max(IconWidth, Icon.isNull() ? 0 : Icon.width() + 4);
  const QRect TextArea(RightToLeft ? Rect.left() : Rect.left() + Inset, Rect.top(),
                       Rect.width() - Inset, Rect.height());
  Selected = Selected && Item.Enabled();

  DrawBackground(P, Rect, Column, RightToLeft, L);
  if (Selected && O.DrawSelect) {
    const QRect Bar = Rect.adjusted(0, 1, O.FlatMenu ? -1 : 0, -1);
    P.fillRect(Bar, C.SelectFill);
    P.setPen(C.SelectBorder);
    P.drawRect(Bar.adjusted(0, 0, -1, -1));
  }
  if (Item.Checked()) DrawCheck(P, Item, Column, Rect, Selected, L);
  if (!Icon.isNull())
    DrawIcon(P, Item, QPoint(Column.left() + (IconWidth - Icon.width()) / 2, Rect.top() + 3),
             Selected, L);
  if (Item.IsLine()) {
    const int Y = Rect.top() + static_cast<int>(std::lround(Rect.height() / 2.0));
    const int From = RightToLeft ? TextArea.left() : TextArea.left() + 7;
    const int To = RightToLeft ? TextArea.right() - 7 : TextArea.right();
    P.fillRect(From, Y, To - From + 1, 1, C.Separator);
    return;
  }
  DrawCaption(P, Item, TextArea, Rect, Selected, RightToLeft, L);
}
